// Program entry: answers --help and --version on the terminal, or opens the main window.
#include <QApplication>
#include <QCommandLineParser>
#include <cstring>

#include "build_config.h"
#include "main_window.h"
#include "platform_service.h"
#include "startup.h"

namespace {

void describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Overclocking calculator: CPU speed, front-side bus, instructions per second, memory "
      "speed and power-supply load, with the detected processor, board and BIOS."));
  parser.addHelpOption();
  parser.addVersionOption();
}

// --help and --version need no display, so they are answered before the GUI starts.
bool asksForText(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"}) {
      if (std::strcmp(argv[i], option) == 0) return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (asksForText(argc, argv)) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("freqsmith"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FREQSMITH_VERSION_TEXT));
    QCommandLineParser parser;
    describe(parser);
    parser.process(core);  // prints and exits
    return 0;
  }

  QApplication app(argc, argv);
  freqsmith::prepareApplication();
  QCommandLineParser parser;
  describe(parser);
  parser.process(app);  // rejects unknown arguments

  const auto service = freqsmith::detect::makePlatformService();
  freqsmith::MainWindow window(*service);
  window.show();
  return QApplication::exec();
}
