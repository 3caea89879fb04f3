// Application-wide settings made once at start-up.
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>

#include "build_config.h"
#include "look.h"

namespace freqsmith {

QIcon appIcon() {
  QIcon icon;
  // The sizes the build embeds (app/CMakeLists.txt).
  const QDir icons(QStringLiteral(":/icons"));
  for (const QString& file : icons.entryList(QDir::Files)) icon.addFile(icons.filePath(file));
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
