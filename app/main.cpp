// Program entry: prints help, the version or the detection report on the terminal, or opens
// the main window.
#include "command_line.h"
#include "deadline_service.h"
#include "main_window.h"
#include "platform_options.h"
#include "startup.h"
#include "window_application.h"

int main(int argc, char* argv[]) {
  // Printing needs no display, so it is done before the GUI starts.
  if (freqsmith::printsOnly(argc, argv)) return freqsmith::runPrinting(argc, argv);

  std::unique_ptr<freqsmith::detect::ManagementService> backend =
      freqsmith::serviceForWindow(argc, argv);
  if (!backend) return freqsmith::kUsageError;
  // The hardware is read on a worker once the window has been painted: a management service
  // that takes seconds (WMI can) keeps nothing away but the figures themselves.
  auto detection = std::make_unique<freqsmith::detect::DeadlineService>(
      std::move(backend), freqsmith::detect::DeadlineService::Start::Later);

  freqsmith::choosePlatformOptions();
  freqsmith::WindowApplication app(argc, argv);
  freqsmith::prepareApplication();

  freqsmith::MainWindow window(std::move(detection));
  window.show();
  return QApplication::exec();
}
