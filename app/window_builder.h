// Builds the widgets of a window from its control table: object names, places, texts,
// limits, roles and looks all come from the rows.
#pragma once

#include <span>
#include <vector>

#include "controls.h"
#include "picture_label.h"

class QWidget;

namespace freqsmith {

// Creates a widget for every row but the first, which is `window` itself. The result is
// indexed like the table. Containers come before what they contain.
std::vector<QWidget*> buildControls(std::span<const Control> table, QWidget* window);

// The artwork of a picture control; empty when it starts without a picture.
Artwork artworkOf(std::string_view name);

}  // namespace freqsmith
