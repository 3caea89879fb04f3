// The temperature converter's handlers. Each converter's result click is the one place its
// figure is computed; the Convert buttons only run it.
#pragma once

#include "form.h"
#include "temperature_controls.h"
#include "tool_handlers.h"

namespace freqsmith::tempcalc {

// Text4_Click: Text4 <- Text3 x 9 / 5 + 32, an empty Text3 first becoming "0".
Outcome Text4_Click(Form& form);
// Text2_Click: Text2 <- (Text1 - 32) / 9 x 5, an empty Text1 first becoming "0".
Outcome Text2_Click(Form& form);
// Command2_Click ("Convert C to F") and Command3_Click ("Convert F to C").
Outcome Command2_Click(Form& form);
Outcome Command3_Click(Form& form);

Outcome click(Form& form, ControlId control);

inline constexpr ToolWindow kWindow{kControls, button("Command1"), click};

}  // namespace freqsmith::tempcalc
