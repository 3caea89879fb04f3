// Case-insensitive property records.
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

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

RecordInstance::RecordInstance(
    std::initializer_list<std::pair<std::string, PropertyValue>> values) {
  for (const auto& [name, value] : values) set(name, value);
}

void RecordInstance::set(std::string_view name, PropertyValue value) {
  std::string key = lowered(name);
  for (auto& entry : values_) {
    if (entry.first == key) {
      entry.second = std::move(value);
      return;
    }
  }
  values_.emplace_back(std::move(key), std::move(value));
}

std::optional<PropertyValue> RecordInstance::property(std::string_view name) const {
  for (const auto& [key, value] : values_) {
    if (sameName(key, name)) return value;
  }
  return std::nullopt;
}

}  // namespace freqsmith::detect
