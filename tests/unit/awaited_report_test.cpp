// What `freqsmith --detect` prints and whether it counts as complete, on readers that
// answer, answer late, hang, throw, fail with an error or answer only some parts.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "detection_report.h"
#include "fake_reader.h"

namespace freqsmith {
namespace {

using namespace std::chrono_literals;
using testing::fact;
using testing::Gate;
using testing::How;
using testing::Part;

// A row whose service hangs waits out this limit; the others have far longer than they need.
constexpr std::chrono::milliseconds kShortLimit = 300ms;
constexpr std::chrono::milliseconds kLongLimit = 20s;
// The late service is let go after this; the others are never waited on so long.
constexpr std::chrono::milliseconds kShortPatience = 50ms;
constexpr std::chrono::milliseconds kLongPatience = 10s;

detect::Hardware machine() {
  return {.processor = {.maker = fact("AuthenticAMD"), .busMhz = fact(200), .speedMhz = fact(2000)},
          .board = {.maker = fact("Board Maker")},
          .bios = {.version = fact("BIOS 1.07")}};
}

struct Row {
  const char* name;
  Part part;
  How how;
  std::chrono::milliseconds limit;
  std::chrono::milliseconds patience;
  bool complete;
  bool waited;                      // the "detecting" line was called for
  std::vector<const char*> lines;   // each a whole line of the report
  std::vector<const char*> faults;  // what stderr says of each part not answered in full
  friend std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }
};

class AwaitedReportTest : public ::testing::TestWithParam<Row> {
 protected:
  // Lets a hung reader go and waits for the worker to drop it, so no thread outlives the test.
  void TearDown() override {
    gate_->open();
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (gate_.use_count() > 1 && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(gate_.use_count(), 1) << "the worker still holds the reader";
  }

  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
};

TEST_P(AwaitedReportTest, SaysWhatCameAndWhyTheRestDidNot) {
  const Row& row = GetParam();
  detect::Detection detection(testing::troubledReader(machine(), row.part, row.how, gate_),
                              row.limit);
  bool waited = false;
  // A reader held on the gate is let go once the waiting has been announced: it answers
  // late, but within the limit. Unless the row wants it to hang.
  const AwaitedReport report = awaitReport(detection, row.patience, [&] {
    waited = true;
    if (row.complete) gate_->open();
  });

  EXPECT_EQ(report.faults.empty(), row.complete);
  EXPECT_EQ(report.faults, std::vector<std::string>(row.faults.begin(), row.faults.end()));
  EXPECT_EQ(waited, row.waited);
  for (const char* line : row.lines) {
    EXPECT_NE(report.text.find(std::string(line) + "\n"), std::string::npos)
        << line << "\n--- in ---\n"
        << report.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Services, AwaitedReportTest,
    ::testing::Values(
        Row{"healthy",
            Part::None,
            How::Hang,
            kLongLimit,
            kLongPatience,
            true,
            false,
            {"Processor maker: AuthenticAMD (WMI)", "CPU Multiplier: 10 (derived)",
             "BIOS version: BIOS 1.07 (WMI)"},
            {}},
        Row{"late",
            Part::Processor,
            How::Hang,
            kLongLimit,
            kShortPatience,
            true,
            true,
            {"Processor maker: AuthenticAMD (WMI)", "Mainboard vendor: Board Maker (WMI)"},
            {}},
        Row{"hangs",
            Part::Processor,
            How::Hang,
            kShortLimit,
            kShortPatience,
            false,
            true,
            {"Processor maker: unknown (timed out after 0.3 seconds)",
             "System Clock: unknown (timed out after 0.3 seconds)", "CPU Multiplier: unknown",
             "Mainboard vendor: unknown (timed out after 0.3 seconds)"},
            {"no answer about the processor within 0.3 seconds",
             "no answer about the mainboard within 0.3 seconds",
             "no answer about the BIOS within 0.3 seconds"}},
        Row{"throws",
            Part::Processor,
            How::Throw,
            kLongLimit,
            kLongPatience,
            false,
            false,
            {"Processor maker: unknown (service failed: the backend failed)",
             "Mainboard vendor: Board Maker (WMI)", "BIOS version: BIOS 1.07 (WMI)"},
            {"the hardware service failed for the processor: the backend failed"}},
        Row{"fails with an error",
            Part::Bios,
            How::Fail,
            kLongLimit,
            kLongPatience,
            false,
            false,
            {"Processor maker: AuthenticAMD (WMI)",
             "BIOS version: unknown (service failed: 0x80041003 Access denied.)"},
            {"the hardware service failed for the BIOS: 0x80041003 Access denied."}},
        Row{"answers only the processor",
            Part::Board,
            How::Hang,
            kShortLimit,
            kShortPatience,
            false,
            true,
            {"Processor maker: AuthenticAMD (WMI)", "CPU Speed: 2000 Mhz (WMI, rated)",
             "Mainboard vendor: unknown (timed out after 0.3 seconds)",
             "BIOS version: unknown (timed out after 0.3 seconds)"},
            {"no answer about the mainboard within 0.3 seconds",
             "no answer about the BIOS within 0.3 seconds"}}),
    [](const ::testing::TestParamInfo<Row>& info) {
      std::string name;
      for (const char* c = info.param.name; *c; ++c) name += *c == ' ' || *c == ',' ? '_' : *c;
      return name;
    });

}  // namespace
}  // namespace freqsmith
