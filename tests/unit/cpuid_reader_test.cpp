// CPUID answers: reading recorded ones, the bound on basic leaves, and the bus clock taken
// from leaf 0x16 alone.
#include "cpuid_reader.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace freqsmith::detect {
namespace {

struct BusRow {
  const char* what;
  const char* answers;
  std::optional<std::int64_t> busMhz;
  friend std::ostream& operator<<(std::ostream& out, const BusRow& row) { return out << row.what; }
};

class BusClockFromCpuid : public ::testing::TestWithParam<BusRow> {};

TEST_P(BusClockFromCpuid, ComesFromLeaf16WhenThereAndNotZero) {
  const std::optional<RecordedCpuid> cpuid = RecordedCpuid::parse(GetParam().answers);
  ASSERT_TRUE(cpuid.has_value());
  EXPECT_EQ(cpuidBusMhz(*cpuid), GetParam().busMhz);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, BusClockFromCpuid,
    ::testing::Values(
        BusRow{"leaf 0x16 gives 100", "0 16 0 0 0\n16 e10 125c 64 0\n", 100},
        BusRow{"leaf 0x16 gives 133 and reserved bits", "0 1f 0 0 0\n16 0 0 ffff0085 0\n", 133},
        BusRow{"the leaf past the highest", "0 15 0 0 0\n16 e10 125c 64 0\n", std::nullopt},
        BusRow{"a zero bus", "0 16 0 0 0\n16 e10 125c 0 0\n", std::nullopt},
        BusRow{"only reserved bits", "0 16 0 0 0\n16 e10 125c 10000 0\n", std::nullopt},
        BusRow{"no leaf 0", "16 e10 125c 64 0\n", std::nullopt},
        BusRow{"no leaf 0x16 recorded", "0 1c 0 0 0\n", std::nullopt},
        BusRow{"only the crystal of leaf 0x15", "0 16 0 0 0\n15 2 12c 16e3600 0\n", std::nullopt},
        BusRow{"only a hypervisor's leaf", "0 16 0 0 0\n40000010 0 186a0 0 0\n", std::nullopt},
        BusRow{"nothing", "", std::nullopt}));

struct ParseRow {
  const char* text;
  bool reads;
};

class ParsesRecordedAnswers : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParsesRecordedAnswers, OnlyWhenEveryLineIsALeaf) {
  EXPECT_EQ(RecordedCpuid::parse(GetParam().text).has_value(), GetParam().reads) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParsesRecordedAnswers,
    ::testing::Values(ParseRow{"0x00000000 0x16 0X756e6547 6C65746E 49656e69\n", true},
                      ParseRow{"# comment\n\n  0 16 0 0 0  \r\n\t16 e10 125c 64 0", true},
                      ParseRow{"0 16 0 0\n", false}, ParseRow{"0 16 0 0 0 0\n", false},
                      ParseRow{"0 16 0 0 g\n", false}, ParseRow{"0 16 0 0 100000000\n", false},
                      ParseRow{"0 16 0 0 -1\n", false}, ParseRow{"0 16 0x 0 0\n", false},
                      ParseRow{"leaf eax ebx ecx edx\n", false}));

TEST(RecordedCpuid, TheFirstAnswerForALeafCounts) {
  const auto cpuid = RecordedCpuid::parse("0 16 0 0 0\n16 0 0 64 0\n16 0 0 85 0\n");
  ASSERT_TRUE(cpuid.has_value());
  EXPECT_EQ(cpuidBusMhz(*cpuid), 100);
}

struct ReportedRow {
  const char* what;
  // What the platform's reader gave: a figure, or none and whether it was withheld.
  std::optional<std::int64_t> bus;
  bool withheld;
  std::optional<std::int64_t> speed;
  const char* answers;  // nullptr: the processor is not asked
  const char* expectedBus;
  const char* expectedSpeed;
  friend std::ostream& operator<<(std::ostream& out, const ReportedRow& row) {
    return out << row.what;
  }
};

// "100 (CPUID)", "absent", or "absent, administrator only".
std::string describe(const NumberFact& fact) {
  if (fact.value) {
    return std::to_string(*fact.value) + " (" + std::string(sourceName(fact.source)) + ")";
  }
  return fact.why == Why::AdministratorOnly ? "absent, administrator only" : "absent";
}

class SettledClocks : public ::testing::TestWithParam<ReportedRow> {};

TEST_P(SettledClocks, TakeTheProcessorsBusOnlyWhereNoneIsKnownAndCountZeroAsNone) {
  const ReportedRow& row = GetParam();
  std::optional<RecordedCpuid> cpuid;
  if (row.answers) cpuid = RecordedCpuid::parse(row.answers);
  Processor processor;
  processor.busMhz.value = row.bus;
  if (row.withheld) processor.busMhz.why = Why::AdministratorOnly;
  processor.speedMhz.value = row.speed;
  settleClocks(processor, cpuid ? &*cpuid : nullptr);
  EXPECT_EQ(describe(processor.busMhz), row.expectedBus);
  EXPECT_EQ(describe(processor.speedMhz), row.expectedSpeed);
}

constexpr const char* kBus100 = "0 16 0 0 0\n16 e10 125c 64 0\n";
constexpr const char* kNoBus = "0 15 0 0 0\n";
constexpr std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Reports, SettledClocks,
    ::testing::Values(
        ReportedRow{"the service's 200", 200, false, 3600, kBus100, "200 (WMI)", "3600 (WMI)"},
        ReportedRow{"none reported", kNone, false, kNone, kBus100, "100 (CPUID)", "absent"},
        ReportedRow{"0 reported", 0, false, 0, kBus100, "100 (CPUID)", "absent"},
        ReportedRow{"0 reported, and the processor knows none either", 0, false, kNone, kNoBus,
                    "absent", "absent"},
        ReportedRow{"withheld, and the processor knows none", kNone, true, kNone, kNoBus,
                    "absent, administrator only", "absent"},
        ReportedRow{"withheld, and the processor knows it", kNone, true, kNone, kBus100,
                    "100 (CPUID)", "absent"},
        ReportedRow{"none anywhere", kNone, false, kNone, kNoBus, "absent", "absent"},
        ReportedRow{"none reported, processor not asked", kNone, false, kNone, nullptr, "absent",
                    "absent"}));

TEST(ThisProcessor, AnswersNoLeafPastItsHighest) {
  const std::shared_ptr<const CpuidReader> processor = thisProcessor();
  const std::optional<CpuidRegisters> highest = processor->basicLeaf(0);
#if defined(__x86_64__) || defined(__i386__)
  ASSERT_TRUE(highest.has_value());
#endif
  if (highest) {
    EXPECT_TRUE(processor->basicLeaf(highest->eax).has_value());
    EXPECT_FALSE(processor->basicLeaf(highest->eax + 1).has_value());
  } else {
    EXPECT_FALSE(cpuidBusMhz(*processor).has_value());
  }
}

}  // namespace
}  // namespace freqsmith::detect
