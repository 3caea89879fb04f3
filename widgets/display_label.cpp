// Large figures that always fit their label.
#include "display_label.h"

#include "look.h"

namespace freqsmith {

DisplayLabel::DisplayLabel(const QString& text, Look look, QWidget* parent)
    : QLabel(text, parent), look_(look) {}

void DisplayLabel::setFigure(const QString& text) {
  setText(text);
  fitted_ = false;
  if (isVisible()) fit();
}

void DisplayLabel::fit() {
  fitted_ = true;
  setFont(fittedFont(lookFont(look_), text(), width()));
}

void DisplayLabel::showEvent(QShowEvent* event) {
  if (!fitted_) fit();
  QLabel::showEvent(event);
}

}  // namespace freqsmith
