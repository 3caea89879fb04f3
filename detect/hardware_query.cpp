// The detection sequence, written once against the management service and the form.
#include "hardware_query.h"

#include <algorithm>
#include <array>
#include <string>

#include "detected_figures.h"
#include "figure_table.h"
#include "main_window_controls.h"

namespace freqsmith::detect {
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

std::string asText(const PropertyValue& value) {
  if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
  return std::get<std::string>(value);
}

// What a query of `className` reads into which field, in the order it reads them.
struct PropertyRow {
  std::string_view property;
  FieldId field;
};

std::vector<PropertyRow> propertyRows(std::string_view className) {
  std::vector<PropertyRow> rows;
  for (const DetectedFigure& figure : kDetectedFigures) {
    for (const std::optional<PropertyRead>& read : figure.reads) {
      if (read && read->className == className) rows.push_back({read->property, figure.holder});
    }
  }
  return rows;
}

const QueriedClass& queriedClass(std::string_view className) {
  for (const QueriedClass& queried : startupClasses()) {
    if (queried.className == className) return queried;
  }
  return startupClasses().front();  // every caller names a class of the table
}

void markMissing(const std::vector<PropertyRow>& rows, Provenance* provenance,
                 const ClassFault& fault) {
  if (!provenance) return;
  for (const PropertyRow& row : rows) provenance->missing(row.field, fault.gap, fault.detail);
}

void query(ManagementService& service, std::string_view className, Form& form,
           Provenance* provenance) {
  const std::vector<PropertyRow> rows = propertyRows(className);
  const std::unique_ptr<ServiceConnection> connection = service.connect();
  if (!connection) {
    markMissing(rows, provenance, ClassFault{Gap::ServiceFailed, std::string(kUnreachable)});
    return;
  }
  const QueriedClass& asked = queriedClass(className);
  for (const auto& instance : connection->select(asked.className, asked.properties)) {
    for (const PropertyRow& row : rows) {
      if (const std::optional<Property> found = instance->property(row.property)) {
        form.setText(row.field, asText(found->value));
        if (provenance) provenance->found(row.field, found->source);
      } else if (provenance) {
        provenance->missing(row.field, instance->gap(row.property));
      }
    }
  }
  // What the instances gave stays; the fields they did not fill learn why.
  if (const std::optional<ClassFault> fault = connection->fault(className)) {
    markMissing(rows, provenance, *fault);
  }
}

}  // namespace

const std::vector<QueriedClass>& startupClasses() {
  // The classes in the order of the table's reads, each with its properties in order.
  static const std::vector<QueriedClass> classes = [] {
    std::vector<QueriedClass> result;
    for (const DetectedFigure& figure : kDetectedFigures) {
      for (const std::optional<PropertyRead>& read : figure.reads) {
        if (!read) continue;
        auto known = std::find_if(result.begin(), result.end(), [&read](const QueriedClass& c) {
          return c.className == read->className;
        });
        if (known == result.end()) {
          known = result.insert(result.end(), QueriedClass{std::string(read->className), {}});
        }
        known->properties.emplace_back(read->property);
      }
    }
    return result;
  }();
  return classes;
}

void QueryProcessor(ManagementService& service, Form& form, Provenance* provenance) {
  query(service, kProcessorClass, form, provenance);
}

void QueryBaseBoard(ManagementService& service, Form& form, Provenance* provenance) {
  query(service, kBaseBoardClass, form, provenance);
}

void QueryBios(ManagementService& service, Form& form, Provenance* provenance) {
  query(service, kBiosClass, form, provenance);
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

Provenance runDetection(ManagementService& service, Form& form) {
  Provenance provenance;
  QueryProcessor(service, form, &provenance);
  QueryBaseBoard(service, form, &provenance);
  QueryBios(service, form, &provenance);
  if (deriveMultiplier(form)) provenance.found(field("Textmultiplier"), Source::Derived);
  Image3_Click(form);
  if (Text11_Click(form)) provenance.found(field("Text11"), Source::Derived);
  copyDisplayValues(form);
  if (provenance.source(field("Textcpuspeed"))) {
    provenance.found(field("Textl2speed"), Source::Derived);
  }
  return provenance;
}

}  // namespace freqsmith::detect
