// A click is a left-button release inside the control that took the press.
#include "click_hook.h"

#include <QAbstractScrollArea>
#include <QMouseEvent>
#include <QWidget>

namespace freqsmith {
namespace {
constexpr char kIndexProperty[] = "freqsmithControl";
}

void ClickHook::install(QWidget* widget, int controlIndex) {
  // A scroll area's mouse events go to its viewport, never to the area itself.
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) widget = area->viewport();
  widget->setProperty(kIndexProperty, controlIndex);
  widget->installEventFilter(this);
}

bool ClickHook::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    // Qt makes every event of this type a QMouseEvent; events have no checked cast of Qt's.
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-static-cast-downcast)
    auto* mouse = static_cast<QMouseEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && mouse->button() == Qt::LeftButton &&
        widget->rect().contains(mouse->position().toPoint())) {
      emit clicked(widget->property(kIndexProperty).toInt());
    }
  }
  return false;
}

}  // namespace freqsmith
