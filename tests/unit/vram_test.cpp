// The memory timing converter on the in-memory dialog: Convert, the input guard that
// compares text, the second result that doubles the first as shown, and the faults.
#include <gtest/gtest.h>

#include "tool_form_test_support.h"
#include "vram.h"

namespace freqsmith {
namespace {

struct ConvertRow {
  const char* typed;
  const char* input;  // Text17 afterwards
  const char* sdram;
  const char* ddr;
  friend std::ostream& operator<<(std::ostream& out, const ConvertRow& row) {
    return out << '"' << row.typed << '"';
  }
};

class VramConvert : public ::testing::TestWithParam<ConvertRow> {
 protected:
  testing::ToolForm dialog{vram::kWindow};
};

TEST_P(VramConvert, GivesBothClocks) {
  const ConvertRow& row = GetParam();
  dialog.set("Text17", row.typed);
  EXPECT_TRUE(dialog.click("Command2"));
  dialog.expectTexts({{"Text17", row.input}, {"Text18", row.sdram}, {"Text19", row.ddr}});
}

INSTANTIATE_TEST_SUITE_P(Rows, VramConvert,
                         ::testing::Values(ConvertRow{"2.8", "2.8", "357.1", "714.2"},
                                           ConvertRow{"5", "5", "200", "400"},
                                           ConvertRow{"10", "10", "100", "200"},
                                           ConvertRow{"3", "3", "333.3", "666.6"},
                                           ConvertRow{"6", "6", "166.6", "333.2"},
                                           ConvertRow{"", "0.1", "10000", "20000"},
                                           ConvertRow{"0", "0.1", "10000", "20000"},
                                           // Wider than the fields were drawn for: whole.
                                           ConvertRow{"0.01", "0.01", "100000", "200000"},
                                           ConvertRow{"0.02", "0.02", "50000", "100000"},
                                           ConvertRow{"1", "1", "1000", "2000"}));

TEST(VramDialog, TheDesignResultsAreWhatConvertGives) {
  testing::ToolForm dialog{vram::kWindow};
  const std::string sdram = dialog.text("Text18");
  const std::string ddr = dialog.text("Text19");
  dialog.set("Text18", "1");
  dialog.set("Text19", "1");
  ASSERT_TRUE(dialog.click("Command2"));
  dialog.expectTexts({{"Text18", sdram}, {"Text19", ddr}});
}

TEST(VramDialog, TheSecondResultDoublesTheFirstAsShown) {
  testing::ToolForm dialog{vram::kWindow};
  dialog.set("Text17", "5");
  ASSERT_TRUE(dialog.click("Text19"));
  dialog.expectTexts({{"Text18", "357.1"}, {"Text19", "714.2"}});
  ASSERT_TRUE(dialog.click("Text18"));
  ASSERT_TRUE(dialog.click("Text19"));
  dialog.expectTexts({{"Text18", "200"}, {"Text19", "400"}});
}

struct GuardRow {
  const char* typed;
  const char* after;
};

class VramGuard : public ::testing::TestWithParam<GuardRow> {};

TEST_P(VramGuard, ComparesTextNotValue) {
  testing::ToolForm dialog{vram::kWindow};
  for (const char* click : {"Text17", "Text18", "Text19", "Command2"}) {
    dialog.set("Text17", GetParam().typed);
    dialog.click(click);
    EXPECT_EQ(dialog.text("Text17"), GetParam().after) << click;
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, VramGuard,
                         ::testing::Values(GuardRow{"", "0.1"}, GuardRow{"0", "0.1"},
                                           GuardRow{"00", "00"}, GuardRow{"0.0", "0.0"},
                                           GuardRow{"0.", "0."}, GuardRow{"2.8", "2.8"}));

struct VramFaultRow {
  const char* what;
  const char* typed;
  const char* about;
  const char* sentence;
  friend std::ostream& operator<<(std::ostream& out, const VramFaultRow& row) {
    return out << row.what;
  }
};

class VramFault : public ::testing::TestWithParam<VramFaultRow> {};

TEST_P(VramFault, ConvertStopsBeforeEitherResult) {
  const VramFaultRow& row = GetParam();
  testing::ToolForm dialog{vram::kWindow};
  dialog.set("Text18", "200");
  dialog.set("Text19", "400");
  dialog.set("Text17", row.typed);
  const Outcome outcome = dialog.click("Command2");
  EXPECT_FALSE(outcome);
  EXPECT_EQ(outcome.about, dialog.id(row.about));
  dialog.expectTexts({{"Text17", row.typed}, {"Text18", "200"}, {"Text19", "400"}});
  EXPECT_EQ(dialog.note(), row.sentence);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VramFault,
    ::testing::Values(VramFaultRow{"zero written as 0.0", "0.0", "Text18",
                                   "\"SDRAM\" cannot be calculated: it would divide by zero."},
                      VramFaultRow{"zero written as 00", "00", "Text18",
                                   "\"SDRAM\" cannot be calculated: it would divide by zero."},
                      VramFaultRow{"a lone point", ".", "Text17",
                                   "\"Ns Rating\" holds \".\", which is not a number."},
                      VramFaultRow{"a lone minus", "-", "Text17",
                                   "\"Ns Rating\" holds \"-\", which is not a number."},
                      VramFaultRow{"two points", "1.2.", "Text17",
                                   "\"Ns Rating\" holds \"1.2.\", which is not a number."}));

TEST(VramDialog, ADoubledResultThatIsNotANumberStops) {
  testing::ToolForm dialog{vram::kWindow};
  dialog.set("Text18", "x");
  const Outcome outcome = dialog.click("Text19");
  EXPECT_FALSE(outcome);
  EXPECT_EQ(outcome.about, dialog.id("Text18"));
  EXPECT_EQ(dialog.text("Text19"), "714.2");
}

}  // namespace
}  // namespace freqsmith
