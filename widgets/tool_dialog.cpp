// Building, routing and resetting a converter dialog.
#include "tool_dialog.h"

#include <QToolTip>

#include "control_wiring.h"
#include "keyboard_focus.h"
#include "qt_text.h"
#include "widget_form.h"
#include "window_builder.h"

namespace freqsmith {

ToolDialog::ToolDialog(const ToolWindow& window, QWidget* owner)
    : QDialog(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      window_(window) {
  setWindowTitle(toQString(window_.controls.front().text));
  form_ = std::make_unique<WidgetForm>(window_.controls, std::nullopt,
                                       buildControls(window_.controls, this));
  wireControls();
  // Close, the caption bar's close box and Escape all end here.
  connect(this, &QDialog::finished, this, &ToolDialog::reset);
}

ToolDialog::~ToolDialog() = default;

void ToolDialog::showEvent(QShowEvent* event) {
  focusFirstInput(window_.controls, form_->widgets());
  QDialog::showEvent(event);
}

void ToolDialog::wireControls() {
  freqsmith::wireControls(window_.controls, form_->widgets(), this,
                          [this](int index) { route(index); });
}

void ToolDialog::route(int controlIndex) {
  const ControlId control{static_cast<std::uint16_t>(controlIndex)};
  if (control == window_.closeButton) {
    close();
    return;
  }
  const Outcome outcome = window_.click(*form_, control);
  if (outcome) {
    QToolTip::hideText();
  } else {
    showFault(outcome);
  }
}

void ToolDialog::showFault(const Outcome& fault) {
  // The dialogs have no room for a line of their own, so the sentence stands in a balloon
  // under the field it is about; the next key or click puts it away. Hung from the middle of
  // the field, it stays under it also when the screen edge makes it open to the left.
  QWidget* field = form_->widget(fault.about);
  QToolTip::showText(field->mapToGlobal(QPoint(field->width() / 2, field->height())),
                     QString::fromStdString(fault.sentence), field);
}

void ToolDialog::reset() {
  QToolTip::hideText();
  for (std::size_t i = 1; i < window_.controls.size(); ++i) {
    const Control& row = window_.controls[i];
    if (row.kind == ControlKind::Field) {
      form_->setText(FieldId{{static_cast<std::uint16_t>(i)}}, row.text);
    }
  }
}

}  // namespace freqsmith
