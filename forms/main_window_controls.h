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

inline constexpr auto kControls = checkedTable(
    joinRows(kShellRows, kProcessorMemoryRows, kPowerSupplyRows, kCpuBoardRows, kMiscToolsRows));

inline constexpr ControlFinder<kControls, ControlKind::Field, FieldId> field{};
inline constexpr ControlFinder<kControls, ControlKind::Box, BoxId> box{};
inline constexpr ControlFinder<kControls, ControlKind::Label, LabelId> label{};
inline constexpr ControlFinder<kControls, ControlKind::Button, ControlId> button{};
inline constexpr ControlFinder<kControls, ControlKind::Picture, PictureId> picture{};

inline constexpr LabelId kExplanationLine = label("text7");

}  // namespace freqsmith::mainwin
