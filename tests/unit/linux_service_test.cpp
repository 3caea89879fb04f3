// LinuxService on the fixture machine trees and on the machine running the tests.
#include "linux_service.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <system_error>
#include <variant>

#include "cpuinfo.h"

namespace freqsmith::detect {
namespace {

std::filesystem::path machine(const std::string& name) {
  return std::filesystem::path(FREQSMITH_TEST_DATA) / "machines" / name;
}

std::vector<std::unique_ptr<ServiceInstance>> instancesOf(const std::string& machineName,
                                                          std::string_view className) {
  LinuxService service(machine(machineName));
  const auto connection = service.connect();
  if (!connection) return {};
  return connection->instancesOf(className);
}

std::string describe(const std::optional<PropertyValue>& value) {
  if (!value) return "absent";
  if (const auto* text = std::get_if<std::string>(&*value)) return '"' + *text + '"';
  return std::to_string(std::get<std::int64_t>(*value));
}

struct CountRow {
  const char* machine;
  const char* className;
  std::size_t count;
  friend std::ostream& operator<<(std::ostream& out, const CountRow& row) {
    return out << row.machine << ' ' << row.className;
  }
};

class CountsInstances : public ::testing::TestWithParam<CountRow> {};

TEST_P(CountsInstances, OfEachClass) {
  EXPECT_EQ(instancesOf(GetParam().machine, GetParam().className).size(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, CountsInstances,
    ::testing::Values(
        CountRow{"intel-desktop", "Win32_Processor", 1},
        CountRow{"intel-desktop", "Win32_BaseBoard", 1}, CountRow{"intel-desktop", "Win32_BIOS", 1},
        CountRow{"amd-desktop", "Win32_Processor", 1},
        CountRow{"amd-desktop", "Win32_BaseBoard", 1}, CountRow{"amd-desktop", "Win32_BIOS", 1},
        CountRow{"two-socket-server", "Win32_Processor", 2},
        CountRow{"two-socket-server", "Win32_BaseBoard", 1},
        CountRow{"two-socket-server", "Win32_BIOS", 1}, CountRow{"no-dmi", "Win32_Processor", 1},
        CountRow{"no-dmi", "Win32_BaseBoard", 0}, CountRow{"no-dmi", "Win32_BIOS", 0},
        CountRow{"arm-board", "Win32_Processor", 1}, CountRow{"arm-board", "Win32_BaseBoard", 0},
        CountRow{"arm-board", "Win32_BIOS", 0}, CountRow{"malformed", "Win32_Processor", 1},
        CountRow{"malformed", "Win32_BaseBoard", 1}, CountRow{"malformed", "Win32_BIOS", 1},
        // Class names compare without regard to case, and only whole names match.
        CountRow{"intel-desktop", "win32_processor", 1},
        CountRow{"intel-desktop", "WIN32_BASEBOARD", 1}, CountRow{"intel-desktop", "win32_bios", 1},
        CountRow{"intel-desktop", "Win32_Fan", 0}, CountRow{"intel-desktop", "", 0},
        CountRow{"intel-desktop", "Win32_Processor ", 0},
        CountRow{"intel-desktop", "Win32_Process", 0},
        CountRow{"no-such-machine", "Win32_Processor", 0},
        CountRow{"no-such-machine", "Win32_BaseBoard", 0},
        CountRow{"no-such-machine", "Win32_BIOS", 0}));

struct PropertyRow {
  const char* machine;
  const char* className;
  std::size_t instance;
  const char* property;
  std::optional<PropertyValue> value;
  friend std::ostream& operator<<(std::ostream& out, const PropertyRow& row) {
    return out << row.machine << ' ' << row.className << '[' << row.instance << "]." << row.property
               << " = " << describe(row.value);
  }
};

class ReadsProperty : public ::testing::TestWithParam<PropertyRow> {};

TEST_P(ReadsProperty, WithItsValueOrAbsent) {
  const PropertyRow& row = GetParam();
  const auto instances = instancesOf(row.machine, row.className);
  ASSERT_LT(row.instance, instances.size());
  EXPECT_EQ(describe(instances[row.instance]->property(row.property)), describe(row.value));
}

using Text = std::string;
using Number = std::int64_t;
constexpr auto kAbsent = std::nullopt;
constexpr const char* kCpu = "Win32_Processor";
constexpr const char* kBoard = "Win32_BaseBoard";
constexpr const char* kBios = "Win32_BIOS";

INSTANTIATE_TEST_SUITE_P(
    IntelDesktop, ReadsProperty,
    ::testing::Values(
        PropertyRow{"intel-desktop", kCpu, 0, "Manufacturer", Text("GenuineIntel")},
        PropertyRow{"intel-desktop", kCpu, 0, "Name",
                    Text("Desktop Processor Q4-4200 @ 4.20GHz")},
        // cpufreq (3600478 kHz) wins over cpuinfo's 800 MHz and the table's 4200.
        PropertyRow{"intel-desktop", kCpu, 0, "CurrentClockSpeed", Number(3600)},
        PropertyRow{"intel-desktop", kCpu, 0, "MaxClockSpeed", Number(4500)},
        PropertyRow{"intel-desktop", kCpu, 0, "L2CacheSize", Number(1024)},
        PropertyRow{"intel-desktop", kCpu, 0, "ExtClock", Number(100)},
        PropertyRow{"intel-desktop", kCpu, 0, "SocketDesignation", Text("LGA1151")},
        PropertyRow{"intel-desktop", kCpu, 0, "extclock", Number(100)},
        PropertyRow{"intel-desktop", kCpu, 0, "MANUFACTURER", Text("GenuineIntel")},
        PropertyRow{"intel-desktop", kCpu, 0, "Caption", kAbsent},
        // The sysfs files win over the table, whose board strings differ.
        PropertyRow{"intel-desktop", kBoard, 0, "Manufacturer", Text("Board Maker Inc.")},
        PropertyRow{"intel-desktop", kBoard, 0, "Product", Text("BM-Z270 DESKTOP")},
        PropertyRow{"intel-desktop", kBoard, 0, "Version", Text("Rev 1.xx")},
        PropertyRow{"intel-desktop", kBoard, 0, "product", Text("BM-Z270 DESKTOP")},
        PropertyRow{"intel-desktop", kBios, 0, "Version", Text("1203")},
        PropertyRow{"intel-desktop", kBios, 0, "Manufacturer", Text("Firmware Works Ltd.")},
        PropertyRow{"intel-desktop", kBios, 0, "ReleaseDate", Text("03/01/2018")}));

INSTANTIATE_TEST_SUITE_P(
    AmdDesktop, ReadsProperty,
    ::testing::Values(
        PropertyRow{"amd-desktop", kCpu, 0, "Manufacturer", Text("AuthenticAMD")},
        PropertyRow{"amd-desktop", kCpu, 0, "Name", Text("Desktop Processor R8-3600 8-Core")},
        PropertyRow{"amd-desktop", kCpu, 0, "CurrentClockSpeed", Number(3593)},
        PropertyRow{"amd-desktop", kCpu, 0, "MaxClockSpeed", kAbsent},
        PropertyRow{"amd-desktop", kCpu, 0, "L2CacheSize", Number(1024)},
        PropertyRow{"amd-desktop", kCpu, 0, "ExtClock", kAbsent},
        PropertyRow{"amd-desktop", kCpu, 0, "SocketDesignation", kAbsent},
        PropertyRow{"amd-desktop", kBoard, 0, "Manufacturer", Text("Board Maker Inc.")},
        PropertyRow{"amd-desktop", kBoard, 0, "Product", Text("BM-X570 PRO")},
        PropertyRow{"amd-desktop", kBoard, 0, "Version", Text("Rev X.0x")},
        PropertyRow{"amd-desktop", kBios, 0, "Version", Text("4021")},
        PropertyRow{"amd-desktop", kBios, 0, "Manufacturer", Text("Firmware Works Ltd.")},
        PropertyRow{"amd-desktop", kBios, 0, "ReleaseDate", Text("08/09/2021")}));

INSTANTIATE_TEST_SUITE_P(
    TwoSocketServer, ReadsProperty,
    ::testing::Values(
        // Package 0 first, although cpu0 sits in package 1; the empty second socket of the
        // table is passed over.
        PropertyRow{"two-socket-server", kCpu, 0, "Name",
                    Text("Server Processor S4-2930 @ 2.93GHz")},
        // Only cpu1, package 0's first CPU, has cpufreq; it beats "cpu MHz" and the table.
        PropertyRow{"two-socket-server", kCpu, 0, "CurrentClockSpeed", Number(2926)},
        PropertyRow{"two-socket-server", kCpu, 0, "MaxClockSpeed", Number(2933)},
        PropertyRow{"two-socket-server", kCpu, 0, "L2CacheSize", Number(512)},
        PropertyRow{"two-socket-server", kCpu, 0, "ExtClock", Number(133)},
        PropertyRow{"two-socket-server", kCpu, 0, "SocketDesignation", Text("CPU1")},
        PropertyRow{"two-socket-server", kCpu, 0, "Manufacturer", Text("GenuineIntel")},
        PropertyRow{"two-socket-server", kCpu, 1, "Name",
                    Text("Server Processor S4-2530 @ 2.53GHz")},
        // No cpufreq and no "cpu MHz" lines: the table's speeds.
        PropertyRow{"two-socket-server", kCpu, 1, "CurrentClockSpeed", Number(2533)},
        PropertyRow{"two-socket-server", kCpu, 1, "MaxClockSpeed", Number(2800)},
        PropertyRow{"two-socket-server", kCpu, 1, "L2CacheSize", Number(1024)},
        PropertyRow{"two-socket-server", kCpu, 1, "ExtClock", Number(166)},
        PropertyRow{"two-socket-server", kCpu, 1, "SocketDesignation", Text("CPU3")},
        // No sys/class/dmi: board and BIOS come from the table.
        PropertyRow{"two-socket-server", kBoard, 0, "Manufacturer", Text("Server Boards Co.")},
        PropertyRow{"two-socket-server", kBoard, 0, "Product", Text("SB-2S")},
        PropertyRow{"two-socket-server", kBoard, 0, "Version", kAbsent},
        PropertyRow{"two-socket-server", kBios, 0, "Version", Text("2.1a")},
        PropertyRow{"two-socket-server", kBios, 0, "Manufacturer",
                    Text("Firmware Works Ltd.")},
        PropertyRow{"two-socket-server", kBios, 0, "ReleaseDate", Text("12/15/2010")}));

INSTANTIATE_TEST_SUITE_P(
    NoDmi, ReadsProperty,
    ::testing::Values(PropertyRow{"no-dmi", kCpu, 0, "Manufacturer", Text("GenuineIntel")},
                      PropertyRow{"no-dmi", kCpu, 0, "Name",
                                  Text("Virtual Server Processor (V2)")},
                      PropertyRow{"no-dmi", kCpu, 0, "CurrentClockSpeed", Number(2993)},
                      PropertyRow{"no-dmi", kCpu, 0, "MaxClockSpeed", kAbsent},
                      PropertyRow{"no-dmi", kCpu, 0, "L2CacheSize", kAbsent},
                      PropertyRow{"no-dmi", kCpu, 0, "ExtClock", kAbsent},
                      PropertyRow{"no-dmi", kCpu, 0, "SocketDesignation", kAbsent}));

INSTANTIATE_TEST_SUITE_P(
    ArmBoard, ReadsProperty,
    ::testing::Values(PropertyRow{"arm-board", kCpu, 0, "Manufacturer", kAbsent},
                      PropertyRow{"arm-board", kCpu, 0, "Name", Text("SBC-SOC1")},
                      PropertyRow{"arm-board", kCpu, 0, "CurrentClockSpeed", Number(1500)},
                      PropertyRow{"arm-board", kCpu, 0, "MaxClockSpeed", Number(1800)},
                      PropertyRow{"arm-board", kCpu, 0, "L2CacheSize", Number(1024)},
                      PropertyRow{"arm-board", kCpu, 0, "ExtClock", kAbsent},
                      PropertyRow{"arm-board", kCpu, 0, "SocketDesignation", kAbsent}));

INSTANTIATE_TEST_SUITE_P(
    Malformed, ReadsProperty,
    ::testing::Values(PropertyRow{"malformed", kCpu, 0, "Manufacturer", Text("GenuineIntel")},
                      PropertyRow{"malformed", kCpu, 0, "Name",
                                  kAbsent},  // the line holds binary junk
                      PropertyRow{"malformed", kCpu, 0, "CurrentClockSpeed", kAbsent},
                      PropertyRow{"malformed", kCpu, 0, "MaxClockSpeed", kAbsent},
                      PropertyRow{"malformed", kCpu, 0, "L2CacheSize", kAbsent},
                      PropertyRow{"malformed", kCpu, 0, "ExtClock", kAbsent},
                      PropertyRow{"malformed", kCpu, 0, "SocketDesignation", kAbsent},
                      PropertyRow{"malformed", kBoard, 0, "Manufacturer", kAbsent},  // empty file
                      PropertyRow{"malformed", kBoard, 0, "Product", kAbsent},       // a directory
                      PropertyRow{"malformed", kBoard, 0, "Version", kAbsent},       // binary
                      PropertyRow{"malformed", kBios, 0, "Manufacturer", kAbsent},   // missing
                      PropertyRow{"malformed", kBios, 0, "Version", Text("F.20")},
                      PropertyRow{"malformed", kBios, 0, "ReleaseDate", kAbsent}));  // far too long

TEST(LinuxService, GivesIntegersAsIntegersAndTextAsText) {
  const auto cpus = instancesOf("intel-desktop", kCpu);
  ASSERT_EQ(cpus.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<std::int64_t>(*cpus[0]->property("L2CacheSize")));
  EXPECT_TRUE(std::holds_alternative<std::string>(*cpus[0]->property("SocketDesignation")));
}

TEST(LinuxService, AnswersRepeatedQueriesOnOneConnectionAlike) {
  LinuxService service(machine("two-socket-server"));
  const auto connection = service.connect();
  ASSERT_NE(connection, nullptr);
  for (int round = 0; round < 2; ++round) {
    const auto cpus = connection->instancesOf(kCpu);
    ASSERT_EQ(cpus.size(), 2u);
    EXPECT_EQ(describe(cpus[1]->property("ExtClock")), "166");
    EXPECT_EQ(connection->instancesOf(kBoard).size(), 1u);
  }
}

TEST(LinuxService, SurvivesEveryClassOnEveryFixture) {
  for (const char* name :
       {"intel-desktop", "amd-desktop", "two-socket-server", "no-dmi", "arm-board", "malformed"}) {
    LinuxService service(machine(name));
    const auto connection = service.connect();
    ASSERT_NE(connection, nullptr) << name;
    for (const char* className : {kCpu, kBoard, kBios, "Win32_CacheMemory"}) {
      for (const auto& instance : connection->instancesOf(className)) {
        for (const char* property : {"Manufacturer", "Name", "Version", "ExtClock", ""}) {
          (void)instance->property(property);
        }
      }
    }
  }
}

TEST(LinuxService, DropsTheCpuinfoLineCutByTheReadLimit) {
  const auto root = std::filesystem::path(::testing::TempDir()) /
                    ("linux_service_test_" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "proc");
  const std::string head = "processor\t: 0\nphysical id\t: 0\nmodel name\t: First\n";
  const std::string flags =
      "flags\t: " + std::string(kCpuinfoCap - 60 - head.size() - 9, 'x') + "\n";
  // The last CPU's model name starts 17 bytes before the limit and goes on past it.
  const std::string tail =
      "processor\t: 1\nphysical id\t: 1\nmodel name\t: Second processor name\n";
  const std::size_t nameStart = head.size() + flags.size() + tail.find("Second");
  ASSERT_EQ(nameStart, kCpuinfoCap - 17);
  std::ofstream(root / "proc" / "cpuinfo") << head << flags << tail;

  LinuxService service(root);
  const auto cpus = service.connect()->instancesOf(kCpu);
  std::filesystem::remove_all(root);
  ASSERT_EQ(cpus.size(), 2u);
  EXPECT_EQ(describe(cpus[0]->property("Name")), "\"First\"");
  EXPECT_EQ(describe(cpus[1]->property("Name")), "absent");
}

TEST(LinuxService, RunsOnThisMachine) {
  LinuxService service;
  const auto connection = service.connect();
  ASSERT_NE(connection, nullptr);
  const auto cpus = connection->instancesOf(kCpu);
  (void)connection->instancesOf(kBoard);
  (void)connection->instancesOf(kBios);
  std::error_code error;
  if (std::filesystem::exists("/proc/cpuinfo", error)) {
    EXPECT_GE(cpus.size(), 1u);
  }
  for (const auto& cpu : cpus) {
    RecordProperty("Name", describe(cpu->property("Name")));
    RecordProperty("CurrentClockSpeed", describe(cpu->property("CurrentClockSpeed")));
  }
}

}  // namespace
}  // namespace freqsmith::detect
