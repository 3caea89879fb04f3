// Builds the widgets of a window from its control table: object names, places, texts,
// limits, roles and looks all come from the rows.
#pragma once

#include <span>
#include <vector>

#include "controls.h"

class QWidget;

namespace freqsmith {

// Creates a widget for every row but the first, which is `window` itself. The result is
// indexed like the table. Containers come before what they contain.
std::vector<QWidget*> buildControls(std::span<const Control> table, QWidget* window);

// The resource path of a picture control's artwork; empty when it has none.
const char* pictureResource(std::string_view name);

}  // namespace freqsmith
