// The detection sequence, written once against the detection's answer and the form.
#include "hardware_query.h"

#include <array>
#include <string_view>

#include "detected_figures.h"
#include "figure_table.h"
#include "main_window_controls.h"

namespace freqsmith {
namespace {

using mainwin::field;
using mainwin::label;
using mainwin::picture;

struct LogoRow {
  std::string_view maker;
  PictureId logo;
};

constexpr std::array kLogos{
    LogoRow{"AuthenticAMD", picture("amd")},
    LogoRow{"GenuineIntel", picture("intel")},
    LogoRow{"CyrixInstead", picture("cyrix")},
};

void query(HardwarePart part, Form& form, const detect::Hardware& hardware) {
  for (const DetectedFigure& figure : kDetectedFigures) {
    for (const std::optional<FactRead>& read : figure.reads) {
      if (!read || read->part != part) continue;
      if (const detect::TextFact fact = read->read(hardware); fact.value) {
        form.setText(figure.holder, *fact.value);
      }
    }
  }
}

}  // namespace

void QueryProcessor(Form& form, const detect::Hardware& hardware) {
  query(HardwarePart::Processor, form, hardware);
}

void QueryBaseBoard(Form& form, const detect::Hardware& hardware) {
  query(HardwarePart::Board, form, hardware);
}

void QueryBios(Form& form, const detect::Hardware& hardware) {
  query(HardwarePart::Bios, form, hardware);
}

void Image3_Click(Form& form) {
  const std::string maker = form.text(field("Textmaker"));
  for (const LogoRow& row : kLogos) {
    if (maker == row.maker) form.showPicture(picture("Image3"), row.logo);
  }
}

void copyDisplayValues(Form& form) {
  // The large labels show their holders' texts.
  for (const DetectedFigure& figure : kDetectedFigures) {
    if (figure.shownIn != figure.holder) {
      form.setCaption(LabelId{figure.shownIn}, form.text(figure.holder));
    }
  }
  // The cache speed is shown as the CPU speed, whatever that holds.
  form.setText(field("Textl2speed"), form.caption(label("labmhz")));
}

std::vector<FigureLine> runDetection(Form& form, const detect::Hardware& hardware) {
  QueryProcessor(form, hardware);
  QueryBaseBoard(form, hardware);
  QueryBios(form, hardware);
  std::vector<FieldId> derived;
  if (deriveMultiplier(form)) derived.push_back(field("Textmultiplier"));
  Image3_Click(form);
  if (Text11_Click(form)) derived.push_back(field("Text11"));
  copyDisplayValues(form);
  if (hardware.processor.speedMhz.value) derived.push_back(field("Textl2speed"));
  return describeFigures(form, hardware, derived);
}

}  // namespace freqsmith
