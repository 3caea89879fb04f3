// Bounded reads of the small files under /proc and /sys, and the cleaning of the values in them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "value_text.h"

namespace freqsmith::detect {

// A one-value sysfs file is a short line; a file this long is not one of them.
inline constexpr std::size_t kValueFileCap = 4096;

// At most `cap` bytes of a regular file. nullopt when it is missing, is not a regular file
// (a directory, a device, a pipe) or a read fails. Never blocks waiting for a pipe's writer.
[[nodiscard]] std::optional<std::string> readFileBounded(const std::filesystem::path& file,
                                                         std::size_t cap);

// True when the file is there but this user may not open it, as the firmware tables are
// for everyone but the administrator.
bool openDenied(const std::filesystem::path& file);

// The cleaned contents of a one-value file; nullopt when unreadable, empty, binary or too long.
[[nodiscard]] std::optional<std::string> readValueFile(const std::filesystem::path& file);

}  // namespace freqsmith::detect
