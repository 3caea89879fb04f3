// What the three converter dialogs share on the toolkit-free side: how a handler tells that
// it stopped, and the description of a dialog that the widget side builds a window from.
#pragma once

#include <span>

#include "computation.h"
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

// Writes the computation's result into its field, or reports the fault (see Outcome).
Outcome finish(Computation& computation, double value);

// A control and the handler its click runs.
struct ClickRoute {
  ControlId control;
  Outcome (*run)(Form& form);
};

// Runs the route of `control`; a control without one comes back done.
Outcome routeClick(std::span<const ClickRoute> routes, Form& form, ControlId control);

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
