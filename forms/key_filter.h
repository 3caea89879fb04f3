// The verdict on one typed key for a numeric field, decided before the key reaches the
// field. Pure, so it is tested without widgets; the widget side only applies it.
#pragma once

#include <cstddef>
#include <string_view>

#include "controls.h"

namespace freqsmith {

inline constexpr char16_t kBackspace = 8;
inline constexpr char16_t kTab = 9;

// The text an empty field is given by a guarding filter before the key is judged.
inline constexpr std::string_view kKeyGuardText = "0";

struct KeyVerdict {
  bool writeGuard = false;  // first replace the empty text by kKeyGuardText, caret after it
  bool accept = false;      // then let the key through
};

// `code` is the key's 16-bit character code (8 Backspace, 9 Tab, 13 Enter, 3/22/24 the
// copy/paste/cut shortcuts). `selectedLength` characters would be replaced by
// the key; `maxLength` 0 means no limit.
KeyVerdict judgeKey(KeyFilter filter, char16_t code, std::size_t textLength,
                    std::size_t selectedLength, std::size_t maxLength);

}  // namespace freqsmith
