// The keyboard side of a built window: the Tab chain its table gives, and the focus on its
// first input.
#pragma once

#include <span>
#include <vector>

#include "controls.h"

class QWidget;

namespace freqsmith {

// Chains the widgets (indexed like `table`, see buildControls) in the table's keyboard
// order; Tab then visits the shown ones in that order and comes round again.
void orderKeyboardFocus(std::span<const Control> table, const std::vector<QWidget*>& widgets);

// Gives the first input the focus, with its text selected, at once if its window is active
// and otherwise when it becomes so.
void focusFirstInput(std::span<const Control> table, const std::vector<QWidget*>& widgets);

}  // namespace freqsmith
