// The detection report: the tab's figures with their sources on the fixture machines, as
// detection reads them, and the bus clock that firmware reports as 0.
#include "detection_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <vector>

#include "detection.h"
#include "fake_reader.h"
#include "fixture_machines.h"

namespace freqsmith {
namespace {

std::vector<std::string> linesOf(const std::string& report) {
  std::vector<std::string> lines;
  std::istringstream in(report);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct ReportRow {
  const char* machine;
  std::vector<const char*> expected;  // lines the report must hold
  friend std::ostream& operator<<(std::ostream& out, const ReportRow& row) {
    return out << row.machine;
  }
};

class ReportOnFixture : public ::testing::TestWithParam<ReportRow> {};

TEST_P(ReportOnFixture, GivesEachFigureWithItsSource) {
  detect::Detection detection(fixtures::readerOf(GetParam().machine));
  const std::vector<std::string> lines = linesOf(detectionReport(detection.answers()));
  EXPECT_EQ(lines.size(), 12u);
  for (const char* expected : GetParam().expected) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
        << expected << "\nin:\n"
        << ::testing::PrintToString(lines);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Machines, ReportOnFixture,
    ::testing::Values(
        ReportRow{"intel-no-smbios",
                  {"System Clock: 100 Mhz (CPUID)", "Frontside Bus: 200 Mhz (derived)",
                   "CPU Multiplier: 43 (derived)", "CPU Speed: 4300 Mhz (sysfs)",
                   "Processor socket: unknown", "L2 Cache Size: 512 KB (sysfs)",
                   "L2 Cache Speed: 4300 Mhz (derived)", "Mainboard model: BM-Z490 PLUS (sysfs)"}},
        ReportRow{"virtual-machine",
                  {"System Clock: unknown", "Processor socket: CPU 0 (SMBIOS)",
                   "CPU Speed: 2300 Mhz (cpuinfo)", "Mainboard vendor: unknown",
                   "BIOS version: 1.16.2-vm (sysfs)"}},
        // The last processor's figures, as in the window; its clock is the table's.
        ReportRow{
            "two-socket-server",
            {"System Clock: 166 Mhz (SMBIOS)", "CPU Multiplier: 15.2 (derived)",
             "CPU Speed: 2533 Mhz (SMBIOS, rated)", "Mainboard vendor: Server Boards Co. (SMBIOS)",
             "Processor socket: CPU3 (SMBIOS)"}}));

struct ZeroRow {
  const char* name;
  std::int64_t bus;
  std::int64_t speed;
  std::vector<const char*> expected;
  friend std::ostream& operator<<(std::ostream& out, const ZeroRow& row) { return out << row.name; }
};

class ZeroClock : public ::testing::TestWithParam<ZeroRow> {};

// Firmware and virtual machines write 0 for a clock they do not know: whichever platform
// read it, that is an unknown figure, not a figure of 0 nor one worked out from 0.
TEST_P(ZeroClock, IsUnknownAndGivesNothingDerived) {
  detect::Detection detection(
      testing::fixedReader({.processor = {.busMhz = testing::fact(GetParam().bus),
                                          .speedMhz = testing::fact(GetParam().speed)}}));
  const std::vector<std::string> lines = linesOf(detectionReport(detection.answers()));
  for (const char* expected : GetParam().expected) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
        << expected << "\nin:\n"
        << ::testing::PrintToString(lines);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, ZeroClock,
    ::testing::Values(ZeroRow{"bus",
                              0,
                              2000,
                              {"System Clock: unknown", "Frontside Bus: unknown",
                               "CPU Multiplier: unknown", "CPU Speed: 2000 Mhz (WMI, rated)"}},
                      ZeroRow{"speed",
                              100,
                              0,
                              {"System Clock: 100 Mhz (WMI)", "Frontside Bus: 200 Mhz (derived)",
                               "CPU Multiplier: unknown", "CPU Speed: unknown",
                               "L2 Cache Speed: unknown"}}),
    [](const ::testing::TestParamInfo<ZeroRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace freqsmith
