// Runtime lookup of controls by name.
#include "controls.h"

namespace freqsmith {

int indexOfControl(std::span<const Control> table, std::string_view name) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace freqsmith
