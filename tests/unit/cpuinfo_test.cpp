// cpuinfo text to logical CPUs and packages, on the layouts of x86 and old and new ARM kernels.
#include "cpuinfo.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

namespace freqsmith::detect {
namespace {

using namespace std::string_literals;

std::optional<std::string> fieldOf(const CpuinfoFields& fields, const std::string& key) {
  for (const auto& [name, value] : fields) {
    if (name == key) return value;
  }
  return std::nullopt;
}

TEST(Cpuinfo, SplitsX86BlocksAndTrimsValues) {
  const Cpuinfo info = parseCpuinfo(
      "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t:   Server CPU(R)  \n\n"
      "processor\t: 1\nvendor_id\t: GenuineIntel\npower management:\n\n");
  ASSERT_EQ(info.cpus.size(), 2u);
  EXPECT_EQ(info.cpus[0].number, 0);
  EXPECT_EQ(info.cpus[1].number, 1);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "model name"), "Server CPU(R)");
  EXPECT_EQ(fieldOf(info.cpus[1].fields, "model name"), std::nullopt);
  EXPECT_EQ(fieldOf(info.cpus[1].fields, "power management"), "");
  EXPECT_TRUE(info.shared.empty());
}

TEST(Cpuinfo, KeepsLinesAfterTheLastBlockAsShared) {
  const Cpuinfo info = parseCpuinfo(
      "processor\t: 0\nBogoMIPS\t: 108.00\nCPU implementer\t: 0x41\n\n"
      "processor\t: 1\nBogoMIPS\t: 108.00\n\nHardware\t: SBC-SOC1\nRevision\t: c03111\n");
  ASSERT_EQ(info.cpus.size(), 2u);
  EXPECT_EQ(fieldOf(info.shared, "Hardware"), "SBC-SOC1");
  EXPECT_EQ(fieldOf(info.cpus[1].fields, "Hardware"), std::nullopt);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "CPU implementer"), "0x41");
}

TEST(Cpuinfo, TellsTheOldArmProcessorLineFromTheCpuNumber) {
  // Old 32-bit ARM kernels put the core's name under "Processor" before the numbered CPUs.
  const Cpuinfo info = parseCpuinfo(
      "Processor\t: ARMv7 Processor rev 4 (v7l)\nprocessor\t: 0\nBogoMIPS\t: 38.40\n"
      "processor\t: 1\nBogoMIPS\t: 38.40\n\nHardware\t: BCM2709\n");
  ASSERT_EQ(info.cpus.size(), 2u);
  EXPECT_EQ(info.cpus[1].number, 1);
  EXPECT_EQ(fieldOf(info.shared, "Processor"), "ARMv7 Processor rev 4 (v7l)");
  EXPECT_EQ(fieldOf(info.shared, "Hardware"), "BCM2709");
}

TEST(Cpuinfo, TakesFieldsWithoutCpuNumbersForOneCpu) {
  const Cpuinfo info = parseCpuinfo("vendor_id\t: IBM/S390\nbogomips per cpu: 3241.00\n");
  ASSERT_EQ(info.cpus.size(), 1u);
  EXPECT_EQ(info.cpus[0].number, 0);
  EXPECT_EQ(fieldOf(info.shared, "vendor_id"), "IBM/S390");
}

TEST(Cpuinfo, FindsNoCpuInEmptyOrFieldlessText) {
  EXPECT_TRUE(parseCpuinfo("").cpus.empty());
  EXPECT_TRUE(parseCpuinfo("\n\n   \n").cpus.empty());
  EXPECT_TRUE(parseCpuinfo("no colons here\nnor here").cpus.empty());
  EXPECT_TRUE(parseCpuinfo("\0\0\0\xff"s).cpus.empty());
}

TEST(Cpuinfo, SkipsBinaryAndKeylessLines) {
  const Cpuinfo info = parseCpuinfo(
      "processor\t: 3\nmodel name\t: bad\x01name\nvendor_id\t: Genuine\0Intel\n"
      ": no key\nflags\t: fpu\r\ncpu MHz\t: 800.000"s);
  ASSERT_EQ(info.cpus.size(), 1u);
  EXPECT_EQ(info.cpus[0].number, 3);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "model name"), std::nullopt);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "vendor_id"), std::nullopt);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, ""), std::nullopt);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "flags"), "fpu");
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "cpu MHz"), "800.000");  // last line, no newline
}

// Found by fuzz_detection: a carriage return inside a line passed the control-character
// check and ended up inside a value.
TEST(Cpuinfo, SkipsLinesWithACarriageReturnInside) {
  const Cpuinfo info =
      parseCpuinfo("processor\t: 0\nbogomips\t: 1\r512K\nmodel name\t: Test\r\nflags\t: \r\r\n");
  ASSERT_EQ(info.cpus.size(), 1u);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "bogomips"), std::nullopt);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "model name"), "Test");
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "flags"), std::nullopt);
}

// Found by the broken-machine tests: a megabyte of one-line processor blocks made 65536
// CPUs, and their sysfs look-ups took over a second.
TEST(Cpuinfo, KeepsNoMoreThanTheKernelsMostCpus) {
  std::string text;
  for (std::size_t n = 0; n < kMaxCpus + 100; ++n) {
    text += "processor\t: " + std::to_string(n) + "\nmodel name\t: cpu " + std::to_string(n) + "\n";
  }
  text += "\nHardware\t: Board\n";
  const Cpuinfo info = parseCpuinfo(text);
  ASSERT_EQ(info.cpus.size(), kMaxCpus);
  EXPECT_EQ(info.cpus.back().number, static_cast<int>(kMaxCpus) - 1);
  EXPECT_EQ(fieldOf(info.cpus.back().fields, "model name"), "cpu " + std::to_string(kMaxCpus - 1));
  // Lines after the dropped blocks are still read.
  EXPECT_EQ(fieldOf(info.shared, "Hardware"), "Board");
  EXPECT_EQ(fieldOf(info.shared, "model name"), std::nullopt);
}

