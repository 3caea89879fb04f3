// The figures of the "CPU and Mainboard" tab as the window shows them, each with where it
// came from or why it is unknown. The window takes its tooltips from these lines, and
// `freqsmith --detect` prints them, so both always say the same.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form.h"
#include "management_service.h"
#include "provenance.h"

namespace freqsmith::detect {

struct FigureLine {
  std::string_view heading;      // the tab's name for the figure
  ControlId shownIn;             // the control the figure is shown in
  std::string shown;             // that control's text: the design text while unknown
  std::string_view unit;         // as the tab labels it; empty when it shows none
  std::optional<Source> source;  // nullopt: unknown
  std::string whyUnknown;        // one sentence, for an unknown figure only
};

// The tab's figures in reading order, after runDetection has filled `form`.
std::vector<FigureLine> describeFigures(const Form& form, const Provenance& provenance);

// A line each: heading, colon, value and unit, the source in parentheses; "unknown" for a
// figure that nothing gave.
std::string reportText(const std::vector<FigureLine>& lines);

// Runs the detection sequence on an in-memory main window and reports its figures.
std::string detectionReport(ManagementService& service);

}  // namespace freqsmith::detect
