// On Linux and other Unix systems Qt's defaults suit the program.
#include "platform_options.h"

namespace freqsmith {

void choosePlatformOptions() {}

}  // namespace freqsmith
