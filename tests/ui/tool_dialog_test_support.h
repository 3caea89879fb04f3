// What the converter dialog tests share: the fault balloon, the caption bar's close box and
// a dialog shown on its own.
#pragma once

#include <QString>
#include <memory>

#include "tool_dialog.h"

class QWidget;

namespace freqsmith::testing {

// The text of the balloon that is showing; empty when none is.
QString balloonText();
// The balloon's window, or nullptr when none is showing.
QWidget* balloon();

// True when the balloon is showing below `field` and reaches across some of its width.
bool balloonIsUnder(QWidget* field);

// Closes `window` the way its caption bar's close box does: a close request from the window
// system, not a call of the widget's own close().
void closeByCaptionBar(QWidget* window);

// A dialog made from `window` with no owner, shown and exposed.
std::unique_ptr<ToolDialog> showDialog(const ToolWindow& window);

}  // namespace freqsmith::testing
