// The management service of the platform the program was built for.
#pragma once

#include <memory>

#include "management_service.h"

namespace freqsmith::detect {

// Each platform's backend provides this in its own source file; the build picks the one
// that matches the target.
std::unique_ptr<ManagementService> makePlatformService();

}  // namespace freqsmith::detect
