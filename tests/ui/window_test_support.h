// What every window test shares: headless set-up with throwaway settings, finding controls
// by name, clicking them on their tab, typing key scripts, and a watchdog that fails a test
// which leaves a modal dialog open.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <chrono>
#include <memory>

#include "detection.h"
#include "facts.h"
#include "reader.h"

class QTimer;

namespace freqsmith {
class MainWindow;
}

namespace freqsmith::testing {

// The detection the program starts, reading through `reader`: what a main window is made with.
std::unique_ptr<detect::Detection> detectionOn(
    detect::Reader reader, std::chrono::milliseconds limit = detect::Detection::kTimeLimit);
// The same on a machine given in code.
std::unique_ptr<detect::Detection> detectionOn(const detect::Hardware& machine);

// Runs the event loop until the window's detected figures are in (or their time is up);
// false when that takes more than ten seconds. A window starts reading only once it is
// whole, so one that is never shown needs completeWindow() first.
[[nodiscard]] bool detectionDone(MainWindow& window);

// Call from initTestCase(): the program's style and fonts, and settings of the tests' own
// that never touch the user's.
void prepareUiTesting();

// The named descendant of `root`; fails the test (by a null result the caller checks) when
// there is none.
template <class T = QWidget>
T* control(QWidget* root, const char* name) {
  return root->findChild<T*>(QString::fromLatin1(name));
}

// Brings the control's tab to the front, so that a click lands on it as a user's would.
void bringToFront(QWidget* control);

// A left click in the middle of the control, on its tab.
void click(QWidget* control);

// Types a key script into `target`: plain characters are typed as keys; "{bs}", "{tab}",
// "{enter}", "{esc}", "{del}", "{left}", "{home}", "{end}", "{ctrl+c}", "{ctrl+v}",
// "{ctrl+x}", "{ctrl+a}" are those keys; "{all}" selects the whole text without a key.
void typeKeys(QWidget* target, const QString& script);

// Fails the running test when a modal dialog stays open longer than `seconds`, and closes
// it so that the test run goes on.
class ModalWatchdog final : public QObject {
  Q_OBJECT
 public:
  explicit ModalWatchdog(int seconds = 10, QObject* parent = nullptr);
  bool fired() const { return fired_; }

 private:
  void check();

  QTimer* timer_;
  QPointer<QWidget> seen_;
  int ticks_ = 0;
  int limit_;
  bool fired_ = false;
};

}  // namespace freqsmith::testing
