// The four numeric key filters and the field's length limit.
#include "key_filter.h"

#include <algorithm>

namespace freqsmith {
namespace {

bool guards(KeyFilter filter) {
  return filter == KeyFilter::Decimal || filter == KeyFilter::SignedDecimal;
}

bool admits(KeyFilter filter, char16_t c) {
  const bool digit = c >= u'0' && c <= u'9';
  switch (filter) {
    case KeyFilter::None:
      return true;
    case KeyFilter::Decimal:
    case KeyFilter::DecimalNoGuard:
      return digit || c == u'.';
    case KeyFilter::RatioDigit:
      return c >= u'1' && c <= u'9';
    case KeyFilter::SignedDecimal:
      return digit || c == u'.' || c == u'-';
  }
  return false;
}

}  // namespace

KeyVerdict judgeKey(KeyFilter filter, char16_t code, std::size_t textLength,
                    std::size_t selectedLength, std::size_t maxLength) {
  if (code == kBackspace || code == kTab) return {false, true};

  KeyVerdict verdict;
  if (guards(filter) && textLength == 0) {
    verdict.writeGuard = true;
    textLength = kKeyGuardText.size();
    selectedLength = 0;
  }
  if (!admits(filter, code)) return verdict;
  if (filter == KeyFilter::None && code < 32) return verdict;

  const std::size_t kept = textLength - std::min(selectedLength, textLength);
  verdict.accept = maxLength == 0 || kept + 1 <= maxLength;
  return verdict;
}

}  // namespace freqsmith
