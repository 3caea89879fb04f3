// The detection in front of readers that answer, hang, throw or fail: it answers by the time
// limit with the parts that came whole, keeps to the answers it fixed, tells once that they
// are in, and a worker that finishes late touches nothing freed.
#include "detection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "fake_reader.h"

namespace freqsmith::detect {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::fact;
using testing::Gate;
using testing::How;
using testing::Part;

constexpr std::chrono::milliseconds kLimit = 200ms;
// Thread start-up, a loaded machine and the sanitizers' slowdown on top of the limit.
constexpr std::chrono::milliseconds kSlack = 300ms;

Hardware desktop() {
  return {.processor = {fact("AuthenticAMD"), fact(200), fact(2000), fact(512),
                        fact("Test Processor"), fact("Socket 939")},
          .board = {fact("Board Maker"), fact("BM-7"), fact("1.0")},
          .bios = {fact("BIOS 1.07")}};
}

class TroubledReader : public ::testing::Test {
 protected:
  // Lets every hung reader go and waits for its worker to drop it, so each test ends with
  // no thread left behind and the sanitizers see the late worker run to its end.
  void TearDown() override {
    gate_->open();
    const auto until = Clock::now() + 10s;
    while (readerHeld() && Clock::now() < until) std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(readerHeld()) << "the worker still holds the reader";
  }

