// The numeric rules every field shares: text to number, number to text, the length cuts
// and arithmetic that reports floating-point faults instead of producing inf or NaN.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace freqsmith {

enum class NumberFault {
  NotANumber,    // the text does not follow the number grammar
  Overflow,      // a value beyond a double's range
  DivideByZero,  // a finite value divided by zero
  Invalid,       // 0 / 0 and the like
};

struct Parsed {
  std::optional<double> value;  // set when the text is a number
  NumberFault fault = NumberFault::NotANumber;
};

// Optional blanks, an optional sign, digits with at most one point and at least one digit,
// an optional exponent, optional blanks. "." is the decimal point whatever the locale.
Parsed parseNumber(std::string_view text);

// printf's "%.15G": at most 15 significant digits, no trailing zeros, uppercase exponent
// with at least two digits. Negative zero is written "0". Every text reads back within
// half a unit of its last digit, except at the very top of the range: from about
// 1.797693134862315E+308 on, rounding gives 1.79769313486232E+308, which parseNumber
// reports as an overflow rather than reading a wrong value.
std::string formatNumber(double value);

// The number of characters (code points) in UTF-8 text.
std::size_t characterCount(std::string_view text);

// The first `maxLength` characters; a limit of 0 means no limit.
std::string cutToLength(std::string_view text, std::size_t maxLength);

// The cut for a computed number: like cutToLength, but it never removes a character before
// the decimal point, nor the exponent, so the magnitude stays right ("1002.5" into 5 reads
// "1002.", "1250" into 3 stays "1250").
std::string cutNumberToLength(std::string_view text, std::size_t maxLength);

// Arithmetic with the floating-point status checked after the operation. Operands are
// finite; a fault comes back instead of an infinite or NaN result.
struct Checked {
  std::optional<double> value;
  NumberFault fault = NumberFault::Invalid;

  static Checked ok(double v) { return {v, NumberFault::Invalid}; }
  static Checked failed(NumberFault f) { return {std::nullopt, f}; }
};

Checked checkedAdd(double a, double b);
Checked checkedSubtract(double a, double b);
Checked checkedMultiply(double a, double b);
Checked checkedDivide(double a, double b);

}  // namespace freqsmith
