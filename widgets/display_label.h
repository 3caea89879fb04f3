// A label for a figure in large type. The figure is whatever the machine reports, so when
// it is wider than the label its font shrinks until it fits, instead of being clipped; the
// fitting waits until the label is first shown, as it needs the large font loaded.
#pragma once

#include <QLabel>

#include "controls.h"

namespace freqsmith {

class DisplayLabel final : public QLabel {
  Q_OBJECT
 public:
  DisplayLabel(const QString& text, Look look, QWidget* parent);

  void setFigure(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void fit();

  Look look_;
  bool fitted_ = false;
};

}  // namespace freqsmith
