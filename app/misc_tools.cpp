// The tab's buttons as two tables: converter buttons and link buttons.
#include "misc_tools.h"

#include <tuple>

#include "airflow.h"
#include "build_config.h"
#include "link_launcher.h"
#include "main_window_controls.h"
#include "temperature.h"
#include "vram.h"

namespace freqsmith {
namespace {

using mainwin::button;

struct ToolButton {
  ControlId button;
  const ToolWindow* window;
};

// Command6_Click, Command9_Click and Command8_Click.
constexpr ToolButton kToolButtons[] = {
    {button("Command6"), &tempcalc::kWindow},
    {button("Command9"), &vram::kWindow},
    {button("Command8"), &airflow::kWindow},
};

struct LinkButton {
  ControlId button;
  const char* address;
};

// Command1_Click and Command10_Click.
constexpr LinkButton kLinkButtons[] = {
    {button("Command1"), FREQSMITH_HOME_URL},
    {button("Command10"), FREQSMITH_PUBLISHER_URL},
};

// What a click on the author's picture (Image4) says.
constexpr char kContactSentence[] =
    "Found a bug or have an idea? Write to the author at " FREQSMITH_CONTACT_EMAIL ".";

}  // namespace

MiscTools::MiscTools(QWidget* owner, Form& form) : QObject(owner), owner_(owner), form_(form) {}

std::vector<MiscTools::Route> MiscTools::routes() {
  std::vector<Route> out;
  for (std::size_t i = 0; i < std::size(kToolButtons); ++i) {
    out.push_back({kToolButtons[i].button, [this, i] { runTool(i); }});
  }
  // A link the browser would not take says so on the explanation line; nothing else follows.
  for (const LinkButton& link : kLinkButtons) {
    out.push_back(
        {link.button, [this, address = link.address] { std::ignore = openLink(form_, address); }});
  }
  out.push_back({mainwin::picture("Image4"), [this] { form_.explain(kContactSentence); }});
  return out;
}

void MiscTools::runTool(std::size_t which) {
  static_assert(std::size(kToolButtons) == std::tuple_size_v<decltype(dialogs_)>);
  QPointer<ToolDialog>& dialog = dialogs_[which];
  if (!dialog) dialog = new ToolDialog(*kToolButtons[which].window, owner_);
  dialog->exec();
}

}  // namespace freqsmith
