// The figures of the "CPU and Mainboard" tab as the window shows them, each with where it
// came from or why it is unknown. The window takes its tooltips from these lines, and
// `freqsmith --detect` prints them, so both always say the same.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deadline_service.h"
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
  // For an unknown figure read from the system: why the system gave nothing, and the
  // service's error or the time limit where that is the reason.
  Gap gap = Gap::NotReported;
  std::string detail;
};

// What each figure's tooltip says while the hardware is still being read.
inline constexpr std::string_view kStillReading =
    "Your hardware is still being read; this figure appears as soon as the system reports it.";

// The controls the tab shows its figures in, in reading order.
std::vector<ControlId> figureControls();

// The tab's figures in reading order, after runDetection has filled `form`.
std::vector<FigureLine> describeFigures(const Form& form, const Provenance& provenance);

// A line each: heading, colon, value and unit, the source in parentheses; "unknown" for a
// figure that nothing gave, followed in parentheses by the reason where the system did not
// simply lack it (administrator only, timed out, the service's failure).
std::string reportText(const std::vector<FigureLine>& lines);

// Runs the detection sequence on an in-memory main window and reports its figures.
std::string detectionReport(ManagementService& service);

struct AwaitedReport {
  std::string text;
  bool complete = false;  // every class answered in time, and the service did not fail
  // A line for each class that was not, such as "Win32_BIOS: the service failed:
  // 0x80041003 Access denied."; one may fail without any figure showing it, when another
  // class gave the figure.
  std::vector<std::string> faults;
};

// The report once `service` has answered or its time limit has passed. Should the answer
// take longer than `patience`, `waiting` is called once meanwhile.
AwaitedReport awaitReport(DeadlineService& service, std::chrono::milliseconds patience,
                          const std::function<void()>& waiting);

}  // namespace freqsmith::detect
