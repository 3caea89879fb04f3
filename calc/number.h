// The numeric rules every computation shares: text to number, and arithmetic that reports
// floating-point faults instead of producing inf or NaN. (Number to text and the length
// cuts are field_text.h's: every write into a field applies them.)
#pragma once

#include <optional>
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
[[nodiscard]] Parsed parseNumber(std::string_view text);

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
