// The figures of the "CPU and Mainboard" tab as the window shows them, each with where it
// came from or why it is unknown. The window takes its tooltips from these lines, and
// `freqsmith --detect` prints them, so both always say the same.
#pragma once

#include <chrono>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "detection.h"
#include "facts.h"
#include "form.h"

namespace freqsmith {

struct FigureLine {
  std::string_view heading;  // the tab's name for the figure
  ControlId shownIn;         // the control the figure is shown in
  std::string shown;         // that control's text: the design text while unknown
  std::string_view unit;     // as the tab labels it; empty when it shows none
  bool known = false;
  std::string_view source;  // known: "WMI", "SMBIOS", ..., or "derived"
  bool rated = false;       // known: the firmware's rated clock, not the clock of the moment
  // Unknown, for a figure read from the system: why the system gave nothing, and the
  // service's error or the time limit where that is the reason.
  detect::Why why = detect::Why::NotReported;
  std::string detail;
  // What resting the pointer on the figure tells: for an unknown figure one sentence saying
  // why, for a rated clock that it is one; else the control's own tooltip.
  std::string tooltip;
};

// What each figure's tooltip says while the hardware is still being read.
inline constexpr std::string_view kStillReading =
    "Your hardware is still being read; this figure appears as soon as the system reports it.";

// The controls the tab shows its figures in, in reading order.
std::vector<ControlId> figureControls();

// The tab's figures in reading order, once the detection sequence has written `hardware`
// into `form`; `derived` are the worked-out holders whose derivation could be made.
std::vector<FigureLine> describeFigures(const Form& form, const detect::Hardware& hardware,
                                        std::span<const FieldId> derived);

// A line each: heading, colon, value and unit, the source in parentheses; "unknown" for a
// figure that nothing gave, followed in parentheses by the reason where the system did not
// simply lack it (administrator only, timed out, the service's failure).
std::string reportText(const std::vector<FigureLine>& lines);

// Runs the detection sequence on an in-memory main window and reports its figures.
std::string detectionReport(const detect::Hardware& hardware);

struct AwaitedReport {
  std::string text;
  // A line for each part the system did not answer in full, such as "the hardware service
  // failed for the BIOS: 0x80041003 Access denied."; one may fail without any figure showing
  // it, when another part gave the figure. Empty: complete.
  std::vector<std::string> faults;
};

// The report once `detection` has answered or its time limit has passed. Should the answer
// take longer than `patience`, `waiting` is called once meanwhile.
AwaitedReport awaitReport(detect::Detection& detection, std::chrono::milliseconds patience,
                          const std::function<void()>& waiting);

}  // namespace freqsmith
