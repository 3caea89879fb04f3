// Reading CPUID answers from this processor or from a recording, and the bus clock in them.
#include "cpuid_reader.h"

#include <algorithm>
#include <charconv>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#define FREQSMITH_GNU_CPUID 1
#elif defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <intrin.h>
#define FREQSMITH_MSVC_CPUID 1
#endif

namespace freqsmith::detect {
namespace {

class ProcessorCpuid final : public CpuidReader {
 public:
  std::optional<CpuidRegisters> basicLeaf([[maybe_unused]] std::uint32_t leaf) const override {
#if defined(FREQSMITH_GNU_CPUID)
    CpuidRegisters r;
    // Compares the leaf with the highest one the processor reports first, and sets ECX to
    // the sub-leaf, which leaves with sub-leaves read differently without it.
    if (__get_cpuid_count(leaf, 0, &r.eax, &r.ebx, &r.ecx, &r.edx) == 0) return std::nullopt;
    return r;
#elif defined(FREQSMITH_MSVC_CPUID)
    int words[4] = {};
    __cpuid(words, 0);
    if (leaf > static_cast<std::uint32_t>(words[0])) return std::nullopt;
    __cpuidex(words, static_cast<int>(leaf), 0);
    return CpuidRegisters{
        static_cast<std::uint32_t>(words[0]), static_cast<std::uint32_t>(words[1]),
        static_cast<std::uint32_t>(words[2]), static_cast<std::uint32_t>(words[3])};
#else
    return std::nullopt;
#endif
  }
};

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The next blank-separated word of `line`, removed from it.
std::string_view nextWord(std::string_view& line) {
  line = trimmed(line);
  const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
  const std::string_view word = line.substr(0, end);
  line.remove_prefix(end);
  return word;
}

std::optional<std::uint32_t> hexWord(std::string_view word) {
  if (word.starts_with("0x") || word.starts_with("0X")) word.remove_prefix(2);
  if (word.empty()) return std::nullopt;
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
  if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
  return value;
}

}  // namespace

std::shared_ptr<const CpuidReader> thisProcessor() {
  static const auto processor = std::make_shared<const ProcessorCpuid>();
  return processor;
}

std::optional<RecordedCpuid> RecordedCpuid::parse(std::string_view text) {
  std::vector<std::pair<std::uint32_t, CpuidRegisters>> leaves;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line.front() == '#') continue;
    std::uint32_t words[5] = {};
    for (std::uint32_t& word : words) {
      const std::optional<std::uint32_t> value = hexWord(nextWord(line));
      if (!value) return std::nullopt;
      word = *value;
    }
    if (!trimmed(line).empty()) return std::nullopt;
    leaves.emplace_back(words[0], CpuidRegisters{words[1], words[2], words[3], words[4]});
  }
  return RecordedCpuid(std::move(leaves));
}

std::optional<CpuidRegisters> RecordedCpuid::recorded(std::uint32_t leaf) const {
  for (const auto& [number, registers] : leaves_) {
    if (number == leaf) return registers;
  }
  return std::nullopt;
}

std::optional<CpuidRegisters> RecordedCpuid::basicLeaf(std::uint32_t leaf) const {
  const std::optional<CpuidRegisters> highest = recorded(0);
  if (!highest || leaf > highest->eax) return std::nullopt;
  return recorded(leaf);
}

std::optional<std::int64_t> cpuidBusMhz(const CpuidReader& cpuid) {
  // The reader answers only leaves up to the highest; in a virtual machine every question
  // costs a trip to the hypervisor, so leaf 0 is not asked again here.
  const std::optional<CpuidRegisters> frequencies = cpuid.basicLeaf(kFrequencyLeaf);
  if (!frequencies) return std::nullopt;
  const std::uint32_t busMhz = frequencies->ecx & 0xFFFF;
  if (busMhz == 0) return std::nullopt;
  return busMhz;
}

void settleClocks(Processor& processor, const CpuidReader* cpuid) {
  for (NumberFact* clock : {&processor.busMhz, &processor.speedMhz}) {
    if (clock->value == 0) *clock = {};
  }
  NumberFact& bus = processor.busMhz;
  if (bus.value || !cpuid) return;
  if (const std::optional<std::int64_t> mhz = cpuidBusMhz(*cpuid)) bus = {mhz, Source::Cpuid};
}

}  // namespace freqsmith::detect
