// Deferred picture making. Decoded pictures go through the pixmap cache, so two controls
// showing the same artwork share one image.
#include "picture_label.h"

#include <QPainter>
#include <QPixmap>

namespace freqsmith {

PictureLabel::PictureLabel(Artwork artwork, QWidget* parent) : QLabel(parent), artwork_(artwork) {
  setScaledContents(true);
}

void PictureLabel::takeArtworkOf(const PictureLabel& source) {
  artwork_ = source.artwork_;
  made_ = false;
  if (isVisible()) ensureLoaded();
}

void PictureLabel::ensureLoaded() {
  if (made_ || artwork_.empty()) return;
  made_ = true;
  if (artwork_.resource) {
    setPixmap(QPixmap(QString::fromLatin1(artwork_.resource)));
    return;
  }
  const qreal scale = devicePixelRatioF();
  QPixmap drawn(size() * scale);
  drawn.setDevicePixelRatio(scale);
  drawn.fill(Qt::transparent);
  QPainter painter(&drawn);
  artwork_.draw(painter, rect());
  painter.end();
  setPixmap(drawn);
}

void PictureLabel::showEvent(QShowEvent* event) {
  ensureLoaded();
  QLabel::showEvent(event);
}

}  // namespace freqsmith
