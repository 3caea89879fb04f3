// Every control of the main window as one table, and compile-time lookups by name:
// field("Text35") is the id of Text35, and a misspelt name does not compile.
#pragma once

#include "controls.h"
#include "cpu_board_rows.h"
#include "misc_tools_rows.h"
#include "power_supply_rows.h"
#include "processor_memory_rows.h"
#include "shell_rows.h"

namespace freqsmith::mainwin {

inline constexpr auto kControls =
    joinRows(kShellRows, kProcessorMemoryRows, kPowerSupplyRows, kCpuBoardRows, kMiscToolsRows);

static_assert((requireUniqueNames(kControls), true));
static_assert((requireContainersFirst(kControls), true));

consteval FieldId field(std::string_view name) {
  return {findControl(kControls, name, ControlKind::Field)};
}
consteval BoxId box(std::string_view name) {
  return {findControl(kControls, name, ControlKind::Box)};
}
consteval LabelId label(std::string_view name) {
  return {findControl(kControls, name, ControlKind::Label)};
}
consteval ControlId button(std::string_view name) {
  return findControl(kControls, name, ControlKind::Button);
}
consteval PictureId picture(std::string_view name) {
  return {findControl(kControls, name, ControlKind::Picture)};
}

inline constexpr LabelId kExplanationLine = label("text7");

}  // namespace freqsmith::mainwin
