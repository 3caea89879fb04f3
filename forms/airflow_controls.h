// The airflow converter Form3 as a table: five fan positions, each an intake and an exhaust
// row (count x CFM per fan = subtotal), and the two totals. The rows are generated from
// kFanRows, the only key from a field's name to its role.
#pragma once

#include <array>

#include "controls.h"

namespace freqsmith::airflow {

enum class Flow : std::uint8_t { Intake, Exhaust };

struct FanFrame {
  std::string_view name;
  std::string_view caption;
  Twips place;
};

inline constexpr FanFrame kFanFrames[] = {
    {"Frame4", "Top Fans", {30, 0, 2775, 1215}},
    {"Frame1", "PSU Fans", {2820, 0, 2775, 1215}},
    {"Frame5", "Rear Fans", {30, 1230, 2775, 1215}},
    {"Frame3", "Side Fans", {2820, 1230, 2775, 1215}},
    {"Frame2", "Front Fans", {30, 2460, 2775, 1215}},
};

// One row of a fan frame.
struct FanRow {
  std::string_view frame;
  Flow flow;
  std::string_view count;     // how many fans, one character
  std::string_view airflow;   // CFM of one fan
  std::string_view subtotal;  // count x airflow
  // Row caption over the count, "x", "CFM" over the airflow, "=", "Subtotal", unit "CFM".
  std::array<std::string_view, 6> labels;
  std::string_view countTitle;  // how messages and assistive tools name the three fields
  std::string_view airflowTitle;
  std::string_view subtotalTitle;
};

// In the order Calculate (calcairflow_Click) computes the subtotals.
// clang-format off
inline constexpr FanRow kFanRows[] = {
    {"Frame4", Flow::Intake, "Text98", "Text96", "Text123",
     {"Label11", "Label8", "Label10", "Label31", "Label42", "Label60"},
     "Top intake fans", "Top intake CFM per fan", "Top intake CFM"},
    {"Frame4", Flow::Exhaust, "Text97", "Text95", "Text122",
     {"Label12", "Label3", "Label9", "Label32", "Label41", "Label59"},
     "Top exhaust fans", "Top exhaust CFM per fan", "Top exhaust CFM"},
    {"Frame1", Flow::Intake, "Text91", "Text93", "Text125",
     {"Label2", "Label6", "Label4", "Label33", "Label44", "Label58"},
     "PSU intake fans", "PSU intake CFM per fan", "PSU intake CFM"},
    {"Frame1", Flow::Exhaust, "Text92", "Text94", "Text124",
     {"Label1", "Label7", "Label5", "Label34", "Label43", "Label57"},
     "PSU exhaust fans", "PSU exhaust CFM per fan", "PSU exhaust CFM"},
    {"Frame5", Flow::Intake, "Text113", "Text111", "Text127",
     {"Label17", "Label14", "Label16", "Label35", "Label46", "Label56"},
     "Rear intake fans", "Rear intake CFM per fan", "Rear intake CFM"},
    {"Frame5", Flow::Exhaust, "Text112", "Text99", "Text126",
     {"Label18", "Label13", "Label15", "Label36", "Label45", "Label55"},
     "Rear exhaust fans", "Rear exhaust CFM per fan", "Rear exhaust CFM"},
    {"Frame3", Flow::Intake, "Text117", "Text115", "Text129",
     {"Label23", "Label20", "Label22", "Label37", "Label48", "Label54"},
     "Side intake fans", "Side intake CFM per fan", "Side intake CFM"},
    {"Frame3", Flow::Exhaust, "Text116", "Text114", "Text128",
     {"Label24", "Label19", "Label21", "Label38", "Label47", "Label53"},
     "Side exhaust fans", "Side exhaust CFM per fan", "Side exhaust CFM"},
    {"Frame2", Flow::Intake, "Text121", "Text119", "Text131",
     {"Label29", "Label26", "Label28", "Label39", "Label50", "Label51"},
     "Front intake fans", "Front intake CFM per fan", "Front intake CFM"},
    {"Frame2", Flow::Exhaust, "Text120", "Text118", "Text130",
     {"Label30", "Label25", "Label27", "Label40", "Label49", "Label52"},
     "Front exhaust fans", "Front exhaust CFM per fan", "Front exhaust CFM"},
};
// clang-format on

// A total and the subtotals it adds, left to right.
struct FlowTotal {
  std::string_view field;
  std::array<std::string_view, 5> subtotals;
};

inline constexpr FlowTotal kIntakeTotal{"Text132",
                                        {"Text125", "Text123", "Text127", "Text129", "Text131"}};
inline constexpr FlowTotal kExhaustTotal{"Text110",
                                         {"Text124", "Text122", "Text126", "Text128", "Text130"}};

// Each total adds every subtotal of its own flow exactly once.
consteval bool addsItsOwnSubtotals(const FlowTotal& total, Flow flow) {
  std::size_t found = 0;
  for (const FanRow& row : kFanRows) {
    std::size_t times = 0;
    for (std::string_view name : total.subtotals) times += name == row.subtotal ? 1 : 0;
    if (times != (row.flow == flow ? 1u : 0u)) return false;
    found += times;
  }
  return found == total.subtotals.size();
}
static_assert(addsItsOwnSubtotals(kIntakeTotal, Flow::Intake));
static_assert(addsItsOwnSubtotals(kExhaustTotal, Flow::Exhaust));

namespace rows {
constexpr std::size_t kFanRowCount = std::size(kFanRows);
constexpr int kExhaustDrop = 480;  // the exhaust row sits this much lower than the intake row
constexpr int kFieldWidth = 555;
constexpr int kFieldHeight = 285;

constexpr Control numberField(std::string_view name, std::string_view frame, Twips place,
                              std::string_view title, FieldRole role, std::uint16_t maxLength,
                              Look look = Look::Plain) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = frame,
          .place = place,
          .text = "0",
          .title = title,
          .role = role,
          .filter = role == FieldRole::Input ? KeyFilter::Decimal : KeyFilter::None,
          .maxLength = maxLength,
          .look = look};
}

