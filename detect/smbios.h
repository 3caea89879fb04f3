// Decoding the raw SMBIOS table (the firmware's DMI structures) with every read bounds-checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace freqsmith::detect {

struct SmbiosStructure {
  std::uint8_t type = 0;
  std::uint16_t handle = 0;
  // The whole formatted area, header included, so field offsets are those of the layouts.
  std::vector<std::uint8_t> formatted;
  std::vector<std::string> strings;  // string number 1 is strings[0]
};

// Real tables are a few KB; a bigger input is cut here before decoding.
inline constexpr std::size_t kSmbiosTableCap = std::size_t{1} << 20;
// Servers list a few hundred structures; the bound keeps junk from costing memory and time.
inline constexpr std::size_t kSmbiosStructureCap = 4096;

// The structures in table order, up to and including the end-of-table one (type 127).
// Decoding stops at the first structure that is cut short or whose length is below the
// 4-byte header, keeping those before it.
std::vector<SmbiosStructure> parseSmbiosTable(std::span<const std::uint8_t> table,
                                              std::size_t maxStructures = kSmbiosStructureCap);

// Fields of the formatted area, little-endian; nullopt past its end.
[[nodiscard]] std::optional<std::uint8_t> smbiosByte(const SmbiosStructure& structure,
                                                     std::size_t offset);
[[nodiscard]] std::optional<std::uint16_t> smbiosWord(const SmbiosStructure& structure,
                                                      std::size_t offset);

// String number `index`; nullopt for 0 (no string) or a number past the string set.
[[nodiscard]] std::optional<std::string> smbiosString(const SmbiosStructure& structure,
                                                      std::uint8_t index);
// The string whose number is the byte at `offset`.
[[nodiscard]] std::optional<std::string> smbiosStringAt(const SmbiosStructure& structure,
                                                        std::size_t offset);

}  // namespace freqsmith::detect
