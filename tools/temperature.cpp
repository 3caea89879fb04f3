// Celsius and Fahrenheit, each way in the order the steps are written: a different order
// can change the last digit, and the 4-character cut can show it.
#include "temperature.h"

#include "computation.h"

namespace freqsmith::tempcalc {

Outcome Text4_Click(Form& form) {
  guardEmpty(form, field("Text3"), "0");
  Computation c(form, field("Text4"));
  const double celsius = c.read(field("Text3"));
  return finish(c, c.add(c.divide(c.multiply(celsius, 9), 5), 32));
}

Outcome Text2_Click(Form& form) {
  guardEmpty(form, field("Text1"), "0");
  Computation c(form, field("Text2"));
  const double fahrenheit = c.read(field("Text1"));
  return finish(c, c.multiply(c.divide(c.subtract(fahrenheit, 32), 9), 5));
}

Outcome Command2_Click(Form& form) {
  return Text4_Click(form);
}
Outcome Command3_Click(Form& form) {
  return Text2_Click(form);
}

Outcome click(Form& form, ControlId control) {
  static constexpr ClickRoute kRoutes[] = {
      {field("Text4"), Text4_Click},
      {field("Text2"), Text2_Click},
      {button("Command2"), Command2_Click},
      {button("Command3"), Command3_Click},
  };
  return routeClick(kRoutes, form, control);
}

}  // namespace freqsmith::tempcalc
