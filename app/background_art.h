// Artwork drawn rather than decoded: the main window's night-blue background with a few
// circuit traces, and the product picture of the "Processor and Memory" tab. Drawing is
// cheaper at start-up than decoding pictures and stays sharp at any screen scale.
#pragma once

class QPainter;
class QRect;

namespace freqsmith {

void paintBackground(QPainter& painter, const QRect& area);

// A speed gauge over the product name, drawn on a 188 x 239 canvas scaled to `area`.
void paintProductArt(QPainter& painter, const QRect& area);

}  // namespace freqsmith
