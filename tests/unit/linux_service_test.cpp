// LinuxService on the fixture machine trees, each with its recorded CPUID answers where it
// has them, and on the machine running the tests.
#include "linux_service.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <system_error>
#include <variant>

#include "cpuinfo.h"
#include "fixture_machines.h"

namespace freqsmith::detect {
namespace {

using fixtures::cpuidOf;
using fixtures::machine;

std::vector<std::unique_ptr<ServiceInstance>> instancesOf(const std::string& machineName,
                                                          std::string_view className) {
  LinuxService service(machine(machineName), cpuidOf(machineName));
  const auto connection = service.connect();
  if (!connection) return {};
  return connection->instancesOf(className);
}

std::string describe(const std::optional<Property>& property) {
  if (!property) return "absent";
  const std::string source = " (" + std::string(sourceName(property->source)) + ")";
  if (const auto* text = std::get_if<std::string>(&property->value)) {
    return '"' + *text + '"' + source;
  }
  return std::to_string(std::get<std::int64_t>(property->value)) + source;
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
        CountRow{"arm-board", "Win32_BIOS", 0}, CountRow{"intel-no-smbios", "Win32_Processor", 1},
        CountRow{"intel-no-smbios", "Win32_BaseBoard", 1},
        CountRow{"intel-no-smbios", "Win32_BIOS", 1},
        CountRow{"virtual-machine", "Win32_Processor", 1},
        CountRow{"virtual-machine", "Win32_BaseBoard", 1},
        CountRow{"virtual-machine", "Win32_BIOS", 1}, CountRow{"malformed", "Win32_Processor", 1},
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
  std::optional<Property> value;
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
Property fromCpuinfo(PropertyValue value) {
  return {std::move(value), Source::Cpuinfo};
}
Property fromSysfs(PropertyValue value) {
  return {std::move(value), Source::Sysfs};
}
Property fromSmbios(PropertyValue value) {
  return {std::move(value), Source::Smbios};
}
Property fromCpuid(PropertyValue value) {
  return {std::move(value), Source::Cpuid};
}
constexpr const char* kCpu = "Win32_Processor";
constexpr const char* kBoard = "Win32_BaseBoard";
constexpr const char* kBios = "Win32_BIOS";

INSTANTIATE_TEST_SUITE_P(
    IntelDesktop, ReadsProperty,
    ::testing::Values(
        PropertyRow{"intel-desktop", kCpu, 0, "Manufacturer", fromCpuinfo(Text("GenuineIntel"))},
        PropertyRow{"intel-desktop", kCpu, 0, "Name",
                    fromCpuinfo(Text("Desktop Processor Q4-4200 @ 4.20GHz"))},
        // cpufreq (3600478 kHz) wins over cpuinfo's 800 MHz and the table's 4200.
        PropertyRow{"intel-desktop", kCpu, 0, "CurrentClockSpeed", fromSysfs(Number(3600))},
        PropertyRow{"intel-desktop", kCpu, 0, "L2CacheSize", fromSysfs(Number(1024))},
        PropertyRow{"intel-desktop", kCpu, 0, "ExtClock", fromSmbios(Number(100))},
        PropertyRow{"intel-desktop", kCpu, 0, "SocketDesignation", fromSmbios(Text("LGA1151"))},
        PropertyRow{"intel-desktop", kCpu, 0, "extclock", fromSmbios(Number(100))},
        PropertyRow{"intel-desktop", kCpu, 0, "MANUFACTURER", fromCpuinfo(Text("GenuineIntel"))},
        PropertyRow{"intel-desktop", kCpu, 0, "Caption", kAbsent},
        // Gathered once, read by nothing: no longer gathered.
        PropertyRow{"intel-desktop", kCpu, 0, "MaxClockSpeed", kAbsent},
        PropertyRow{"intel-desktop", kBios, 0, "ReleaseDate", kAbsent},
        // The sysfs files win over the table, whose board strings differ.
        PropertyRow{"intel-desktop", kBoard, 0, "Manufacturer",
                    fromSysfs(Text("Board Maker Inc."))},
        PropertyRow{"intel-desktop", kBoard, 0, "Product", fromSysfs(Text("BM-Z270 DESKTOP"))},
        PropertyRow{"intel-desktop", kBoard, 0, "Version", fromSysfs(Text("Rev 1.xx"))},
        PropertyRow{"intel-desktop", kBoard, 0, "product", fromSysfs(Text("BM-Z270 DESKTOP"))},
        PropertyRow{"intel-desktop", kBios, 0, "Version", fromSysfs(Text("1203"))}));

INSTANTIATE_TEST_SUITE_P(
    IntelWithoutTable, ReadsProperty,
    ::testing::Values(
        // Leaf 0x16 gives the bus clock; leaf 0x15's crystal is left alone.
        PropertyRow{"intel-no-smbios", kCpu, 0, "ExtClock", fromCpuid(Number(100))},
        PropertyRow{"intel-no-smbios", kCpu, 0, "CurrentClockSpeed", fromSysfs(Number(4300))},
        PropertyRow{"intel-no-smbios", kCpu, 0, "SocketDesignation", kAbsent},
        PropertyRow{"intel-no-smbios", kCpu, 0, "L2CacheSize", fromSysfs(Number(512))},
        PropertyRow{"intel-no-smbios", kBoard, 0, "Product", fromSysfs(Text("BM-Z490 PLUS"))},
        PropertyRow{"intel-no-smbios", kBios, 0, "Version", fromSysfs(Text("F21"))}));

INSTANTIATE_TEST_SUITE_P(
    AmdDesktop, ReadsProperty,
    ::testing::Values(
        PropertyRow{"amd-desktop", kCpu, 0, "Manufacturer", fromCpuinfo(Text("AuthenticAMD"))},
        PropertyRow{"amd-desktop", kCpu, 0, "Name",
                    fromCpuinfo(Text("Desktop Processor R8-3600 8-Core"))},
        PropertyRow{"amd-desktop", kCpu, 0, "CurrentClockSpeed", fromCpuinfo(Number(3593))},
        PropertyRow{"amd-desktop", kCpu, 0, "L2CacheSize", fromSysfs(Number(1024))},
        // The recorded leaf 0x16 lies past the highest basic leaf, 0x10.
        PropertyRow{"amd-desktop", kCpu, 0, "ExtClock", kAbsent},
        PropertyRow{"amd-desktop", kCpu, 0, "SocketDesignation", kAbsent},
        PropertyRow{"amd-desktop", kBoard, 0, "Manufacturer", fromSysfs(Text("Board Maker Inc."))},
        PropertyRow{"amd-desktop", kBoard, 0, "Product", fromSysfs(Text("BM-X570 PRO"))},
        PropertyRow{"amd-desktop", kBoard, 0, "Version", fromSysfs(Text("Rev X.0x"))},
        PropertyRow{"amd-desktop", kBios, 0, "Version", fromSysfs(Text("4021"))}));

INSTANTIATE_TEST_SUITE_P(
    VirtualMachine, ReadsProperty,
    ::testing::Values(
        // The table says 0 and leaf 0x16 is all zeros; the hypervisor's leaves are not asked.
        PropertyRow{"virtual-machine", kCpu, 0, "ExtClock", kAbsent},
        PropertyRow{"virtual-machine", kCpu, 0, "SocketDesignation", fromSmbios(Text("CPU 0"))},
        PropertyRow{"virtual-machine", kCpu, 0, "CurrentClockSpeed", fromCpuinfo(Number(2300))},
        PropertyRow{"virtual-machine", kCpu, 0, "L2CacheSize", fromSysfs(Number(4096))},
        PropertyRow{"virtual-machine", kBoard, 0, "Manufacturer", kAbsent},
        PropertyRow{"virtual-machine", kBios, 0, "Version", fromSysfs(Text("1.16.2-vm"))}));

INSTANTIATE_TEST_SUITE_P(
    TwoSocketServer, ReadsProperty,
    ::testing::Values(
        // Package 0 first, although cpu0 sits in package 1; the empty second socket of the
        // table is passed over.
        PropertyRow{"two-socket-server", kCpu, 0, "Name",
                    fromCpuinfo(Text("Server Processor S4-2930 @ 2.93GHz"))},
        // Only cpu1, package 0's first CPU, has cpufreq; it beats "cpu MHz" and the table.
        PropertyRow{"two-socket-server", kCpu, 0, "CurrentClockSpeed", fromSysfs(Number(2926))},
        PropertyRow{"two-socket-server", kCpu, 0, "L2CacheSize", fromSysfs(Number(512))},
        PropertyRow{"two-socket-server", kCpu, 0, "ExtClock", fromSmbios(Number(133))},
        PropertyRow{"two-socket-server", kCpu, 0, "SocketDesignation", fromSmbios(Text("CPU1"))},
        PropertyRow{"two-socket-server", kCpu, 0, "Manufacturer",
                    fromCpuinfo(Text("GenuineIntel"))},
        PropertyRow{"two-socket-server", kCpu, 1, "Name",
                    fromCpuinfo(Text("Server Processor S4-2530 @ 2.53GHz"))},
        // No cpufreq and no "cpu MHz" lines: the table's speeds.
        PropertyRow{"two-socket-server", kCpu, 1, "CurrentClockSpeed", fromSmbios(Number(2533))},
        PropertyRow{"two-socket-server", kCpu, 1, "L2CacheSize", fromSysfs(Number(1024))},
        PropertyRow{"two-socket-server", kCpu, 1, "ExtClock", fromSmbios(Number(166))},
        PropertyRow{"two-socket-server", kCpu, 1, "SocketDesignation", fromSmbios(Text("CPU3"))},
        // No sys/class/dmi: board and BIOS come from the table.
        PropertyRow{"two-socket-server", kBoard, 0, "Manufacturer",
                    fromSmbios(Text("Server Boards Co."))},
        PropertyRow{"two-socket-server", kBoard, 0, "Product", fromSmbios(Text("SB-2S"))},
        PropertyRow{"two-socket-server", kBoard, 0, "Version", kAbsent},
        PropertyRow{"two-socket-server", kBios, 0, "Version", fromSmbios(Text("2.1a"))}));

INSTANTIATE_TEST_SUITE_P(
    NoDmi, ReadsProperty,
    ::testing::Values(
        PropertyRow{"no-dmi", kCpu, 0, "Manufacturer", fromCpuinfo(Text("GenuineIntel"))},
        PropertyRow{"no-dmi", kCpu, 0, "Name", fromCpuinfo(Text("Virtual Server Processor (V2)"))},
        PropertyRow{"no-dmi", kCpu, 0, "CurrentClockSpeed", fromCpuinfo(Number(2993))},
        PropertyRow{"no-dmi", kCpu, 0, "L2CacheSize", kAbsent},
        PropertyRow{"no-dmi", kCpu, 0, "ExtClock", kAbsent},
        PropertyRow{"no-dmi", kCpu, 0, "SocketDesignation", kAbsent}));

INSTANTIATE_TEST_SUITE_P(
    ArmBoard, ReadsProperty,
    ::testing::Values(PropertyRow{"arm-board", kCpu, 0, "Manufacturer", kAbsent},
                      PropertyRow{"arm-board", kCpu, 0, "Name", fromCpuinfo(Text("SBC-SOC1"))},
                      PropertyRow{"arm-board", kCpu, 0, "CurrentClockSpeed",
                                  fromSysfs(Number(1500))},
                      PropertyRow{"arm-board", kCpu, 0, "L2CacheSize", fromSysfs(Number(1024))},
                      PropertyRow{"arm-board", kCpu, 0, "ExtClock", kAbsent},
                      PropertyRow{"arm-board", kCpu, 0, "SocketDesignation", kAbsent}));

INSTANTIATE_TEST_SUITE_P(
    Malformed, ReadsProperty,
    ::testing::Values(
        PropertyRow{"malformed", kCpu, 0, "Manufacturer", fromCpuinfo(Text("GenuineIntel"))},
        PropertyRow{"malformed", kCpu, 0, "Name", kAbsent},  // the line holds binary junk
        PropertyRow{"malformed", kCpu, 0, "CurrentClockSpeed", kAbsent},
        PropertyRow{"malformed", kCpu, 0, "L2CacheSize", kAbsent},
        PropertyRow{"malformed", kCpu, 0, "ExtClock", kAbsent},
        PropertyRow{"malformed", kCpu, 0, "SocketDesignation", kAbsent},
        PropertyRow{"malformed", kBoard, 0, "Manufacturer", kAbsent},  // empty file
        PropertyRow{"malformed", kBoard, 0, "Product", kAbsent},       // a directory
        PropertyRow{"malformed", kBoard, 0, "Version", kAbsent},       // binary
        PropertyRow{"malformed", kBios, 0, "Version", fromSysfs(Text("F.20"))}));

// The bus clock of one machine's files with another's CPUID answers: the first that gives a
// figure wins, the SMBIOS table before CPUID, and 0 counts as none.
struct BusClockRow {
  const char* files;
  const char* cpuid;  // the machine whose answers the processor gives; nullptr: not asked
  std::optional<Property> busClock;
  friend std::ostream& operator<<(std::ostream& out, const BusClockRow& row) {
    return out << row.files << " with the CPUID of " << (row.cpuid ? row.cpuid : "none");
  }
};

class BusClock : public ::testing::TestWithParam<BusClockRow> {};

TEST_P(BusClock, TakesTheFirstSourceThatGivesOne) {
  const BusClockRow& row = GetParam();
  LinuxService service(machine(row.files), row.cpuid ? cpuidOf(row.cpuid) : nullptr);
  const auto cpus = service.connect()->instancesOf(kCpu);
  ASSERT_FALSE(cpus.empty());
  EXPECT_EQ(describe(cpus[0]->property("ExtClock")), describe(row.busClock));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, BusClock,
    ::testing::Values(BusClockRow{"intel-desktop", "intel-no-smbios", fromSmbios(Number(100))},
                      BusClockRow{"two-socket-server", "intel-no-smbios", fromSmbios(Number(133))},
                      BusClockRow{"virtual-machine", "intel-no-smbios", fromCpuid(Number(100))},
                      BusClockRow{"no-dmi", "intel-no-smbios", fromCpuid(Number(100))},
                      BusClockRow{"intel-no-smbios", nullptr, kAbsent},
                      BusClockRow{"virtual-machine", "amd-desktop", kAbsent},
                      BusClockRow{"intel-no-smbios", "virtual-machine", kAbsent}));

// Runs `check` as a user who may not read what only its owner may: in a child that gives up
// root when the tests run as root. Gives whether `check` held.
bool asOrdinaryUser(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  const pid_t child = ::fork();
  if (child == 0) {
    const bool held = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
    ::_exit(held ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST(LinuxService, SaysWhenOnlyTheAdministratorMayReadTheTable) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::path(::testing::TempDir()) / "freqsmith-private-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path root = pattern;
  fs::permissions(root, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  fs::copy(machine("amd-desktop"), root / "machine", fs::copy_options::recursive);
  const fs::path table = root / "machine" / "sys" / "firmware" / "dmi" / "tables" / "DMI";
  fs::create_directories(table.parent_path());
  fs::copy_file(machine("intel-desktop") / "sys" / "firmware" / "dmi" / "tables" / "DMI", table);
  fs::permissions(table, fs::perms::none);

  const auto readsAsTheKernelLetsIt = [&root] {
    const auto cpus = LinuxService(root / "machine", nullptr).connect()->instancesOf(kCpu);
    return cpus.size() == 1 && !cpus[0]->property("ExtClock") &&
           cpus[0]->gap("ExtClock") == Gap::AdministratorOnly &&
           cpus[0]->gap("SocketDesignation") == Gap::AdministratorOnly &&
           cpus[0]->property("Name").has_value();
  };
  EXPECT_TRUE(asOrdinaryUser(readsAsTheKernelLetsIt));
  fs::remove(table);
  const auto cpus = LinuxService(root / "machine", nullptr).connect()->instancesOf(kCpu);
  fs::remove_all(root);
  ASSERT_EQ(cpus.size(), 1u);
  EXPECT_EQ(cpus[0]->gap("ExtClock"), Gap::NotReported);
  EXPECT_EQ(cpus[0]->gap("SocketDesignation"), Gap::NotReported);
}

TEST(LinuxService, GivesIntegersAsIntegersAndTextAsText) {
  const auto cpus = instancesOf("intel-desktop", kCpu);
  ASSERT_EQ(cpus.size(), 1u);
  EXPECT_TRUE(std::holds_alternative<std::int64_t>(cpus[0]->property("L2CacheSize")->value));
  EXPECT_TRUE(std::holds_alternative<std::string>(cpus[0]->property("SocketDesignation")->value));
}

TEST(LinuxService, AnswersRepeatedQueriesOnOneConnectionAlike) {
  LinuxService service(machine("two-socket-server"), nullptr);
  const auto connection = service.connect();
  ASSERT_NE(connection, nullptr);
  for (int round = 0; round < 2; ++round) {
    const auto cpus = connection->instancesOf(kCpu);
    ASSERT_EQ(cpus.size(), 2u);
    EXPECT_EQ(describe(cpus[1]->property("ExtClock")), "166 (SMBIOS)");
    EXPECT_EQ(connection->instancesOf(kBoard).size(), 1u);
  }
}

TEST(LinuxService, SurvivesEveryClassOnEveryFixture) {
  for (const char* name : {"intel-desktop", "intel-no-smbios", "amd-desktop", "virtual-machine",
                           "two-socket-server", "no-dmi", "arm-board", "malformed"}) {
    LinuxService service(machine(name), cpuidOf(name));
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

  LinuxService service(root, nullptr);
  const auto cpus = service.connect()->instancesOf(kCpu);
  std::filesystem::remove_all(root);
  ASSERT_EQ(cpus.size(), 2u);
  EXPECT_EQ(describe(cpus[0]->property("Name")), "\"First\" (cpuinfo)");
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
