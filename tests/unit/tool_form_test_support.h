// An in-memory converter dialog addressed by control names, for the converter tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "form.h"
#include "tool_window.h"

namespace freqsmith::testing {

class ToolForm {
 public:
  explicit ToolForm(const ToolWindow& window) : window_(window), form_(window.controls) {}

  ControlId id(const std::string& name) const {
    const int index = indexOfControl(window_.controls, name);
    if (index < 0) ADD_FAILURE() << "no control " << name;
    return ControlId{static_cast<std::uint16_t>(index < 0 ? 0 : index)};
  }
  const Control& row(const std::string& name) const { return window_.controls[id(name).index]; }

  void set(const std::string& name, const std::string& text) {
    form_.setText(FieldId{id(name)}, text);
  }
  void setAll(const std::map<std::string, std::string>& texts) {
    for (const auto& [name, text] : texts) set(name, text);
  }
  std::string text(const std::string& name) const { return form_.text(FieldId{id(name)}); }
  // The sentence the last click stopped with; empty when it did not stop.
  const std::string& note() const { return last_.sentence; }

  // A user's click on the named control; what it did is kept, as the dialog shows it, so a
  // test may look at it now or through note() later.
  const Outcome& click(const std::string& name) {
    last_ = window_.click(form_, id(name));
    return last_;
  }

  void expectTexts(const std::map<std::string, std::string>& expected) const {
    for (const auto& [name, value] : expected) EXPECT_EQ(text(name), value) << name;
  }

  Form& form() { return form_; }

 private:
  ToolWindow window_;
  MemoryForm form_;
  Outcome last_;
};

}  // namespace freqsmith::testing
