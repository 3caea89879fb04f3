// A field that is never shown and only carries a value between steps (the detection
// holders, the component watts). It keeps its text like a line edit does, without the cost
// of one.
#pragma once

#include <QString>
#include <QWidget>

namespace freqsmith {

class HiddenField final : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString text READ text WRITE setText)
 public:
  HiddenField(const QString& text, QWidget* parent);

  QString text() const { return text_; }
  void setText(const QString& text) { text_ = text; }

 private:
  QString text_;
};

}  // namespace freqsmith
