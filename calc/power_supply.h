// The "Power Supply" tab's handlers: the ten line results, the component boxes and their
// watt fields, the second processor, the total and the Defaults command.
#pragma once

#include <optional>

#include "form.h"
#include "power_supply_rows.h"

namespace freqsmith {

// A device line's result: count x watts per device, both guarded against empty text.
[[nodiscard]] bool lineResult(Form& form, const mainwin::DeviceLine& line);

// A user's click on a component box (its value already changed): its sentence, and for a
// box of a group the other boxes of the group cleared, without their own handling.
void boxClick(Form& form, const mainwin::ComponentBox& box);

// A component watt field follows its box: the box's watts while checked, else 0.
void componentField(Form& form, const mainwin::ComponentBox& box);

// Text16_Click: the selected processor class counted a second time for "Dual CPU".
[[nodiscard]] bool Text16_Click(Form& form);

// Text37_Click: the plain sum of the 31 line and component figures as they stand.
[[nodiscard]] bool Text37_Click(Form& form);

// Command7_Click: counts and the system clock to 0, watts per device to their defaults.
void Command7_Click(Form& form);

// Reset's part on this tab: every count and the system clock, every line result, every
// component watt field and the total to 0, and every box cleared without its handling; the
// watts per device stay.
void resetPowerSupply(Form& form);

// The line whose result field is `field`, if any.
const mainwin::DeviceLine* lineWithResult(ControlId field);
// The box named by `box`, or the box whose component field is `field`.
const mainwin::ComponentBox* componentBox(ControlId control);

}  // namespace freqsmith
