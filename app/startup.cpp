// Application-wide settings made once at start-up.
#include "startup.h"

#include <QApplication>
#include <QDir>

#include "build_config.h"
#include "lazy_icon.h"
#include "look.h"
#include "window_style.h"

namespace freqsmith {

QIcon appIcon() {
  // The sizes the build embeds (app/CMakeLists.txt), each named for its size
  // ("freqsmith-32.png"), and decoded only where the window system draws them.
  const QDir icons(QStringLiteral(":/icons"));
  QList<std::pair<QString, QSize>> pictures;
  for (const QString& file : icons.entryList(QDir::Files)) {
    const int side = file.section(u'-', -1).section(u'.', 0, 0).toInt();
    if (side > 0) pictures.append({icons.filePath(file), QSize(side, side)});
  }
  return lazyIcon(pictures);
}

void prepareApplication() {
  QApplication::setApplicationName(QStringLiteral("Freqsmith"));
  QApplication::setOrganizationName(QStringLiteral("Freqsmith"));
  QApplication::setApplicationVersion(QStringLiteral(FREQSMITH_VERSION_TEXT));
  QApplication::setDesktopFileName(QStringLiteral(FREQSMITH_APP_ID));
  // One style everywhere: the window is laid out in fixed positions, and Fusion draws the
  // same on every desktop.
  QApplication::setStyle(new WindowStyle);
  QApplication::setWindowIcon(appIcon());
  installApplicationFont();
}

}  // namespace freqsmith
