// Starts Freqsmith as the program does, detection included, and ends once the main window
// has been painted (see probe_signal.h). A number of milliseconds among the arguments makes
// this machine's management service answer only after that long, as a slow one on real
// Windows does.
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
  using freqsmith::bench::markStep;
  markStep("main");
  std::shared_ptr<freqsmith::detect::ManagementService> backend =
      freqsmith::detect::makePlatformService();
  for (int i = 1; i < argc; ++i) {
    if (const int delayMs = std::atoi(argv[i]); delayMs > 0) {
      backend = std::make_shared<freqsmith::testing::SlowService>(
          std::move(backend), std::chrono::milliseconds(delayMs));
    }
  }
  auto detection = std::make_unique<freqsmith::detect::DeadlineService>(
      std::move(backend), freqsmith::detect::DeadlineService::Start::Later);
  QApplication app(argc, argv);
  // The unstarted detection service counts with the application: it costs next to nothing.
  markStep("QApplication");
  freqsmith::prepareApplication();
  freqsmith::MainWindow window(std::move(detection));
  markStep("fonts, style and window");
  using freqsmith::bench::Ending;
  new freqsmith::bench::FirstPaintSignal(
      &window, freqsmith::bench::untilComplete(argc, argv) ? Ending::Later : Ending::AtOnce);
  // Whole once every tab is built and the detected figures are in.
  QObject::connect(&window, &freqsmith::MainWindow::detectionFinished, &app,
                   &QCoreApplication::quit, Qt::QueuedConnection);
  window.show();
  markStep("show()");
  return QApplication::exec();
}
