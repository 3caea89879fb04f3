// The length rules applied on every write, and the in-memory window.
#include "form.h"

#include "field_text.h"

namespace freqsmith {

Form::Form(std::span<const Control> controls, std::optional<LabelId> explanationLine)
    : controls_(controls), explanationLine_(explanationLine) {}

void Form::setText(FieldId field, std::string_view text) {
  writeText(field, cutToLength(text, control(field).maxLength));
}

void Form::setNumber(FieldId field, double value) {
  writeText(field, cutNumberToLength(formatNumber(value), control(field).maxLength));
}

MemoryForm::MemoryForm(std::span<const Control> controls, std::optional<LabelId> explanationLine)
    : Form(controls, explanationLine), checked_(controls.size(), 0) {
  texts_.reserve(controls.size());
  pictures_.reserve(controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    texts_.emplace_back(controls[i].text);
    pictures_.push_back(ControlId{static_cast<std::uint16_t>(i)});
  }
}

}  // namespace freqsmith
