// What `freqsmith --detect` prints and whether it counts as complete, on services that
// answer, answer late, hang, throw, fail with an error or answer only some classes.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "detection_report.h"
#include "troubled_service.h"

namespace freqsmith::detect {
namespace {

using namespace std::chrono_literals;
using testing::Gate;
using testing::How;
using testing::Trouble;
using testing::TroubledService;
using testing::Where;

// A row whose service hangs waits out this limit; the others have far longer than they need.
constexpr std::chrono::milliseconds kShortLimit = 300ms;
constexpr std::chrono::milliseconds kLongLimit = 20s;
// The late service is let go after this; the others are never waited on so long.
constexpr std::chrono::milliseconds kShortPatience = 50ms;
constexpr std::chrono::milliseconds kLongPatience = 10s;

FakeService machine() {
  FakeService machine;
  machine.add("Win32_Processor", RecordInstance{{"Manufacturer", "AuthenticAMD"},
                                                {"ExtClock", std::int64_t{200}},
                                                {"CurrentClockSpeed", std::int64_t{2000}}});
  machine.add("Win32_BaseBoard", RecordInstance{{"Manufacturer", "Board Maker"}});
  machine.add("Win32_BIOS", RecordInstance{{"Version", "BIOS 1.07"}});
  return machine;
}

struct Row {
  const char* name;
  Trouble trouble;
  std::chrono::milliseconds limit;
  std::chrono::milliseconds patience;
  bool complete;
  bool waited;                      // the "detecting" line was called for
  std::vector<const char*> lines;   // each a whole line of the report
  std::vector<const char*> faults;  // what stderr says of each class not answered in full
  friend std::ostream& operator<<(std::ostream& out, const Row& row) { return out << row.name; }
};

class AwaitedReportTest : public ::testing::TestWithParam<Row> {
 protected:
  void TearDown() override {
    gate_->open();
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!backend_.expired() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(backend_.expired()) << "the worker still holds the backend";
  }

  std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
  std::weak_ptr<TroubledService> backend_;
};

TEST_P(AwaitedReportTest, SaysWhatCameAndWhyTheRestDidNot) {
  const Row& row = GetParam();
  auto backend = std::make_shared<TroubledService>(machine(), row.trouble, gate_);
  backend_ = backend;
  DeadlineService service(std::move(backend), row.limit);
  bool waited = false;
  // A service held on the gate is let go once the waiting has been announced: it answers
  // late, but within the limit. Unless the row wants it to hang.
  const AwaitedReport report = awaitReport(service, row.patience, [&] {
    waited = true;
    if (row.complete) gate_->open();
  });

  EXPECT_EQ(report.complete, row.complete);
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
            {},
            kLongLimit,
            kLongPatience,
            true,
            false,
            {"Processor maker: AuthenticAMD (WMI)", "CPU Multiplier: 10 (derived)",
             "BIOS version: BIOS 1.07 (WMI)"},
            {}},
        Row{"late",
            {Where::Connect, How::Hang, 0},
            kLongLimit,
            kShortPatience,
            true,
            true,
            {"Processor maker: AuthenticAMD (WMI)", "Mainboard vendor: Board Maker (WMI)"},
            {}},
        Row{"hangs",
            {Where::Connect, How::Hang, 0},
            kShortLimit,
            kShortPatience,
            false,
            true,
            {"Processor maker: unknown (timed out after 0.3 seconds)",
             "System Clock: unknown (timed out after 0.3 seconds)", "CPU Multiplier: unknown",
             "Mainboard vendor: unknown (timed out after 0.3 seconds)"},
            {"Win32_Processor: no answer within 0.3 seconds",
             "Win32_BaseBoard: no answer within 0.3 seconds",
             "Win32_BIOS: no answer within 0.3 seconds"}},
        Row{"throws",
            {Where::Connect, How::Throw, 0},
            kLongLimit,
            kLongPatience,
            false,
            false,
            {"Processor maker: unknown (service failed: the backend failed)",
             "Mainboard vendor: Board Maker (WMI)", "BIOS version: BIOS 1.07 (WMI)"},
            {"Win32_Processor: the service failed: the backend failed"}},
        Row{"fails with an error",
            {Where::InstancesOf, How::Fail, 0, "Win32_BIOS"},
            kLongLimit,
            kLongPatience,
            false,
            false,
            {"Processor maker: AuthenticAMD (WMI)",
             "BIOS version: unknown (service failed: 0x80041003 Access denied.)"},
            {"Win32_BIOS: the service failed: 0x80041003 Access denied."}},
        Row{"answers only the processor",
            {Where::Connect, How::Hang, 1},
            kShortLimit,
            kShortPatience,
            false,
            true,
            {"Processor maker: AuthenticAMD (WMI)", "CPU Speed: 2000 Mhz (WMI)",
             "Mainboard vendor: unknown (timed out after 0.3 seconds)",
             "BIOS version: unknown (timed out after 0.3 seconds)"},
            {"Win32_BaseBoard: no answer within 0.3 seconds",
             "Win32_BIOS: no answer within 0.3 seconds"}}),
    [](const ::testing::TestParamInfo<Row>& info) {
      std::string name;
      for (const char* c = info.param.name; *c; ++c) name += *c == ' ' || *c == ',' ? '_' : *c;
      return name;
    });

}  // namespace
}  // namespace freqsmith::detect
