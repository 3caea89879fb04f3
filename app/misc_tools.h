// The buttons of the "   Miscellaneous Tools   " tab: each converter button opens its dialog
// modally over the main window, the two links open their pages, and the author's picture
// names the contact address.
#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <vector>

#include "form.h"
#include "tool_dialog.h"

class QWidget;

namespace freqsmith {

class MiscTools final : public QObject {
  Q_OBJECT
 public:
  // `owner` is the main window: it owns the dialogs, which are modal for it. `form` is its
  // form, whose explanation line the links and the picture write.
  MiscTools(QWidget* owner, Form& form);

  struct Route {
    ControlId control;
    std::function<void()> run;
  };
  // The tab's click handling, for the main window's router.
  std::vector<Route> routes();

 private:
  // Creates the dialog on first use, then runs it; returns when it has been closed.
  void runTool(std::size_t which);

  QWidget* owner_;
  Form& form_;
  std::array<QPointer<ToolDialog>, 3> dialogs_;
};

}  // namespace freqsmith
