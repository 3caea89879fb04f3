// Starts Freqsmith as the program does, detection included, and quits once the main window
// has been painted.
#include <QApplication>

#include "deadline_service.h"
#include "main_window.h"
#include "platform_service.h"
#include "probe_signal.h"
#include "startup.h"

int main(int argc, char* argv[]) {
  auto detection = std::make_unique<freqsmith::detect::DeadlineService>(
      freqsmith::detect::makePlatformService());
  QApplication app(argc, argv);
  freqsmith::prepareApplication();
  freqsmith::MainWindow window(std::move(detection));
  new freqsmith::bench::FirstPaintSignal(&window);
  window.show();
  return QApplication::exec();
}
