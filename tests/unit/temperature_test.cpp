// The temperature converter on the in-memory dialog: both directions, the empty guard, the
// 4-character cut that never drops a digit before the point, and text that is not a number.
#include <gtest/gtest.h>

#include "temperature.h"
#include "tool_form_test_support.h"

namespace freqsmith {
namespace {

struct ConversionRow {
  const char* what;
  const char* click;  // the result field or the button
  const char* input;
  const char* typed;
  const char* result;
  const char* shown;
  const char* inputAfter;  // what the input holds afterwards
  friend std::ostream& operator<<(std::ostream& out, const ConversionRow& row) {
    return out << row.what;
  }
};

class TemperatureConversion : public ::testing::TestWithParam<ConversionRow> {
 protected:
  testing::ToolForm dialog{tempcalc::kWindow};
};

TEST_P(TemperatureConversion, ShowsTheConvertedFigure) {
  const ConversionRow& row = GetParam();
  dialog.set(row.input, row.typed);
  EXPECT_TRUE(dialog.click(row.click));
  EXPECT_EQ(dialog.text(row.result), row.shown);
  EXPECT_EQ(dialog.text(row.input), row.inputAfter);
  EXPECT_EQ(dialog.note(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TemperatureConversion,
    ::testing::Values(
        ConversionRow{"body heat C to F", "Command2", "Text3", "37", "Text4", "98.6", "37"},
        ConversionRow{"body heat F to C", "Command3", "Text1", "98.6", "Text2", "37", "98.6"},
        ConversionRow{"minus forty C", "Text4", "Text3", "-40", "Text4", "-40", "-40"},
        ConversionRow{"minus forty F", "Text2", "Text1", "-40", "Text2", "-40", "-40"},
        ConversionRow{"boiling C", "Command2", "Text3", "100", "Text4", "212", "100"},
        ConversionRow{"boiling F", "Command3", "Text1", "212", "Text2", "100", "212"},
        ConversionRow{"freezing F", "Command3", "Text1", "32", "Text2", "0", "32"},
        ConversionRow{"zero F is cut to four characters", "Command3", "Text1", "0", "Text2", "-17.",
                      "0"},
        ConversionRow{"100 F is cut, not rounded", "Text2", "Text1", "100", "Text2", "37.7", "100"},
        ConversionRow{"36.6 C", "Text4", "Text3", "36.6", "Text4", "97.8", "36.6"},
        ConversionRow{"every digit before the point stays", "Command2", "Text3", "9999", "Text4",
                      "18030", "9999"},
        ConversionRow{"an empty Fahrenheit input becomes 0", "Command3", "Text1", "", "Text2",
                      "-17.", "0"},
        ConversionRow{"an empty Celsius input becomes 0", "Command2", "Text3", "", "Text4", "32",
                      "0"},
        ConversionRow{"a leading minus", "Command2", "Text3", "-5", "Text4", "23", "-5"}));

struct TemperatureFaultRow {
  const char* what;
  const char* click;
  const char* input;
  const char* typed;
  const char* result;
  const char* sentence;
  friend std::ostream& operator<<(std::ostream& out, const TemperatureFaultRow& row) {
    return out << row.what;
  }
};

class TemperatureFault : public ::testing::TestWithParam<TemperatureFaultRow> {
 protected:
  testing::ToolForm dialog{tempcalc::kWindow};
};

TEST_P(TemperatureFault, StopsBeforeWritingAndSaysWhy) {
  const TemperatureFaultRow& row = GetParam();
  const std::string before = dialog.text(row.result);
  dialog.set(row.input, row.typed);
  const Outcome outcome = dialog.click(row.click);
  EXPECT_FALSE(outcome);
  EXPECT_EQ(outcome.about, dialog.id(row.input));
  EXPECT_EQ(dialog.text(row.result), before);
  EXPECT_EQ(dialog.text(row.input), row.typed);
  EXPECT_EQ(dialog.note(), row.sentence);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TemperatureFault,
    ::testing::Values(
        TemperatureFaultRow{"a lone minus", "Command2", "Text3", "-", "Text4",
                            "\"Celsius to convert\" holds \"-\", which is not a number."},
        TemperatureFaultRow{"a lone point", "Text2", "Text1", ".", "Text2",
                            "\"Fahrenheit to convert\" holds \".\", which is not a number."},
        TemperatureFaultRow{"two points", "Command3", "Text1", "1.2.", "Text2",
                            "\"Fahrenheit to convert\" holds \"1.2.\", which is not a number."},
        TemperatureFaultRow{"a minus after a digit", "Text4", "Text3", "3-4", "Text4",
                            "\"Celsius to convert\" holds \"3-4\", which is not a number."},
        TemperatureFaultRow{"pasted letters", "Command2", "Text3", "warm", "Text4",
                            "\"Celsius to convert\" holds \"warm\", which is not a number."}));

TEST(TemperatureDialog, OneConverterLeavesTheOtherAlone) {
  testing::ToolForm dialog{tempcalc::kWindow};
  dialog.set("Text3", "100");
  dialog.set("Text1", "0");
  EXPECT_TRUE(dialog.click("Command2"));
  dialog.expectTexts({{"Text4", "212"}, {"Text1", "0"}, {"Text2", "37"}});
}

TEST(TemperatureDialog, InputsAndLabelsDoNothingWhenClicked) {
  testing::ToolForm dialog{tempcalc::kWindow};
  dialog.set("Text3", "");
  for (const char* name : {"Text3", "Text1", "Label1", "Label4", "Frame1"}) {
    EXPECT_TRUE(dialog.click(name)) << name;
  }
  dialog.expectTexts({{"Text3", ""}, {"Text4", "98.6"}, {"Text1", "98.6"}, {"Text2", "37"}});
}

TEST(TemperatureDialog, DesignTextsAreAMatchingPair) {
  testing::ToolForm dialog{tempcalc::kWindow};
  const auto designs = dialog.form().controls();
  ASSERT_TRUE(dialog.click("Command2"));
  ASSERT_TRUE(dialog.click("Command3"));
  for (const char* name : {"Text3", "Text4", "Text1", "Text2"}) {
    EXPECT_EQ(dialog.text(name), designs[dialog.id(name).index].text) << name;
  }
}

}  // namespace
}  // namespace freqsmith
