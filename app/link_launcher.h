// Hands a web address to the user's browser through the desktop's URL handling, without
// waiting for the browser.
#pragma once

#include <string>
#include <string_view>

#include "form.h"

namespace freqsmith {

// What the explanation line says when `address` could not be handed to the browser.
std::string linkFailedSentence(std::string_view address);

// Opens `address` and returns at once; nothing is written when it was handed over. False,
// with linkFailedSentence() on the explanation line, when the address is not a whole URL or
// the desktop would not take it.
[[nodiscard]] bool openLink(Form& form, std::string_view address);

}  // namespace freqsmith
