// The Linux reader on the fixture machine trees, each with its recorded CPUID answers where
// it has them, and on the machine running the tests.
#include "linux_reader.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <system_error>

#include "cpuinfo.h"
#include "fixture_machines.h"
#include "named_facts.h"

namespace freqsmith::detect {
namespace {

using fixtures::cpuidOf;
using fixtures::machine;

// The machine as detection reads it: the three parts, and the clocks settled as the worker
// settles them.
Hardware read(const Reader& reader) {
  Processor processor = reader.processor();
  settleClocks(processor, reader.cpuid.get());
  return {processor, reader.board(), reader.bios()};
}

Hardware readMachine(const std::string& name) {
  return read(fixtures::readerOf(name));
}

using testing::describe;
using testing::describeFact;

struct FactRow {
  const char* machine;
  std::string_view fact;
  const char* value;  // as describe() gives it
  friend std::ostream& operator<<(std::ostream& out, const FactRow& row) {
    return out << row.machine << ' ' << row.fact << " = " << row.value;
  }
};

class ReadsFact : public ::testing::TestWithParam<FactRow> {};

TEST_P(ReadsFact, WithItsValueAndSourceOrAbsent) {
  const FactRow& row = GetParam();
  EXPECT_EQ(describeFact(readMachine(row.machine), row.fact), row.value);
}

INSTANTIATE_TEST_SUITE_P(
    IntelDesktop, ReadsFact,
    ::testing::Values(FactRow{"intel-desktop", "maker", "\"GenuineIntel\" (cpuinfo)"},
                      FactRow{"intel-desktop", "name",
                              "\"Desktop Processor Q4-4200 @ 4.20GHz\" (cpuinfo)"},
                      // cpufreq (3600478 kHz) wins over cpuinfo's 800 MHz and the table's 4200.
                      FactRow{"intel-desktop", "speed", "3600 (sysfs)"},
                      FactRow{"intel-desktop", "L2", "1024 (sysfs)"},
                      FactRow{"intel-desktop", "bus", "100 (SMBIOS)"},
                      FactRow{"intel-desktop", "socket", "\"LGA1151\" (SMBIOS)"},
                      // The sysfs files win over the table, whose board strings differ.
                      FactRow{"intel-desktop", "board maker", "\"Board Maker Inc.\" (sysfs)"},
                      FactRow{"intel-desktop", "board product", "\"BM-Z270 DESKTOP\" (sysfs)"},
                      FactRow{"intel-desktop", "board version", "\"Rev 1.xx\" (sysfs)"},
                      FactRow{"intel-desktop", "BIOS version", "\"1203\" (sysfs)"}));

INSTANTIATE_TEST_SUITE_P(IntelWithoutTable, ReadsFact,
                         ::testing::Values(
                             // Leaf 0x16 gives the bus clock; leaf 0x15's crystal is left alone.
                             FactRow{"intel-no-smbios", "bus", "100 (CPUID)"},
                             FactRow{"intel-no-smbios", "speed", "4300 (sysfs)"},
                             FactRow{"intel-no-smbios", "socket", "absent"},
                             FactRow{"intel-no-smbios", "L2", "512 (sysfs)"},
                             FactRow{"intel-no-smbios", "board product",
                                     "\"BM-Z490 PLUS\" (sysfs)"},
                             FactRow{"intel-no-smbios", "BIOS version", "\"F21\" (sysfs)"}));

INSTANTIATE_TEST_SUITE_P(
    AmdDesktop, ReadsFact,
    ::testing::Values(FactRow{"amd-desktop", "maker", "\"AuthenticAMD\" (cpuinfo)"},
                      FactRow{"amd-desktop", "name",
                              "\"Desktop Processor R8-3600 8-Core\" (cpuinfo)"},
                      FactRow{"amd-desktop", "speed", "3593 (cpuinfo)"},
                      FactRow{"amd-desktop", "L2", "1024 (sysfs)"},
                      // The recorded leaf 0x16 lies past the highest basic leaf, 0x10.
                      FactRow{"amd-desktop", "bus", "absent"},
                      FactRow{"amd-desktop", "socket", "absent"},
                      FactRow{"amd-desktop", "board maker", "\"Board Maker Inc.\" (sysfs)"},
                      FactRow{"amd-desktop", "board product", "\"BM-X570 PRO\" (sysfs)"},
                      FactRow{"amd-desktop", "board version", "\"Rev X.0x\" (sysfs)"},
                      FactRow{"amd-desktop", "BIOS version", "\"4021\" (sysfs)"}));

INSTANTIATE_TEST_SUITE_P(
    VirtualMachine, ReadsFact,
    ::testing::Values(
        // The table says 0 and leaf 0x16 is all zeros; the hypervisor's leaves are not asked.
        FactRow{"virtual-machine", "bus", "absent"},
        FactRow{"virtual-machine", "socket", "\"CPU 0\" (SMBIOS)"},
        FactRow{"virtual-machine", "speed", "2300 (cpuinfo)"},
        FactRow{"virtual-machine", "L2", "4096 (sysfs)"},
        FactRow{"virtual-machine", "board maker", "absent"},
        FactRow{"virtual-machine", "BIOS version", "\"1.16.2-vm\" (sysfs)"}));

INSTANTIATE_TEST_SUITE_P(
    TwoSocketServer, ReadsFact,
    ::testing::Values(
        // The packages in id order, although cpu0 sits in package 1; the empty second socket
        // of the table is passed over. Package 1 comes last and wins: no cpufreq and no
        // "cpu MHz" lines for its CPUs, so the table's speed.
        FactRow{"two-socket-server", "name", "\"Server Processor S4-2530 @ 2.53GHz\" (cpuinfo)"},
        FactRow{"two-socket-server", "maker", "\"GenuineIntel\" (cpuinfo)"},
        FactRow{"two-socket-server", "speed", "2533 (SMBIOS)"},
        FactRow{"two-socket-server", "L2", "1024 (sysfs)"},
        FactRow{"two-socket-server", "bus", "166 (SMBIOS)"},
        FactRow{"two-socket-server", "socket", "\"CPU3\" (SMBIOS)"},
        // No sys/class/dmi: board and BIOS come from the table.
        FactRow{"two-socket-server", "board maker", "\"Server Boards Co.\" (SMBIOS)"},
        FactRow{"two-socket-server", "board product", "\"SB-2S\" (SMBIOS)"},
        FactRow{"two-socket-server", "board version", "absent"},
        FactRow{"two-socket-server", "BIOS version", "\"2.1a\" (SMBIOS)"}));

INSTANTIATE_TEST_SUITE_P(
    NoDmi, ReadsFact,
    ::testing::Values(FactRow{"no-dmi", "maker", "\"GenuineIntel\" (cpuinfo)"},
                      FactRow{"no-dmi", "name", "\"Virtual Server Processor (V2)\" (cpuinfo)"},
                      FactRow{"no-dmi", "speed", "2993 (cpuinfo)"},
                      FactRow{"no-dmi", "L2", "absent"}, FactRow{"no-dmi", "bus", "absent"},
                      FactRow{"no-dmi", "socket", "absent"},
                      FactRow{"no-dmi", "board maker", "absent"},
                      FactRow{"no-dmi", "BIOS version", "absent"}));

INSTANTIATE_TEST_SUITE_P(ArmBoard, ReadsFact,
                         ::testing::Values(FactRow{"arm-board", "maker", "absent"},
                                           FactRow{"arm-board", "name", "\"SBC-SOC1\" (cpuinfo)"},
                                           FactRow{"arm-board", "speed", "1500 (sysfs)"},
                                           FactRow{"arm-board", "L2", "1024 (sysfs)"},
                                           FactRow{"arm-board", "bus", "absent"},
                                           FactRow{"arm-board", "socket", "absent"},
                                           FactRow{"arm-board", "board product", "absent"},
                                           FactRow{"arm-board", "BIOS version", "absent"}));

INSTANTIATE_TEST_SUITE_P(
    Malformed, ReadsFact,
    ::testing::Values(FactRow{"malformed", "maker", "\"GenuineIntel\" (cpuinfo)"},
                      FactRow{"malformed", "name", "absent"},  // the line holds binary junk
                      FactRow{"malformed", "speed", "absent"}, FactRow{"malformed", "L2", "absent"},
                      FactRow{"malformed", "bus", "absent"},
                      FactRow{"malformed", "socket", "absent"},
                      FactRow{"malformed", "board maker", "absent"},    // empty file
                      FactRow{"malformed", "board product", "absent"},  // a directory
                      FactRow{"malformed", "board version", "absent"},  // binary
                      FactRow{"malformed", "BIOS version", "\"F.20\" (sysfs)"}));

INSTANTIATE_TEST_SUITE_P(NoSuchMachine, ReadsFact,
                         ::testing::Values(FactRow{"no-such-machine", "name", "absent"},
                                           FactRow{"no-such-machine", "bus", "absent"},
                                           FactRow{"no-such-machine", "board maker", "absent"},
                                           FactRow{"no-such-machine", "BIOS version", "absent"}));

// The bus clock of one machine's files with another's CPUID answers: the first that gives a
// figure wins, the SMBIOS table before CPUID, and 0 counts as none.
struct BusClockRow {
  const char* files;
  const char* cpuid;  // the machine whose answers the processor gives; nullptr: not asked
  const char* busClock;
  friend std::ostream& operator<<(std::ostream& out, const BusClockRow& row) {
    return out << row.files << " with the CPUID of " << (row.cpuid ? row.cpuid : "none");
  }
};

class BusClock : public ::testing::TestWithParam<BusClockRow> {};

TEST_P(BusClock, TakesTheFirstSourceThatGivesOne) {
  const BusClockRow& row = GetParam();
  const Hardware hardware =
      read(linuxReader(machine(row.files), row.cpuid ? cpuidOf(row.cpuid) : nullptr));
  EXPECT_EQ(describe(hardware.processor.busMhz), row.busClock);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, BusClock,
    ::testing::Values(BusClockRow{"intel-desktop", "intel-no-smbios", "100 (SMBIOS)"},
                      BusClockRow{"two-socket-server", "intel-no-smbios", "166 (SMBIOS)"},
                      BusClockRow{"virtual-machine", "intel-no-smbios", "100 (CPUID)"},
                      BusClockRow{"no-dmi", "intel-no-smbios", "100 (CPUID)"},
                      BusClockRow{"intel-no-smbios", nullptr, "absent"},
                      BusClockRow{"virtual-machine", "amd-desktop", "absent"},
                      BusClockRow{"intel-no-smbios", "virtual-machine", "absent"}));

// A copy of a fixture machine in a temporary folder, removed again at the end of the test.
class MachineCopy {
 public:
  explicit MachineCopy(const std::string& name) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::path(::testing::TempDir()) / "freqsmith-machine-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    top_ = pattern;
    fs::copy(machine(name), root(), fs::copy_options::recursive);
  }
  MachineCopy(const MachineCopy&) = delete;
  MachineCopy& operator=(const MachineCopy&) = delete;
  ~MachineCopy() {
    std::error_code error;
    std::filesystem::remove_all(top_, error);
  }
  std::filesystem::path top() const { return top_; }
  std::filesystem::path root() const { return top_ / "machine"; }
  void write(const std::filesystem::path& file, const std::string& text) const {
    std::filesystem::create_directories((root() / file).parent_path());
    std::ofstream(root() / file, std::ios::binary) << text;
  }

