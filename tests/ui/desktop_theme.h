// What a desktop's platform theme does to a Qt program, done by the test itself so that it
// needs no theme installed. A theme gives the application its palette and font, and single
// widget classes theirs, when the program starts (Debian's qt6-gtk-platformtheme under a
// dark GTK theme, qt6ct with a colour scheme), and gives them again later: qt6ct once the
// event loop first runs, after the main window's first tab is built and before the rest
// is, and any theme when the user changes it (Qt then asks the theme for the classes'
// palettes and fonts anew).
#pragma once

#include <QFont>
#include <QPalette>
#include <QString>

namespace freqsmith::testing {

enum class DesktopTheme {
  None,
  Dark,       // a dark palette, as under Adwaita:dark or qt6ct's "darker"
  OtherFonts  // larger fonts of another family, as qt6ct's defaults give
};

QString themeName(DesktopTheme theme);

// Imposes `theme` on the application from its making to its end, then puts back what was
// there before.
class ImposedTheme {
 public:
  explicit ImposedTheme(DesktopTheme theme);
  ~ImposedTheme();
  ImposedTheme(const ImposedTheme&) = delete;
  ImposedTheme& operator=(const ImposedTheme&) = delete;

  // What the theme does once the event loop runs: the palettes and fonts given again.
  void setAgain();

 private:
  void impose();

  DesktopTheme theme_;
  QPalette savedPalette_;
  QFont savedFont_;
};

}  // namespace freqsmith::testing
