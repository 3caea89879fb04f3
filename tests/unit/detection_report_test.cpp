// The detection report: the tab's figures with their sources on the fixture machines and on
// fake management services, and the reasons given for figures nothing reported.
#include "detection_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "deadline_service.h"
#include "fake_service.h"
#include "fixture_machines.h"
#include "hardware_query.h"
#include "main_window_controls.h"

namespace freqsmith::detect {
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
  DeadlineService service(fixtures::serviceOf(GetParam().machine));
  const std::vector<std::string> lines = linesOf(detectionReport(service));
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
        // The last processor's figures, as in the window.
        ReportRow{"two-socket-server",
                  {"System Clock: 166 Mhz (SMBIOS)", "CPU Multiplier: 15.2 (derived)",
                   "CPU Speed: 2533 Mhz (SMBIOS)", "Mainboard vendor: Server Boards Co. (SMBIOS)",
                   "Processor socket: CPU3 (SMBIOS)"}}));

class Figures : public ::testing::Test {
 protected:
  std::vector<FigureLine> describe() {
    const Provenance provenance = runDetection(service, form);
    return describeFigures(form, provenance);
  }
  const FigureLine& line(const std::vector<FigureLine>& lines, std::string_view heading) {
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&](const FigureLine& l) { return l.heading == heading; });
    if (found == lines.end()) throw std::out_of_range(std::string(heading));
    return *found;
  }

  FakeService service;
  MemoryForm form{mainwin::kControls, mainwin::kExplanationLine};
};

TEST_F(Figures, AZeroClockIsShownButGivesNoMultiplier) {
  service.add("Win32_Processor", RecordInstance{{"ExtClock", std::int64_t{0}},
                                                {"CurrentClockSpeed", std::int64_t{2000}}});
  const std::vector<FigureLine> lines = describe();
  EXPECT_EQ(line(lines, "System Clock").shown, "0");
  EXPECT_EQ(line(lines, "Frontside Bus").source, Source::Derived);
  EXPECT_FALSE(line(lines, "CPU Multiplier").source);
  EXPECT_FALSE(line(lines, "CPU Multiplier").whyUnknown.empty());
}

TEST_F(Figures, UnknownOnesKeepTheirDesignTextAndSayWhy) {
  RecordInstance processor;
  processor.set("CurrentClockSpeed", Property{std::int64_t{2400}, Source::Cpuinfo});
  processor.setGap("ExtClock", Gap::AdministratorOnly);
  service.add("Win32_Processor", processor);
  const std::vector<FigureLine> lines = describe();
  for (const FigureLine& figure : lines) {
    EXPECT_EQ(figure.whyUnknown.empty(), figure.source.has_value()) << figure.heading;
  }
  EXPECT_EQ(line(lines, "System Clock").shown, "sysclk");
  EXPECT_EQ(line(lines, "Processor socket").shown, "Socket XXX");
  EXPECT_EQ(line(lines, "CPU Speed").source, Source::Cpuinfo);
  EXPECT_EQ(line(lines, "L2 Cache Speed").source, Source::Derived);
  // Withheld from ordinary users and not reported at all read differently.
  EXPECT_NE(line(lines, "System Clock").whyUnknown, line(lines, "Processor socket").whyUnknown);
}

}  // namespace
}  // namespace freqsmith::detect
