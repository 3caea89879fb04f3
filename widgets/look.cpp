// Fonts and palettes per role. The window was drawn for "MS Sans Serif" and "Small Fonts";
// where those are missing, metric-compatible families keep the captions inside their boxes.
//
// A desktop theme sets the application's palette and font, and those of single widget
// classes, when the program starts and again whenever the user changes them (Debian's
// qt6-gtk-platformtheme under a dark GTK theme gives a dark palette; qt6ct sets its own
// font once the event loop runs, after the window is built). A window drawn in fixed places
// and colours cannot follow them, so each window carries a palette and a font in which
// every attribute is set, and its controls take theirs from it, never from the application.
#include "look.h"

#include <QApplication>
#include <QColor>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <iterator>
#include <optional>

namespace freqsmith {
namespace {

const QColor kResultText(192, 255, 255);
const QColor kExhaustText(255, 192, 192);
const QColor kTunableBase(227, 225, 251);
const QColor kBannerText(255, 214, 90);
const QColor kIntakeCaption(0x00, 0x40, 0x40);
const QColor kExhaustCaption(0x80, 0x40, 0x00);
const QColor kIntakeTotalCaption(0x00, 0x00, 0x80);
const QColor kNoteText(0x40, 0x40, 0x40);

// Fusion's light palette, the one the window's colours were chosen against. Qt gives it
// only where the desktop offers no palette of its own (Fusion's standard palette follows
// the desktop's), so it is written out: every role, so that no colour is left to the
// application's palette.
struct PaletteColour {
  QPalette::ColorRole role;
  QRgb shown;  // active and inactive
  QRgb disabled;
};
constexpr PaletteColour kLightPalette[] = {
    {QPalette::WindowText, 0xff000000, 0xffbebebe},
    {QPalette::Button, 0xffefefef, 0xffefefef},
    {QPalette::Light, 0xffffffff, 0xffffffff},
    {QPalette::Midlight, 0xffcacaca, 0xffcacaca},
    {QPalette::Dark, 0xff9f9f9f, 0xffbebebe},
    {QPalette::Mid, 0xffb8b8b8, 0xffb8b8b8},
    {QPalette::Text, 0xff000000, 0xffbebebe},
    {QPalette::BrightText, 0xffffffff, 0xffffffff},
    {QPalette::ButtonText, 0xff000000, 0xffbebebe},
    {QPalette::Base, 0xffffffff, 0xffefefef},
    {QPalette::Window, 0xffefefef, 0xffefefef},
    {QPalette::Shadow, 0xff767676, 0xffb1b1b1},
    {QPalette::Highlight, 0xff308cc6, 0xff919191},
    {QPalette::HighlightedText, 0xffffffff, 0xffffffff},
    {QPalette::Link, 0xff0000ff, 0xff0000ff},
    {QPalette::LinkVisited, 0xffff00ff, 0xffff00ff},
    {QPalette::AlternateBase, 0xfff7f7f7, 0xfff7f7f7},
    {QPalette::ToolTipBase, 0xffffffdc, 0xffffffdc},
    {QPalette::ToolTipText, 0xff000000, 0xff000000},
    {QPalette::PlaceholderText, 0x80000000, 0x80000000},
};
static_assert(std::size(kLightPalette) == QPalette::NColorRoles - 1, "every role but NoRole");

// The first of `families` that is installed, found once by name: handing Qt the whole list,
// or asking it about each name, would have it resolve the missing ones through the
// platform's font substitution, which costs more than the rest of the start-up.
QString installedFamily(const QStringList& families) {
  static const QStringList installed = QFontDatabase::families();
  for (const QString& family : families) {
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  }
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

QFont makeFont(const QString& family, double points, bool bold) {
  // Made from a font of Qt's defaults, not from the application's, and with every
  // attribute marked as set: a widget takes nothing from the application's font then, not
  // even the italic, stretch or style name a theme's font may carry.
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(points);
  font.setBold(bold);
  font.setResolveMask(QFont::AllPropertiesResolved);
  return font;
}

#ifdef Q_OS_WIN
// Windows draws "MS Sans Serif" and "Small Fonts" from bitmaps that do not grow with the
// display's scale. "Microsoft Sans Serif" is the outline font drawn to the same measures as
// the first; the second has no such twin, and Arial, as on Linux its metric twin Liberation
// Sans, keeps the small captions inside their boxes. Under Wine, which brings neither, the
// Liberation fonts stand in.
const QStringList kSansFamilies = {"Microsoft Sans Serif", "Arial", "Liberation Sans",
                                   "DejaVu Sans"};
const QStringList kSmallFamilies = {"Arial", "Liberation Sans", "DejaVu Sans"};
#else
const QStringList kSansFamilies = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                   "Arial", "DejaVu Sans"};
const QStringList kSmallFamilies = {"Small Fonts", "Liberation Sans", "Arial", "DejaVu Sans"};
#endif

const QString& sansFamily() {
  static const QString family = installedFamily(kSansFamilies);
  return family;
}

const QString& smallFamily() {
  static const QString family = installedFamily(kSmallFamilies);
  return family;
}

const QString& displayFamily() {
  static const QString family = installedFamily({"Arial", "Liberation Sans", "DejaVu Sans"});
  return family;
}

// The caption colour of the looks that have one of their own.
std::optional<QColor> captionColour(Look look) {
  switch (look) {
    case Look::Banner:
      return kBannerText;
    case Look::Explanation:
    case Look::OnArtwork:
      return QColor(Qt::white);
    case Look::IntakeRow:
      return kIntakeCaption;
    case Look::ExhaustRow:
    case Look::ExhaustSum:
      return kExhaustCaption;
    case Look::IntakeSum:
      return kIntakeTotalCaption;
    case Look::Note:
      return kNoteText;
    default:
      return std::nullopt;
  }
}

void setColours(QWidget* widget, const QColor& base, const QColor& text) {
  if (widget->palette().color(QPalette::Base) == base &&
      widget->palette().color(QPalette::Text) == text) {
    return;
  }
  QPalette palette = widget->palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, base);
    palette.setColor(group, QPalette::Text, text);
  }
  widget->setPalette(palette);
}

