// One result handler's arithmetic: read fields as numbers, compute with checked
// operations, write the result. The first fault (a field that is not a number, a division
// by zero, an overflow) is kept; nothing is written after it, and it becomes one sentence
// on the explanation line instead of a crash or a wrong figure.
#pragma once

#include <optional>
#include <string>

#include "form.h"
#include "number.h"

namespace freqsmith {

struct Fault {
  NumberFault kind = NumberFault::NotANumber;
  ControlId field;   // the field read (for a text fault) or the result being computed
  std::string text;  // what the field held, for a text fault
};

// The sentence the explanation line shows for a fault.
std::string describeFault(const Fault& fault, std::span<const Control> controls);

class Computation {
 public:
  Computation(Form& form, FieldId result) : form_(form), result_(result) {}

  double read(FieldId field);
  double add(double a, double b) { return apply(checkedAdd(a, b)); }
  double subtract(double a, double b) { return apply(checkedSubtract(a, b)); }
  double multiply(double a, double b) { return apply(checkedMultiply(a, b)); }
  double divide(double a, double b) { return apply(checkedDivide(a, b)); }

  bool failed() const { return fault_.has_value(); }
  const std::optional<Fault>& fault() const { return fault_; }
  // The sentence that says what went wrong; only once failed().
  std::string faultSentence() const { return describeFault(*fault_, form_.controls()); }

  // Writes `value` into the result field unless something failed; true when written.
  [[nodiscard]] bool commit(double value);
  // As commit(), and on a fault puts its sentence on the explanation line.
  [[nodiscard]] bool commitOrReport(double value);

 private:
  double apply(const Checked& checked);

  Form& form_;
  FieldId result_;
  std::optional<Fault> fault_;
};

// Empty guard: an empty field is given `text` before it is read.
void guardEmpty(Form& form, FieldId field, std::string_view text);

}  // namespace freqsmith
