// The tab's figures described from the figure table, in the tab's reading order, with what
// the user is told when nothing gave one.
#include "detection_report.h"

#include <algorithm>

#include "figure_table.h"
#include "hardware_query.h"
#include "main_window_controls.h"

namespace freqsmith::detect {
namespace {

std::string sentence(std::string text) {
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

std::string whyUnknown(const DetectedFigure& row, Gap gap, std::string_view detail) {
  if (!row.derivation.empty()) return std::string(row.derivation);
  const std::string subject(row.subject);
  switch (gap) {
    case Gap::NotReported:
      break;
    case Gap::AdministratorOnly:
      return "This system does not tell ordinary users its " + subject + ".";
    case Gap::TimedOut:
      return "This system did not report its " + subject + " within " + std::string(detail) + ".";
    case Gap::ServiceFailed:
      return sentence("This system's hardware service failed before it reported its " + subject +
                      ": " + std::string(detail));
  }
  return "This system does not report its " + subject + ".";
}

// The reason a report line gives after "unknown"; empty where the system simply lacks it.
std::string reportReason(const FigureLine& line) {
  switch (line.gap) {
    case Gap::NotReported:
      break;
    case Gap::AdministratorOnly:
      return "administrator only";
    case Gap::TimedOut:
      return "timed out after " + line.detail;
    case Gap::ServiceFailed:
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
  for (const DetectedFigure& figure : kDetectedFigures) rows.push_back(&figure);
  std::sort(rows.begin(), rows.end(), [](const DetectedFigure* a, const DetectedFigure* b) {
    return a->shownIn.index < b->shownIn.index;
  });
  return rows;
}

}  // namespace

std::vector<ControlId> figureControls() {
  std::vector<ControlId> controls;
  for (const DetectedFigure* row : inReadingOrder()) controls.push_back(row->shownIn);
  return controls;
}

std::vector<FigureLine> describeFigures(const Form& form, const Provenance& provenance) {
  std::vector<FigureLine> lines;
  lines.reserve(kDetectedFigures.size());
  for (const DetectedFigure* figure : inReadingOrder()) {
    const DetectedFigure& row = *figure;
    FigureLine& line = lines.emplace_back();
    line.heading = row.heading ? form.control(*row.heading).text : form.control(row.shownIn).title;
    line.shownIn = row.shownIn;
    line.shown = shownText(form, row.shownIn);
    if (row.unit) line.unit = form.control(*row.unit).text;
    line.source = provenance.source(row.holder);
    if (line.source) continue;
    if (row.derivation.empty()) {
      line.gap = provenance.gap(row.holder);
      line.detail = provenance.detail(row.holder);
    }
    line.whyUnknown = whyUnknown(row, line.gap, line.detail);
  }
  return lines;
}

std::string reportText(const std::vector<FigureLine>& lines) {
  std::string text;
  for (const FigureLine& line : lines) {
    text += line.heading;
    text += ": ";
    if (line.source) {
      text += line.shown;
      if (!line.unit.empty()) (text += ' ') += line.unit;
      ((text += " (") += sourceName(*line.source)) += ')';
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

std::string detectionReport(ManagementService& service) {
  MemoryForm form(mainwin::kControls, mainwin::kExplanationLine);
  const Provenance provenance = runDetection(service, form);
  return reportText(describeFigures(form, provenance));
}

AwaitedReport awaitReport(DeadlineService& service, std::chrono::milliseconds patience,
                          const std::function<void()>& waiting) {
  if (!service.waitUntil(std::chrono::steady_clock::now() + patience)) waiting();
  AwaitedReport report{detectionReport(service), service.answeredInFull(), {}};
  for (const auto& [className, fault] : service.faults()) {
    report.faults.push_back(className + (fault.gap == Gap::TimedOut
                                             ? ": no answer within " + fault.detail
                                             : ": the service failed: " + fault.detail));
  }
  return report;
}

}  // namespace freqsmith::detect
