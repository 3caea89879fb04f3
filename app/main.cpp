// Program entry: prints help, the version or the detection report on the terminal, or opens
// the main window.
#include "command_line.h"
#include "detection.h"
#include "main_window.h"
#include "platform_options.h"
#include "running_mark.h"
#include "startup.h"
#include "window_application.h"

int main(int argc, char* argv[]) {
  // First of all, and for every kind of run: a --detect or --version run is as much a running
  // copy of the files an installer would replace as the window is.
  const freqsmith::RunningMark running;
  // Printing needs no display, so it is done before the GUI starts.
  if (freqsmith::printsOnly(argc, argv)) return freqsmith::runPrinting(argc, argv);

  std::optional<freqsmith::detect::Reader> reader = freqsmith::readerForWindow(argc, argv);
  if (!reader) return freqsmith::kUsageError;
  // The hardware is read on a worker once the window has been painted: a system that takes
  // seconds to answer (WMI can) keeps nothing away but the figures themselves.
  auto detection = std::make_unique<freqsmith::detect::Detection>(std::move(*reader));

  freqsmith::choosePlatformOptions();
  freqsmith::WindowApplication app(argc, argv);
  freqsmith::prepareApplication();

  freqsmith::MainWindow window(std::move(detection));
  window.show();
  return QApplication::exec();
}
