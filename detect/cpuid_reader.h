// The processor's CPUID answers behind a small interface, so that tests and recorded
// machines can supply them, and the bus clock read from them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "facts.h"

namespace freqsmith::detect {

struct CpuidRegisters {
  std::uint32_t eax = 0;
  std::uint32_t ebx = 0;
  std::uint32_t ecx = 0;
  std::uint32_t edx = 0;
  friend bool operator==(const CpuidRegisters&, const CpuidRegisters&) = default;
};

class CpuidReader {
 public:
  virtual ~CpuidReader() = default;
  // Basic leaf `leaf` (sub-leaf 0). nullopt above the highest basic leaf that leaf 0
  // gives, since some processors answer such a leaf with another leaf's data, and on a
  // processor without the instruction.
  [[nodiscard]] virtual std::optional<CpuidRegisters> basicLeaf(std::uint32_t leaf) const = 0;
};

// The processor running this program. On x86 it asks through the compiler's intrinsics
// (GCC's and clang's bounds-checked one, MSVC's after reading the highest leaf); elsewhere
// every leaf is nullopt.
std::shared_ptr<const CpuidReader> thisProcessor();

// Answers written down beforehand: a recorded machine, a test, a fuzz input.
class RecordedCpuid final : public CpuidReader {
 public:
  explicit RecordedCpuid(std::vector<std::pair<std::uint32_t, CpuidRegisters>> leaves)
      : leaves_(std::move(leaves)) {}

  // One leaf a line, five hexadecimal numbers: leaf, EAX, EBX, ECX, EDX, with or without
  // "0x". Blank lines and lines starting with '#' are skipped; nullopt when another line
  // does not read so.
  [[nodiscard]] static std::optional<RecordedCpuid> parse(std::string_view text);

  std::optional<CpuidRegisters> basicLeaf(std::uint32_t leaf) const override;

 private:
  std::optional<CpuidRegisters> recorded(std::uint32_t leaf) const;

  std::vector<std::pair<std::uint32_t, CpuidRegisters>> leaves_;  // the first of a leaf counts
};

// The leaf that gives the processor's base, maximum and bus (reference) clocks.
inline constexpr std::uint32_t kFrequencyLeaf = 0x16;

// The bus clock in MHz from leaf 0x16, ECX bits 15..0; nullopt when the processor has no
// such leaf or gives 0 there. Nothing else is taken for it: a model table, leaf 0x15's
// crystal or a hypervisor's leaves would be guesses.
[[nodiscard]] std::optional<std::int64_t> cpuidBusMhz(const CpuidReader& cpuid);

// The processor's clocks as detection gives them, whichever platform read them: 0, which
// firmware and virtual machines write for a clock they do not know, is none; and a bus clock
// that none gave is leaf 0x16's from `cpuid`, when that is given and the processor answers.
void settleClocks(Processor& processor, const CpuidReader* cpuid);

}  // namespace freqsmith::detect
