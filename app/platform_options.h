// Options of Qt's platform plugin that suit the system the program runs on, chosen before the
// QApplication exists.
#pragma once

namespace freqsmith {

// Sets them unless the user has chosen a platform of their own (QT_QPA_PLATFORM).
void choosePlatformOptions();

}  // namespace freqsmith
