// "%.15G" formatting and the two length cuts.
#include "field_text.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace freqsmith {
namespace {

bool isUtf8Continuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string formatNumber(double value) {
  if (value == 0) return "0";
  char buffer[40];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  if (ec != std::errc()) return "0";
  std::string text(buffer, end);
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) {
    if (!isUtf8Continuation(c)) ++count;
  }
  return count;
}

std::string cutToLength(std::string_view text, std::size_t maxLength) {
  if (maxLength == 0 || text.size() <= maxLength) return std::string(text);
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isUtf8Continuation(text[i])) {
      if (characters == maxLength) return std::string(text.substr(0, i));
      ++characters;
    }
  }
  return std::string(text);
}

std::string cutNumberToLength(std::string_view text, std::size_t maxLength) {
  if (maxLength == 0 || text.size() <= maxLength) return std::string(text);
  const std::size_t exponentAt = std::min(text.find('E'), text.size());
  const std::string_view mantissa = text.substr(0, exponentAt);
  const std::string_view exponent = text.substr(exponentAt);
  const std::size_t wholePart = std::min(mantissa.find('.'), mantissa.size());

  const std::size_t room = maxLength > exponent.size() ? maxLength - exponent.size() : 0;
  std::string kept(mantissa.substr(0, std::max(room, wholePart)));
  if (!exponent.empty() && !kept.empty() && kept.back() == '.') kept.pop_back();
  kept += exponent;
  return kept;
}

}  // namespace freqsmith
