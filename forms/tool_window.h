// A converter dialog as data: its table, its close button and its click handling, and what
// a click tells the dialog. The widget side builds the dialog window from it.
#pragma once

#include <span>

#include "controls.h"
#include "form.h"

namespace freqsmith {

// What a dialog handler did. A handler that stopped on a fault wrote no result; the fault's
// sentence is on the dialog's fault note, and `about` is the field that sentence is about,
// so that the dialog can show it there.
struct Outcome {
  bool done = true;
  ControlId about{};

  explicit operator bool() const { return done; }
  static Outcome stopped(ControlId field) { return {false, field}; }
};

// A dialog as data: its controls (the first row is the dialog itself), the hidden label that
// the form explains on, the button that closes it, and its click handling.
struct ToolWindow {
  std::span<const Control> controls;
  LabelId faultNote;
  ControlId closeButton;
  // A user's click on a control; controls without handling come back done.
  Outcome (*click)(Form& form, ControlId control) = nullptr;
};

// The hidden label every dialog explains its faults on; it is never shown itself.
inline constexpr std::string_view kFaultNoteName = "faultNote";
constexpr Control faultNoteRow(std::string_view window) {
  return labelRow(kFaultNoteName, window, {}, "");
}

}  // namespace freqsmith
