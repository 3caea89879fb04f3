// The start-up detection sequence: the processor, mainboard and BIOS queries, the derived
// multiplier and front-side bus, the vendor logo and the display copy, all written into
// the main window's fields through the field-access interface.
#pragma once

#include <string>
#include <vector>

#include "form.h"
#include "management_service.h"
#include "provenance.h"

namespace freqsmith::detect {

// A class the queries read and the properties they ask of each of its instances.
struct QueriedClass {
  std::string className;
  std::vector<std::string> properties;
};

// What runDetection reads, class by class in the order of its queries.
const std::vector<QueriedClass>& startupClasses();

// Each query opens its own connection. Every instance of the class overwrites what the
// previous one wrote; a property the service cannot supply is skipped and its field keeps
// its text; a class without instances, or an unreachable service, writes nothing. Where
// each written text came from, and why a skipped one is missing, goes to `provenance`.
void QueryProcessor(ManagementService& service, Form& form, Provenance* provenance = nullptr);
void QueryBaseBoard(ManagementService& service, Form& form, Provenance* provenance = nullptr);
void QueryBios(ManagementService& service, Form& form, Provenance* provenance = nullptr);

// Image3_Click: Image3 takes the logo of the maker named exactly in Textmaker.
void Image3_Click(Form& form);

// The display labels and the cache speed from the holders.
void copyDisplayValues(Form& form);

// The queries, the derived multiplier, the logo, the derived bus and the display copy, in
// the start-up order; gives where each detection field's text came from.
Provenance runDetection(ManagementService& service, Form& form);

}  // namespace freqsmith::detect
