// How a control looks: twips to pixels, the field and label fonts, the role colours.
#pragma once

#include <QFont>
#include <QRect>

#include "controls.h"

class QLabel;
class QLineEdit;
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

// Makes the plain font the application's and the bold field font that of every line edit,
// so that most controls need no font of their own.
void installApplicationFonts();

// Colours, font and frame of a control according to its role and look.
void applyLook(QWidget* widget, const Control& control);

// `font`, made smaller until `text` is at most `room` pixels wide.
QFont fittedFont(QFont font, const QString& text, int room);

// A result longer than its field was drawn for is shown whole, in a smaller font.
void fitTextToWidth(QLineEdit* field, const Control& control);

// A one-line caption wider than its label in this platform's fonts is drawn whole: with its
// letters set a little closer, or when that is not enough, in a smaller size.
void fitCaptionToWidth(QLabel* label);

}  // namespace freqsmith
