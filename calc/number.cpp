// The number grammar and checked arithmetic.
#include "number.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace freqsmith {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

struct Scan {
  bool ok = false;
  bool allZero = true;
  long magnitude = 0;  // decimal exponent of the leading significant digit
};

Scan scanNumber(std::string_view s) {
  Scan scan;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;

  const std::size_t intStart = i;
  while (i < s.size() && isDigit(s[i])) ++i;
  const std::string_view intDigits = s.substr(intStart, i - intStart);

  std::string_view fracDigits;
  if (i < s.size() && s[i] == '.') {
    const std::size_t fracStart = ++i;
    while (i < s.size() && isDigit(s[i])) ++i;
    fracDigits = s.substr(fracStart, i - fracStart);
  }
  if (intDigits.empty() && fracDigits.empty()) return scan;

  long exponent = 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
    ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t expStart = i;
    for (; i < s.size() && isDigit(s[i]); ++i) {
      if (exponent < 1'000'000) exponent = exponent * 10 + (s[i] - '0');
    }
    if (i == expStart) return scan;
    if (negative) exponent = -exponent;
  }
  if (i != s.size()) return scan;

  scan.ok = true;
  const std::size_t firstInt = intDigits.find_first_not_of('0');
  if (firstInt != std::string_view::npos) {
    scan.allZero = false;
    scan.magnitude = static_cast<long>(intDigits.size() - firstInt) - 1 + exponent;
  } else {
    const std::size_t firstFrac = fracDigits.find_first_not_of('0');
    if (firstFrac != std::string_view::npos) {
      scan.allZero = false;
      scan.magnitude = -static_cast<long>(firstFrac) - 1 + exponent;
    }
  }
  return scan;
}

Checked checkResult(double r) {
  if (std::isnan(r)) return Checked::failed(NumberFault::Invalid);
  if (std::isinf(r)) return Checked::failed(NumberFault::Overflow);
  return Checked::ok(r);
}

}  // namespace

Parsed parseNumber(std::string_view text) {
  std::string_view s = trimBlanks(text);
  const Scan scan = scanNumber(s);
  if (!scan.ok) return {std::nullopt, NumberFault::NotANumber};

  const bool negative = !s.empty() && s.front() == '-';
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (!scan.allZero && scan.magnitude > 0) return {std::nullopt, NumberFault::Overflow};
    return {negative ? -0.0 : 0.0, NumberFault::NotANumber};
  }
  if (ec != std::errc() || end != s.data() + s.size())
    return {std::nullopt, NumberFault::NotANumber};
  if (std::isinf(value)) return {std::nullopt, NumberFault::Overflow};
  return {value, NumberFault::NotANumber};
}

Checked checkedAdd(double a, double b) {
  return checkResult(a + b);
}
Checked checkedSubtract(double a, double b) {
  return checkResult(a - b);
}
Checked checkedMultiply(double a, double b) {
  return checkResult(a * b);
}

Checked checkedDivide(double a, double b) {
  if (b == 0)
    return Checked::failed(a == 0 || std::isnan(a) ? NumberFault::Invalid
                                                   : NumberFault::DivideByZero);
  return checkResult(a / b);
}

}  // namespace freqsmith
