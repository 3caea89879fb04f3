// The figures derived from the detected clocks: the multiplier and the front-side bus. Run
// at start-up and again by Calculate; skipped, without a message, where the detected
// figures are not numbers (a machine where nothing could be detected).
#pragma once

#include "form.h"

namespace freqsmith {

// Textmultiplier <- Textcpuspeed / Textarch; false when skipped (not numbers, or a system
// clock of 0).
[[nodiscard]] bool deriveMultiplier(Form& form);

// Text11_Click: Text11 <- Textarch + Textarch; false when skipped.
[[nodiscard]] bool Text11_Click(Form& form);

}  // namespace freqsmith
