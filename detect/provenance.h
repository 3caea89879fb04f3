// Where each detection field's text came from, or why it kept its design text: what the
// detection sequence learnt besides the texts, for the tooltips and the report.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "controls.h"
#include "management_service.h"

namespace freqsmith::detect {

class Provenance {
 public:
  // The field's text came from `source`; a later write overrides an earlier one, as the
  // text does.
  void found(FieldId field, Source source);
  // The field was asked for and not given; heard only while nothing has been found for it.
  // `detail` says more where the gap has more to say (see ClassFault).
  void missing(FieldId field, Gap gap, std::string_view detail = {});

  // nullopt while the field keeps its design text.
  std::optional<Source> source(FieldId field) const;
  Gap gap(FieldId field) const;
  std::string_view detail(FieldId field) const;

 private:
  struct Origin {
    std::optional<Source> source;
    Gap gap = Gap::NotReported;
    std::string detail;
  };
  Origin& at(FieldId field);
  const Origin* find(FieldId field) const;

  std::vector<std::pair<FieldId, Origin>> origins_;  // a dozen fields: a list is quickest
};

}  // namespace freqsmith::detect
