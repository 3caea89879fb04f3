// Applies the keyboard order to the widgets.
#include "keyboard_focus.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include "keyboard_order.h"

namespace freqsmith {
namespace {

// The widget that takes the focus for a row: the strip of a tab control, which Qt would
// otherwise chain together with every page it holds.
QWidget* focusTaker(QWidget* widget) {
  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) return tabs->tabBar();
  return widget;
}

}  // namespace

void orderKeyboardFocus(std::span<const Control> table, const std::vector<QWidget*>& widgets) {
  QWidget* previous = nullptr;
  for (const std::size_t row : keyboardOrder(table)) {
    QWidget* widget = widgets[row] ? focusTaker(widgets[row]) : nullptr;
    if (!widget) continue;
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

void focusFirstInput(std::span<const Control> table, const std::vector<QWidget*>& widgets) {
  const std::optional<std::size_t> row = firstInput(table);
  if (!row || !widgets[*row]) return;
  widgets[*row]->setFocus(Qt::OtherFocusReason);
  // Selected, as Tab leaves a field: what the user types replaces the design text instead of
  // following it ("0" and a typed 133.3 would make 0133. in a five-character field).
  if (auto* edit = qobject_cast<QLineEdit*>(widgets[*row])) edit->selectAll();
}

}  // namespace freqsmith
