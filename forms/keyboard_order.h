// The order in which the Tab key visits a window's controls, read from its table: each
// container in reading order (top to bottom, and left to right along a line), its inputs
// and results before its commands, a frame's controls where the frame stands, a tab
// strip's pages after the strip.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "controls.h"

namespace freqsmith {

// Whether the user can reach the control from the keyboard: shown fields, boxes, buttons
// and the tab strip.
bool takesKeyboard(const Control& row);

// The rows that take the keyboard, in the order Tab visits them.
std::vector<std::size_t> keyboardOrder(std::span<const Control> table);

// The first row in that order that the user types into; none in a window without inputs.
std::optional<std::size_t> firstInput(std::span<const Control> table);

}  // namespace freqsmith
