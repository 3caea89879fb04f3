// A frame with its caption set into the top border, so that the controls placed inside by
// their twips positions get the room the window was drawn with (a group box would push the
// border down below the caption).
#pragma once

#include <QWidget>

namespace freqsmith {

class CaptionFrame final : public QWidget {
  Q_OBJECT
 public:
  explicit CaptionFrame(const QString& caption, QWidget* parent = nullptr);

  QString caption() const { return caption_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
};

}  // namespace freqsmith
