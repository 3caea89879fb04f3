// Program entry: answers --help and --version on the terminal, or opens the main window.
#include <QApplication>
#include <QCommandLineParser>
#include <QStyleFactory>

#include "build_config.h"
#include "look.h"
#include "main_window.h"
#include "platform_service.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Freqsmith"));
  QApplication::setOrganizationName(QStringLiteral("Freqsmith"));
  QApplication::setApplicationVersion(QStringLiteral(FREQSMITH_VERSION_TEXT));
  QApplication::setDesktopFileName(QStringLiteral("freqsmith"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Overclocking calculator: CPU speed, front-side bus, instructions per second, memory "
      "speed and power-supply load, with the detected processor, board and BIOS."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.process(app);

  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setWindowIcon(freqsmith::appIcon());

  const auto service = freqsmith::detect::makePlatformService();
  freqsmith::MainWindow window(*service);
  window.show();
  return QApplication::exec();
}
