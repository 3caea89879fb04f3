// Reads and writes through the widgets; a write that changes nothing is skipped, which
// keeps Calculate cheap and the caret where the user left it.
#include "widget_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>

#include "deferred_widgets.h"
#include "display_label.h"
#include "hidden_field.h"
#include "look.h"
#include "picture_label.h"

namespace freqsmith {

WidgetForm::WidgetForm(std::span<const Control> controls, std::optional<LabelId> explanationLine,
                       std::vector<QWidget*> widgets)
    : Form(controls, explanationLine), widgets_(std::move(widgets)) {}

std::string WidgetForm::readText(ControlId id) const {
  QWidget* w = widgets_[id.index];
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
  if (auto* notes = qobject_cast<NotesView*>(w)) return notes->notes().toStdString();
  if (auto* hidden = qobject_cast<HiddenField*>(w)) return hidden->text().toStdString();
  return {};
}

void WidgetForm::writeText(ControlId id, std::string text) {
  QWidget* w = widgets_[id.index];
  const QString value = QString::fromStdString(text);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (edit->text() == value) return;
    edit->setText(value);
    if (control(id).role == FieldRole::Result) fitTextToWidth(edit, control(id));
    if (edit->isReadOnly()) showTextFromStart(edit);
  } else if (auto* figure = qobject_cast<DisplayLabel*>(w)) {
    if (figure->text() != value) figure->setFigure(value);
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text() != value) label->setText(value);
  } else if (auto* notes = qobject_cast<NotesView*>(w)) {
    notes->setNotes(value);
  } else if (auto* hidden = qobject_cast<HiddenField*>(w)) {
    hidden->setText(value);
  }
}

bool WidgetForm::readChecked(BoxId box) const {
  const auto* checkBox = qobject_cast<const QCheckBox*>(widgets_[box.index]);
  return checkBox && checkBox->isChecked();
}

void WidgetForm::writeChecked(BoxId box, bool checked) {
  // setChecked emits toggled but not clicked; click handling is wired to clicked only.
  if (auto* checkBox = qobject_cast<QCheckBox*>(widgets_[box.index])) checkBox->setChecked(checked);
}

void WidgetForm::writePicture(PictureId target, PictureId source) {
  auto* from = qobject_cast<PictureLabel*>(widgets_[source.index]);
  auto* to = qobject_cast<PictureLabel*>(widgets_[target.index]);
  if (from && to) to->takeArtworkOf(*from);
}

}  // namespace freqsmith
