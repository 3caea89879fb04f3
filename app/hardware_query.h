// The start-up detection sequence on the main window's fields: the processor, mainboard and
// BIOS queries, which write the detection's answer, the derived multiplier and front-side
// bus, the vendor logo and the display copy.
#pragma once

#include <vector>

#include "detection_report.h"
#include "facts.h"
#include "form.h"

namespace freqsmith {

// Each query writes the facts of its part that have a value into their fields, cut to the
// fields' lengths; a field whose fact has none keeps its text.
void QueryProcessor(Form& form, const detect::Hardware& hardware);
void QueryBaseBoard(Form& form, const detect::Hardware& hardware);
void QueryBios(Form& form, const detect::Hardware& hardware);

// Image3_Click: Image3 takes the logo of the maker named exactly in Textmaker.
void Image3_Click(Form& form);

// The display labels and the cache speed from the holders.
void copyDisplayValues(Form& form);

// The queries, the derived multiplier, the logo, the derived bus and the display copy, in
// the start-up order; gives the tab's figures as they then stand, in reading order.
std::vector<FigureLine> runDetection(Form& form, const detect::Hardware& hardware);

}  // namespace freqsmith
