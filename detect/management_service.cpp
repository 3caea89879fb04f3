// Case-insensitive property records, and the names of the sources.
#include "management_service.h"

#include <algorithm>

namespace freqsmith::detect {
namespace {

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), lower);
  return out;
}

}  // namespace

std::string_view sourceName(Source source) {
  switch (source) {
    case Source::Smbios:
      return "SMBIOS";
    case Source::Cpuid:
      return "CPUID";
    case Source::Sysfs:
      return "sysfs";
    case Source::Cpuinfo:
      return "cpuinfo";
    case Source::Wmi:
      return "WMI";
    case Source::Derived:
      return "derived";
  }
  return "derived";
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

RecordInstance::RecordInstance(std::initializer_list<std::pair<std::string, PropertyValue>> values,
                               Source source) {
  for (const auto& [name, value] : values) set(name, Property{value, source});
}

RecordInstance::Entry& RecordInstance::entry(std::string_view name) {
  for (Entry& existing : entries_) {
    if (sameName(existing.name, name)) return existing;
  }
  return entries_.emplace_back(Entry{lowered(name), std::nullopt, Gap::NotReported});
}

const RecordInstance::Entry* RecordInstance::find(std::string_view name) const {
  for (const Entry& existing : entries_) {
    if (sameName(existing.name, name)) return &existing;
  }
  return nullptr;
}

void RecordInstance::set(std::string_view name, Property property) {
  entry(name).property = std::move(property);
}

void RecordInstance::setGap(std::string_view name, Gap gap) {
  Entry& found = entry(name);
  found.property.reset();
  found.gap = gap;
}

std::optional<Property> RecordInstance::property(std::string_view name) const {
  const Entry* found = find(name);
  return found ? found->property : std::nullopt;
}

Gap RecordInstance::gap(std::string_view name) const {
  const Entry* found = find(name);
  return found ? found->gap : Gap::NotReported;
}

}  // namespace freqsmith::detect
