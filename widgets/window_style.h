// The style every window of the program is drawn in: Fusion, which draws the same on every
// desktop, with a focus ring that stands out on the light pages and on the black fields
// alike, and tab captions set closer so that the four fit across the main window.
#pragma once

#include <QProxyStyle>

namespace freqsmith {

class WindowStyle final : public QProxyStyle {
  Q_OBJECT
 public:
  WindowStyle();

  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
};

// The focus ring along the inside of `around`, for a widget that paints its own focus (the
// release notes, whose text covers all but the edge of their frame).
void drawFocusRing(QPainter* painter, const QRect& around);

}  // namespace freqsmith
