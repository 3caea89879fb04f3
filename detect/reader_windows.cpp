// On Windows the hardware is read from WMI.
#include "reader.h"
#include "wmi_reader.h"

namespace freqsmith::detect {

Reader platformReader() {
  return wmiReader(openWmiSession(), thisProcessor());
}

std::optional<Reader> sysrootReader(const std::filesystem::path&) {
  return std::nullopt;
}

}  // namespace freqsmith::detect
