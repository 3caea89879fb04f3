// The management service of the platform the program runs on.
#pragma once

#include <memory>

#include "management_service.h"

namespace freqsmith::detect {

std::unique_ptr<ManagementService> makePlatformService();

}  // namespace freqsmith::detect
