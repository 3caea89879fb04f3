// A converter dialog: a fixed-size tool window built from its ToolWindow description, with
// the key filters and click routing of its table, a balloon on the field a fault is about,
// its design texts back in place every time it closes, and the focus on its first input
// every time it opens.
#pragma once

#include <QDialog>
#include <memory>

#include "tool_window.h"

namespace freqsmith {

class WidgetForm;

class ToolDialog final : public QDialog {
  Q_OBJECT
 public:
  // `owner` is the window that the dialog stays above and is modal for when it is run.
  ToolDialog(const ToolWindow& window, QWidget* owner);
  ~ToolDialog() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void wireControls();
  void route(int controlIndex);
  void showFault(const Outcome& fault);
  void reset();

  ToolWindow window_;
  std::unique_ptr<WidgetForm> form_;
};

}  // namespace freqsmith
