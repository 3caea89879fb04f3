// The tab's figures as a table: the control each is shown in, the field that holds it, its
// heading and unit, and what the user is told when nothing gave it.
#include "detection_report.h"

#include <array>

#include "hardware_query.h"
#include "main_window_controls.h"

namespace freqsmith::detect {
namespace {

using mainwin::field;
using mainwin::label;

struct FigureRow {
  ControlId shownIn;
  FieldId holder;  // the field whose provenance counts
  // The heading label above the figure; none where the tab's label alone would not say
  // what it is, and then the shown field's title names it.
  std::optional<LabelId> heading;
  std::optional<LabelId> unit;
  // What the system did not report ("its bus clock"), for a figure read from the system;
  // the whole sentence for one worked out from others.
  std::string_view subject;
  std::string_view derivation;
};

constexpr std::array kFigures{
    FigureRow{field("Textmaker"), field("Textmaker"), {}, {}, "processor maker"},
    FigureRow{field("Textcputype"), field("Textcputype"), {}, {}, "processor type"},
    FigureRow{field("textsocket"), field("textsocket"), {}, {}, "processor socket"},
    FigureRow{label("Label51"), field("Textarch"), label("Label74"), label("Label60"), "bus clock"},
    FigureRow{label("Label71"),
              field("Text11"),
              label("Label34"),
              label("Label41"),
              {},
              "The frontside bus is worked out from the system clock, which is unknown."},
    FigureRow{label("Label69"),
              field("Textmultiplier"),
              label("Label75"),
              {},
              {},
              "The multiplier is worked out from the CPU speed and the system clock, and one "
              "of them is unknown or zero."},
    FigureRow{label("labmhz"), field("Textcpuspeed"), label("Label77"), label("Label72"),
              "processor speed"},
    FigureRow{field("Textweb"), field("Textweb"), {}, {}, "mainboard vendor"},
    FigureRow{field("Textproduct"), field("Textproduct"), {}, {}, "mainboard model"},
    FigureRow{field("Textversion"), field("Textversion"), {}, {}, "BIOS version"},
    FigureRow{field("Textl2size"), field("Textl2size"), label("Label18"), label("Label80"),
              "level 2 cache size"},
    FigureRow{field("Textl2speed"),
              field("Textl2speed"),
              label("Label70"),
              label("Label79"),
              {},
              "The cache speed is shown as the CPU speed, which is unknown."},
};

std::string sentence(std::string text) {
  if (!text.empty() && text.back() != '.') text += '.';
  return text;
}

std::string whyUnknown(const FigureRow& row, Gap gap, std::string_view detail) {
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

}  // namespace

std::vector<ControlId> figureControls() {
  std::vector<ControlId> controls;
  for (const FigureRow& row : kFigures) controls.push_back(row.shownIn);
  return controls;
}

std::vector<FigureLine> describeFigures(const Form& form, const Provenance& provenance) {
  std::vector<FigureLine> lines;
  lines.reserve(kFigures.size());
  for (const FigureRow& row : kFigures) {
    FigureLine& line = lines.emplace_back();
    line.heading = row.heading ? form.control(*row.heading).text : form.control(row.shownIn).title;
    line.shownIn = row.shownIn;
    line.shown = shownText(form, row.shownIn);
    if (row.unit) line.unit = form.control(*row.unit).text;
    line.source = provenance.source(row.holder);
    if (line.source) continue;
    if (row.derivation.empty()) {
      line.gap = provenance.gap(row.holder);
      line.detail = provenance.error(row.holder);
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
  AwaitedReport report{detectionReport(service), false};
  report.complete = service.answeredInFull();
  return report;
}

}  // namespace freqsmith::detect
