// The Windows reader on WMI answers recorded as real machines give them: firmware strings
// padded or empty, AMI's BIOS version, a bus clock of 0, a class the repository lost, an
// enumeration that fails halfway; and what is asked of the service.
#include "wmi_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "detection.h"
#include "detection_report.h"
#include "hardware_query.h"
#include "main_window_controls.h"
#include "recorded_wmi.h"

namespace freqsmith {
namespace {

using detect::WmiValue;
using testing::RecordedClass;
using testing::RecordedWmi;
using Instance = std::vector<std::pair<std::string, WmiValue>>;

// A desktop whose WMI answers in full, as Windows 11 on an AMI board does.
Instance desktopProcessor() {
  return {{"Manufacturer", std::string("AuthenticAMD")},
          {"ExtClock", std::int64_t{100}},
          {"CurrentClockSpeed", std::int64_t{3800}},
          {"L2CacheSize", std::int64_t{4096}},
          {"Name", std::string("AMD Ryzen 7 5800X 8-Core Processor")},
          {"SocketDesignation", std::string("AM4")}};
}
Instance desktopBoard() {
  return {{"Manufacturer", std::string("ASUSTeK COMPUTER INC.")},
          {"Product", std::string("ROG STRIX B550-F GAMING")},
          {"Version", std::string("Rev X.0x")}};
}
Instance desktopBios() {
  return {{"Version", std::string("ALASKA - 1072009")}, {"SMBIOSBIOSVersion", std::string("2803")}};
}

// `instance` with `property` set to `value`, or left out for std::monostate.
Instance with(Instance instance, const std::string& property, WmiValue value) {
  std::erase_if(instance, [&](const auto& p) { return p.first == property; });
  if (!std::holds_alternative<std::monostate>(value))
    instance.emplace_back(property, std::move(value));
  return instance;
}

std::vector<RecordedClass> desktop() {
  return {{"Win32_Processor", {desktopProcessor()}, {}},
          {"Win32_BaseBoard", {desktopBoard()}, {}},
          {"Win32_BIOS", {desktopBios()}, {}}};
}

struct Outcome {
  std::vector<std::string> lines;  // the report, line by line
  std::vector<std::string> faults;
  std::string maker;  // Textmaker, which picks the logo
};

Outcome detect(std::vector<RecordedClass> classes,
               std::shared_ptr<const detect::CpuidReader> cpuid = nullptr) {
  detect::Detection detection(
      detect::wmiReader(std::make_shared<RecordedWmi>(std::move(classes)), std::move(cpuid)));
  const detect::Hardware& hardware = detection.answers();
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  Outcome outcome;
  std::istringstream report(reportText(runDetection(form, hardware)));
  for (std::string line; std::getline(report, line);) outcome.lines.push_back(line);
  for (const detect::PartFault& fault : faults(hardware)) {
    outcome.faults.push_back(std::string(fault.part) + ": " + fault.detail);
  }
  outcome.maker = form.text(mainwin::field("Textmaker"));
  return outcome;
}

struct AnswerRow {
  const char* name;
  std::vector<RecordedClass> classes;
  std::vector<const char*> lines;   // each a whole line the report must hold
  std::vector<const char*> faults;  // "part: error" for each part the service failed for
  friend std::ostream& operator<<(std::ostream& out, const AnswerRow& row) {
    return out << row.name;
  }
};

class WmiAnswers : public ::testing::TestWithParam<AnswerRow> {};

TEST_P(WmiAnswers, BecomeTheFiguresTheyMean) {
  const AnswerRow& row = GetParam();
  const Outcome outcome = detect(row.classes);
  for (const char* expected : row.lines) {
    EXPECT_NE(std::find(outcome.lines.begin(), outcome.lines.end(), expected), outcome.lines.end())
        << expected << "\nin:\n"
        << ::testing::PrintToString(outcome.lines);
  }
  EXPECT_EQ(outcome.faults, std::vector<std::string>(row.faults.begin(), row.faults.end()));
}

std::vector<RecordedClass> desktopWithInstances(const char* className,
                                                std::vector<Instance> instances) {
  std::vector<RecordedClass> classes = desktop();
  for (RecordedClass& recorded : classes) {
    // A class is recorded once; the instances go to it alone.
    if (recorded.name == className) {
      recorded.instances = std::move(instances);
      break;
    }
  }
  return classes;
}

std::vector<RecordedClass> desktopWith(const char* className, Instance instance) {
  return desktopWithInstances(className, {std::move(instance)});
}

std::vector<RecordedClass> desktopFailing(const char* className, std::string error,
                                          std::vector<Instance> before = {}) {
  std::vector<RecordedClass> classes = desktop();
  for (RecordedClass& recorded : classes) {
    if (recorded.name == className) {
      recorded = {className, std::move(before), std::move(error)};
      break;
    }
  }
  return classes;
}

INSTANTIATE_TEST_SUITE_P(
    Bios, WmiAnswers,
    ::testing::Values(
        // AMI's Version is the vendor and a date code, the same after every update.
        AnswerRow{
            "SMBIOSBIOSVersion wins over Version", desktop(), {"BIOS version: 2803 (WMI)"}, {}},
        AnswerRow{"Version where SMBIOSBIOSVersion is absent",
                  desktopWith("Win32_BIOS", with(desktopBios(), "SMBIOSBIOSVersion", {})),
                  {"BIOS version: ALASKA - 1072009 (WMI)"},
                  {}},
        AnswerRow{
            "Version where SMBIOSBIOSVersion is blank",
            desktopWith("Win32_BIOS", with(desktopBios(), "SMBIOSBIOSVersion", std::string("   "))),
            {"BIOS version: ALASKA - 1072009 (WMI)"},
            {}},
        AnswerRow{"the board's version where the BIOS gives neither",
                  desktopWithInstances("Win32_BIOS", {}),
                  {"BIOS version: Rev X.0x (WMI)"},
                  {}}));

INSTANTIATE_TEST_SUITE_P(
    Strings, WmiAnswers,
    ::testing::Values(
        AnswerRow{"trailing blanks are trimmed",
                  desktopWith("Win32_Processor",
                              with(with(desktopProcessor(), "Name",
                                        std::string("AMD Ryzen 7 5800X 8-Core Processor      ")),
                                   "Manufacturer", std::string("AuthenticAMD "))),
                  {"Processor type: AMD Ryzen 7 5800X 8-Core Processor (WMI)",
                   "Processor maker: AuthenticAMD (WMI)"},
                  {}},
        AnswerRow{
            "an empty string is not reported",
            desktopWith("Win32_BaseBoard", with(desktopBoard(), "Manufacturer", std::string())),
            {"Mainboard vendor: unknown", "Mainboard model: ROG STRIX B550-F GAMING (WMI)"},
            {}},
        AnswerRow{
            "a string of blanks is not reported",
            desktopWith("Win32_BaseBoard", with(desktopBoard(), "Product", std::string(" \t "))),
            {"Mainboard model: unknown"},
            {}},
        AnswerRow{"a placeholder is shown as the firmware has it",
                  desktopWith("Win32_BaseBoard", with(desktopBoard(), "Product",
                                                      std::string("To Be Filled By O.E.M."))),
                  {"Mainboard model: To Be Filled By O.E.M. (WMI)"},
                  {}},
        AnswerRow{"a null is not reported",
                  desktopWith("Win32_Processor", with(desktopProcessor(), "SocketDesignation", {})),
                  {"Processor socket: unknown"},
                  {}}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, WmiAnswers,
    ::testing::Values(
        AnswerRow{
            "a bus clock of 0 is unknown",
            desktopWith("Win32_Processor", with(desktopProcessor(), "ExtClock", std::int64_t{0})),
            {"System Clock: unknown", "Frontside Bus: unknown", "CPU Multiplier: unknown",
             "CPU Speed: 3800 Mhz (WMI, rated)"},
            {}},
        AnswerRow{"a 64-bit figure comes as text",
                  desktopWith("Win32_Processor",
                              with(desktopProcessor(), "L2CacheSize", std::string("4096"))),
                  {"L2 Cache Size: 4096 KB (WMI)"},
                  {}},
        AnswerRow{"text that is no number is not reported",
                  desktopWith("Win32_Processor",
                              with(desktopProcessor(), "L2CacheSize", std::string("4 MB"))),
                  {"L2 Cache Size: unknown"},
                  {}},
        AnswerRow{"the clocks read as what they are",
                  desktop(),
                  {"System Clock: 100 Mhz (WMI)", "CPU Speed: 3800 Mhz (WMI, rated)",
                   "CPU Multiplier: 38 (derived)", "Frontside Bus: 200 Mhz (derived)"},
                  {}}));

constexpr const char* kNotFound = "0x80041002 Not found";

INSTANTIATE_TEST_SUITE_P(
    Failures, WmiAnswers,
    ::testing::Values(
        // Every one of the classes is built into Windows: not finding one means a damaged
        // repository, which is a failure to tell, never "this system does not report".
        AnswerRow{"a built-in class is invalid",
                  desktopFailing("Win32_BIOS", std::string(testing::kInvalidClass)),
                  {"BIOS version: Rev X.0x (WMI)", "Processor maker: AuthenticAMD (WMI)"},
                  {"BIOS: 0x80041010 Invalid class"}},
        AnswerRow{"a built-in class is not found",
                  desktopFailing("Win32_Processor", kNotFound),
                  {"Processor maker: unknown (service failed: 0x80041002 Not found)",
                   "System Clock: unknown (service failed: 0x80041002 Not found)",
                   "CPU Multiplier: unknown", "Mainboard vendor: ASUSTeK COMPUTER INC. (WMI)"},
                  {"processor: 0x80041002 Not found"}},
        AnswerRow{"what came before a failure stays",
                  desktopFailing("Win32_BaseBoard", "0x80041033 Shutting down",
                                 {{{"Manufacturer", std::string("ASUSTeK COMPUTER INC.")}}}),
                  {"Mainboard vendor: ASUSTeK COMPUTER INC. (WMI)",
                   "Mainboard model: unknown (service failed: 0x80041033 Shutting down)"},
                  {"mainboard: 0x80041033 Shutting down"}},
        AnswerRow{
            "an unreachable service fails every part",
            {{"Win32_Processor", {}, "0x80070005 Access is denied."},
             {"Win32_BaseBoard", {}, "0x80070005 Access is denied."},
             {"Win32_BIOS", {}, "0x80070005 Access is denied."}},
            {"Processor maker: unknown (service failed: 0x80070005 Access is denied.)",
             "BIOS version: unknown (service failed: 0x80070005 Access is denied.)"},
            {"processor: 0x80070005 Access is denied.", "mainboard: 0x80070005 Access is denied.",
             "BIOS: 0x80070005 Access is denied."}}));

INSTANTIATE_TEST_SUITE_P(
    Instances, WmiAnswers,
    ::testing::Values(
        // Two processors: the second wins; what it lacks, the first still gives.
        AnswerRow{"the last instance wins",
                  desktopWithInstances("Win32_Processor",
                                       {desktopProcessor(), with(with(desktopProcessor(), "Name",
                                                                      std::string("Second")),
                                                                 "SocketDesignation", {})}),
                  {"Processor type: Second (WMI)", "Processor socket: AM4 (WMI)"},
                  {}},
        AnswerRow{
            "a class with no instances reports nothing",
            {{"Win32_Processor", {}, {}}, {"Win32_BaseBoard", {}, {}}, {"Win32_BIOS", {}, {}}},
            {"Processor maker: unknown", "Mainboard vendor: unknown", "BIOS version: unknown"},
            {}}));

TEST(WmiReader, TheLogoFollowsTheTrimmedMaker) {
  const Outcome outcome = detect(desktopWith(
      "Win32_Processor", with(desktopProcessor(), "Manufacturer", std::string("AuthenticAMD  "))));
  EXPECT_EQ(outcome.maker, "AuthenticAMD");
}

TEST(WmiReader, TakesTheProcessorsBusClockWhereWmiGivesZero) {
  auto cpuid = std::make_shared<detect::RecordedCpuid>(
      std::vector<std::pair<std::uint32_t, detect::CpuidRegisters>>{
          {0x0, {0x16, 0, 0, 0}}, {detect::kFrequencyLeaf, {3800, 4700, 100, 0}}});
  const Outcome outcome = detect(
      desktopWith("Win32_Processor", with(desktopProcessor(), "ExtClock", std::int64_t{0})), cpuid);
  EXPECT_NE(std::find(outcome.lines.begin(), outcome.lines.end(), "System Clock: 100 Mhz (CPUID)"),
            outcome.lines.end())
      << ::testing::PrintToString(outcome.lines);
}

// On real Windows, asking for every property of Win32_Processor costs about a second per
// core: each class is asked once, in the load step's order, for just what is read, and the
// BIOS for its SMBIOS version besides the one it calls its version.
TEST(WmiReader, AsksEachClassOnceForThePropertiesItReads) {
  auto session = std::make_shared<RecordedWmi>(desktop());
  detect::Detection detection(detect::wmiReader(session, nullptr));
  (void)detection.answers();
  ASSERT_EQ(session->asked.size(), 3u);
  const auto words = [](const std::string& question) {
    return std::count(question.begin(), question.end(), ' ');
  };
  EXPECT_TRUE(session->asked[0].starts_with("Win32_Processor:"));
  EXPECT_EQ(words(session->asked[0]), 6);
  EXPECT_TRUE(session->asked[1].starts_with("Win32_BaseBoard:"));
  EXPECT_EQ(words(session->asked[1]), 3);
  EXPECT_EQ(session->asked[2], "Win32_BIOS: Version SMBIOSBIOSVersion");
  for (const std::string& question : session->asked) {
    EXPECT_EQ(question.find('*'), std::string::npos) << question;
  }
}

}  // namespace
}  // namespace freqsmith
