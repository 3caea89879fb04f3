// Text to number, number to text, the two cuts and checked arithmetic.
#include "number.h"
#include "field_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>
#include <ostream>

namespace freqsmith {
namespace {

struct ParseRow {
  const char* text;
  double value;
  friend std::ostream& operator<<(std::ostream& out, const ParseRow& row) {
    return out << '"' << row.text << '"';
  }
};

class ParsesAsNumber : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParsesAsNumber, GivesTheValue) {
  const Parsed parsed = parseNumber(GetParam().text);
  ASSERT_TRUE(parsed.value.has_value()) << GetParam().text;
  EXPECT_EQ(*parsed.value, GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Grammar, ParsesAsNumber,
                         ::testing::Values(ParseRow{"5", 5}, ParseRow{"5.", 5}, ParseRow{".5", 0.5},
                                           ParseRow{"-17.", -17}, ParseRow{"+3", 3},
                                           ParseRow{"133.3", 133.3}, ParseRow{"1E+20", 1e20},
                                           ParseRow{"1e20", 1e20}, ParseRow{"2.5E-3", 2.5e-3},
                                           ParseRow{"  42  ", 42}, ParseRow{"\t7", 7},
                                           ParseRow{"007", 7}, ParseRow{"0", 0}, ParseRow{"-0", 0},
                                           ParseRow{"1E-400", 0}, ParseRow{"0.000E+999", 0},
                                           ParseRow{"1.7976931348623157E+308", DBL_MAX}));

class RejectsText : public ::testing::TestWithParam<const char*> {};

TEST_P(RejectsText, AsNotANumber) {
  const Parsed parsed = parseNumber(GetParam());
  EXPECT_FALSE(parsed.value.has_value()) << GetParam();
  EXPECT_EQ(parsed.fault, NumberFault::NotANumber) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Grammar, RejectsText,
                         ::testing::Values("", " ", ".", "-", "+", "1.2.3", "abc", "1,5", "inf",
                                           "-inf", "nan", "NaN", "0x10", "1E", "1E+", "E5", "--5",
                                           "5-", "1 2", ".E1", "1e1.5",
                                           "\xe2\x80\x93"
                                           "5"));

TEST(ParseNumber, ReportsOverflowBeyondTheRangeOfADouble) {
  for (const char* text : {"1E+400", "-1E+400", "1.8E+308", "99999999999E+300"}) {
    const Parsed parsed = parseNumber(text);
    EXPECT_FALSE(parsed.value.has_value()) << text;
    EXPECT_EQ(parsed.fault, NumberFault::Overflow) << text;
  }
}

TEST(ParseNumber, IgnoresTheLocaleDecimalSeparator) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(parseNumber("1.5").value, 1.5);
  EXPECT_FALSE(parseNumber("1,5").value.has_value());
  EXPECT_EQ(formatNumber(1.5), "1.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

struct FormatRow {
  double value;
  const char* text;
  friend std::ostream& operator<<(std::ostream& out, const FormatRow& row) {
    return out << row.text;
  }
};

class FormatsAs : public ::testing::TestWithParam<FormatRow> {};

TEST_P(FormatsAs, FifteenSignificantDigits) {
  EXPECT_EQ(formatNumber(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    PercentG, FormatsAs,
    ::testing::Values(FormatRow{2 * 133.5, "267"}, FormatRow{200.0 * 4 / 3, "266.666666666667"},
                      FormatRow{(0.0 - 32) / 9 * 5, "-17.7777777777778"}, FormatRow{0, "0"},
                      FormatRow{-0.0, "0"}, FormatRow{1e15, "1E+15"},
                      FormatRow{999999999999999, "999999999999999"}, FormatRow{1.5e-7, "1.5E-07"},
                      FormatRow{0.0001, "0.0001"}, FormatRow{0.00001, "1E-05"},
                      FormatRow{1399.65, "1399.65"}, FormatRow{0.1 * 3, "0.3"},
                      FormatRow{1e100, "1E+100"}, FormatRow{-2.5, "-2.5"},
                      FormatRow{1000.0 / 2.8, "357.142857142857"},
                      FormatRow{DBL_MAX, "1.79769313486232E+308"}));

// Found by fuzz_numbers: rounded at the fifteenth digit, the largest doubles are written
// past the range, so the text cannot be read back; that must be an overflow, not a value.
TEST(FormatNumber, WritesTheTopOfTheRangeAsTextThatReadsAsAnOverflow) {
  for (const double value : {DBL_MAX, -DBL_MAX, std::nextafter(DBL_MAX, 0.0)}) {
    const std::string text = formatNumber(value);
    EXPECT_EQ(text, value < 0 ? "-1.79769313486232E+308" : "1.79769313486232E+308");
    const Parsed back = parseNumber(text);
    EXPECT_FALSE(back.value.has_value()) << text;
    EXPECT_EQ(back.fault, NumberFault::Overflow) << text;
  }
  // Just below, the text reads back.
  EXPECT_EQ(parseNumber(formatNumber(1.79769313486231E+308)).value, 1.79769313486231E+308);
}

struct CutRow {
  const char* text;
  std::size_t length;
  const char* plain;
  const char* number;
  friend std::ostream& operator<<(std::ostream& out, const CutRow& row) {
    return out << row.text << " into " << row.length;
  }
};

class Cuts : public ::testing::TestWithParam<CutRow> {};

TEST_P(Cuts, PlainAndNumberRules) {
  EXPECT_EQ(cutToLength(GetParam().text, GetParam().length), GetParam().plain);
  EXPECT_EQ(cutNumberToLength(GetParam().text, GetParam().length), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, Cuts,
    ::testing::Values(
        CutRow{"357.142857142857", 5, "357.1", "357.1"}, CutRow{"1002.5", 5, "1002.", "1002."},
        CutRow{"-17.7777777777778", 4, "-17.", "-17."}, CutRow{"1250", 3, "125", "1250"},
        CutRow{"12000", 4, "1200", "12000"}, CutRow{"66.4", 3, "66.", "66."},
        CutRow{"1399.65", 6, "1399.6", "1399.6"}, CutRow{"266.666666666667", 6, "266.66", "266.66"},
        CutRow{"11.0421686746988", 4, "11.0", "11.0"}, CutRow{"100000", 5, "10000", "100000"},
        CutRow{"1.23456789012346E+20", 8, "1.234567", "1.23E+20"},
        CutRow{"1.5E-07", 4, "1.5E", "1E-07"}, CutRow{"7.5", 3, "7.5", "7.5"},
        CutRow{"80", 0, "80", "80"}, CutRow{"", 3, "", ""}));

TEST(CutToLength, CountsCharactersNotBytes) {
  EXPECT_EQ(cutToLength("Intel\xc2\xae Core", 6), "Intel\xc2\xae");
  EXPECT_EQ(characterCount("Intel\xc2\xae"), 6u);
}

TEST(CheckedArithmetic, ReportsFaultsInsteadOfInfOrNaN) {
  EXPECT_EQ(checkedDivide(1, 0).fault, NumberFault::DivideByZero);
  EXPECT_FALSE(checkedDivide(1, 0).value.has_value());
  EXPECT_EQ(checkedDivide(0, 0).fault, NumberFault::Invalid);
  EXPECT_FALSE(checkedMultiply(DBL_MAX, 2).value.has_value());
  EXPECT_EQ(checkedMultiply(DBL_MAX, 2).fault, NumberFault::Overflow);
  EXPECT_EQ(checkedAdd(DBL_MAX, DBL_MAX).fault, NumberFault::Overflow);
  EXPECT_EQ(checkedSubtract(-DBL_MAX, DBL_MAX).fault, NumberFault::Overflow);
  EXPECT_EQ(checkedDivide(4, 3).value, 4.0 / 3);
  EXPECT_EQ(checkedMultiply(1e-300, 1e-300).value, 0.0);
}

}  // namespace
}  // namespace freqsmith
