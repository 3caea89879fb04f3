// The results of the "Processor and Memory" tab. Each handler puts its sentence on the
// explanation line, runs its empty guards, reads the current texts (a result that reads
// another result reads it as shown, after the cut) and writes its own field. False when a
// field held no number or the arithmetic failed; the field is then left as it was.
#pragma once

#include "form.h"

namespace freqsmith {

[[nodiscard]] bool Text3_Click(Form& form);   // CPU speed: multiplier x system clock
[[nodiscard]] bool Text4_Click(Form& form);   // Athlon bus: twice the system clock
[[nodiscard]] bool Text5_Click(Form& form);   // Athlon 64 bus: four times the system clock
[[nodiscard]] bool Text6_Click(Form& form);   // Pentium 4 bus: four times the system clock
[[nodiscard]] bool Text8_Click(Form& form);   // Athlon: 9 instructions per clock
[[nodiscard]] bool Text9_Click(Form& form);   // Athlon 64: 12 instructions per clock
[[nodiscard]] bool Text56_Click(Form& form);  // Pentium 4: 6 instructions per clock
[[nodiscard]] bool Text14_Click(Form& form);  // SDRAM: system clock x (MEM / FSB)
[[nodiscard]] bool Text15_Click(Form& form);  // DDR: twice the SDRAM figure

}  // namespace freqsmith
