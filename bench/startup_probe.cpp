// Starts Freqsmith as the program does, detection included, and quits once the main window
// has been painted. With a number of milliseconds as its argument, this machine's
// management service answers only after that long, as a slow one on real Windows does.
#include <QApplication>
#include <chrono>
#include <cstdlib>

#include "deadline_service.h"
#include "main_window.h"
#include "platform_service.h"
#include "probe_signal.h"
#include "slow_service.h"
#include "startup.h"

int main(int argc, char* argv[]) {
  std::shared_ptr<freqsmith::detect::ManagementService> backend =
      freqsmith::detect::makePlatformService();
  if (argc > 1) {
    backend = std::make_shared<freqsmith::testing::SlowService>(
        std::move(backend), std::chrono::milliseconds(std::atoi(argv[1])));
  }
  auto detection = std::make_unique<freqsmith::detect::DeadlineService>(std::move(backend));
  QApplication app(argc, argv);
  freqsmith::prepareApplication();
  freqsmith::MainWindow window(std::move(detection));
  new freqsmith::bench::FirstPaintSignal(&window);
  window.show();
  return QApplication::exec();
}