// Setting a font re-lays out the widget's text; most controls already have the plain font
// of their window.
void setFontIfOther(QWidget* widget, const QFont& font) {
  if (widget->font() != font) widget->setFont(font);
}

}  // namespace

void installApplicationFont() {
  QApplication::setFont(plainFont());
}

const QPalette& windowPalette() {
  static const QPalette palette = [] {
    QPalette own;
    for (const PaletteColour& colour : kLightPalette) {
      for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        own.setColor(group, colour.role, QColor::fromRgba(colour.shown));
      }
      own.setColor(QPalette::Disabled, colour.role, QColor::fromRgba(colour.disabled));
    }
    return own;
  }();
  return palette;
}

void adoptWindowLook(QWidget* window) {
  window->setPalette(windowPalette());
  window->setFont(plainFont());
}

QRect pixelRect(const Twips& place) {
  return {pixels(place.left), pixels(place.top), pixels(place.width), pixels(place.height)};
}

QFont fieldFont() {
  static const QFont font = makeFont(sansFamily(), 8.25, true);
  return font;
}
QFont plainFont() {
  static const QFont font = makeFont(sansFamily(), 8.25, false);
  return font;
}
QFont smallFont() {
  static const QFont font = makeFont(smallFamily(), 6.75, false);
  return font;
}

QFont lookFont(Look look) {
  switch (look) {
    case Look::Small:
    case Look::Heading:
    case Look::OnArtwork:
    case Look::SmallTop:
    case Look::IntakeRow:
    case Look::ExhaustRow:
    case Look::Note:
      return smallFont();
    case Look::Bold:
    case Look::Banner:
    case Look::IntakeSum:
    case Look::ExhaustSum:
      return fieldFont();
    case Look::Display18:
      return makeFont(displayFamily(), 18, false);
    case Look::Display24:
      return makeFont(displayFamily(), 24, false);
    case Look::Total:
      return makeFont(sansFamily(), 13.5, true);
    case Look::Plain:
    case Look::Centered:
    case Look::Exhaust:
    case Look::Explanation:
    case Look::BlackBox:
      break;
  }
  return plainFont();
}

void applyLook(QWidget* widget, const Control& control) {
  if (control.kind != ControlKind::Field) {
    // Plain controls take the window's font.
    setFontIfOther(widget, lookFont(control.look));
    if (const std::optional<QColor> colour = captionColour(control.look)) {
      QPalette palette = widget->palette();
      palette.setColor(QPalette::WindowText, *colour);
      widget->setPalette(palette);
    }
    if (control.look == Look::BlackBox) {
      QPalette palette = widget->palette();
      palette.setColor(QPalette::Window, Qt::black);
      widget->setPalette(palette);
      widget->setAutoFillBackground(true);
    }
    return;
  }
  if (control.role == FieldRole::Hidden) return;  // never drawn
  setFontIfOther(widget, control.look == Look::Total ? lookFont(Look::Total) : fieldFont());
  switch (control.role) {
    case FieldRole::Input:
      setColours(widget, Qt::white, Qt::black);
      break;
    case FieldRole::Tunable:
      setColours(widget, kTunableBase, Qt::black);
      break;
    case FieldRole::Result:
    case FieldRole::Notes:
      setColours(widget, Qt::black, control.look == Look::Exhaust ? kExhaustText : kResultText);
      break;
    case FieldRole::Detection:
      setColours(widget, widget->palette().color(QPalette::Window),
                 widget->palette().color(QPalette::WindowText));
      if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->setFrame(false);
      break;
    case FieldRole::Hidden:
    case FieldRole::None:
      break;
  }
}

QFont fittedFont(QFont font, const QString& text, int room) {
  constexpr double kSmallest = 5;
  while (font.pointSizeF() > kSmallest && QFontMetrics(font).horizontalAdvance(text) > room) {
    font.setPointSizeF(std::max(kSmallest, font.pointSizeF() - 0.75));
  }
  return font;
}

void fitTextToWidth(QLineEdit* field, const Control& control) {
  // The frame and the line edit's own margin on each side.
  constexpr int kInset = 2 + 2;
  const QFont base = control.look == Look::Total ? lookFont(Look::Total) : fieldFont();
  const QFont font = fittedFont(base, field->text(), field->width() - 2 * kInset);
  if (font != field->font()) field->setFont(font);
}

void showTextFromStart(QLineEdit* field) {
  field->setCursorPosition(0);
}

void fitCaptionToWidth(QLabel* label) {
  const QString& text = label->text();
  if (label->wordWrap() || text.contains(u'\n')) return;
  const int room = label->contentsRect().width();
  const int needed = QFontMetrics(label->font()).horizontalAdvance(text);
  if (needed <= room) return;
  // Letters set closer by up to half a pixel each still read well; beyond that a smaller
  // size is kinder. Letter spacing, unlike a narrower stretch, is measured the same way on
  // every font engine.
  constexpr double kTightest = 0.5;
  QFont font = label->font();
  const double closer = (needed - room) / static_cast<double>(text.size());
  if (closer <= kTightest) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, -std::min(kTightest, closer + 0.05));
    if (QFontMetrics(font).horizontalAdvance(text) <= room) {
      label->setFont(font);
      return;
    }
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
  }
  label->setFont(fittedFont(font, text, room));
}

}  // namespace freqsmith