 private:
  std::filesystem::path top_;
};

// Firmware pads its strings, and some boards leave the maker's placeholder in: blanks go,
// a string of blanks says nothing, and the rest is shown as the firmware has it.
struct StringRow {
  const char* file;  // under sys/class/dmi/id
  const char* content;
  std::string_view fact;
  const char* value;
  friend std::ostream& operator<<(std::ostream& out, const StringRow& row) {
    return out << row.file << " = \"" << row.content << '"';
  }
};

class DmiString : public ::testing::TestWithParam<StringRow> {};

TEST_P(DmiString, IsTrimmedAndBlankIsNotReported) {
  const StringRow& row = GetParam();
  const MachineCopy copy("intel-desktop");
  copy.write(std::filesystem::path("sys/class/dmi/id") / row.file, row.content);
  EXPECT_EQ(describeFact(read(linuxReader(copy.root(), nullptr)), row.fact), row.value);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, DmiString,
    ::testing::Values(StringRow{"board_vendor", "ASRock  \n", "board maker", "\"ASRock\" (sysfs)"},
                      StringRow{"board_vendor", "   \n", "board maker", "absent"},
                      StringRow{"board_vendor", "", "board maker", "absent"},
                      StringRow{"board_name", "To Be Filled By O.E.M.\n", "board product",
                                "\"To Be Filled By O.E.M.\" (sysfs)"},
                      StringRow{"bios_version", "\t 1.40 \n", "BIOS version", "\"1.40\" (sysfs)"}));

TEST(LinuxReader, TrimsTheProcessorsBrandString) {
  const MachineCopy copy("amd-desktop");
  std::ifstream in(copy.root() / "proc" / "cpuinfo");
  std::string text((std::istreambuf_iterator<char>(in)), {});
  in.close();
  // AMD's brand strings are padded with blanks inside the processor.
  const std::string name = "Desktop Processor R8-3600 8-Core";
  text.replace(text.find(name), name.size(), name + "        ");
  copy.write("proc/cpuinfo", text);
  EXPECT_EQ(describe(read(linuxReader(copy.root(), nullptr)).processor.name),
            "\"" + name + "\" (cpuinfo)");
}

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

TEST(LinuxReader, SaysWhenOnlyTheAdministratorMayReadTheTable) {
  namespace fs = std::filesystem;
  const MachineCopy copy("amd-desktop");
  fs::permissions(copy.top(),
                  fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  const fs::path table = copy.root() / "sys" / "firmware" / "dmi" / "tables" / "DMI";
  fs::create_directories(table.parent_path());
  fs::copy_file(machine("intel-desktop") / "sys" / "firmware" / "dmi" / "tables" / "DMI", table);
  fs::permissions(table, fs::perms::none);

  const auto readsAsTheKernelLetsIt = [&copy] {
    const Processor cpu = linuxReader(copy.root(), nullptr).processor();
    return !cpu.busMhz.value && cpu.busMhz.why == Why::AdministratorOnly &&
           cpu.socket.why == Why::AdministratorOnly && cpu.name.value.has_value();
  };
  EXPECT_TRUE(asOrdinaryUser(readsAsTheKernelLetsIt));
  fs::remove(table);
  const Processor cpu = linuxReader(copy.root(), nullptr).processor();
  EXPECT_EQ(cpu.busMhz.why, Why::NotReported);
  EXPECT_EQ(cpu.socket.why, Why::NotReported);
}

TEST(LinuxReader, ReadsEachFileOnceForTheThreePartsAndAnswersAlikeWhenAskedAgain) {
  const MachineCopy copy("two-socket-server");
  const Reader reader = linuxReader(copy.root(), nullptr);
  const Processor first = reader.processor();
  // The table is read with the processor; the board and BIOS come from what was read.
  std::filesystem::remove(copy.root() / "sys" / "firmware" / "dmi" / "tables" / "DMI");
  EXPECT_EQ(describe(reader.board().maker), "\"Server Boards Co.\" (SMBIOS)");
  EXPECT_EQ(reader.processor(), first);
  EXPECT_EQ(describe(reader.bios().version), "\"2.1a\" (SMBIOS)");
}

TEST(LinuxReader, SurvivesEveryPartOnEveryFixture) {
  for (const char* name : {"intel-desktop", "intel-no-smbios", "amd-desktop", "virtual-machine",
                           "two-socket-server", "no-dmi", "arm-board", "malformed"}) {
    const Hardware hardware = readMachine(name);
    EXPECT_TRUE(faults(hardware).empty()) << name;
  }
}

TEST(LinuxReader, DropsTheCpuinfoLineCutByTheReadLimit) {
  const auto root = std::filesystem::path(::testing::TempDir()) /
                    ("linux_reader_test_" + std::to_string(::getpid()));
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root / "proc");
  // The only model name is the last CPU's: it starts 17 bytes before the limit and goes on
  // past it.
  const std::string head = "processor\t: 0\nphysical id\t: 0\nvendor_id\t: GenuineIntel\n";
  const std::string flags =
      "flags\t: " + std::string(kCpuinfoCap - 60 - head.size() - 9, 'x') + "\n";
  const std::string tail =
      "processor\t: 1\nphysical id\t: 0\nmodel name\t: Second processor name\n";
  const std::size_t nameStart = head.size() + flags.size() + tail.find("Second");
  ASSERT_EQ(nameStart, kCpuinfoCap - 17);
  std::ofstream(root / "proc" / "cpuinfo") << head << flags << tail;

  const Processor cpu = linuxReader(root, nullptr).processor();
  std::filesystem::remove_all(root);
  EXPECT_EQ(describe(cpu.maker), "\"GenuineIntel\" (cpuinfo)");
  EXPECT_EQ(describe(cpu.name), "absent");
}

TEST(LinuxReader, RunsOnThisMachine) {
  const Hardware hardware = read(linuxReader());
  std::error_code error;
  if (std::filesystem::exists("/proc/cpuinfo", error)) {
    EXPECT_TRUE(hardware.processor.name.value || hardware.processor.maker.value);
  }
  RecordProperty("Name", describe(hardware.processor.name));
  RecordProperty("CurrentClockSpeed", describe(hardware.processor.speedMhz));
}

}  // namespace
}  // namespace freqsmith::detect
