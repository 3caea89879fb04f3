// The program's options: --detect and --sysroot DIR besides --help and --version. Runs that
// only print are answered without a window, and so without a display.
#pragma once

#include <memory>

namespace freqsmith {

namespace detect {
class ManagementService;
}

// The exit status for arguments that cannot be used.
inline constexpr int kUsageError = 2;

// True when the arguments ask only for printed text: help, the version or the report.
bool printsOnly(int argc, char* argv[]);

// Answers such a run under a QCoreApplication; gives the exit status.
int runPrinting(int argc, char* argv[]);

// The management service the window reads, by the arguments left once the QApplication has
// taken its own: this machine's, or the files under --sysroot. nullptr when the arguments
// cannot be used, after saying why on standard error.
std::unique_ptr<detect::ManagementService> serviceForWindow();

}  // namespace freqsmith
