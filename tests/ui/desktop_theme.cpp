// The stand-in themes.
#include "desktop_theme.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace freqsmith::testing {
namespace {

// The widget classes a theme gives palettes and fonts of their own (Qt asks a platform
// theme for these at start), the ones the windows are made of.
constexpr const char* kThemedClasses[] = {
    "QLabel",          "QLineEdit", "QPushButton", "QCheckBox",      "QTabBar",
    "QAbstractButton", "QGroupBox", "QTextEdit",   "QPlainTextEdit", "QTabWidget"};

QPalette darkPalette() {
  // Adwaita:dark's colours, as Qt's GTK theme reads them.
  const QColor window(0x32, 0x32, 0x32);
  const QColor base(0x2d, 0x2d, 0x2d);
  QPalette dark(Qt::white, window, window.lighter(140), window.darker(140), window.darker(120),
                QColor(0xee, 0xee, 0xee), Qt::white, base, window);
  dark.setColor(QPalette::Highlight, QColor(0x15, 0x53, 0x9e));
  dark.setColor(QPalette::ButtonText, Qt::white);
  dark.setColor(QPalette::ToolTipBase, Qt::black);
  dark.setColor(QPalette::ToolTipText, Qt::white);
  return dark;
}

QFont applicationFont() {
  return QFont(QStringLiteral("DejaVu Sans"), 12);
}

QFont classFont() {
  QFont font(QStringLiteral("DejaVu Serif"), 11);
  font.setItalic(true);
  return font;
}

}  // namespace

QString themeName(DesktopTheme theme) {
  switch (theme) {
    case DesktopTheme::None:
      return QStringLiteral("no theme");
    case DesktopTheme::Dark:
      return QStringLiteral("dark theme");
    case DesktopTheme::OtherFonts:
      return QStringLiteral("theme with other fonts");
  }
  return {};
}

ImposedTheme::ImposedTheme(DesktopTheme theme)
    : theme_(theme), savedPalette_(QApplication::palette()), savedFont_(QApplication::font()) {
  impose();
}

ImposedTheme::~ImposedTheme() {
  if (theme_ == DesktopTheme::None) return;
  // Setting the application's font forgets the classes' fonts; the classes' palettes have
  // to be given back one by one.
  QApplication::setPalette(savedPalette_);
  for (const char* name : kThemedClasses) QApplication::setPalette(savedPalette_, name);
  QApplication::setFont(savedFont_);
}

void ImposedTheme::impose() {
  if (theme_ == DesktopTheme::Dark) QApplication::setPalette(darkPalette());
  if (theme_ == DesktopTheme::OtherFonts) QApplication::setFont(applicationFont());
  for (const char* name : kThemedClasses) {
    if (theme_ == DesktopTheme::Dark) QApplication::setPalette(darkPalette(), name);
    if (theme_ == DesktopTheme::OtherFonts) QApplication::setFont(classFont(), name);
  }
}

void ImposedTheme::setAgain() {
  // From inside an event loop, as a theme does it.
  QEventLoop loop;
  QTimer::singleShot(0, &loop, [this, &loop] {
    impose();
    loop.quit();
  });
  loop.exec();
  QCoreApplication::processEvents();
}

}  // namespace freqsmith::testing
