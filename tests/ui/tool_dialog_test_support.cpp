// Shared helpers of the converter dialog tests.
#include "tool_dialog_test_support.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QToolTip>
#include <QWindow>

namespace freqsmith::testing {

QWidget* balloon() {
  if (!QToolTip::isVisible()) return nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->windowType() == Qt::ToolTip && window->isVisible()) return window;
  }
  return nullptr;
}

QString balloonText() {
  return QToolTip::isVisible() ? QToolTip::text() : QString();
}

bool balloonIsUnder(QWidget* field) {
  const QWidget* tip = balloon();
  if (!tip) return false;
  const QRect area(field->mapToGlobal(QPoint(0, 0)), field->size());
  const QRect shown = tip->geometry();
  return shown.top() >= area.bottom() && shown.left() <= area.right() &&
         shown.right() >= area.left();
}

void closeByCaptionBar(QWidget* window) {
  QCloseEvent request;
  QApplication::sendEvent(window->windowHandle(), &request);
}

std::unique_ptr<ToolDialog> showDialog(const ToolWindow& window) {
  auto dialog = std::make_unique<ToolDialog>(window, nullptr);
  dialog->show();
  if (!QTest::qWaitForWindowExposed(dialog.get())) qWarning("The dialog was never exposed.");
  return dialog;
}

}  // namespace freqsmith::testing
