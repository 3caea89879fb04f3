// A converter dialog as data: its table, its close button and its click handling, and what
// a click tells the dialog. The widget side builds the dialog window from it.
#pragma once

#include <span>
#include <string>
#include <utility>

#include "controls.h"
#include "form.h"

namespace freqsmith {

// What a click on a dialog did. A handler that stopped on a fault wrote no result; it tells
// the dialog which field the fault is about and the sentence that says what is wrong, for
// the dialog to show there.
struct [[nodiscard]] Outcome {
  bool done = true;
  ControlId about{};
  std::string sentence;

  explicit operator bool() const { return done; }
  static Outcome stopped(ControlId field, std::string sentence) {
    return {false, field, std::move(sentence)};
  }
};

// A dialog as data: its controls (the first row is the dialog itself), the button that
// closes it, and its click handling.
struct ToolWindow {
  std::span<const Control> controls;
  ControlId closeButton;
  // A user's click on a control; controls without handling come back done.
  Outcome (*click)(Form& form, ControlId control) = nullptr;
};

}  // namespace freqsmith
