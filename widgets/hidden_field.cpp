// Never visible, never focused.
#include "hidden_field.h"

namespace freqsmith {

HiddenField::HiddenField(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setVisible(false);
  setFocusPolicy(Qt::NoFocus);
}

}  // namespace freqsmith
