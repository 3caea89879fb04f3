// On Linux and other Unix systems Qt's defaults suit the program; a window needs an X or a
// Wayland display, which the environment names.
#include <cstdlib>

#include "platform_options.h"

namespace freqsmith {
namespace {

std::string variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

void choosePlatformOptions() {}

std::string whyNoWindow() {
  const std::string platform = variable("QT_QPA_PLATFORM");
  if (!platform.empty())
    return "the platform '" + platform + "' that QT_QPA_PLATFORM names could not be started";
  std::string displays;
  for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
    const std::string value = variable(name);
    if (value.empty()) continue;
    displays += (displays.empty() ? "" : ", ") + std::string(name) + " is '" + value + "'";
  }
  if (displays.empty())
    return "there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set); --detect, --help "
           "and --version need none";
  return "the display could not be reached (" + displays + ")";
}

}  // namespace freqsmith
