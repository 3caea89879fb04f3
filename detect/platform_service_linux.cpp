// On Linux the facts come from /proc, /sys and the firmware tables of this machine.
#include "linux_service.h"
#include "platform_service.h"

namespace freqsmith::detect {

std::unique_ptr<ManagementService> makePlatformService() {
  return std::make_unique<LinuxService>();
}

}  // namespace freqsmith::detect
