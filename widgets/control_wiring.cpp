// One wiring for the main window and the dialogs.
#include "control_wiring.h"

#include <QLineEdit>
#include <QPushButton>

#include "click_hook.h"
#include "key_filter_hook.h"

namespace freqsmith {

void wireControls(std::span<const Control> table, const std::vector<QWidget*>& widgets,
                  QWidget* owner, std::function<void(int)> route) {
  auto* keys = new KeyFilterHook(owner);
  auto* clicks = new ClickHook(owner);
  QObject::connect(clicks, &ClickHook::clicked, owner, route);

  for (std::size_t i = 1; i < table.size(); ++i) {
    const Control& row = table[i];
    QWidget* widget = widgets[i];
    const int index = static_cast<int>(i);
    switch (row.kind) {
      case ControlKind::Field:
        if (row.filter != KeyFilter::None) keys->install(static_cast<QLineEdit*>(widget), row);
        clicks->install(widget, index);
        break;
      case ControlKind::Label:
      case ControlKind::Picture:
        clicks->install(widget, index);
        break;
      case ControlKind::Button:
        // Enter in a field is not a press of the first button, as a dialog's default would be.
        static_cast<QPushButton*>(widget)->setAutoDefault(false);
        [[fallthrough]];
      case ControlKind::Box:
        QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, owner,
                         [route, index] { route(index); });
        break;
      default:
        break;
    }
  }
}

}  // namespace freqsmith
