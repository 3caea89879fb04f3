// The program's options: --detect and --sysroot DIR besides --help and --version. Runs that
// only print are answered without a window, and so without a display.
#pragma once

#include <optional>

#include "reader.h"

namespace freqsmith {

// The exit status of --detect when the hardware service timed out or failed (the figures
// that did come are printed all the same), of any run whose standard output could not be
// written, and of a window that could not be opened.
inline constexpr int kFailure = 1;
// The exit status for arguments that cannot be used.
inline constexpr int kUsageError = 2;

// True when the arguments ask only for printed text: help, the version or the report.
bool printsOnly(int argc, char* argv[]);

// Answers such a run under a QCoreApplication; gives the exit status.
int runPrinting(int argc, char* argv[]);

// What the window reads the hardware with: this machine's reader, or the files under
// --sysroot. Asked before the QApplication is made (the toolkit's own options are passed
// over), so that arguments that cannot be used give nullopt, after saying why on standard
// error, even where no display could be opened.
std::optional<detect::Reader> readerForWindow(int argc, char* argv[]);

}  // namespace freqsmith
