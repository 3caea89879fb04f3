// The per-field record of sources and gaps.
#include "provenance.h"

namespace freqsmith::detect {

Provenance::Origin& Provenance::at(FieldId field) {
  for (auto& [id, origin] : origins_) {
    if (id == field) return origin;
  }
  return origins_.emplace_back(field, Origin{}).second;
}

const Provenance::Origin* Provenance::find(FieldId field) const {
  for (const auto& [id, origin] : origins_) {
    if (id == field) return &origin;
  }
  return nullptr;
}

void Provenance::found(FieldId field, Source source) {
  at(field).source = source;
}

void Provenance::missing(FieldId field, Gap gap, std::string_view detail) {
  Origin& origin = at(field);
  if (origin.source) return;
  origin.gap = gap;
  origin.detail = detail;
}

std::optional<Source> Provenance::source(FieldId field) const {
  const Origin* origin = find(field);
  return origin ? origin->source : std::nullopt;
}

Gap Provenance::gap(FieldId field) const {
  const Origin* origin = find(field);
  return origin ? origin->gap : Gap::NotReported;
}

std::string_view Provenance::detail(FieldId field) const {
  const Origin* origin = find(field);
  return origin ? std::string_view(origin->detail) : std::string_view();
}

}  // namespace freqsmith::detect
