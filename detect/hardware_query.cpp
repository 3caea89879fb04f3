// The detection sequence, written once against the management service and the form.
#include "hardware_query.h"

#include <array>
#include <string>

#include "detected_figures.h"
#include "main_window_controls.h"

namespace freqsmith::detect {
namespace {

using mainwin::field;
using mainwin::label;
using mainwin::picture;

struct PropertyRow {
  std::string_view property;  // as the program names it; the service ignores case
  FieldId field;
};

constexpr std::string_view kProcessorClass = "Win32_Processor";
constexpr std::string_view kBaseBoardClass = "Win32_BaseBoard";
constexpr std::string_view kBiosClass = "Win32_BIOS";

constexpr std::array kProcessorProperties{
    PropertyRow{"manufacturer", field("Textmaker")},
    PropertyRow{"extclock", field("Textarch")},
    PropertyRow{"CurrentClockSpeed", field("Textcpuspeed")},
    PropertyRow{"L2CacheSize", field("Textl2size")},
    PropertyRow{"Name", field("Textcputype")},
    PropertyRow{"socketdesignation", field("textsocket")},
};
constexpr std::array kBaseBoardProperties{
    PropertyRow{"manufacturer", field("Textweb")},
    PropertyRow{"product", field("Textproduct")},
    PropertyRow{"Version", field("Textversion")},
};
constexpr std::array kBiosProperties{
    PropertyRow{"Version", field("Textversion")},
};

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

template <std::size_t N>
QueriedClass queried(std::string_view className, const std::array<PropertyRow, N>& rows) {
  QueriedClass result{std::string(className), {}};
  for (const PropertyRow& row : rows) result.properties.emplace_back(row.property);
  return result;
}

template <std::size_t N>
void markMissing(const std::array<PropertyRow, N>& rows, Provenance* provenance,
                 const ClassFault& fault) {
  if (!provenance) return;
  for (const PropertyRow& row : rows) provenance->missing(row.field, fault.gap, fault.error);
}

// The position of each class in startupClasses().
enum ClassIndex : std::size_t { kProcessor, kBaseBoard, kBios };

template <std::size_t N>
void query(ManagementService& service, ClassIndex index, const std::array<PropertyRow, N>& rows,
           Form& form, Provenance* provenance) {
  const QueriedClass& asked = startupClasses()[index];
  const std::unique_ptr<ServiceConnection> connection = service.connect();
  if (!connection) {
    markMissing(rows, provenance, ClassFault{Gap::ServiceFailed, std::string(kUnreachable)});
    return;
  }
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
  if (const std::optional<ClassFault> fault = connection->fault(asked.className)) {
    markMissing(rows, provenance, *fault);
  }
}

}  // namespace

const std::vector<QueriedClass>& startupClasses() {
  static const std::vector<QueriedClass> classes{
      queried(kProcessorClass, kProcessorProperties),
      queried(kBaseBoardClass, kBaseBoardProperties),
      queried(kBiosClass, kBiosProperties),
  };
  return classes;
}

void QueryProcessor(ManagementService& service, Form& form, Provenance* provenance) {
  query(service, kProcessor, kProcessorProperties, form, provenance);
}

void QueryBaseBoard(ManagementService& service, Form& form, Provenance* provenance) {
  query(service, kBaseBoard, kBaseBoardProperties, form, provenance);
}

void QueryBios(ManagementService& service, Form& form, Provenance* provenance) {
  query(service, kBios, kBiosProperties, form, provenance);
}

void Image3_Click(Form& form) {
  const std::string maker = form.text(field("Textmaker"));
  for (const LogoRow& row : kLogos) {
    if (maker == row.maker) form.showPicture(picture("Image3"), row.logo);
  }
}

void copyDisplayValues(Form& form) {
  form.setCaption(label("labmhz"), form.text(field("Textcpuspeed")));
  form.setCaption(label("Label51"), form.text(field("Textarch")));
  form.setCaption(label("Label71"), form.text(field("Text11")));
  form.setCaption(label("Label69"), form.text(field("Textmultiplier")));
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
  // The cache speed is shown as the CPU clock, whatever that holds.
  if (provenance.source(field("Textcpuspeed"))) {
    provenance.found(field("Textl2speed"), Source::Derived);
  }
  return provenance;
}

}  // namespace freqsmith::detect
