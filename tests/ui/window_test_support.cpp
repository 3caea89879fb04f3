// Shared helpers of the window tests.
#include "window_test_support.h"

#include <QApplication>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "fake_reader.h"
#include "main_window.h"
#include "startup.h"

namespace freqsmith::testing {

void prepareUiTesting() {
  QStandardPaths::setTestModeEnabled(true);
  prepareApplication();
  // Test mode moves settings files aside but not the Windows registry, where the program's
  // own names would reach the user's real settings.
  QCoreApplication::setOrganizationName(QStringLiteral("Freqsmith tests"));
  QCoreApplication::setApplicationName(QStringLiteral("Freqsmith window tests"));
}

std::unique_ptr<detect::Detection> detectionOn(detect::Reader reader,
                                               std::chrono::milliseconds limit) {
  return std::make_unique<detect::Detection>(std::move(reader), limit);
}

std::unique_ptr<detect::Detection> detectionOn(const detect::Hardware& machine) {
  return detectionOn(fixedReader(machine));
}

bool detectionDone(MainWindow& window) {
  return QTest::qWaitFor([&window] { return !window.detectionPending(); }, 10000);
}

void bringToFront(QWidget* control) {
  for (QWidget* w = control; w && w->parentWidget(); w = w->parentWidget()) {
    auto* tabs = qobject_cast<QTabWidget*>(w->parentWidget()->parentWidget());
    if (tabs && tabs->indexOf(w) >= 0) tabs->setCurrentWidget(w);
  }
}

void click(QWidget* control) {
  bringToFront(control);
  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, control->rect().center());
}

namespace {

struct NamedKey {
  const char* token;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

constexpr NamedKey kNamedKeys[] = {
    {"bs", Qt::Key_Backspace, Qt::NoModifier},  {"tab", Qt::Key_Tab, Qt::NoModifier},
    {"enter", Qt::Key_Return, Qt::NoModifier},  {"esc", Qt::Key_Escape, Qt::NoModifier},
    {"del", Qt::Key_Delete, Qt::NoModifier},    {"left", Qt::Key_Left, Qt::NoModifier},
    {"home", Qt::Key_Home, Qt::NoModifier},     {"end", Qt::Key_End, Qt::NoModifier},
    {"ctrl+c", Qt::Key_C, Qt::ControlModifier}, {"ctrl+v", Qt::Key_V, Qt::ControlModifier},
    {"ctrl+x", Qt::Key_X, Qt::ControlModifier}, {"ctrl+a", Qt::Key_A, Qt::ControlModifier},
};

}  // namespace

void typeKeys(QWidget* target, const QString& script) {
  for (qsizetype i = 0; i < script.size(); ++i) {
    if (script[i] != u'{') {
      QTest::keyClick(target, script[i].toLatin1());
      continue;
    }
    const qsizetype end = script.indexOf(u'}', i);
    const QString token = script.mid(i + 1, end - i - 1);
    i = end;
    if (token == QLatin1String("all")) {
      if (auto* edit = qobject_cast<QLineEdit*>(target)) edit->selectAll();
      continue;
    }
    bool known = false;
    for (const NamedKey& named : kNamedKeys) {
      if (token == QLatin1String(named.token)) {
        QTest::keyClick(target, named.key, named.modifiers);
        known = true;
      }
    }
    if (!known) qFatal("typeKeys: unknown key token {%s}", qPrintable(token));
  }
}

ModalWatchdog::ModalWatchdog(int seconds, QObject* parent)
    : QObject(parent), timer_(new QTimer(this)), limit_(seconds * 10) {
  connect(timer_, &QTimer::timeout, this, &ModalWatchdog::check);
  timer_->start(100);
}

void ModalWatchdog::check() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != seen_) {
    seen_ = modal;
    ticks_ = 0;
    return;
  }
  if (modal && ++ticks_ >= limit_) {
    fired_ = true;
    qWarning("A modal dialog (%s) was left open; closing it.", qPrintable(modal->objectName()));
    modal->close();
  }
}

}  // namespace freqsmith::testing
