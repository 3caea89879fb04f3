// One wiring for the main window and the dialogs.
#include "control_wiring.h"

#include <QLineEdit>
#include <QPushButton>

#include "click_hook.h"
#include "key_filter_hook.h"

namespace freqsmith {

ControlWiring::ControlWiring(QWidget* owner, std::function<void(int)> route)
    : owner_(owner),
      route_(std::move(route)),
      keys_(new KeyFilterHook(owner)),
      clicks_(new ClickHook(owner)) {
  QObject::connect(clicks_, &ClickHook::clicked, owner, route_);
}

void ControlWiring::wire(std::span<const Control> table, const std::vector<QWidget*>& widgets) {
  wired_.resize(table.size(), false);
  for (std::size_t i = 1; i < table.size(); ++i) {
    QWidget* widget = widgets[i];
    if (!widget || wired_[i]) continue;
    wired_[i] = true;
    const Control& row = table[i];
    const int index = static_cast<int>(i);
    switch (row.kind) {
      case ControlKind::Field:
        // Only a line edit is typed into: a notes view or a hidden field filters no keys.
        if (auto* edit = qobject_cast<QLineEdit*>(widget); edit && row.filter != KeyFilter::None)
          keys_->install(edit, row);
        clicks_->install(widget, index);
        break;
      case ControlKind::Label:
      case ControlKind::Picture:
        clicks_->install(widget, index);
        break;
      case ControlKind::Button:
        // Enter in a field is not a press of the first button, as a dialog's default would be.
        if (auto* button = qobject_cast<QPushButton*>(widget)) button->setAutoDefault(false);
        [[fallthrough]];
      case ControlKind::Box:
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
          QObject::connect(button, &QAbstractButton::clicked, owner_,
                           [route = route_, index] { route(index); });
        }
        break;
      default:
        break;
    }
  }
}

void wireControls(std::span<const Control> table, const std::vector<QWidget*>& widgets,
                  QWidget* owner, std::function<void(int)> route) {
  ControlWiring(owner, std::move(route)).wire(table, widgets);
}

}  // namespace freqsmith
