// The main window frmMain.
//
// Data flow: a key typed into a numeric field passes its key filter (KeyFilterHook) before
// the line edit sees it; a click on a control reaches route() by the control's name; the
// route runs the control's handler from calc/ or detect/, which reads and writes fields
// only through the form (WidgetForm) and ends with one sentence on the explanation line
// text7. Nothing recomputes on its own: results change only through their handlers.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <unordered_map>

#include "form.h"

namespace freqsmith {

namespace detect {
class ManagementService;
}
class WidgetForm;

class MainWindow final : public QWidget {
  Q_OBJECT
 public:
  // Runs the start-up: window icon, then detection through `service`. The window is shown
  // by the caller.
  explicit MainWindow(detect::ManagementService& service, QWidget* parent = nullptr);
  ~MainWindow() override;

  Form& form();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  using Handler = std::function<void()>;

  void addRoute(ControlId control, Handler handler);
  void route(int controlIndex);
  void wireControls();
  void closeOtherWindows();
  void saveGeometry();

  std::unique_ptr<WidgetForm> form_;
  std::unordered_map<int, Handler> routes_;
};

}  // namespace freqsmith
