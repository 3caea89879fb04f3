// The temperature converter frmtempcalc as a table: Celsius to Fahrenheit in the upper frame,
// Fahrenheit to Celsius in the lower one, each an input, a result and a Convert button.
#pragma once

#include "controls.h"

namespace freqsmith::tempcalc {

inline constexpr std::string_view kCelsius = "Temperature in Celsius";
inline constexpr std::string_view kFahrenheit = "Temperature in Fahrenheit";

namespace rows {
constexpr Control boldFrame(std::string_view name, Twips place, std::string_view caption) {
  Control frame = frameRow(name, "frmtempcalc", place, caption);
  frame.look = Look::Bold;
  return frame;
}
// Both inputs take signed numbers: the minus sign is what lets a temperature below zero in.
constexpr Control input(std::string_view name, std::string_view frame, Twips place,
                        std::string_view design, std::string_view title, std::string_view tooltip) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = frame,
          .place = place,
          .text = design,
          .title = title,
          .tooltip = tooltip,
          .role = FieldRole::Input,
          .filter = KeyFilter::SignedDecimal,
          .maxLength = 4};
}
constexpr Control result(std::string_view name, std::string_view frame, Twips place,
                         std::string_view design, std::string_view title,
                         std::string_view tooltip) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = frame,
          .place = place,
          .text = design,
          .title = title,
          .tooltip = tooltip,
          .role = FieldRole::Result,
          .maxLength = 4};
}
}  // namespace rows

inline constexpr auto kControls = checkedTable(std::to_array<Control>({
    {.name = "frmtempcalc",
     .kind = ControlKind::Window,
     .place = {0, 0, 3480, 2550},
     .text = "Temperature Converter"},
    rows::boldFrame("Frame1", {0, 0, 3465, 1095}, "C to F"),
    rows::input("Text3", "Frame1", {120, 240, 795, 315}, "37", "Celsius to convert", kCelsius),
    labelRow("Label1", "Frame1", {960, 300, 975, 255}, "Centigrade =", Look::Small),
    rows::result("Text4", "Frame1", {1800, 240, 795, 315}, "98.6", "Fahrenheit result",
                 kFahrenheit),
    labelRow("Label2", "Frame1", {2640, 300, 735, 195}, "Fahrenheit", Look::Small),
    buttonRow("Command2", "Frame1", {90, 630, 3285, 375}, "Convert C to F"),
    rows::boldFrame("Frame2", {0, 1110, 3465, 1095}, "F to C"),
    rows::input("Text1", "Frame2", {150, 240, 795, 315}, "98.6", "Fahrenheit to convert",
                kFahrenheit),
    labelRow("Label3", "Frame2", {990, 300, 825, 195}, "Fahrenheit =", Look::Small),
    rows::result("Text2", "Frame2", {1830, 240, 795, 315}, "37", "Celsius result", kCelsius),
    labelRow("Label4", "Frame2", {2640, 300, 795, 255}, "Centigrade", Look::Small),
    buttonRow("Command3", "Frame2", {90, 630, 3285, 375}, "Convert F to C"),
    buttonRow("Command1", "frmtempcalc", {30, 2220, 3405, 315}, "Close"),
}));

inline constexpr ControlFinder<kControls, ControlKind::Field, FieldId> field{};
inline constexpr ControlFinder<kControls, ControlKind::Button, ControlId> button{};

}  // namespace freqsmith::tempcalc
