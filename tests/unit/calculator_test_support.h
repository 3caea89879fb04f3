// An in-memory main window addressed by control names, for the calculator tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "form.h"
#include "main_window_controls.h"

namespace freqsmith::testing {

class CalculatorForm : public ::testing::Test {
 public:
  static ControlId id(const std::string& name) {
    const int index = indexOfControl(mainwin::kControls, name);
    if (index < 0) ADD_FAILURE() << "no control " << name;
    return ControlId{static_cast<std::uint16_t>(index < 0 ? 0 : index)};
  }
  static FieldId fieldNamed(const std::string& name) { return FieldId{id(name)}; }
  static BoxId boxNamed(const std::string& name) { return BoxId{id(name)}; }

 protected:
  void set(const std::string& name, const std::string& text) {
    form.setText(fieldNamed(name), text);
  }
  void setAll(const std::map<std::string, std::string>& texts) {
    for (const auto& [name, text] : texts) set(name, text);
  }
  std::string text(const std::string& name) const { return form.text(fieldNamed(name)); }
  bool checked(const std::string& name) const { return form.checked(boxNamed(name)); }
  void check(const std::string& name, bool on = true) { form.setChecked(boxNamed(name), on); }
  std::string line() const { return form.caption(mainwin::kExplanationLine); }

  void expectTexts(const std::map<std::string, std::string>& expected) const {
    for (const auto& [name, value] : expected) EXPECT_EQ(text(name), value) << name;
  }

  MemoryForm form{mainwin::kControls, mainwin::kExplanationLine};
};

}  // namespace freqsmith::testing