  Reader troubled(Part part, How how) {
    return testing::troubledReader(desktop(), part, how, gate_);
  }
  bool readerHeld() const { return gate_.use_count() > 1; }

  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};

struct TroubleRow {
  const char* name;
  Part part;
  How how;
  // What the answer holds of the desktop: each part in full, or none of it and why.
  std::optional<Why> processor;
  std::optional<Why> board;
  std::optional<Why> bios;
  friend std::ostream& operator<<(std::ostream& out, const TroubleRow& row) {
    return out << row.name;
  }
};

template <class Part>
Part expected(const Part& whole, std::optional<Why> why, const std::string& detail) {
  if (!why) return whole;
  Part none;
  markUnknown(none, *why, detail);
  return none;
}

class AnswersInTime : public TroubledReader, public ::testing::WithParamInterface<TroubleRow> {};

TEST_P(AnswersInTime, WithThePartsThatCameAndReturnsByTheLimit) {
  const TroubleRow& row = GetParam();
  const auto start = Clock::now();
  Detection detection(troubled(row.part, row.how), kLimit);
  const bool inTime = detection.waitUntil(Clock::time_point::max());
  const Hardware& answers = detection.answers();
  const auto took = Clock::now() - start;

  const bool hangs = row.part != Part::None && row.how == How::Hang;
  EXPECT_EQ(inTime, !hangs);
  EXPECT_LT(took, (hangs ? kLimit : 0ms) + kSlack);
  if (hangs) {
    EXPECT_GE(took, kLimit - 5ms);
  }

  const Hardware whole = desktop();
  const auto detailOf = [&](std::optional<Why> why) {
    if (why == Why::TimedOut) return durationText(kLimit);
    return std::string(why == Why::ServiceFailed && row.how == How::Throw ? "the backend failed"
                                                                          : testing::kServiceError);
  };
  EXPECT_EQ(answers.processor.name,
            expected(whole.processor, row.processor, detailOf(row.processor)).name);
  EXPECT_EQ(answers.processor.busMhz,
            expected(whole.processor, row.processor, detailOf(row.processor)).busMhz);
  EXPECT_EQ(answers.board.product, expected(whole.board, row.board, detailOf(row.board)).product);
  EXPECT_EQ(answers.bios.version, expected(whole.bios, row.bios, detailOf(row.bios)).version);
}

INSTANTIATE_TEST_SUITE_P(
    Readers, AnswersInTime,
    ::testing::Values(
        TroubleRow{"healthy", Part::None, How::Hang, {}, {}, {}},
        // Hanging: the parts read before stay; that part and all after it time out.
        TroubleRow{"hangs reading the processor", Part::Processor, How::Hang, Why::TimedOut,
                   Why::TimedOut, Why::TimedOut},
        TroubleRow{
            "hangs reading the board", Part::Board, How::Hang, {}, Why::TimedOut, Why::TimedOut},
        TroubleRow{"hangs reading the BIOS", Part::Bios, How::Hang, {}, {}, Why::TimedOut},
        // Throwing or failing: that part has failed, the next is read as usual.
        TroubleRow{"throws reading the processor",
                   Part::Processor,
                   How::Throw,
                   Why::ServiceFailed,
                   {},
                   {}},
        TroubleRow{"throws reading the board", Part::Board, How::Throw, {}, Why::ServiceFailed, {}},
        TroubleRow{"fails reading the BIOS", Part::Bios, How::Fail, {}, {}, Why::ServiceFailed}),
    [](const ::testing::TestParamInfo<TroubleRow>& info) {
      std::string name;
      for (const char* c = info.param.name; *c; ++c) {
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      }
      return name;
    });

class HungReader : public TroubledReader {};

TEST_F(HungReader, KeepsToTheAnswersItFixed) {
  Detection detection(troubled(Part::Board, How::Hang), kLimit);
  (void)detection.waitUntil(Clock::now() + 50ms);
  const Hardware first = detection.answers();
  EXPECT_EQ(first.processor.maker.value, "AuthenticAMD");
  EXPECT_EQ(first.board.maker.why, Why::TimedOut);
  // Released now, the reader would give the rest within a moment; the window must not see
  // it, or it would show a mix that depends on timing.
  gate_->open();
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(detection.answers().board.maker, first.board.maker);
  EXPECT_EQ(detection.answers().bios.version, first.bios.version);
}

TEST_F(HungReader, OutlivesTheDetectionWithoutTouchingIt) {
  {
    Detection detection(troubled(Part::Processor, How::Hang), kLimit);
    detection.start([] { ADD_FAILURE() << "told of answers after the detection was gone"; });
    std::this_thread::sleep_for(20ms);
  }
  // The worker is still inside the reader; it now returns into state only it still holds.
  EXPECT_TRUE(readerHeld());
  gate_->open();
}

TEST_F(HungReader, GoesAtOnceWhenNobodyAsked) {
  const auto start = Clock::now();
  {
    Detection detection(troubled(Part::Processor, How::Hang), 10s);
    detection.start();
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_LT(Clock::now() - start, 20ms + kSlack);
}

TEST_F(HungReader, CountsTheLimitFromTheStart) {
  Detection detection(troubled(Part::Processor, How::Hang), kLimit);
  const auto before = Clock::now();
  detection.start();
  EXPECT_GE(detection.deadline(), before + kLimit);
  // Whatever the window does meanwhile, such as building its widgets, is part of the wait,
  // so the figures never wait longer than the limit in all.
  std::this_thread::sleep_for(kLimit);
  const auto asked = Clock::now();
  EXPECT_FALSE(detection.waitUntil(Clock::time_point::max()));
  EXPECT_EQ(detection.answers().processor.maker.why, Why::TimedOut);
  EXPECT_LT(Clock::now() - asked, 50ms);
}

// A reader that notes which part it is asked for, and on which thread.
struct Journal {
  std::mutex mutex;
  std::vector<std::string> parts;
  std::vector<std::thread::id> threads;
  void note(const char* part) {
    const std::lock_guard lock(mutex);
    parts.emplace_back(part);
    threads.push_back(std::this_thread::get_id());
  }
};

Reader noted(const std::shared_ptr<Journal>& journal) {
  Reader reader = testing::fixedReader(desktop());
  reader.processor = [journal, read = reader.processor] {
    journal->note("processor");
    return read();
  };
  reader.board = [journal, read = reader.board] {
    journal->note("board");
    return read();
  };
  reader.bios = [journal, read = reader.bios] {
    journal->note("bios");
    return read();
  };
  return reader;
}

TEST(Detection, ReadsNothingBeforeItStartsThenEachPartOnceInOrderOnAWorker) {
  auto journal = std::make_shared<Journal>();
  Detection detection(noted(journal));
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(journal->parts.empty());
  ASSERT_TRUE(detection.waitUntil(Clock::now() + 10s));
  EXPECT_EQ(detection.answers().board.product.value, "BM-7");
  const std::lock_guard lock(journal->mutex);
  EXPECT_EQ(journal->parts, (std::vector<std::string>{"processor", "board", "bios"}));
  for (const std::thread::id thread : journal->threads) {
    EXPECT_NE(thread, std::this_thread::get_id());
    EXPECT_EQ(thread, journal->threads.front());
  }
}

// Notes on which thread it goes, as a WMI session's end must come on the thread it began on.
struct Farewell {
  std::shared_ptr<std::atomic<std::thread::id>> at;
  ~Farewell() {
    if (at) *at = std::this_thread::get_id();
  }
};

TEST(Detection, LetsTheReaderGoOnItsWorker) {
  for (int round = 0; round < 20; ++round) {
    auto at = std::make_shared<std::atomic<std::thread::id>>();
    {
      Reader reader = testing::fixedReader(desktop());
      auto farewell = std::make_shared<Farewell>();
      farewell->at = at;
      reader.bios = [farewell, read = reader.bios] { return read(); };
      farewell.reset();
      Detection detection(std::move(reader));
      detection.start();
      ASSERT_TRUE(detection.waitUntil(Clock::now() + 10s));
    }
    // A worker still letting go when the detection went was left to finish on its own.
    const auto until = Clock::now() + 10s;
    while (*at == std::thread::id() && Clock::now() < until) std::this_thread::sleep_for(1ms);
    ASSERT_NE(*at, std::thread::id()) << "the reader is still held";
    EXPECT_NE(*at, std::this_thread::get_id()) << "round " << round;
  }
}

TEST(Detection, AskedForItsAnswersStartsOfItself) {
  auto journal = std::make_shared<Journal>();
  Detection detection(noted(journal));
  EXPECT_EQ(detection.answers().processor.maker.value, "AuthenticAMD");
  EXPECT_EQ(journal->parts.size(), 3u);
}

TEST_F(HungReader, TellsOnceWhenTheLastPartIsIn) {
  std::atomic<int> told = 0;
  Detection detection(troubled(Part::Bios, How::Hang), 10s);
  detection.start([&] { ++told; });
  detection.start([&] { told += 100; });  // a second start changes nothing
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(told, 0) << "told before the BIOS was in";
  gate_->open();
  ASSERT_TRUE(detection.waitUntil(Clock::now() + 10s));
  const auto until = Clock::now() + 10s;
  while (told == 0 && Clock::now() < until) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(told, 1);
}

TEST_F(HungReader, SaysNothingOnceTheAnswersAreFixed) {
  std::atomic<int> told = 0;
  Detection detection(troubled(Part::Bios, How::Hang), 10s);
  detection.start([&] { ++told; });
  (void)detection.waitUntil(Clock::now() + 50ms);
  (void)detection.answers();
  gate_->open();
  const auto until = Clock::now() + 2s;
  while (readerHeld() && Clock::now() < until) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(told, 0);
}

// The bus clock that firmware writes as 0, or a reader lacks, is settled once, after the
// platform's reader, whichever it is.
TEST(Detection, TakesTheBusClockTheProcessorGivesWhereTheReaderHasNone) {
  auto cpuid =
      std::make_shared<RecordedCpuid>(std::vector<std::pair<std::uint32_t, CpuidRegisters>>{
          {0x0, {0x16, 0, 0, 0}}, {kFrequencyLeaf, {3600, 4900, 100, 0}}});
  for (const std::optional<std::int64_t> reported :
       {std::optional<std::int64_t>(0), std::optional<std::int64_t>()}) {
    Reader reader = testing::fixedReader(
        {.processor = {.busMhz = {reported, Source::Wmi}, .speedMhz = fact(3600)}});
    reader.cpuid = cpuid;
    Detection detection(std::move(reader));
    EXPECT_EQ(detection.answers().processor.busMhz, (NumberFact{100, Source::Cpuid}));
  }
  Reader given = testing::fixedReader({.processor = {.busMhz = fact(133)}});
  given.cpuid = cpuid;
  Detection detection(std::move(given));
  EXPECT_EQ(detection.answers().processor.busMhz, fact(133));
}

TEST(Detection, NamesEachPartTheServiceFailedOrTimedOutFor) {
  Hardware answered = desktop();
  answered.board = {};
  answered.board.maker.why = Why::AdministratorOnly;  // withheld, not failed
  answered.bios = {};
  markUnknown(answered.bios, Why::ServiceFailed, "0x80041010");
  EXPECT_EQ(faults(answered), (std::vector<PartFault>{{"BIOS", Why::ServiceFailed, "0x80041010"}}));
  Hardware late;
  markUnknown(late.processor, Why::TimedOut, "30 seconds");
  EXPECT_EQ(faults(late).size(), 1u);
  EXPECT_EQ(faults(late).front().part, "processor");
  EXPECT_TRUE(faults(desktop()).empty());
}

}  // namespace
}  // namespace freqsmith::detect
