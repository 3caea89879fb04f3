// Line watts, component watts, the total and the defaults.
#include "power_supply.h"

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

// The summands of the total, in the order they are added.
constexpr std::array kTotalSummands{
    field("Text26"),   field("Text21"),   field("Text27"),   field("Text29"),   field("Text31"),
    field("Text34"),   field("Text24"),   field("Text36"),   field("Text19"),   field("Text58"),
    field("Text9991"), field("Text9992"), field("Text9993"), field("Text9994"), field("Text9995"),
    field("Text9996"), field("Text9997"), field("Text50"),   field("Text51"),   field("Text52"),
    field("Text53"),   field("Text54"),   field("Text55"),   field("Text16"),   field("Text60"),
    field("Text61"),   field("Text62"),   field("Text63"),   field("Text64"),   field("Text65"),
    field("Text66"),
};

constexpr std::array kProcessorFields{field("Text50"), field("Text51"), field("Text52"),
                                      field("Text53"), field("Text54"), field("Text55")};

constexpr std::array kDefaultCounts{
    field("Text22"), field("Text25"), field("Text28"), field("Text30"), field("Text32"),
    field("Text33"), field("Text23"), field("Text18"), field("Text57"), field("Text35")};

constexpr std::array kDefaultWatts{
    field("Text59"), field("Text20"), field("Text38"), field("Text39"), field("Text40"),
    field("Text41"), field("Text42"), field("Text43"), field("Text44"), field("Text45")};

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
  for (FieldId count : kDefaultCounts) form.setText(count, "0");
  // The defaults are the fields' design texts.
  for (FieldId watts : kDefaultWatts) form.setText(watts, form.control(watts).text);
  form.explain("Wattage defaults loaded");
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
