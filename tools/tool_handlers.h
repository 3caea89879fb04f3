// What the three converters' handlers share: the end of a computation as an Outcome, and
// click routing by table.
#pragma once

#include <span>

#include "computation.h"
#include "form.h"
#include "tool_window.h"

namespace freqsmith {

// Writes the computation's result into its field, or hands its fault back (see Outcome).
Outcome finish(Computation& computation, double value);

// A control and the handler its click runs.
struct ClickRoute {
  ControlId control;
  Outcome (*run)(Form& form);
};

// Runs the route of `control`; a control without one comes back done.
Outcome routeClick(std::span<const ClickRoute> routes, Form& form, ControlId control);

}  // namespace freqsmith
