// Fuzz target for the number rules: text to number, number to text and the two length cuts.
// The first byte is the length limit, the rest the text; the text's first eight bytes are
// also taken as a raw double, so every double reaches the formatter.
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "field_text.h"
#include "fuzz_check.h"
#include "number.h"

namespace {

using freqsmith::characterCount;
using freqsmith::cutNumberToLength;
using freqsmith::cutToLength;
using freqsmith::formatNumber;
using freqsmith::NumberFault;
using freqsmith::Parsed;
using freqsmith::parseNumber;
using freqsmith::fuzz::require;

// Doubles from here up to the largest one round up to a 15-digit text beyond it.
constexpr double kRoundsPastTheRange = 1.797693134862315E+308;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::string_view withoutBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool sameResult(const Parsed& a, const Parsed& b) {
  if (a.value.has_value() != b.value.has_value()) return false;
  if (a.value) return *a.value == *b.value && std::signbit(*a.value) == std::signbit(*b.value);
  return a.fault == b.fault;
}

// "%.15G": an optional minus, digits with an optional point that is never last, no
// trailing zeros after the point, at most 15 significant digits, and an exponent "E+dd"
// or "E-dd" with at least two digits.
void checkShape(const std::string& text) {
  std::size_t i = text.starts_with('-') ? 1 : 0;
  int significant = 0;
  bool leading = true;
  const std::size_t digitsStart = i;
  for (; i < text.size() && (isDigit(text[i]) || text[i] == '.'); ++i) {
    if (text[i] == '.') continue;
    if (text[i] != '0') leading = false;
    if (!leading) ++significant;
  }
  const std::string_view mantissa = std::string_view(text).substr(digitsStart, i - digitsStart);
  require(!mantissa.empty() && isDigit(mantissa.front()), "the mantissa starts with a digit", text);
  require(significant <= 15, "at most 15 significant digits", text);
  if (mantissa.find('.') != std::string_view::npos) {
    require(mantissa.back() != '0' && mantissa.back() != '.', "no trailing zeros or point", text);
  }
  if (i == text.size()) return;
  require(text[i] == 'E', "an exponent is written with an uppercase E", text);
  require(text.size() >= i + 4, "the exponent has a sign and at least two digits", text);
  require(text[i + 1] == '+' || text[i + 1] == '-', "the exponent has a sign", text);
  for (std::size_t j = i + 2; j < text.size(); ++j) {
    require(isDigit(text[j]), "the exponent is digits", text);
  }
}

// What the formatter writes reads back within half a unit of its 15th digit, and
// formatting that value again gives the same text.
void checkFormatting(double value) {
  const std::string text = formatNumber(value);
  checkShape(text);
  const Parsed back = parseNumber(text);
  if (!back.value) {
    // Rounded at the fifteenth digit, the very top of the range reads 1.79769313486232E+308,
    // which is past the largest double; reading it back must then report the overflow.
    require(std::fabs(value) >= kRoundsPastTheRange && back.fault == NumberFault::Overflow,
            "formatNumber's text parses", text);
    return;
  }
  const double error = std::fabs(*back.value - value);
  require(error <= std::fabs(value) * 5.2e-15 + DBL_TRUE_MIN, "the text is within 15 digits", text);
  require(value == 0 || std::signbit(*back.value) == std::signbit(value), "the sign is kept", text);
  require(formatNumber(*back.value) == text, "formatting what was parsed gives the same text",
          text);
}

// The number cut keeps the whole part and the exponent, cuts only fraction digits, and
// what is left still reads as a number no farther from zero than the uncut one.
void checkNumberCut(double value, std::size_t limit) {
  const std::string text = formatNumber(value);
  const std::string cut = cutNumberToLength(text, limit);
  const std::size_t exponentAt = std::min(text.find('E'), text.size());
  const std::string_view mantissa = std::string_view(text).substr(0, exponentAt);
  const std::string_view exponent = std::string_view(text).substr(exponentAt);
  const std::string_view whole = mantissa.substr(0, std::min(mantissa.find('.'), mantissa.size()));

  require(cut.starts_with(whole), "the whole part is never shortened", text + " -> " + cut);
  require(cut.ends_with(exponent), "the exponent is kept", text + " -> " + cut);
  if (limit == 0 || text.size() <= limit) {
    require(cut == text, "a text within the limit is left alone", text + " -> " + cut);
    return;
  }
  require(cut.size() <= std::max(limit, whole.size() + exponent.size()),
          "no more is kept than the limit or the whole part and exponent", text + " -> " + cut);
  const std::string_view kept = std::string_view(cut).substr(0, cut.size() - exponent.size());
  require(mantissa.starts_with(kept), "only the end of the mantissa goes", text + " -> " + cut);

  const Parsed uncut = parseNumber(text);
  const Parsed shortened = parseNumber(cut);
  require(shortened.value.has_value(), "the cut number still parses", text + " -> " + cut);
  if (!uncut.value) return;  // the top of the range, see checkFormatting
  require(std::fabs(*shortened.value) <= std::fabs(*uncut.value),
          "cutting digits moves the value toward zero", text + " -> " + cut);
  require(*shortened.value == 0 || (*shortened.value < 0) == (*uncut.value < 0),
          "cutting keeps the sign", text + " -> " + cut);
}

// A prefix of the text, cut between characters, with at most `limit` of them and no fewer
// than the text has up to the limit.
void checkTextCut(std::string_view text, std::size_t limit) {
  const std::string cut = cutToLength(text, limit);
  require(text.starts_with(cut), "the cut is a prefix", text);
  if (limit == 0) {
    require(cut.size() == text.size(), "a limit of 0 cuts nothing", text);
    return;
  }
  require(characterCount(cut) <= limit, "at most the limit's characters", text);
  require(cut.size() == text.size() || !isContinuation(text[cut.size()]),
          "the cut falls between characters", text);
  const std::size_t expected = std::min(characterCount(text), limit);
  require(characterCount(cut) == expected, "no more is cut than needed", text);
}

void checkParsing(std::string_view text) {
  const Parsed parsed = parseNumber(text);
  if (parsed.value) {
    require(std::isfinite(*parsed.value), "a parsed value is finite", text);
  } else {
    require(parsed.fault == NumberFault::NotANumber || parsed.fault == NumberFault::Overflow,
            "a text fails as not a number or as an overflow", text);
  }

  // Blanks around the text, the case of the exponent letter and a leading minus change the
  // result only in the way the grammar says.
  const std::string padded = " \t" + std::string(text) + "\t ";
  require(sameResult(parseNumber(padded), parsed), "surrounding blanks do not matter", text);

  std::string upper(text);
  for (char& c : upper) {
    if (c == 'e') c = 'E';
  }
  require(sameResult(parseNumber(upper), parsed), "e and E are the same", text);

  const std::string_view bare = withoutBlanks(text);
  if (!bare.empty() && bare.front() != '-' && bare.front() != '+') {
    const Parsed negated = parseNumber("-" + std::string(bare));
    require(negated.value.has_value() == parsed.value.has_value(),
            "a minus does not change whether it parses", text);
    if (parsed.value) {
      require(*negated.value == -*parsed.value, "a minus negates the value", text);
    } else {
      require(negated.fault == parsed.fault, "a minus keeps the fault", text);
    }
  }

  if (parsed.value) checkFormatting(*parsed.value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The program's fields are a few characters long; small limits are the interesting ones.
  const std::size_t limit = data[0] % 32;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  checkParsing(text);
  checkTextCut(text, limit);
  // Any text may reach the number cut through a field; it must only not go wrong.
  const std::string anyCut = cutNumberToLength(text, limit);
  require(anyCut.size() <= text.size(), "the number cut never lengthens a text", text);

  const Parsed parsed = parseNumber(text);
  if (parsed.value) checkNumberCut(*parsed.value, limit);

  if (text.size() >= sizeof(double)) {
    double raw = 0;
    std::memcpy(&raw, text.data(), sizeof raw);
    if (std::isfinite(raw)) {
      checkFormatting(raw);
      checkNumberCut(raw, limit);
    }
  }
  return 0;
}
