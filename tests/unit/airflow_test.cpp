// The airflow converter on the in-memory dialog: each row's subtotal from its own fields,
// the totals from the subtotals as shown, Calculate's order, the guards and the faults.
#include <gtest/gtest.h>

#include "airflow.h"
#include "tool_form_test_support.h"

namespace freqsmith {
namespace {

using Texts = std::map<std::string, std::string>;

// The rows as the dialog's layout names them: subtotal, count, airflow.
struct NamedRow {
  const char* subtotal;
  const char* count;
  const char* airflow;
  bool exhaust;
};

constexpr NamedRow kRows[] = {
    {"Text123", "Text98", "Text96", false},   {"Text122", "Text97", "Text95", true},
    {"Text125", "Text91", "Text93", false},   {"Text124", "Text92", "Text94", true},
    {"Text127", "Text113", "Text111", false}, {"Text126", "Text112", "Text99", true},
    {"Text129", "Text117", "Text115", false}, {"Text128", "Text116", "Text114", true},
    {"Text131", "Text121", "Text119", false}, {"Text130", "Text120", "Text118", true},
};

class AirflowRow : public ::testing::TestWithParam<NamedRow> {
 protected:
  testing::ToolForm dialog{airflow::kWindow};
};

TEST_P(AirflowRow, MultipliesItsOwnCountAndAirflow) {
  const NamedRow& row = GetParam();
  for (const NamedRow& other : kRows) {
    dialog.setAll({{other.count, "7"}, {other.airflow, "11"}});
  }
  dialog.setAll({{row.count, "3"}, {row.airflow, "34.5"}});
  EXPECT_TRUE(dialog.click(row.subtotal));
  EXPECT_EQ(dialog.text(row.subtotal), "103.5");
  for (const NamedRow& other : kRows) {
    if (std::string_view(other.subtotal) != row.subtotal) {
      EXPECT_EQ(dialog.text(other.subtotal), "0") << other.subtotal;
    }
  }
}

TEST_P(AirflowRow, GuardsBothOfItsEmptyFields) {
  const NamedRow& row = GetParam();
  dialog.setAll({{row.count, ""}, {row.airflow, ""}, {row.subtotal, "5"}});
  EXPECT_TRUE(dialog.click(row.subtotal));
  dialog.expectTexts({{row.count, "0"}, {row.airflow, "0"}, {row.subtotal, "0"}});
}

TEST_P(AirflowRow, EveryInputHasTheDecimalFilter) {
  const NamedRow& row = GetParam();
  EXPECT_EQ(dialog.row(row.count).filter, KeyFilter::Decimal);
  EXPECT_EQ(dialog.row(row.count).maxLength, 1);
  EXPECT_EQ(dialog.row(row.airflow).filter, KeyFilter::Decimal);
  EXPECT_EQ(dialog.row(row.airflow).maxLength, 0);
  EXPECT_EQ(dialog.row(row.subtotal).role, FieldRole::Result);
  EXPECT_EQ(dialog.row(row.subtotal).look, row.exhaust ? Look::Exhaust : Look::Plain);
}

INSTANTIATE_TEST_SUITE_P(Rows, AirflowRow, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.subtotal); });

struct CalculateRow {
  const char* what;
  Texts inputs;
  Texts results;
  friend std::ostream& operator<<(std::ostream& out, const CalculateRow& row) {
    return out << row.what;
  }
};

class AirflowCalculate : public ::testing::TestWithParam<CalculateRow> {
 protected:
  testing::ToolForm dialog{airflow::kWindow};
};

TEST_P(AirflowCalculate, GivesTheSubtotalsAndTotals) {
  dialog.setAll(GetParam().inputs);
  EXPECT_TRUE(dialog.click("calcairflow"));
  dialog.expectTexts(GetParam().results);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AirflowCalculate,
    ::testing::Values(
        CalculateRow{"all zero",
                     {},
                     {{"Text123", "0"}, {"Text130", "0"}, {"Text132", "0"}, {"Text110", "0"}}},
        CalculateRow{"two top intake fans and one rear exhaust fan",
                     {{"Text98", "2"}, {"Text96", "40"}, {"Text112", "1"}, {"Text99", "80"}},
                     {{"Text123", "80"}, {"Text126", "80"}, {"Text132", "80"}, {"Text110", "80"}}},
        CalculateRow{"intake and exhaust are summed apart",
                     {{"Text98", "2"}, {"Text96", "40"}, {"Text112", "1"}, {"Text99", "50"}},
                     {{"Text132", "80"}, {"Text110", "50"}}},
        CalculateRow{"a total is cut to four characters",
                     {{"Text91", "3"}, {"Text93", "34.5"}},
                     {{"Text125", "103.5"}, {"Text132", "103."}}},
        CalculateRow{"fifteen significant digits",
                     {{"Text121", "3"}, {"Text119", "0.1"}},
                     {{"Text131", "0.3"}, {"Text132", "0.3"}}},
        CalculateRow{"a total keeps every digit before the point",
                     {{"Text98", "8"}, {"Text96", "1500"}},
                     {{"Text123", "12000"}, {"Text132", "12000"}}},
        CalculateRow{"empty fields are written 0",
                     {{"Text116", ""}, {"Text114", ""}, {"Text98", "2"}, {"Text96", ""}},
                     {{"Text116", "0"},
                      {"Text114", "0"},
                      {"Text96", "0"},
                      {"Text128", "0"},
                      {"Text123", "0"}}},
        CalculateRow{"every position counts",
                     {{"Text98", "1"},  {"Text96", "1"},    {"Text91", "1"},  {"Text93", "2"},
                      {"Text113", "1"}, {"Text111", "4"},   {"Text117", "1"}, {"Text115", "8"},
                      {"Text121", "1"}, {"Text119", "16"},  {"Text97", "1"},  {"Text95", "32"},
                      {"Text92", "1"},  {"Text94", "64"},   {"Text112", "1"}, {"Text99", "128"},
                      {"Text116", "1"}, {"Text114", "256"}, {"Text120", "1"}, {"Text118", "512"}},
                     {{"Text132", "31"}, {"Text110", "992"}}}));

