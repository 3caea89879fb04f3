// What text a field holds: a computed number written as text, and the maximum-length cuts
// that every text entering a field goes through.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace freqsmith {

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

}  // namespace freqsmith
