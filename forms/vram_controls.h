// The memory timing converter Form2 as a table: an access time in nanoseconds in, the clock
// it allows for single- and double-data-rate memory out.
#pragma once

#include "controls.h"

namespace freqsmith::vram {

inline constexpr std::string_view kResultTip = "Resulting speed";

namespace rows {
constexpr Control result(std::string_view name, Twips place, std::string_view design,
                         std::string_view title) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = "Form2",
          .place = place,
          .text = design,
          .title = title,
          .tooltip = kResultTip,
          .role = FieldRole::Result,
          .maxLength = 5};
}
}  // namespace rows

inline constexpr auto kControls = checkedTable(std::to_array<Control>({
    {.name = "Form2",
     .kind = ControlKind::Window,
     .place = {0, 0, 3405, 900},
     .text = "VRAM Ns Converter"},
    // Taller than the gap above the input, so its caption is set at the top.
    labelRow("Label35", "Form2", {60, 60, 915, 255}, "Ns Rating", Look::SmallTop),
    {.name = "Text17",
     .kind = ControlKind::Field,
     .parent = "Form2",
     .place = {60, 210, 600, 285},
     .text = "2.8",
     .title = "Ns Rating",
     .tooltip = "Your VRAM Ns Rating",
     .role = FieldRole::Input,
     .filter = KeyFilter::DecimalNoGuard,
     .maxLength = 4},
    labelRow("Label34", "Form2", {660, 300, 435, 195}, "Ns =", Look::Small),
    labelRow("Label36", "Form2", {1200, 60, 735, 195}, "SDRAM", Look::Small),
    rows::result("Text18", {1200, 240, 675, 255}, "357.1", "SDRAM"),
    labelRow("Label39", "Form2", {1920, 300, 315, 195}, "Mhz", Look::Small),
    labelRow("Label41", "Form2", {2340, 60, 915, 195}, "DDR SRAM", Look::Small),
    rows::result("Text19", {2340, 240, 675, 255}, "714.2", "DDR SRAM"),
    labelRow("Label38", "Form2", {3060, 300, 315, 195}, "Mhz", Look::Small),
    buttonRow("Command2", "Form2", {60, 570, 2535, 315}, "Convert"),
    buttonRow("Command1", "Form2", {2610, 570, 765, 315}, "Close"),
}));

inline constexpr ControlFinder<kControls, ControlKind::Field, FieldId> field{};
inline constexpr ControlFinder<kControls, ControlKind::Button, ControlId> button{};

}  // namespace freqsmith::vram
