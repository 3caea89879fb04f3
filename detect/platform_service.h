// The management service of the platform the program was built for.
#pragma once

#include <filesystem>
#include <memory>

#include "management_service.h"

namespace freqsmith::detect {

// Each platform's backend provides this in its own source file; the build picks the one
// that matches the target.
std::unique_ptr<ManagementService> makePlatformService();

// The backend reading the Linux files under `root` in place of this machine's, without
// asking the processor, which is not the one the files describe. nullptr where the
// platform's service is not made of such files.
std::unique_ptr<ManagementService> makeSysrootService(const std::filesystem::path& root);

}  // namespace freqsmith::detect
