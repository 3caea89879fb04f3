// The tab's figures described from the figure table, in the tab's reading order, with what
// the user is told when nothing gave one.
#include "detection_report.h"

#include <algorithm>

#include "figure_table.h"
#include "hardware_query.h"
#include "main_window_controls.h"

namespace freqsmith {
namespace {

using detect::Why;

constexpr std::string_view kRatedClock =
    "This is the processor's rated clock as the firmware gives it, not the clock it runs at "
    "now.";

std::string sentence(std::string text) {
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

std::string whyUnknown(const DetectedFigure& row, Why why, std::string_view detail) {
  if (!row.derivation.empty()) return std::string(row.derivation);
  const std::string subject(row.subject);
  switch (why) {
    case Why::NotReported:
      break;
    case Why::AdministratorOnly:
      return "This system does not tell ordinary users its " + subject + ".";
    case Why::TimedOut:
      return "This system did not report its " + subject + " within " + std::string(detail) + ".";
    case Why::ServiceFailed:
      return sentence("This system's hardware service failed before it reported its " + subject +
                      ": " + std::string(detail));
  }
  return "This system does not report its " + subject + ".";
}

// The reason a report line gives after "unknown"; empty where the system simply lacks it.
std::string reportReason(const FigureLine& line) {
  switch (line.why) {
    case Why::NotReported:
      break;
    case Why::AdministratorOnly:
      return "administrator only";
    case Why::TimedOut:
      return "timed out after " + line.detail;
    case Why::ServiceFailed:
      return "service failed: " + line.detail;
  }
  return {};
}

std::string shownText(const Form& form, ControlId id) {
  if (form.control(id).kind == ControlKind::Field) return form.text(FieldId{id});
  return form.caption(LabelId{id});
}

// The figures in the tab's reading order: that of the controls they are shown in.
std::vector<const DetectedFigure*> inReadingOrder() {
  std::vector<const DetectedFigure*> rows;
  rows.reserve(std::size(kDetectedFigures));
  for (const DetectedFigure& figure : kDetectedFigures) rows.push_back(&figure);
  std::sort(rows.begin(), rows.end(), [](const DetectedFigure* a, const DetectedFigure* b) {
    return a->shownIn.index < b->shownIn.index;
  });
  return rows;
}

// What the holder ends up with after the queries: the last of its facts with a value, or,
// with none, the last fact's reason.
detect::TextFact written(const DetectedFigure& row, const detect::Hardware& hardware) {
  detect::TextFact last;
  for (const std::optional<FactRead>& read : row.reads) {
    if (read) overwrite(last, read->read(hardware));
  }
  return last;
}

}  // namespace

std::vector<ControlId> figureControls() {
  std::vector<ControlId> controls;
  for (const DetectedFigure* row : inReadingOrder()) controls.push_back(row->shownIn);
  return controls;
}

std::vector<FigureLine> describeFigures(const Form& form, const detect::Hardware& hardware,
                                        std::span<const FieldId> derived) {
  std::vector<FigureLine> lines;
  lines.reserve(kDetectedFigures.size());
  for (const DetectedFigure* figure : inReadingOrder()) {
    const DetectedFigure& row = *figure;
    FigureLine& line = lines.emplace_back();
    line.heading = row.heading ? form.control(*row.heading).text : form.control(row.shownIn).title;
    line.shownIn = row.shownIn;
    line.shown = shownText(form, row.shownIn);
    if (row.unit) line.unit = form.control(*row.unit).text;
    if (row.derivation.empty()) {
      const detect::TextFact fact = written(row, hardware);
      line.known = fact.value.has_value();
      if (line.known) {
        line.source = sourceName(fact.source);
        line.rated = row.ratedFromFirmware &&
                     (fact.source == detect::Source::Wmi || fact.source == detect::Source::Smbios);
      } else {
        line.why = fact.why;
        line.detail = fact.detail;
      }
    } else {
      line.known = std::find(derived.begin(), derived.end(), row.holder) != derived.end();
      if (line.known) line.source = "derived";
    }
    if (!line.known) {
      line.tooltip = whyUnknown(row, line.why, line.detail);
    } else {
      line.tooltip = line.rated ? kRatedClock : form.control(row.shownIn).tooltip;
    }
  }
  return lines;
}

std::string reportText(const std::vector<FigureLine>& lines) {
  std::string text;
  for (const FigureLine& line : lines) {
    text += line.heading;
    text += ": ";
    if (line.known) {
      text += line.shown;
      if (!line.unit.empty()) (text += ' ') += line.unit;
      ((text += " (") += line.source) += line.rated ? ", rated)" : ")";
    } else {
      text += "unknown";
      if (const std::string reason = reportReason(line); !reason.empty()) {
        ((text += " (") += reason) += ')';
      }
    }
    text += '\n';
  }
  return text;
}

std::string detectionReport(const detect::Hardware& hardware) {
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  return reportText(runDetection(form, hardware));
}

AwaitedReport awaitReport(detect::Detection& detection, std::chrono::milliseconds patience,
                          const std::function<void()>& waiting) {
  if (!detection.waitUntil(std::chrono::steady_clock::now() + patience)) {
    waiting();
    (void)detection.waitUntil(std::chrono::steady_clock::time_point::max());
  }
  const detect::Hardware& hardware = detection.answers();
  AwaitedReport report{detectionReport(hardware), {}};
  for (const detect::PartFault& fault : faults(hardware)) {
    const std::string part(fault.part);
    report.faults.push_back(fault.why == Why::TimedOut
                                ? "no answer about the " + part + " within " + fault.detail
                                : "the hardware service failed for the " + part + ": " +
                                      fault.detail);
  }
  return report;
}

}  // namespace freqsmith
