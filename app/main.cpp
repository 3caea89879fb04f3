// Program entry: prints help, the version or the detection report on the terminal, or opens
// the main window.
#include <QApplication>

#include "command_line.h"
#include "deadline_service.h"
#include "main_window.h"
#include "platform_options.h"
#include "startup.h"

int main(int argc, char* argv[]) {
  // Printing needs no display, so it is done before the GUI starts.
  if (freqsmith::printsOnly(argc, argv)) return freqsmith::runPrinting(argc, argv);

  std::unique_ptr<freqsmith::detect::ManagementService> backend =
      freqsmith::serviceForWindow(argc, argv);
  if (!backend) return freqsmith::kUsageError;

  freqsmith::choosePlatformOptions();
  QApplication app(argc, argv);
  freqsmith::prepareApplication();

  // A management service that hangs (WMI can, for minutes) must not keep the window away.
  freqsmith::detect::DeadlineService service(std::move(backend));
  freqsmith::MainWindow window(service);
  window.show();
  return QApplication::exec();
}
