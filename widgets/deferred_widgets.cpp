// Deferred text layout and picture decoding, and the notes' focus ring.
#include "deferred_widgets.h"

#include <QPainter>
#include <QPixmap>

#include "window_style.h"

namespace freqsmith {

NotesView::NotesView(const QString& text, QWidget* parent)
    : QPlainTextEdit(parent), pending_(text) {}

void NotesView::setNotes(const QString& text) {
  if (pending_.isNull()) {
    setPlainText(text);
  } else {
    pending_ = text;
  }
}

void NotesView::showEvent(QShowEvent* event) {
  if (!pending_.isNull()) {
    setPlainText(pending_);
    pending_ = QString();
  }
  QPlainTextEdit::showEvent(event);
}

void NotesView::paintEvent(QPaintEvent* event) {
  QPlainTextEdit::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(viewport());
  drawFocusRing(&painter, viewport()->rect());
}

PictureButton::PictureButton(const QString& caption, const char* resource, QSize size,
                             QWidget* parent)
    : QPushButton(caption, parent), resource_(resource) {
  setIconSize(size);
}

void PictureButton::showEvent(QShowEvent* event) {
  if (resource_) {
    setIcon(QPixmap(QString::fromLatin1(resource_)));
    resource_ = nullptr;
  }
  QPushButton::showEvent(event);
}

}  // namespace freqsmith
