// On Linux the facts come from /proc, /sys and the firmware tables of this machine.
#include "linux_service.h"
#include "platform_service.h"

namespace freqsmith::detect {

std::unique_ptr<ManagementService> makePlatformService() {
  return std::make_unique<LinuxService>();
}

std::unique_ptr<ManagementService> makeSysrootService(const std::filesystem::path& root) {
  return std::make_unique<LinuxService>(root, nullptr);
}

}  // namespace freqsmith::detect
