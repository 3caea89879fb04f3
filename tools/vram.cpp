// Nanoseconds to megahertz: one cycle per access time, twice that for double data rate.
#include "vram.h"

#include "computation.h"

namespace freqsmith::vram {

namespace {
constexpr double kGuardValue = 0.1;
}

void guardInput(Form& form) {
  if (form.text(field("Text17")).empty()) form.setNumber(field("Text17"), kGuardValue);
  if (form.text(field("Text17")) == "0") form.setNumber(field("Text17"), kGuardValue);
}

Outcome Text17_Click(Form& form) {
  guardInput(form);
  return {};
}

Outcome Text18_Click(Form& form) {
  guardInput(form);
  Computation c(form, field("Text18"));
  return finish(c, c.divide(1000, c.read(field("Text17"))));
}

Outcome Text19_Click(Form& form) {
  guardInput(form);
  Computation c(form, field("Text19"));
  const double sdram = c.read(field("Text18"));
  return finish(c, c.add(sdram, sdram));
}

Outcome Command2_Click(Form& form) {
  guardInput(form);
  // Doubling a first result that could not be computed would show a stale figure.
  if (Outcome first = Text18_Click(form); !first) return first;
  return Text19_Click(form);
}

Outcome click(Form& form, ControlId control) {
  static constexpr ClickRoute kRoutes[] = {
      {field("Text17"), Text17_Click},
      {field("Text18"), Text18_Click},
      {field("Text19"), Text19_Click},
      {button("Command2"), Command2_Click},
  };
  return routeClick(kRoutes, form, control);
}

}  // namespace freqsmith::vram
