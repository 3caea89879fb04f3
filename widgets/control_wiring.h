// Connects a window's built controls to one router: key filters on the filtered fields, and
// every click on a field, label, picture, box or button reported by its control index.
#pragma once

#include <QWidget>
#include <functional>
#include <span>
#include <vector>

#include "controls.h"

namespace freqsmith {

class ClickHook;
class KeyFilterHook;

// For a window built in parts: each wire() connects the controls built since the last one.
// The filters and hooks are children of `owner`; `route` receives the index of the clicked
// control.
class ControlWiring {
 public:
  ControlWiring(QWidget* owner, std::function<void(int)> route);

  // `widgets` is indexed like `table` (see buildControls); rows not built yet are null.
  void wire(std::span<const Control> table, const std::vector<QWidget*>& widgets);

 private:
  QWidget* owner_;
  std::function<void(int)> route_;
  KeyFilterHook* keys_;
  ClickHook* clicks_;
  std::vector<bool> wired_;
};

// The whole of a window built at once.
void wireControls(std::span<const Control> table, const std::vector<QWidget*>& widgets,
                  QWidget* owner, std::function<void(int)> route);

}  // namespace freqsmith
