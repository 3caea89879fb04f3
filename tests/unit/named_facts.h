// The facts of a detection answer by short names, as the Linux tests' rows give them, each
// described with its source: "\"GenuineIntel\" (cpuinfo)", "3600 (sysfs)", "absent".
#pragma once

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "facts.h"

namespace freqsmith::testing {

template <class T>
std::string describe(const detect::Fact<T>& fact) {
  if (!fact.value) return "absent";
  const std::string source = " (" + std::string(sourceName(fact.source)) + ")";
  if constexpr (std::is_same_v<T, std::string>) {
    return '"' + *fact.value + '"' + source;
  } else {
    return std::to_string(*fact.value) + source;
  }
}

struct NamedFact {
  std::string_view name;
  std::string (*describe)(const detect::Hardware&);
};

inline constexpr NamedFact kNamedFacts[] = {
    {"maker", [](const detect::Hardware& h) { return describe(h.processor.maker); }},
    {"name", [](const detect::Hardware& h) { return describe(h.processor.name); }},
    {"speed", [](const detect::Hardware& h) { return describe(h.processor.speedMhz); }},
    {"bus", [](const detect::Hardware& h) { return describe(h.processor.busMhz); }},
    {"L2", [](const detect::Hardware& h) { return describe(h.processor.level2Kb); }},
    {"socket", [](const detect::Hardware& h) { return describe(h.processor.socket); }},
    {"board maker", [](const detect::Hardware& h) { return describe(h.board.maker); }},
    {"board product", [](const detect::Hardware& h) { return describe(h.board.product); }},
    {"board version", [](const detect::Hardware& h) { return describe(h.board.version); }},
    {"BIOS version", [](const detect::Hardware& h) { return describe(h.bios.version); }},
};

// The fact named `name` of `hardware`, described.
inline std::string describeFact(const detect::Hardware& hardware, std::string_view name) {
  const auto* named = std::find_if(std::begin(kNamedFacts), std::end(kNamedFacts),
                                   [&](const NamedFact& f) { return f.name == name; });
  if (named == std::end(kNamedFacts)) throw std::invalid_argument(std::string(name));
  return named->describe(hardware);
}

}  // namespace freqsmith::testing
