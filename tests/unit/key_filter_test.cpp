// The key-filter verdicts: which keys each filter lets through, the empty guard and the
// length limit.
#include "key_filter.h"

#include <gtest/gtest.h>

#include <ostream>

namespace freqsmith {
namespace {

struct KeyRow {
  const char* what;
  KeyFilter filter;
  char16_t code;
  std::size_t length;
  std::size_t selected;
  std::size_t maxLength;
  bool guard;
  bool accept;
  friend std::ostream& operator<<(std::ostream& out, const KeyRow& row) { return out << row.what; }
};

class JudgeKey : public ::testing::TestWithParam<KeyRow> {};

TEST_P(JudgeKey, GivesTheVerdict) {
  const KeyRow& row = GetParam();
  const KeyVerdict verdict =
      judgeKey(row.filter, row.code, row.length, row.selected, row.maxLength);
  EXPECT_EQ(verdict.writeGuard, row.guard);
  EXPECT_EQ(verdict.accept, row.accept);
}

using K = KeyFilter;
INSTANTIATE_TEST_SUITE_P(
    Filters, JudgeKey,
    ::testing::Values(
        KeyRow{"backspace passes an empty guarded field untouched", K::Decimal, 8, 0, 0, 5, false,
               true},
        KeyRow{"tab passes an empty guarded field untouched", K::SignedDecimal, 9, 0, 0, 4, false,
               true},
        KeyRow{"backspace passes a full field", K::Decimal, 8, 5, 0, 5, false, true},
        KeyRow{"a digit into an empty guarded field follows the guard", K::Decimal, u'5', 0, 0, 5,
               true, true},
        KeyRow{"a letter into an empty guarded field leaves the guard", K::Decimal, u'a', 0, 0, 5,
               true, false},
        KeyRow{"a letter into an empty unguarded field", K::DecimalNoGuard, u'a', 0, 0, 4, false,
               false},
        KeyRow{"a point passes the decimal filter", K::Decimal, u'.', 2, 0, 5, false, true},
        KeyRow{"a second point passes too", K::Decimal, u'.', 3, 0, 5, false, true},
        KeyRow{"minus is refused by the decimal filter", K::Decimal, u'-', 1, 0, 5, false, false},
        KeyRow{"minus passes the signed filter", K::SignedDecimal, u'-', 1, 0, 4, false, true},
        KeyRow{"zero is refused by the ratio filter", K::RatioDigit, u'0', 0, 0, 1, false, false},
        KeyRow{"a point is refused by the ratio filter", K::RatioDigit, u'.', 0, 0, 1, false,
               false},
        KeyRow{"one to nine pass the ratio filter", K::RatioDigit, u'9', 0, 0, 1, false, true},
        KeyRow{"a second ratio digit is beyond the length", K::RatioDigit, u'3', 1, 0, 1, false,
               false},
        KeyRow{"a selected ratio digit is replaced", K::RatioDigit, u'3', 1, 1, 1, false, true},
        KeyRow{"a sixth character is refused", K::Decimal, u'1', 5, 0, 5, false, false},
        KeyRow{"a fifth character replacing a selection passes", K::SignedDecimal, u'1', 4, 2, 4,
               false, true},
        KeyRow{"the guard fills a one-character field", K::Decimal, u'7', 0, 0, 1, true, false},
        KeyRow{"enter is discarded", K::Decimal, 13, 2, 0, 5, false, false},
        KeyRow{"escape is discarded", K::DecimalNoGuard, 27, 2, 0, 4, false, false},
        KeyRow{"ctrl+c is discarded", K::Decimal, 3, 2, 0, 5, false, false},
        KeyRow{"ctrl+v is discarded and guards an empty field", K::Decimal, 22, 0, 0, 5, true,
               false},
        KeyRow{"ctrl+x is discarded", K::SignedDecimal, 24, 2, 0, 4, false, false},
        KeyRow{"a non-ASCII digit is refused", K::Decimal, u'\u0665', 0, 0, 5, true, false},
        KeyRow{"no limit takes any length", K::Decimal, u'4', 400, 0, 0, false, true}));

}  // namespace
}  // namespace freqsmith
