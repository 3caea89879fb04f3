// Paints a thin rounded border with the caption interrupting its top edge.
#include "caption_frame.h"

#include <QPainter>

namespace freqsmith {

CaptionFrame::CaptionFrame(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
  setAccessibleName(caption);
}

void CaptionFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int borderTop = metrics.height() / 2;

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRoundedRect(QRectF(0.5, borderTop + 0.5, width() - 1.0, height() - borderTop - 1.0),
                          2, 2);

  if (caption_.isEmpty()) return;
  constexpr int kIndent = 6;
  constexpr int kGap = 2;
  const QRect text(kIndent, 0, metrics.horizontalAdvance(caption_) + 2 * kGap, metrics.height());
  painter.fillRect(text, palette().window());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(text, Qt::AlignCenter, caption_);
}

}  // namespace freqsmith
