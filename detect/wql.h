// The WMI query language statements the Windows backend sends: a class asked for by name,
// with the properties that will be read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace freqsmith::detect {

// "SELECT a, b FROM Class", or "SELECT * FROM Class" when no property is named. nullopt when
// a name is not a plain identifier (letters, digits and '_', not starting with a digit),
// since anything else would change what the statement asks.
[[nodiscard]] std::optional<std::string> selectStatement(
    std::string_view className, std::span<const std::string> properties = {});

}  // namespace freqsmith::detect
