// Builds the widgets of a window from its control table: object names, places, texts,
// limits, roles and looks all come from the rows.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "controls.h"
#include "picture_label.h"

class QWidget;

namespace freqsmith {

// The artwork a picture control, or a button with a picture, starts with.
struct PictureSource {
  std::string_view name;
  Artwork artwork;
};

// Creates a widget for every row but the first, which is `window` itself. The result is
// indexed like the table. Containers come before what they contain. Pictures and buttons
// not in `pictures` start without a picture.
std::vector<QWidget*> buildControls(std::span<const Control> table, QWidget* window,
                                    std::span<const PictureSource> pictures = {});

// A window built in parts: the window itself first (its name, size and the fonts its
// controls take), then the rows `select` accepts, in table order, each into its place in
// `widgets` (indexed like the table). Rows already built are left as they are; a row is
// built only after its container.
void prepareWindow(std::span<const Control> table, QWidget* window, std::vector<QWidget*>& widgets);
void buildControls(std::span<const Control> table, std::span<const PictureSource> pictures,
                   std::vector<QWidget*>& widgets,
                   const std::function<bool(std::size_t row)>& select);

}  // namespace freqsmith
