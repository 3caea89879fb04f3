// On Windows the hardware facts come from WMI.
#include "platform_service.h"

#include "windows_service.h"

namespace freqsmith::detect {

std::unique_ptr<ManagementService> makePlatformService() {
  return std::make_unique<WindowsService>();
}

std::unique_ptr<ManagementService> makeSysrootService(const std::filesystem::path&) {
  return nullptr;
}

}  // namespace freqsmith::detect
