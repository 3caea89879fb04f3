// The memory timing converter's handlers. Every one of them starts with the input guard, so
// an empty or "0" access time never reaches the division.
#pragma once

#include "form.h"
#include "tool_handlers.h"
#include "vram_controls.h"

namespace freqsmith::vram {

// The access time Text17 reads 0.1 when it is empty or exactly "0" (text, not value:
// "0.0" and "00" stay).
void guardInput(Form& form);

// Text17_Click: the input guard only.
Outcome Text17_Click(Form& form);
// Text18_Click: Text18 <- 1000 / Text17.
Outcome Text18_Click(Form& form);
// Text19_Click: Text19 <- Text18 + Text18, the first result as shown.
Outcome Text19_Click(Form& form);
// Command2_Click ("Convert"): the guard, Text18, then Text19; stops where one stops.
Outcome Command2_Click(Form& form);

Outcome click(Form& form, ControlId control);

inline constexpr ToolWindow kWindow{kControls, button("Command1"), click};

}  // namespace freqsmith::vram
