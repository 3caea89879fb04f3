// Checked computations and the sentences for their faults.
#include "computation.h"

#include "field_text.h"

namespace freqsmith {
namespace {

// Long pasted texts are shortened so that the explanation stays one readable line.
constexpr std::size_t kShownCharacters = 16;

std::string quoted(std::string_view text, std::size_t limit) {
  const std::string shown = cutToLength(text, limit);
  std::string out;
  out.reserve(shown.size() + 5);
  out += '"';
  out += shown;
  if (shown.size() < text.size()) out += "...";
  out += '"';
  return out;
}

}  // namespace

std::string describeFault(const Fault& fault, std::span<const Control> controls) {
  const Control& field = controls[fault.field.index];
  const std::string_view title = field.title.empty() ? field.name : field.title;
  const std::string name = quoted(title, 0);
  switch (fault.kind) {
    case NumberFault::NotANumber:
      if (fault.text.empty()) return name + " is empty; enter a number there first.";
      return name + " holds " + quoted(fault.text, kShownCharacters) + ", which is not a number.";
    case NumberFault::Overflow:
      if (!fault.text.empty()) return name + " holds a number too large to calculate with.";
      return name + " cannot be calculated: the result would be too large.";
    case NumberFault::DivideByZero:
      return name + " cannot be calculated: it would divide by zero.";
    case NumberFault::Invalid:
      return name + " cannot be calculated: the operation has no defined result.";
  }
  return name + " cannot be calculated.";
}

double Computation::read(FieldId field) {
  if (fault_) return 0;
  std::string text = form_.text(field);
  const Parsed parsed = parseNumber(text);
  if (parsed.value) return *parsed.value;
  fault_ = Fault{parsed.fault, field, std::move(text)};
  return 0;
}

double Computation::apply(const Checked& checked) {
  if (fault_) return 0;
  if (checked.value) return *checked.value;
  fault_ = Fault{checked.fault, result_, {}};
  return 0;
}

bool Computation::commit(double value) {
  if (fault_) return false;
  form_.setNumber(result_, value);
  return true;
}

bool Computation::commitOrReport(double value) {
  if (commit(value)) return true;
  form_.explain(faultSentence());
  return false;
}

void guardEmpty(Form& form, FieldId field, std::string_view text) {
  if (form.text(field).empty()) form.setText(field, text);
}

}  // namespace freqsmith
