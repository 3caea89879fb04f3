// Connects a window's built controls to one router: key filters on the filtered fields, and
// every click on a field, label, picture, box or button reported by its control index.
#pragma once

#include <QWidget>
#include <functional>
#include <span>
#include <vector>

#include "controls.h"

namespace freqsmith {

// `widgets` is indexed like `table` (see buildControls); `route` receives the index of the
// clicked control. The filters and hooks are children of `owner`.
void wireControls(std::span<const Control> table, const std::vector<QWidget*>& widgets,
                  QWidget* owner, std::function<void(int)> route);

}  // namespace freqsmith
