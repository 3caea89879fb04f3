// Options of Qt's platform plugin that suit the system the program runs on, chosen before the
// QApplication exists, and what to tell the user when no plugin could start.
#pragma once

#include <string>

namespace freqsmith {

// Sets them unless the user has chosen a platform of their own (QT_QPA_PLATFORM).
void choosePlatformOptions();

// Why the toolkit could open no window, in a few words of this system's terms.
std::string whyNoWindow();

}  // namespace freqsmith
