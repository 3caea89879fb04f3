// Application-wide settings made once at start-up.
#include "startup.h"

#include <QApplication>
#include <QStyleFactory>

#include "build_config.h"
#include "look.h"

namespace freqsmith {

QIcon appIcon() {
  QIcon icon;
  for (const char* path :
       {":/icons/freqsmith-16.png", ":/icons/freqsmith-32.png", ":/icons/freqsmith-64.png"}) {
    icon.addFile(QString::fromLatin1(path));
  }
  return icon;
}

void prepareApplication() {
  QApplication::setApplicationName(QStringLiteral("Freqsmith"));
  QApplication::setOrganizationName(QStringLiteral("Freqsmith"));
  QApplication::setApplicationVersion(QStringLiteral(FREQSMITH_VERSION_TEXT));
  QApplication::setDesktopFileName(QStringLiteral(FREQSMITH_APP_ID));
  // One style everywhere: the window is laid out in fixed positions, and Fusion draws the
  // same on every desktop.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setWindowIcon(appIcon());
  installApplicationFonts();
}

}  // namespace freqsmith
