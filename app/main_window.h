// The main window frmMain.
//
// Data flow: a key typed into a numeric field passes its key filter (KeyFilterHook) before
// the line edit sees it; a click on a control reaches route() by the control's name; the
// route runs the control's handler from calc/ or detect/, which reads and writes fields
// only through the form (WidgetForm) and ends with one sentence on the explanation line
// text7. Nothing recomputes on its own: results change only through their handlers.
//
// Only the first tab is built before the window is first painted; the other three follow
// right after, and in any case before the window handles its first input.
//
// Detection never holds the window up: the hardware is read on the detection's worker once
// the window is on screen, and its answer goes into the form in one step on this thread.
// Until then the figures keep their design texts, and Calculate, Reset and Detect, which
// read or write them, wait for it.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "form.h"

namespace freqsmith {

namespace detect {
class Detection;
}
class ControlWiring;
class WidgetForm;

class MainWindow final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool detectionPending READ detectionPending NOTIFY detectionFinished)
 public:
  // Runs the start-up: window icon, and detection through `detection`, which starts once
  // the window is whole and whose answer is put in when it comes or when its time limit has
  // passed. The window is shown by the caller.
  explicit MainWindow(std::unique_ptr<detect::Detection> detection, QWidget* parent = nullptr);
  ~MainWindow() override;

  Form& form();

  // True until the detected figures are in the form (or their time is up).
  bool detectionPending() const { return figures_ != Figures::In; }

  // Builds the tabs not built yet, and starts reading the hardware; at once if done.
  void completeWindow();

 signals:
  void detectionFinished();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Handler = std::function<void()>;

  void addRoute(ControlId control, Handler handler);
  void route(int controlIndex);
  void wireControls();
  void beginReading();
  void finishDetection();
  bool waitsForDetection(int controlIndex);
  void closeOtherWindows();
  void saveGeometry();

  std::unique_ptr<WidgetForm> form_;
  std::unique_ptr<ControlWiring> wiring_;
  std::unordered_map<int, Handler> routes_;
  // How much of the window there is: the first tab, before the first paint; the rest, to be
  // built as soon as the first paint is done; every tab.
  enum class Build : std::uint8_t { FirstTab, RestQueued, Whole };
  // Where the detected figures are: not asked for before the window is whole; being read,
  // with the time limit running; in the form.
  enum class Figures : std::uint8_t { NotAsked, Reading, In };
  Build build_ = Build::FirstTab;
  Figures figures_ = Figures::NotAsked;
  // Commands clicked while detection was pending, run in turn once it is done.
  std::vector<int> waitingCommands_;
  // Last, so that it goes first: once it is gone its worker no longer calls back.
  std::unique_ptr<detect::Detection> detection_;
};

}  // namespace freqsmith