consteval std::array<Control, std::size(kFanFrames)> frameRows() {
  std::array<Control, std::size(kFanFrames)> frames{};
  for (std::size_t i = 0; i < frames.size(); ++i) {
    frames[i] = frameRow(kFanFrames[i].name, "Form3", kFanFrames[i].place, kFanFrames[i].caption);
  }
  return frames;
}

// Row by row, left to right, so that keyboard focus moves count, airflow, subtotal.
consteval std::array<Control, kFanRowCount * 9> fanRows() {
  std::array<Control, kFanRowCount * 9> out{};
  std::size_t at = 0;
  for (const FanRow& row : kFanRows) {
    const bool exhaust = row.flow == Flow::Exhaust;
    const int drop = exhaust ? kExhaustDrop : 0;
    const std::string_view frame = row.frame;
    const auto& names = row.labels;
    out[at++] =
        labelRow(names[0], frame, {120, 180 + drop, kFieldWidth, 180},
                 exhaust ? "Exhaust" : "Intake", exhaust ? Look::ExhaustRow : Look::IntakeRow);
    out[at++] = numberField(row.count, frame, {120, 360 + drop, kFieldWidth, kFieldHeight},
                            row.countTitle, FieldRole::Input, 1);
    out[at++] = labelRow(names[1], frame, {780, 420 + drop, 165, 195}, "x", Look::Small);
    out[at++] =
        labelRow(names[2], frame, {960, 180 + drop, kFieldWidth, 180}, "CFM", Look::Heading);
    out[at++] = numberField(row.airflow, frame, {960, 360 + drop, kFieldWidth, kFieldHeight},
                            row.airflowTitle, FieldRole::Input, 0);
    out[at++] = labelRow(names[3], frame, {1560, 420 + drop, 165, 195}, "=", Look::Small);
    out[at++] =
        labelRow(names[4], frame, {1740, 180 + drop, kFieldWidth, 180}, "Subtotal", Look::Heading);
    out[at++] =
        numberField(row.subtotal, frame, {1740, 360 + drop, kFieldWidth, kFieldHeight},
                    row.subtotalTitle, FieldRole::Result, 0, exhaust ? Look::Exhaust : Look::Plain);
    out[at++] = labelRow(names[5], frame, {2340, 420 + drop, 390, 195}, "CFM", Look::Small);
  }
  return out;
}

inline constexpr auto kTotalRows = std::to_array<Control>({
    frameRow("Frame6", "Form3", {2820, 2460, 2775, 1215}, "Totals"),
    labelRow("Label62", "Frame6", {480, 360, 615, 255}, "Intake", Look::IntakeSum),
    numberField("Text132", "Frame6", {1110, 240, 795, 315}, "Intake total", FieldRole::Result, 4),
    labelRow("Label64", "Frame6", {1950, 360, 405, 195}, "CFM", Look::Small),
    labelRow("Label61", "Frame6", {360, 720, 735, 255}, "Exhaust", Look::ExhaustSum),
    numberField("Text110", "Frame6", {1110, 600, 795, 315}, "Exhaust total", FieldRole::Result, 4,
                Look::Exhaust),
    labelRow("Label65", "Frame6", {1950, 720, 405, 195}, "CFM", Look::Small),
    labelRow("Label63", "Frame6", {120, 1020, 2535, 135}, "These values should be almost identical",
             Look::Note),
    buttonRow("calcairflow", "Form3", {60, 3720, 4695, 315}, "Calculate"),
    buttonRow("close", "Form3", {4770, 3720, 825, 315}, "Close"),
});
}  // namespace rows

inline constexpr auto kControls =
    checkedTable(joinRows(std::to_array<Control>({{.name = "Form3",
                                                   .kind = ControlKind::Window,
                                                   .place = {0, 0, 5625, 4050},
                                                   .text = "Airflow Converter"}}),
                          rows::frameRows(), rows::fanRows(), rows::kTotalRows));

inline constexpr ControlFinder<kControls, ControlKind::Field, FieldId> field{};
inline constexpr ControlFinder<kControls, ControlKind::Button, ControlId> button{};

}  // namespace freqsmith::airflow
