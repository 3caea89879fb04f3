// The form's write rules and the checked computations, on the in-memory main window.
#include <gtest/gtest.h>

#include "computation.h"
#include "form.h"
#include "main_window_controls.h"

namespace freqsmith {
namespace {

using mainwin::field;
using mainwin::label;

class FormTest : public ::testing::Test {
 protected:
  MemoryForm form{mainwin::kControls, mainwin::kExplanationLine};
};

TEST_F(FormTest, StartsWithTheDesignTexts) {
  EXPECT_EQ(form.text(field("Text1")), "0");
  EXPECT_EQ(form.text(field("Text13")), "1");
  EXPECT_EQ(form.text(field("Textarch")), "sysclk");
  EXPECT_EQ(form.caption(label("labmhz")), "0000");
  EXPECT_EQ(form.caption(label("text7")),
            "Click an object, and an explanation will be given here.");
}

TEST_F(FormTest, CopiedTextIsCutToTheFieldLength) {
  form.setText(field("Text1"), "133.33");
  EXPECT_EQ(form.text(field("Text1")), "133.3");
  form.setText(field("Textcputype"), "A very long processor name that no field limit cuts");
  EXPECT_EQ(form.text(field("Textcputype")), "A very long processor name that no field limit cuts");
}

TEST_F(FormTest, ComputedNumbersKeepEveryDigitBeforeThePoint) {
  form.setNumber(field("Text3"), 133.3 * 10.5);
  EXPECT_EQ(form.text(field("Text3")), "1399.6");
  form.setNumber(field("Text4"), 12345678);
  EXPECT_EQ(form.text(field("Text4")), "12345678");
  form.setNumber(field("Text8"), 200.0 * 4 / 3);
  EXPECT_EQ(form.text(field("Text8")), "266.666666666667");
}

TEST_F(FormTest, ExplainReplacesTheLine) {
  form.explain("first");
  form.explain("second");
  EXPECT_EQ(form.caption(mainwin::kExplanationLine), "second");
}

struct FaultRow {
  const char* text;
  const char* sentence;
};

class ComputationFaults : public FormTest, public ::testing::WithParamInterface<FaultRow> {};

TEST_P(ComputationFaults, StopBeforeWritingAndExplain) {
  form.setText(field("Text1"), GetParam().text);
  form.setText(field("Text4"), "77");
  Computation c(form, field("Text4"));
  const double clock = c.read(field("Text1"));
  EXPECT_FALSE(c.commitOrReport(c.add(clock, clock)));
  EXPECT_EQ(form.text(field("Text4")), "77");
  EXPECT_EQ(form.caption(mainwin::kExplanationLine), GetParam().sentence);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ComputationFaults,
    ::testing::Values(FaultRow{"", "\"Sys Clk\" is empty; enter a number there first."},
                      FaultRow{"1.2.3", "\"Sys Clk\" holds \"1.2.3\", which is not a number."},
                      FaultRow{".", "\"Sys Clk\" holds \".\", which is not a number."},
                      FaultRow{"-", "\"Sys Clk\" holds \"-\", which is not a number."}));

TEST_F(FormTest, ArithmeticFaultsNameTheResult) {
  Computation divide(form, field("Text14"));
  EXPECT_FALSE(divide.commitOrReport(divide.divide(4, 0)));
  EXPECT_EQ(form.caption(mainwin::kExplanationLine),
            "\"SDRAM\" cannot be calculated: it would divide by zero.");
  EXPECT_EQ(form.text(field("Text14")), "0");

  Computation overflow(form, field("Text8"));
  EXPECT_FALSE(overflow.commitOrReport(overflow.multiply(1e308, 10)));
  EXPECT_EQ(form.caption(mainwin::kExplanationLine),
            "\"Athlon instructions per second\" cannot be calculated: the result would be too "
            "large.");
}

TEST_F(FormTest, AFaultStopsTheRestOfTheComputation) {
  form.setText(field("Text1"), "abc");
  form.setText(field("Text2"), "10");
  Computation c(form, field("Text3"));
  const double clock = c.read(field("Text1"));
  const double multiplier = c.read(field("Text2"));
  EXPECT_TRUE(c.failed());
  EXPECT_EQ(c.fault()->field, field("Text1"));
  EXPECT_FALSE(c.commit(c.multiply(multiplier, clock)));
  EXPECT_EQ(form.text(field("Text3")), "0");
}

TEST_F(FormTest, LongPastedTextIsShortenedInTheSentence) {
  form.setText(field("Text8"), std::string(500, '9') + "x");
  Computation c(form, field("Text9"));
  c.read(field("Text8"));
  EXPECT_FALSE(c.commitOrReport(0));
  EXPECT_EQ(form.caption(mainwin::kExplanationLine),
            "\"Athlon instructions per second\" holds \"9999999999999999...\", which is not a "
            "number.");
}

}  // namespace
}  // namespace freqsmith
