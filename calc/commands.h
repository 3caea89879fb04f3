// The commands under the tabs and on the "Processor and Memory" tab. They compute nothing
// themselves: they guard, copy and run the result handlers in a fixed order.
#pragma once

#include <string_view>

#include "form.h"

namespace freqsmith {

inline constexpr std::string_view kCalculated = "Values calculated";
inline constexpr std::string_view kReset = "Values reset";
inline constexpr std::string_view kDetected = "Using system settings instead of user settings";
// While the hardware is still being read, a command waits for it with this on the line.
inline constexpr std::string_view kWaitingForDetection =
    "Reading your system settings first, one moment please...";
inline constexpr std::string_view kNotDetected =
    "The system settings could not be detected, so the inputs were left as they are.";

// Command2_Click: every result of both calculator tabs, in order. Stops at the first handler
// that fails, leaving its sentence on the explanation line; true when all ran.
[[nodiscard]] bool Command2_Click(Form& form);

// Command3_Click: inputs and results back to 0 (the ratio parts to 1), boxes cleared
// without their handling; the watts per device stay.
void Command3_Click(Form& form);

// Command4_Click: the detected system clock and multiplier into the inputs, then Calculate.
[[nodiscard]] bool Command4_Click(Form& form);

// A user's click on a control of the calculator tabs or on one of the commands: runs its
// handling and returns true; false for any other control.
bool calculatorClick(Form& form, ControlId control);

}  // namespace freqsmith
