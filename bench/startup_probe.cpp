// Starts Freqsmith as the program does, detection included, and ends once the main window
// has been painted (see probe_signal.h). A number of milliseconds among the arguments makes
// this machine's reader answer only after that long, as WMI on real Windows may.
#include <QApplication>
#include <chrono>
#include <cstdlib>

#include "detection.h"
#include "fake_reader.h"
#include "main_window.h"
#include "probe_signal.h"
#include "reader.h"
#include "startup.h"

int main(int argc, char* argv[]) {
  using freqsmith::bench::markStep;
  markStep("main");
  freqsmith::detect::Reader reader = freqsmith::detect::platformReader();
  for (int i = 1; i < argc; ++i) {
    if (const int delayMs = std::atoi(argv[i]); delayMs > 0) {
      reader =
          freqsmith::testing::slowReader(std::move(reader), std::chrono::milliseconds(delayMs));
    }
  }
  // The window starts it once it is whole.
  auto detection = std::make_unique<freqsmith::detect::Detection>(std::move(reader));
  QApplication app(argc, argv);
  // The unstarted detection counts with the application: it costs next to nothing.
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
