// Multiplier and front-side bus from the hidden detection holders.
#include "detected_figures.h"

#include "computation.h"
#include "main_window_controls.h"

namespace freqsmith {

using mainwin::field;

bool deriveMultiplier(Form& form) {
  Computation c(form, field("Textmultiplier"));
  const double cpuClock = c.read(field("Textcpuspeed"));
  const double systemClock = c.read(field("Textarch"));
  return c.commit(c.divide(cpuClock, systemClock));
}

bool Text11_Click(Form& form) {
  Computation c(form, field("Text11"));
  const double systemClock = c.read(field("Textarch"));
  return c.commit(c.add(systemClock, systemClock));
}

}  // namespace freqsmith
