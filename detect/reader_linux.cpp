// On Linux the hardware is read from /proc, /sys and the firmware's tables of this machine.
#include "linux_reader.h"
#include "reader.h"

namespace freqsmith::detect {

Reader platformReader() {
  return linuxReader();
}

std::optional<Reader> sysrootReader(const std::filesystem::path& root) {
  return linuxReader(root, nullptr);
}

}  // namespace freqsmith::detect