TEST(Cpuinfo, TreatsAProcessorLineWithoutANumberAsAField) {
  const Cpuinfo info = parseCpuinfo(
      "processor\t: 0\nprocessor\t: junk\nprocessor\t: -1\nprocessor\t: 99999999999\n");
  ASSERT_EQ(info.cpus.size(), 1u);
  EXPECT_EQ(fieldOf(info.cpus[0].fields, "processor"), "junk");
}

Cpuinfo withPhysicalIds(const std::vector<std::optional<std::string>>& ids) {
  Cpuinfo info;
  for (std::size_t i = 0; i < ids.size(); ++i) {
    LogicalCpu cpu{static_cast<int>(i), {}};
    if (ids[i]) cpu.fields.emplace_back("physical id", *ids[i]);
    info.cpus.push_back(cpu);
  }
  return info;
}

std::map<std::int64_t, std::vector<std::size_t>> asMap(const std::vector<CpuPackage>& packages) {
  std::map<std::int64_t, std::vector<std::size_t>> out;
  for (const CpuPackage& p : packages) out[p.id] = p.cpus;
  return out;
}

TEST(CpuPackages, GroupByPhysicalIdInAscendingOrder) {
  const auto packages = groupPackages(withPhysicalIds({"1", "0", "1", "0"}), nullptr);
  ASSERT_EQ(packages.size(), 2u);
  EXPECT_EQ(packages[0].id, 0);
  EXPECT_EQ(packages[0].cpus, (std::vector<std::size_t>{1, 3}));
  EXPECT_EQ(packages[1].id, 1);
  EXPECT_EQ(packages[1].cpus, (std::vector<std::size_t>{0, 2}));
}

TEST(CpuPackages, AskSysfsOnlyForCpusWithoutAPhysicalId) {
  std::vector<int> asked;
  const auto packages = groupPackages(withPhysicalIds({"3", std::nullopt, "bad", std::nullopt}),
                                      [&asked](int cpu) -> std::optional<std::int64_t> {
                                        asked.push_back(cpu);
                                        return cpu == 1 ? std::optional<std::int64_t>(3)
                                                        : std::optional<std::int64_t>(7);
                                      });
  EXPECT_EQ(asked, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(asMap(packages),
            (std::map<std::int64_t, std::vector<std::size_t>>{{3, {0, 1}}, {7, {2, 3}}}));
}

TEST(CpuPackages, PutCpusKnownToNeitherSourceInPackageZero) {
  const auto packages = groupPackages(withPhysicalIds({std::nullopt, std::nullopt}),
                                      [](int) { return std::optional<std::int64_t>(); });
  ASSERT_EQ(packages.size(), 1u);
  EXPECT_EQ(packages[0].id, 0);
  EXPECT_EQ(packages[0].cpus, (std::vector<std::size_t>{0, 1}));
}

TEST(CpuPackages, HaveNoneWithoutCpus) {
  EXPECT_TRUE(groupPackages(Cpuinfo{}, nullptr).empty());
}

TEST(CpuPackages, FieldComesFromTheFirstCpuThatHasIt) {
  Cpuinfo info;
  info.cpus = {LogicalCpu{0, {{"model name", ""}}}, LogicalCpu{1, {{"model name", "Second"}}},
               LogicalCpu{2, {{"model name", "Third"}}}};
  info.shared = {{"Hardware", "SoC"}, {"model name", "Shared"}};
  EXPECT_EQ(packageField(info, CpuPackage{0, {0, 1, 2}}, "model name"), "Second");
  EXPECT_EQ(packageField(info, CpuPackage{0, {2, 1}}, "model name"), "Third");
  EXPECT_EQ(packageField(info, CpuPackage{0, {0}}, "model name"), "Shared");
  EXPECT_EQ(packageField(info, CpuPackage{0, {0}}, "Hardware"), "SoC");
  EXPECT_EQ(packageField(info, CpuPackage{0, {0}}, "hardware"), std::nullopt);
  EXPECT_EQ(packageField(info, CpuPackage{0, {0}}, "vendor_id"), std::nullopt);
}

struct MhzRow {
  const char* text;
  std::optional<std::int64_t> mhz;
  friend std::ostream& operator<<(std::ostream& out, const MhzRow& row) {
    return out << '"' << row.text << '"';
  }
};

class ParsesMhz : public ::testing::TestWithParam<MhzRow> {};

TEST_P(ParsesMhz, RoundingToTheNearest) {
  EXPECT_EQ(parseMhz(GetParam().text), GetParam().mhz);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParsesMhz,
    ::testing::Values(MhzRow{"3593.246", 3593}, MhzRow{"3593.5", 3594}, MhzRow{"3593.499", 3593},
                      MhzRow{"2400.000", 2400}, MhzRow{" 800 ", 800}, MhzRow{"0.5", 1},
                      MhzRow{"0.4", std::nullopt}, MhzRow{"0", std::nullopt},
                      MhzRow{"-2400", std::nullopt}, MhzRow{"", std::nullopt},
                      MhzRow{"fast", std::nullopt}, MhzRow{"2400MHz", std::nullopt},
                      MhzRow{"2400,5", std::nullopt}, MhzRow{"nan", std::nullopt},
                      MhzRow{"inf", std::nullopt}, MhzRow{"1e300", std::nullopt}));

}  // namespace
}  // namespace freqsmith::detect