struct TotalRow {
  const char* total;
  std::array<const char*, 5> subtotals;
};

class AirflowTotal : public ::testing::TestWithParam<TotalRow> {};

TEST_P(AirflowTotal, AddsTheSubtotalsAsShownWithoutRecomputing) {
  testing::ToolForm dialog{airflow::kWindow};
  // Inputs that would give other subtotals, had they been recomputed.
  for (const NamedRow& row : kRows) dialog.setAll({{row.count, "9"}, {row.airflow, "9"}});
  const char* shown[] = {"1", "2", "4", "8", "16"};
  for (std::size_t i = 0; i < 5; ++i) dialog.set(GetParam().subtotals[i], shown[i]);
  EXPECT_TRUE(dialog.click(GetParam().total));
  EXPECT_EQ(dialog.text(GetParam().total), "31");
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(dialog.text(GetParam().subtotals[i]), shown[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Totals, AirflowTotal,
    ::testing::Values(TotalRow{"Text132", {"Text125", "Text123", "Text127", "Text129", "Text131"}},
                      TotalRow{"Text110", {"Text124", "Text122", "Text126", "Text128", "Text130"}}),
    [](const auto& info) { return std::string(info.param.total); });

struct AirflowFaultRow {
  const char* what;
  Texts inputs;
  const char* about;
  const char* sentence;
  friend std::ostream& operator<<(std::ostream& out, const AirflowFaultRow& row) {
    return out << row.what;
  }
};

class AirflowFault : public ::testing::TestWithParam<AirflowFaultRow> {};

TEST_P(AirflowFault, CalculateStopsBeforeWriting) {
  testing::ToolForm dialog{airflow::kWindow};
  dialog.setAll({{"Text132", "7"}, {"Text110", "7"}});
  dialog.setAll(GetParam().inputs);
  const Outcome outcome = dialog.click("calcairflow");
  EXPECT_FALSE(outcome);
  EXPECT_EQ(outcome.about, dialog.id(GetParam().about));
  EXPECT_EQ(dialog.note(), GetParam().sentence);
  dialog.expectTexts({{"Text132", "7"}, {"Text110", "7"}});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AirflowFault,
    ::testing::Values(
        AirflowFaultRow{"an airflow too large for a double",
                        {{"Text98", "1"}, {"Text96", "1E+400"}},
                        "Text96",
                        "\"Top intake CFM per fan\" holds a number too large to calculate with."},
        AirflowFaultRow{"a product too large for a double",
                        {{"Text97", "9"}, {"Text95", "1E+308"}},
                        "Text122",
                        "\"Top exhaust CFM\" cannot be calculated: the result would be too "
                        "large."},
        AirflowFaultRow{
            "a total too large for a double",
            {{"Text98", "1"}, {"Text96", "1.5E+308"}, {"Text91", "1"}, {"Text93", "1.5E+308"}},
            "Text132",
            "\"Intake total\" cannot be calculated: the result would be too large."},
        AirflowFaultRow{"a lone point as a count",
                        {{"Text113", "."}},
                        "Text113",
                        "\"Rear intake fans\" holds \".\", which is not a number."},
        AirflowFaultRow{"two points",
                        {{"Text118", "1.2.3"}},
                        "Text118",
                        "\"Front exhaust CFM per fan\" holds \"1.2.3\", which is not a number."}));

TEST(AirflowDialog, AFaultyRowLeavesItsSubtotalAsItWas) {
  testing::ToolForm dialog{airflow::kWindow};
  dialog.setAll({{"Text123", "80"}, {"Text98", "2"}, {"Text96", "4O"}});
  EXPECT_FALSE(dialog.click("Text123"));
  EXPECT_EQ(dialog.text("Text123"), "80");
}

TEST(AirflowDialog, CalculateComputesTheRowsBeforeAFault) {
  testing::ToolForm dialog{airflow::kWindow};
  dialog.setAll({{"Text98", "2"}, {"Text96", "40"}, {"Text120", "x"}, {"Text130", "5"}});
  EXPECT_FALSE(dialog.click("calcairflow"));
  dialog.expectTexts({{"Text123", "80"}, {"Text130", "5"}, {"Text132", "0"}});
}

}  // namespace
}  // namespace freqsmith
