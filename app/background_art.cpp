// Each drawing is laid out on a canvas of its own and scaled to the area it fills.
#include "background_art.h"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRect>

#include "look.h"

namespace freqsmith {
namespace {

constexpr double kCanvasWidth = 480;
constexpr double kCanvasHeight = 360;

struct Trace {
  QPointF points[4];
  int count;
};

constexpr Trace kTraces[] = {
    {{{0, 40}, {70, 40}, {90, 20}, {210, 20}}, 4},
    {{{480, 60}, {400, 60}, {380, 40}, {300, 40}}, 4},
    {{{0, 330}, {60, 330}, {80, 310}, {150, 310}}, 4},
    {{{480, 320}, {420, 320}, {400, 300}, {330, 300}}, 4},
    {{{20, 0}, {20, 14}, {34, 28}}, 3},
    {{{460, 0}, {460, 18}, {446, 32}}, 3},
};

constexpr QPointF kPads[] = {{210, 20}, {300, 40}, {150, 310}, {330, 300}};

}  // namespace

void paintBackground(QPainter& painter, const QRect& area) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(area.topLeft());
  painter.scale(area.width() / kCanvasWidth, area.height() / kCanvasHeight);

  QLinearGradient sky(0, 0, 0, kCanvasHeight);
  sky.setColorAt(0, QColor(0x1d, 0x33, 0x58));
  sky.setColorAt(0.55, QColor(0x0d, 0x1a, 0x30));
  sky.setColorAt(1, QColor(0x05, 0x08, 0x0f));
  painter.fillRect(QRectF(0, 0, kCanvasWidth, kCanvasHeight), sky);

  painter.setPen(QPen(QColor(0x2f, 0x5d, 0x8a, 140), 1.2));
  for (const Trace& trace : kTraces) {
    QPainterPath path(trace.points[0]);
    for (int i = 1; i < trace.count; ++i) path.lineTo(trace.points[i]);
    painter.drawPath(path);
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x4f, 0x8f, 0xc7, 180));
  for (const QPointF& pad : kPads) painter.drawEllipse(pad, 2.5, 2.5);
  painter.fillRect(QRectF(0, 340, kCanvasWidth, 20), QColor(0x03, 0x05, 0x0a, 150));
  painter.restore();
}

void paintProductArt(QPainter& painter, const QRect& area) {
  constexpr double kWidth = 188;
  constexpr double kHeight = 239;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(area.topLeft());
  painter.scale(area.width() / kWidth, area.height() / kHeight);

  QLinearGradient panel(0, 0, 0, kHeight);
  panel.setColorAt(0, QColor(0x24, 0x40, 0x6b));
  panel.setColorAt(1, QColor(0x0a, 0x12, 0x22));
  painter.setPen(Qt::NoPen);
  painter.setBrush(panel);
  painter.drawRoundedRect(QRectF(0, 0, kWidth, kHeight), 6, 6);

  // The gauge: a 62-unit arc over the top, blue up to the needle's zone, orange beyond.
  const QRectF dial(94 - 62, 116.4 - 62, 124, 124);
  const auto arc = [&](const QColor& colour, double start, double span) {
    painter.setPen(QPen(colour, 14, Qt::SolidLine, Qt::FlatCap));
    painter.drawArc(dial, static_cast<int>(start * 16), static_cast<int>(span * 16));
  };
  arc(QColor(0x3b, 0x58, 0x7f), 194.6, -209.2);
  arc(QColor(0x5f, 0xc1, 0xff), 194.6, -134.8);
  arc(QColor(0xff, 0x7a, 0x3c), 59.8, -74.4);
  painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(94, 112), QPointF(136, 74));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QPointF(94, 112), 9, 9);

  // The lettering uses the window's own bold and plain fonts, scaled: they are loaded
  // already, and a new size would cost another font lookup at start-up.
  painter.setFont(fieldFont());
  painter.setPen(QColor(0xe8, 0xf3, 0xff));
  const double titleScale = 24.0 / QFontInfo(fieldFont()).pixelSize();
  painter.save();
  painter.translate(kWidth / 2, 158);
  painter.scale(titleScale, titleScale);
  painter.drawText(QRectF(-kWidth, -20, 2 * kWidth, 40), Qt::AlignCenter,
                   QStringLiteral("Freqsmith"));
  painter.restore();
  painter.setFont(plainFont());
  painter.setPen(QColor(0x9f, 0xc4, 0xea));
  painter.drawText(QRectF(0, 176, kWidth, 14), Qt::AlignCenter,
                   QStringLiteral("clock, bus and power figures"));
  painter.fillRect(QRectF(0, 199, kWidth, 40), QColor(0x05, 0x08, 0x0f, 140));
  painter.restore();
}

}  // namespace freqsmith
