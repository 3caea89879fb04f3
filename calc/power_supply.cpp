// Line watts, component watts, the total and the defaults.
#include "power_supply.h"

#include <algorithm>
#include <array>

#include "computation.h"
#include "main_window_controls.h"

namespace freqsmith {
namespace {

using mainwin::box;
using mainwin::field;
using mainwin::kComponentBoxes;
using mainwin::kDeviceLines;

struct LineIds {
  FieldId count, perDevice, result;
};

consteval std::array<LineIds, std::size(kDeviceLines)> lineIds() {
  std::array<LineIds, std::size(kDeviceLines)> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) {
    ids[i] = {field(kDeviceLines[i].count), field(kDeviceLines[i].perDevice),
              field(kDeviceLines[i].result)};
  }
  return ids;
}

struct BoxIds {
  BoxId box;
  FieldId field;
};

consteval std::array<BoxIds, std::size(kComponentBoxes)> boxIds() {
  std::array<BoxIds, std::size(kComponentBoxes)> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) {
    ids[i] = {box(kComponentBoxes[i].box), field(kComponentBoxes[i].field)};
  }
  return ids;
}

constexpr auto kLineIds = lineIds();
constexpr auto kBoxIds = boxIds();

std::size_t indexOf(const mainwin::DeviceLine& line) {
  return static_cast<std::size_t>(&line - kDeviceLines);
}
std::size_t indexOf(const mainwin::ComponentBox& b) {
  return static_cast<std::size_t>(&b - kComponentBoxes);
}

// The summands of the total, in the order they are added. The order decides the last digit
// of the sum, and it follows neither table (lights before fans, the processor and graphics
// classes bottom to top), so it is written out; the check below ties it to the tables.
constexpr std::array kTotalSummands{
    field("Text26"),   field("Text21"),   field("Text27"),   field("Text29"),   field("Text31"),
    field("Text34"),   field("Text24"),   field("Text36"),   field("Text19"),   field("Text58"),
    field("Text9991"), field("Text9992"), field("Text9993"), field("Text9994"), field("Text9995"),
    field("Text9996"), field("Text9997"), field("Text50"),   field("Text51"),   field("Text52"),
    field("Text53"),   field("Text54"),   field("Text55"),   field("Text16"),   field("Text60"),
    field("Text61"),   field("Text62"),   field("Text63"),   field("Text64"),   field("Text65"),
    field("Text66"),
};

// Every line result and every component watt field, each once, and nothing else.
consteval bool addsEveryLineAndComponentOnce() {
  const auto times = [](FieldId field) {
    std::size_t n = 0;
    for (FieldId summand : kTotalSummands) n += summand == field ? 1 : 0;
    return n;
  };
  for (const LineIds& line : kLineIds) {
    if (times(line.result) != 1) return false;
  }
  for (const BoxIds& b : kBoxIds) {
    if (times(b.field) != 1) return false;
  }
  return kTotalSummands.size() == kLineIds.size() + kBoxIds.size();
}
static_assert(addsEveryLineAndComponentOnce(),
              "the total must add each device line and each component exactly once");

// The component watt fields of the processor classes, which "Dual CPU" counts again.
consteval auto processorFields() {
  constexpr auto isProcessor = [](const mainwin::ComponentBox& b) {
    return b.group == mainwin::BoxGroup::CpuClass;
  };
  std::array<FieldId, std::ranges::count_if(kComponentBoxes, isProcessor)> fields{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < kBoxIds.size(); ++i) {
    if (isProcessor(kComponentBoxes[i])) fields[at++] = kBoxIds[i].field;
  }
  return fields;
}

constexpr auto kProcessorFields = processorFields();

}  // namespace

bool lineResult(Form& form, const mainwin::DeviceLine& line) {
  const LineIds& ids = kLineIds[indexOf(line)];
  form.explain(line.resultSentence);
  guardEmpty(form, ids.count, "0");
  guardEmpty(form, ids.perDevice, "0");
  Computation c(form, ids.result);
  const double count = c.read(ids.count);
  const double watts = c.read(ids.perDevice);
  return c.commitOrReport(c.multiply(watts, count));
}

void boxClick(Form& form, const mainwin::ComponentBox& clicked) {
  form.explain(clicked.sentence);
  if (clicked.group == mainwin::BoxGroup::None) return;
  for (std::size_t i = 0; i < std::size(kComponentBoxes); ++i) {
    if (&kComponentBoxes[i] != &clicked && kComponentBoxes[i].group == clicked.group) {
      form.setChecked(kBoxIds[i].box, false);
    }
  }
}

void componentField(Form& form, const mainwin::ComponentBox& b) {
  const BoxIds& ids = kBoxIds[indexOf(b)];
  form.setText(ids.field, form.checked(ids.box) ? b.watts : "0");
}

bool Text16_Click(Form& form) {
  Computation c(form, field("Text16"));
  double sum = 0;
  for (FieldId processor : kProcessorFields) sum = c.add(sum, c.read(processor));
  if (!c.commit(sum)) return false;
  if (!form.checked(box("Check15"))) form.setText(field("Text16"), "0");
  return true;
}

bool Text37_Click(Form& form) {
  form.explain(mainwin::kTotalSentence);
  Computation c(form, field("Text37"));
  double sum = c.read(kTotalSummands.front());
  for (std::size_t i = 1; i < kTotalSummands.size(); ++i)
    sum = c.add(sum, c.read(kTotalSummands[i]));
  return c.commitOrReport(sum);
}

void Command7_Click(Form& form) {
  for (const LineIds& line : kLineIds) form.setText(line.count, "0");
  for (std::size_t i = 0; i < kLineIds.size(); ++i) {
    form.setText(kLineIds[i].perDevice, kDeviceLines[i].defaultWatts);
  }
  form.explain("Wattage defaults loaded");
}

void resetPowerSupply(Form& form) {
  for (const LineIds& line : kLineIds) {
    form.setText(line.count, "0");
    form.setText(line.result, "0");
  }
  for (const BoxIds& b : kBoxIds) form.setText(b.field, "0");
  form.setText(field("Text37"), "0");
  for (const BoxIds& b : kBoxIds) form.setChecked(b.box, false);
}

const mainwin::DeviceLine* lineWithResult(ControlId control) {
  for (std::size_t i = 0; i < kLineIds.size(); ++i) {
    if (kLineIds[i].result == control) return &kDeviceLines[i];
  }
  return nullptr;
}

const mainwin::ComponentBox* componentBox(ControlId control) {
  for (std::size_t i = 0; i < kBoxIds.size(); ++i) {
    if (kBoxIds[i].box == control || kBoxIds[i].field == control) return &kComponentBoxes[i];
  }
  return nullptr;
}

}  // namespace freqsmith
