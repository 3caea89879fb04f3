// SMBIOS structure decoding; no file access, so it can be fed arbitrary bytes.
#include "smbios.h"

#include <algorithm>

namespace freqsmith::detect {
namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::uint8_t kEndOfTable = 127;

// Position of the double NUL that closes the string set starting at `from`, or npos.
std::size_t stringSetEnd(std::span<const std::uint8_t> table, std::size_t from) {
  for (std::size_t i = from; i + 1 < table.size(); ++i) {
    if (table[i] == 0 && table[i + 1] == 0) return i;
  }
  return std::string::npos;
}

std::vector<std::string> splitStrings(std::span<const std::uint8_t> set) {
  std::vector<std::string> strings;
  std::size_t start = 0;
  while (start < set.size()) {
    const auto nul = std::find(set.begin() + static_cast<std::ptrdiff_t>(start), set.end(), 0);
    const auto stop = static_cast<std::size_t>(nul - set.begin());
    strings.emplace_back(reinterpret_cast<const char*>(set.data() + start), stop - start);
    start = stop + 1;
  }
  return strings;
}

}  // namespace

std::vector<SmbiosStructure> parseSmbiosTable(std::span<const std::uint8_t> table,
                                              std::size_t maxStructures) {
  table = table.first(std::min(table.size(), kSmbiosTableCap));
  std::vector<SmbiosStructure> structures;
  std::size_t position = 0;
  while (structures.size() < maxStructures && table.size() - position >= kHeaderSize) {
    const std::uint8_t type = table[position];
    const std::size_t length = table[position + 1];
    if (length < kHeaderSize || length > table.size() - position) break;
    const std::size_t formattedEnd = position + length;
    // A structure without strings still ends in two NULs, so the search starts right after
    // the formatted area and never reaches back into it.
    const std::size_t setEnd = stringSetEnd(table, formattedEnd);
    if (setEnd == std::string::npos) break;

    SmbiosStructure structure;
    structure.type = type;
    structure.handle = static_cast<std::uint16_t>(table[position + 2] | (table[position + 3] << 8));
    structure.formatted.assign(table.begin() + static_cast<std::ptrdiff_t>(position),
                               table.begin() + static_cast<std::ptrdiff_t>(formattedEnd));
    structure.strings = splitStrings(table.subspan(formattedEnd, setEnd - formattedEnd));
    structures.push_back(std::move(structure));

    if (type == kEndOfTable) break;
    position = setEnd + 2;
  }
  return structures;
}

std::optional<std::uint8_t> smbiosByte(const SmbiosStructure& structure, std::size_t offset) {
  if (offset >= structure.formatted.size()) return std::nullopt;
  return structure.formatted[offset];
}

std::optional<std::uint16_t> smbiosWord(const SmbiosStructure& structure, std::size_t offset) {
  if (offset >= structure.formatted.size() || structure.formatted.size() - offset < 2) {
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(structure.formatted[offset] |
                                    (structure.formatted[offset + 1] << 8));
}

std::optional<std::string> smbiosString(const SmbiosStructure& structure, std::uint8_t index) {
  if (index == 0 || index > structure.strings.size()) return std::nullopt;
  return structure.strings[index - 1];
}

std::optional<std::string> smbiosStringAt(const SmbiosStructure& structure, std::size_t offset) {
  const std::optional<std::uint8_t> index = smbiosByte(structure, offset);
  return index ? smbiosString(structure, *index) : std::nullopt;
}

}  // namespace freqsmith::detect
