// Building a SELECT statement from names checked to be identifiers.
#include "wql.h"

namespace freqsmith::detect {
namespace {

bool isIdentifier(std::string_view name) {
  if (name.empty() || (name.front() >= '0' && name.front() <= '9')) return false;
  for (const char c : name) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !(c >= '0' && c <= '9') && c != '_') return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> selectStatement(std::string_view className,
                                           std::span<const std::string> properties) {
  if (!isIdentifier(className)) return std::nullopt;
  std::string statement = "SELECT ";
  if (properties.empty()) statement += '*';
  for (std::size_t i = 0; i < properties.size(); ++i) {
    if (!isIdentifier(properties[i])) return std::nullopt;
    if (i > 0) statement += ", ";
    statement += properties[i];
  }
  return statement + " FROM " + std::string(className);
}

}  // namespace freqsmith::detect
