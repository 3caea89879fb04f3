// A label in the small type of unit labels, headings and notes. Being a class of its own,
// it gets that font from the application when it is made, instead of changing fonts after.
#pragma once

#include <QLabel>

namespace freqsmith {

class SmallLabel final : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
};

}  // namespace freqsmith
