// Deferred text layout and picture decoding.
#include "deferred_widgets.h"

#include <QPixmap>

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
