// What the program sets up before its main window: names, style and icon. Shared by the
// entry point and the start-up benchmark, so that both start the same way.
#pragma once

#include <QIcon>

namespace freqsmith {

// Call after constructing the QApplication.
void prepareApplication();

// The program's icon in the sizes the resources carry.
QIcon appIcon();

}  // namespace freqsmith
