// The airflow converter's handlers: ten subtotals, two totals and Calculate.
#pragma once

#include "airflow_controls.h"
#include "form.h"
#include "tool_handlers.h"

namespace freqsmith::airflow {

// The subtotal of row `row` of kFanRows (Text123_Click, Text122_Click, ... Text130_Click are
// this routine): the row's count, then its airflow, guarded to "0" when empty, multiplied.
Outcome subtotalClick(Form& form, std::size_t row);

// Text132_Click and Text110_Click: the five subtotals as they are shown, added left to
// right; nothing is recomputed.
Outcome Text132_Click(Form& form);
Outcome Text110_Click(Form& form);

// calcairflow_Click: every subtotal in table order, then both totals; stops where one stops.
Outcome calcairflow_Click(Form& form);

Outcome click(Form& form, ControlId control);

inline constexpr ToolWindow kWindow{kControls, button("close"), click};

}  // namespace freqsmith::airflow
