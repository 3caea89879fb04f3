// Widgets on tabs the user has not opened yet do their expensive part when first shown: the
// notes lay out their text, a picture button decodes its picture. The notes also draw
// their own focus ring.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>

namespace freqsmith {

class NotesView final : public QPlainTextEdit {
  Q_OBJECT
 public:
  NotesView(const QString& text, QWidget* parent);

  // The text, whether or not it has been laid out yet.
  QString notes() const { return pending_.isNull() ? toPlainText() : pending_; }
  void setNotes(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;
  // The focus ring, along the edge of the text: the text covers all but a pixel of the frame.
  void paintEvent(QPaintEvent* event) override;

 private:
  QString pending_;
};

class PictureButton final : public QPushButton {
  Q_OBJECT
 public:
  // `size` is the picture's size in pixels, known from the artwork.
  PictureButton(const QString& caption, const char* resource, QSize size, QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const char* resource_;
};

}  // namespace freqsmith
