// CPU speed, front-side bus, instructions per second and memory speeds.
#include "clock_results.h"

#include "computation.h"
#include "main_window_controls.h"

namespace freqsmith {
namespace {

using mainwin::field;

// Puts the result's sentence on the explanation line and starts its computation.
Computation begin(Form& form, FieldId result) {
  form.explain(form.control(result).sentence);
  return Computation(form, result);
}

// result <- source x factor
bool scaled(Form& form, FieldId result, FieldId source, double factor) {
  Computation c = begin(form, result);
  return c.commitOrReport(c.multiply(c.read(source), factor));
}

// result <- source + source
bool doubled(Form& form, FieldId result, FieldId source) {
  Computation c = begin(form, result);
  const double value = c.read(source);
  return c.commitOrReport(c.add(value, value));
}

void guardRatio(Form& form) {
  guardEmpty(form, field("Text13"), "1");
  guardEmpty(form, field("Text12"), "1");
}

}  // namespace

bool Text3_Click(Form& form) {
  Computation c = begin(form, field("Text3"));
  guardEmpty(form, field("Text1"), "0");
  guardEmpty(form, field("Text2"), "0");
  const double multiplier = c.read(field("Text2"));
  const double clock = c.read(field("Text1"));
  return c.commitOrReport(c.multiply(multiplier, clock));
}

bool Text4_Click(Form& form) {
  return doubled(form, field("Text4"), field("Text1"));
}
bool Text5_Click(Form& form) {
  return scaled(form, field("Text5"), field("Text1"), 4);
}
bool Text6_Click(Form& form) {
  return scaled(form, field("Text6"), field("Text1"), 4);
}
bool Text8_Click(Form& form) {
  return scaled(form, field("Text8"), field("Text3"), 9);
}
bool Text9_Click(Form& form) {
  return scaled(form, field("Text9"), field("Text3"), 12);
}
bool Text56_Click(Form& form) {
  return scaled(form, field("Text56"), field("Text3"), 6);
}

bool Text14_Click(Form& form) {
  Computation c = begin(form, field("Text14"));
  guardRatio(form);
  // The ratio first, then the clock: the order decides the last digit before the cut.
  const double mem = c.read(field("Text12"));
  const double fsb = c.read(field("Text13"));
  const double ratio = c.divide(mem, fsb);
  return c.commitOrReport(c.multiply(c.read(field("Text1")), ratio));
}

bool Text15_Click(Form& form) {
  Computation c = begin(form, field("Text15"));
  guardRatio(form);
  const double sdram = c.read(field("Text14"));
  return c.commitOrReport(c.add(sdram, sdram));
}

}  // namespace freqsmith
