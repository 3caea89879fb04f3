// Starts Freqsmith as the program does, detection included, and quits once the main window
// has been painted.
#include <QApplication>

#include "main_window.h"
#include "platform_service.h"
#include "probe_signal.h"
#include "startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  freqsmith::prepareApplication();
  const auto service = freqsmith::detect::makePlatformService();
  freqsmith::MainWindow window(*service);
  new freqsmith::bench::FirstPaintSignal(&window);
  window.show();
  return QApplication::exec();
}
