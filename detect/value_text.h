// The values the system hands over as text, cleaned the same way whichever platform read
// them: firmware pads its strings with blanks, and only binary junk holds control codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace freqsmith::detect {

// The text without surrounding blanks and line ends.
std::string_view trimBlanks(std::string_view text);

// The trimmed text; nullopt when nothing is left or it holds control characters, which
// only binary junk does.
[[nodiscard]] std::optional<std::string> cleanText(std::string_view text);

// A decimal integer filling the whole (trimmed) text; nullopt on anything else or overflow.
[[nodiscard]] std::optional<std::int64_t> parseInteger(std::string_view text);

}  // namespace freqsmith::detect
