// How a control looks: twips to pixels, the field and label fonts, the role colours.
#pragma once

#include <QFont>
#include <QRect>

#include "controls.h"

class QLabel;
class QLineEdit;
class QPalette;
class QWidget;

namespace freqsmith {

// 15 twips are one logical pixel; Qt scales logical pixels on high-DPI screens.
constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) {
  return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}
QRect pixelRect(const Twips& place);

QFont fieldFont();  // bold 8.25 pt
QFont plainFont();  // 8.25 pt
QFont smallFont();  // 6.75 pt
QFont lookFont(Look look);

// Makes the plain font the application's, for what is not a window of the program's own:
// tooltips and the fields' context menus.
void installApplicationFont();

// The light palette every window is drawn in, whatever the desktop's.
const QPalette& windowPalette();

// Gives a window the palette and the plain font that its controls take, whatever palette
// and fonts the desktop's theme gives the application or single kinds of widgets.
void adoptWindowLook(QWidget* window);

// Colours, font and frame of a control according to its role and look.
void applyLook(QWidget* widget, const Control& control);

// `font`, made smaller until `text` is at most `room` pixels wide.
QFont fittedFont(QFont font, const QString& text, int room);

// A result longer than its field was drawn for is shown whole, in a smaller font.
void fitTextToWidth(QLineEdit* field, const Control& control);

// A read-only field whose text is wider than the field shows the text's beginning, not its
// end, where a line edit leaves the caret after a new text.
void showTextFromStart(QLineEdit* field);

// A one-line caption wider than its label in this platform's fonts is drawn whole: with its
// letters set a little closer, or when that is not enough, in a smaller size.
void fitCaptionToWidth(QLabel* label);

}  // namespace freqsmith
