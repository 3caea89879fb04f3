// The "Power Supply" tab: line results, the component boxes and their groups, the total,
// Defaults, and Calculate / Reset / Detect acting on it.
#include <gtest/gtest.h>

#include "calculator_test_support.h"
#include "commands.h"
#include "power_supply.h"

namespace freqsmith {
namespace {

using Texts = std::map<std::string, std::string>;
using PowerSupply = testing::CalculatorForm;

const mainwin::DeviceLine& deviceLine(const char* result) {
  return *lineWithResult(testing::CalculatorForm::fieldNamed(result));
}

// A user's click on a box: the value changes first, then its handling runs.
void userClicks(MemoryForm& form, const char* box) {
  const BoxId id = testing::CalculatorForm::boxNamed(box);
  form.setChecked(id, !form.checked(id));
  boxClick(form, *componentBox(id));
}

TEST_F(PowerSupply, OneOfEachDeviceGivesTheDefaultWatts) {
  for (const char* count :
       {"Text22", "Text25", "Text28", "Text30", "Text32", "Text33", "Text23", "Text18", "Text57"}) {
    set(count, "1");
  }
  EXPECT_TRUE(Command2_Click(form));
  expectTexts({{"Text21", "2"},
               {"Text26", "3"},
               {"Text27", "25"},
               {"Text29", "20"},
               {"Text31", "8"},
               {"Text34", "5"},
               {"Text24", "8"},
               {"Text19", "2"},
               {"Text58", "12"},
               {"Text37", "85"}});
}

struct LineRow {
  const char* result;
  const char* count;
  const char* countText;
  const char* perDevice;
  const char* perDeviceText;
  const char* shown;
  friend std::ostream& operator<<(std::ostream& out, const LineRow& row) {
    return out << row.result << " from " << row.countText << " x " << row.perDeviceText;
  }
};

class LineResult : public testing::CalculatorForm, public ::testing::WithParamInterface<LineRow> {};

TEST_P(LineResult, IsCountTimesWattsCutToThreeCharacters) {
  set(GetParam().count, GetParam().countText);
  set(GetParam().perDevice, GetParam().perDeviceText);
  EXPECT_TRUE(lineResult(form, deviceLine(GetParam().result)));
  EXPECT_EQ(text(GetParam().result), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineResult,
    ::testing::Values(LineRow{"Text36", "Text35", "200", "Text45", "0.4", "80"},
                      LineRow{"Text36", "Text35", "166", "Text45", "0.4", "66."},
                      LineRow{"Text36", "Text35", "133", "Text45", "0.4", "53."},
                      LineRow{"Text21", "Text22", "3", "Text38", "2.5", "7.5"},
                      LineRow{"Text27", "Text28", "50", "Text40", "25", "1250"},
                      LineRow{"Text27", "Text28", "999", "Text40", "999", "998001"},
                      LineRow{"Text21", "Text22", "0", "Text38", "2", "0"},
                      LineRow{"Text21", "Text22", "", "Text38", "2", "0"},
                      LineRow{"Text21", "Text22", "3", "Text38", "", "0"},
                      LineRow{"Text58", "Text57", "4", "Text59", "12", "48"}));

TEST_F(PowerSupply, AnEmptyCountIsWrittenBackAsZero) {
  set("Text22", "");
  EXPECT_TRUE(lineResult(form, deviceLine("Text21")));
  expectTexts({{"Text22", "0"}, {"Text21", "0"}});
  EXPECT_EQ(line(), "Total watts used by the fans in your system");
}

TEST_F(PowerSupply, ACountThatIsNotANumberStopsTheLine) {
  set("Text28", "1..");
  set("Text27", "25");
  EXPECT_FALSE(lineResult(form, deviceLine("Text27")));
  EXPECT_EQ(text("Text27"), "25");
  EXPECT_EQ(line(), "\"Hard disks\" holds \"1..\", which is not a number.");
}

TEST_F(PowerSupply, APastedPointInWattsStopsCalculate) {
  set("Text30", "1");
  set("Text41", ".");
  EXPECT_FALSE(Command2_Click(form));
  EXPECT_EQ(line(), "\"Optical drives: watts each\" holds \".\", which is not a number.");
  EXPECT_EQ(text("Text37"), "0");
}

TEST_F(PowerSupply, TheTotalAddsFiftyDisksWhole) {
  set("Text28", "50");
  EXPECT_TRUE(Command2_Click(form));
  expectTexts({{"Text27", "1250"}, {"Text37", "1250"}});
}

struct TotalRow {
  const char* what;
  Texts inputs;
  std::vector<const char*> boxes;
  Texts shown;
  friend std::ostream& operator<<(std::ostream& out, const TotalRow& row) {
    return out << row.what;
  }
};

class Total : public testing::CalculatorForm, public ::testing::WithParamInterface<TotalRow> {};

TEST_P(Total, AddsTheShownFigures) {
  Command7_Click(form);
  setAll(GetParam().inputs);
  for (const char* b : GetParam().boxes) check(b);
  EXPECT_TRUE(Command2_Click(form));
  expectTexts(GetParam().shown);
}

const Texts kSystem359{{"Text22", "3"}, {"Text28", "2"}, {"Text30", "1"}, {"Text32", "1"},
                       {"Text33", "2"}, {"Text18", "2"}, {"Text57", "2"}, {"Text35", "200"}};

INSTANTIATE_TEST_SUITE_P(
    Sums, Total,
    ::testing::Values(
        TotalRow{"nothing", {}, {}, {{"Text37", "0"}}},
        TotalRow{"a typical system",
                 kSystem359,
                 {"Check13", "Check1", "Check5", "Check14"},
                 {{"Text37", "359"}, {"Text16", "0"}}},
        TotalRow{"the same with two processors",
                 kSystem359,
                 {"Check13", "Check1", "Check5", "Check14", "Check15"},
                 {{"Text37", "429"}, {"Text16", "70"}}},
        TotalRow{"the mainboard line adds as shown",
                 {{"Text35", "166"}},
                 {},
                 {{"Text36", "66."}, {"Text37", "66"}}},
        TotalRow{"a fraction cut on the point",
                 {{"Text22", "3"}, {"Text38", "2.5"}, {"Text28", "39"}, {"Text30", "1"}},
                 {},
                 {{"Text21", "7.5"}, {"Text27", "975"}, {"Text29", "20"}, {"Text37", "1002."}}},
        TotalRow{"Pentium 4 twice",
                 {},
                 {"Check11", "Check15"},
                 {{"Text52", "75"},
                  {"Text16", "75"},
                  {"Text50", "0"},
                  {"Text51", "0"},
                  {"Text53", "0"},
                  {"Text54", "0"},
                  {"Text55", "0"},
                  {"Text37", "150"}}},
        TotalRow{"dual without a processor class", {}, {"Check15"}, {{"Text16", "0"}}},
        TotalRow{"cards and graphics",
                 {},
                 {"Check1", "Check5", "Check18"},
                 {{"Text9991", "7"},
                  {"Text9994", "5"},
                  {"Text60", "85"},
                  {"Text9992", "0"},
                  {"Text9993", "0"},
                  {"Text9995", "0"},
                  {"Text9996", "0"},
                  {"Text9997", "0"},
                  {"Text61", "0"},
                  {"Text66", "0"},
                  {"Text37", "97"}}}));

TEST_F(PowerSupply, TheTotalAloneAddsTheFiguresAsTheyStand) {
  set("Text22", "3");
  EXPECT_TRUE(Command2_Click(form));
  EXPECT_EQ(text("Text37"), "6");
  set("Text22", "5");
  EXPECT_TRUE(Text37_Click(form));
  EXPECT_EQ(text("Text37"), "6");
  EXPECT_EQ(line(), "This is the bare MINIMUM you should consider for a new PSU");
}

TEST_F(PowerSupply, CalculateClearsTheSecondProcessorFirst) {
  set("Text16", "99");
  EXPECT_TRUE(Command2_Click(form));
  expectTexts({{"Text16", "0"}, {"Text37", "0"}});
}

TEST_F(PowerSupply, DefaultsRestoreWattsAndZeroCounts) {
  setAll({{"Text22", "4"}, {"Text35", "200"}, {"Text38", "9"}, {"Text45", "1"}, {"Text59", ""}});
  EXPECT_TRUE(Command2_Click(form));
  const std::string fans = text("Text21");
  const std::string total = text("Text37");
  Command7_Click(form);
  expectTexts({{"Text22", "0"},
               {"Text35", "0"},
               {"Text38", "2"},
               {"Text45", "0.4"},
               {"Text59", "12"},
               {"Text20", "2"},
               {"Text39", "3"},
               {"Text40", "25"},
               {"Text41", "20"},
               {"Text42", "8"},
               {"Text43", "5"},
               {"Text44", "8"},
               {"Text21", fans},
               {"Text37", total}});
  EXPECT_EQ(fans, "36");
  EXPECT_EQ(line(), "Wattage defaults loaded");
}

TEST_F(PowerSupply, CheckingOneProcessorClassClearsTheOthers) {
  userClicks(form, "Check12");
  userClicks(form, "Check11");
  EXPECT_TRUE(checked("Check11"));
  EXPECT_FALSE(checked("Check12"));
  EXPECT_EQ(line(), "Indicates a Pentium 4 system");
}

TEST_F(PowerSupply, UncheckingTheCheckedBoxLeavesTheGroupEmpty) {
  userClicks(form, "Check19");
  userClicks(form, "Check19");
  for (const char* b :
       {"Check14", "Check16", "Check17", "Check18", "Check19", "Check20", "Check21"}) {
    EXPECT_FALSE(checked(b)) << b;
  }
  EXPECT_EQ(line(), "Indicates a Radeon 9700 thru x700 class graphics adapter in your system");
}

TEST_F(PowerSupply, CardBoxesAndDualCpuTouchNoOtherBox) {
  check("Check13");
  check("Check18");
  check("Check3");
  userClicks(form, "Check1");
  userClicks(form, "Check15");
  for (const char* b : {"Check13", "Check18", "Check3", "Check1", "Check15"}) {
    EXPECT_TRUE(checked(b)) << b;
  }
  EXPECT_EQ(line(), "Indicates a dual CPU system");
}

TEST_F(PowerSupply, ABoxClickChangesNoWattsUntilCalculate) {
  userClicks(form, "Check11");
  expectTexts({{"Text52", "0"}, {"Text37", "0"}});
}

TEST_F(PowerSupply, ResetClearsBoxesWithoutTheirSentences) {
  check("Check11");
  check("Check15");
  set("Text22", "3");
  set("Text38", "7");
  EXPECT_TRUE(Command2_Click(form));
  EXPECT_EQ(text("Text52"), "75");
  Command3_Click(form);
  EXPECT_FALSE(checked("Check11"));
  EXPECT_FALSE(checked("Check15"));
  expectTexts({{"Text52", "0"},
               {"Text16", "0"},
               {"Text22", "0"},
               {"Text21", "0"},
               {"Text37", "0"},
               {"Text38", "7"},
               {"Text13", "1"},
               {"Text12", "1"}});
  EXPECT_EQ(line(), "Values reset");
}

TEST_F(PowerSupply, ResetLeavesWattsAndDetectionAlone) {
  setAll({{"Text20", "9"}, {"Text45", "1"}, {"Textarch", "133"}, {"Text11", "266"}});
  Command3_Click(form);
  expectTexts({{"Text20", "9"}, {"Text45", "1"}, {"Textarch", "133"}, {"Text11", "0"}});
}

TEST_F(PowerSupply, ResetThenCalculateGivesZeros) {
  setAll({{"Text1", "200"}, {"Text2", "10"}, {"Text13", "3"}, {"Text12", "4"}});
  EXPECT_TRUE(Command2_Click(form));
  Command3_Click(form);
  EXPECT_TRUE(Command2_Click(form));
  expectTexts({{"Text3", "0"},
               {"Text4", "0"},
               {"Text8", "0"},
               {"Text14", "0"},
               {"Text15", "0"},
               {"Text13", "1"},
               {"Text12", "1"}});
}

TEST_F(PowerSupply, EmptyCountsReadZeroAfterCalculate) {
  setAll({{"Text23", ""}, {"Text35", ""}, {"Text45", ""}});
  EXPECT_TRUE(Command2_Click(form));
  expectTexts({{"Text23", "0"}, {"Text35", "0"}, {"Text45", "0"}});
}

class Detect : public testing::CalculatorForm {};

TEST_F(Detect, CopiesTheDetectedFiguresAndCalculates) {
  setAll({{"Textarch", "200"},
          {"Textcpuspeed", "2000"},
          {"Textmultiplier", "10"},
          {"Text1", "133"},
          {"Text2", "5"}});
  EXPECT_TRUE(Command4_Click(form));
  expectTexts({{"Text1", "200"},
               {"Text2", "10"},
               {"Text35", "200"},
               {"Text3", "2000"},
               {"Text36", "80"},
               {"Text37", "80"}});
  EXPECT_EQ(line(), "Using system settings instead of user settings");
}

TEST_F(Detect, CutsASixCharacterClockToTheInputs) {
  setAll({{"Textarch", "133.33"}, {"Textcpuspeed", "1333"}, {"Textmultiplier", "9.99"}});
  EXPECT_TRUE(Command4_Click(form));
  expectTexts({{"Text1", "133.3"}, {"Text35", "133.3"}, {"Text2", "9.99"}});
}

TEST_F(Detect, GivesTheSameInputsAfterReset) {
  setAll({{"Textarch", "166"}, {"Textcpuspeed", "1833"}, {"Textmultiplier", "11.0"}});
  EXPECT_TRUE(Command4_Click(form));
  Command3_Click(form);
  EXPECT_TRUE(Command4_Click(form));
  expectTexts({{"Text1", "166"}, {"Text2", "11.0"}, {"Text3", "1826"}});
}

TEST_F(Detect, OnAMachineWithoutDetectionLeavesTheInputs) {
  setAll({{"Text1", "133"}, {"Text2", "7.5"}});
  EXPECT_FALSE(Command4_Click(form));
  expectTexts({{"Text1", "133"}, {"Text2", "7.5"}, {"Text35", "0"}, {"Text3", "0"}});
  EXPECT_EQ(line(), kNotDetected);
}

TEST_F(Detect, StopsWhenCalculateFails) {
  setAll(
      {{"Textarch", "200"}, {"Textcpuspeed", "2000"}, {"Textmultiplier", "10"}, {"Text13", "0"}});
  EXPECT_FALSE(Command4_Click(form));
  EXPECT_EQ(line(), "\"SDRAM\" cannot be calculated: it would divide by zero.");
}

TEST_F(PowerSupply, CalculateWorksWhereNothingWasDetected) {
  set("Text1", "100");
  set("Text2", "3");
  EXPECT_TRUE(Command2_Click(form));
  expectTexts({{"Text3", "300"}, {"Textmultiplier", "mult"}, {"Text11", "fsb"}});
  EXPECT_EQ(line(), "Values calculated");
}

TEST_F(PowerSupply, CalculateRederivesTheMultiplier) {
  setAll({{"Textarch", "150"}, {"Textcpuspeed", "1900"}, {"Textmultiplier", "x"}});
  EXPECT_TRUE(Command2_Click(form));
  expectTexts({{"Textmultiplier", "12.6"}, {"Text11", "300"}});
}

}  // namespace
}  // namespace freqsmith
