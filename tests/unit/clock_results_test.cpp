// The "Processor and Memory" results, through Calculate and through single clicks.
#include <gtest/gtest.h>

#include "calculator_test_support.h"
#include "clock_results.h"
#include "commands.h"

namespace freqsmith {
namespace {

using Texts = std::map<std::string, std::string>;
using ClockResults = testing::CalculatorForm;

struct ChainRow {
  const char* what;
  Texts inputs;
  Texts results;
  friend std::ostream& operator<<(std::ostream& out, const ChainRow& row) {
    return out << row.what;
  }
};

class CalculateClock : public testing::CalculatorForm,
                       public ::testing::WithParamInterface<ChainRow> {};

TEST_P(CalculateClock, GivesTheShownFigures) {
  setAll(GetParam().inputs);
  EXPECT_TRUE(Command2_Click(form));
  expectTexts(GetParam().results);
  EXPECT_EQ(line(), "Values calculated");
}

INSTANTIATE_TEST_SUITE_P(
    Chains, CalculateClock,
    ::testing::Values(
        ChainRow{"200 x 10",
                 {{"Text1", "200"}, {"Text2", "10"}},
                 {{"Text3", "2000"},
                  {"Text4", "400"},
                  {"Text5", "800"},
                  {"Text6", "800"},
                  {"Text8", "18000"},
                  {"Text9", "24000"},
                  {"Text56", "12000"},
                  {"Text14", "200"},
                  {"Text15", "400"}}},
        ChainRow{"133 x 7.5",
                 {{"Text1", "133"}, {"Text2", "7.5"}},
                 {{"Text3", "997.5"}, {"Text8", "8977.5"}}},
        ChainRow{"the CPU speed is cut before it is multiplied",
                 {{"Text1", "133.3"}, {"Text2", "10.5"}},
                 {{"Text3", "1399.6"},
                  {"Text8", "12596.4"},
                  {"Text9", "16795.2"},
                  {"Text56", "8397.6"}}},
        ChainRow{"bus fields of different lengths",
                 {{"Text1", "66.66"}},
                 {{"Text4", "133.3"}, {"Text5", "266.64"}, {"Text6", "266.6"}}},
        ChainRow{"the cut can end on the point", {{"Text1", "333.3"}}, {{"Text6", "1333."}}},
        ChainRow{"DDR doubles the shown SDRAM figure",
                 {{"Text1", "200"}, {"Text13", "3"}, {"Text12", "4"}},
                 {{"Text14", "266.66"}, {"Text15", "533.32"}}},
        ChainRow{"ratio 5 to 4",
                 {{"Text1", "166"}, {"Text13", "5"}, {"Text12", "4"}},
                 {{"Text14", "132.8"}, {"Text15", "265.6"}}},
        ChainRow{"empty inputs are guarded to zero",
                 {{"Text1", ""}, {"Text2", ""}},
                 {{"Text1", "0"},
                  {"Text2", "0"},
                  {"Text3", "0"},
                  {"Text4", "0"},
                  {"Text8", "0"},
                  {"Text14", "0"},
                  {"Text15", "0"}}},
        ChainRow{"empty ratio parts are guarded to one",
                 {{"Text1", "100"}, {"Text13", ""}, {"Text12", ""}},
                 {{"Text13", "1"}, {"Text12", "1"}, {"Text14", "100"}, {"Text15", "200"}}},
        ChainRow{"a large clock keeps every digit before the point",
                 {{"Text1", "99999"}, {"Text2", "9999"}},
                 {{"Text3", "999890001"}, {"Text4", "199998"}, {"Text6", "399996"}}}));

TEST_F(ClockResults, EachResultChangesOnlyByItsOwnClick) {
  set("Text1", "200");
  set("Text2", "10");
  EXPECT_TRUE(Text8_Click(form));
  EXPECT_EQ(text("Text8"), "0");  // Text3 still reads 0
  EXPECT_TRUE(Text3_Click(form));
  EXPECT_EQ(text("Text8"), "0");
  EXPECT_TRUE(Text8_Click(form));
  EXPECT_EQ(text("Text8"), "18000");
  EXPECT_EQ(line(), "Resulting Instructions Per Second for an Athlon CPU");
}

TEST_F(ClockResults, InstructionsReadZeroRightAfterReset) {
  set("Text1", "200");
  set("Text2", "10");
  ASSERT_TRUE(Command2_Click(form));
  Command3_Click(form);
  set("Text1", "200");
  set("Text2", "10");
  ASSERT_TRUE(Text8_Click(form));
  EXPECT_EQ(text("Text8"), "0");
}

TEST_F(ClockResults, CpuSpeedGuardsAnEmptyMultiplier) {
  set("Text1", "200");
  set("Text2", "");
  EXPECT_TRUE(Text3_Click(form));
  expectTexts({{"Text2", "0"}, {"Text3", "0"}});
  EXPECT_EQ(line(), "This is your overall CPU Speed.");
}

TEST_F(ClockResults, TheBusReadsTheClockUnguarded) {
  set("Text1", "");
  set("Text4", "400");
  EXPECT_FALSE(Text4_Click(form));
  expectTexts({{"Text1", ""}, {"Text4", "400"}});
  EXPECT_EQ(line(), "\"Sys Clk\" is empty; enter a number there first.");
}

struct FaultRow {
  const char* what;
  Texts inputs;
  const char* sentence;
  Texts unchanged;
  friend std::ostream& operator<<(std::ostream& out, const FaultRow& row) {
    return out << row.what;
  }
};

class CalculateStops : public testing::CalculatorForm,
                       public ::testing::WithParamInterface<FaultRow> {};

TEST_P(CalculateStops, AtTheFirstFailingHandler) {
  set("Text14", "7");
  set("Text15", "8");
  set("Text37", "9");
  setAll(GetParam().inputs);
  EXPECT_FALSE(Command2_Click(form));
  EXPECT_EQ(line(), GetParam().sentence);
  expectTexts(GetParam().unchanged);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CalculateStops,
    ::testing::Values(FaultRow{"a pasted zero ratio part",
                               {{"Text1", "200"}, {"Text13", "0"}},
                               "\"SDRAM\" cannot be calculated: it would divide by zero.",
                               {{"Text14", "7"}, {"Text15", "8"}, {"Text37", "9"}}},
                      FaultRow{"a clock of 1.2.3",
                               {{"Text1", "1.2.3"}, {"Text2", "2"}},
                               "\"Sys Clk\" holds \"1.2.3\", which is not a number.",
                               {{"Text3", "0"}, {"Text14", "7"}, {"Text37", "9"}}},
                      FaultRow{"a multiplier of a lone point",
                               {{"Text1", "200"}, {"Text2", "."}},
                               "\"Multiplier\" holds \".\", which is not a number.",
                               {{"Text3", "0"}, {"Text4", "0"}}}));

}  // namespace
}  // namespace freqsmith
