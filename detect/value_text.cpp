// Trimming and checking the text values of the hardware.
#include "value_text.h"

#include <algorithm>
#include <charconv>

namespace freqsmith::detect {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::optional<std::string> cleanText(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  const bool binary = std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7f;
  });
  if (binary) return std::nullopt;
  return std::string(text);
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace freqsmith::detect
