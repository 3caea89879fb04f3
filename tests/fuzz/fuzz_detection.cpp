// Fuzz target for the Linux backend's parsers and the CPUID answers. The first byte picks
// what the rest is: '0' (0 modulo 4) cpuinfo text, '1' the contents of one-value sysfs
// files, '2' an SMBIOS table, '3' CPUID answers, as recorded text and as raw registers;
// any other byte picks by its value modulo 4.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cpuid_reader.h"
#include "cpuinfo.h"
#include "file_text.h"
#include "fuzz_check.h"
#include "smbios.h"
#include "sysfs_cpu.h"

namespace {

using namespace freqsmith::detect;
using freqsmith::fuzz::require;

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Tab is the only control character a shown value may hold.
bool isCleanValue(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7f;
  });
}

bool isTrimmed(std::string_view text) {
  return text.empty() || (!isBlank(text.front()) && !isBlank(text.back()));
}

void checkFields(const CpuinfoFields& fields, std::string_view text) {
  for (const auto& [key, value] : fields) {
    require(!key.empty(), "cpuinfo keys are not empty", text);
    require(isCleanValue(key) && isCleanValue(value), "no control characters in cpuinfo", key);
    require(isTrimmed(key) && isTrimmed(value), "cpuinfo keys and values are trimmed", key);
  }
}

void fuzzCpuinfo(std::string_view text) {
  const Cpuinfo info = parseCpuinfo(text);
  checkFields(info.shared, text);
  require(info.cpus.size() <= kMaxCpus, "the CPU count is bounded", text);
  for (const LogicalCpu& cpu : info.cpus) {
    require(cpu.number >= 0 && cpu.number <= (1 << 20), "CPU numbers are bounded", text);
    checkFields(cpu.fields, text);
  }

  // Half the CPUs are known to sysfs, under an id taken from their number.
  const std::vector<CpuPackage> packages =
      groupPackages(info, [](int cpu) -> std::optional<std::int64_t> {
        if (cpu % 2 != 0) return std::nullopt;
        return cpu % 5;
      });
  std::vector<int> seen(info.cpus.size(), 0);
  for (std::size_t n = 0; n < packages.size(); ++n) {
    require(!packages[n].cpus.empty(), "no package is empty", text);
    require(n == 0 || packages[n - 1].id < packages[n].id, "packages ascend by id", text);
    for (const std::size_t i : packages[n].cpus) {
      require(i < info.cpus.size(), "package members are CPUs", text);
      ++seen[i];
    }
    for (const char* key : {"vendor_id", "model name", "Processor", "Hardware", "cpu MHz"}) {
      const std::optional<std::string_view> value = packageField(info, packages[n], key);
      if (!value) continue;
      require(!value->empty(), "a package field is not empty", text);
      if (const std::optional<std::int64_t> mhz = parseMhz(*value)) {
        require(*mhz >= 1 && *mhz <= 1'000'000, "cpu MHz is a plausible clock", *value);
      }
    }
  }
  require(std::all_of(seen.begin(), seen.end(), [](int count) { return count == 1; }),
          "every CPU is in exactly one package", text);
}

void checkValue(std::string_view text) {
  if (const std::optional<std::string> clean = cleanText(text)) {
    require(!clean->empty(), "a clean value is not empty", text);
    require(isCleanValue(*clean) && isTrimmed(*clean), "a clean value is clean and trimmed", text);
    require(text.find(*clean) != std::string_view::npos, "a clean value comes from the text", text);
  }
  if (const std::optional<std::int64_t> number = parseInteger(text)) {
    require(parseInteger(std::to_string(*number)) == number, "an integer reads back", text);
    if (const std::optional<std::int64_t> mhz = khzToMhz(*number)) {
      require(*mhz >= 1 && *mhz <= 1'000'000, "kHz gives a plausible clock", text);
    }
  }
  if (const std::optional<std::int64_t> kb = parseCacheSizeKb(text)) {
    require(*kb > 0 && *kb <= (std::int64_t{1} << 50), "a cache size is bounded", text);
  }
  if (const std::optional<std::vector<int>> cpus = parseCpuList(text)) {
    require(!cpus->empty() && cpus->size() <= (1 << 16), "a CPU list is bounded", text);
    require(std::all_of(cpus->begin(), cpus->end(), [](int cpu) { return cpu >= 0; }),
            "listed CPUs are not negative", text);
  }
  if (const std::optional<std::int64_t> mhz = parseMhz(text)) {
    require(*mhz >= 1 && *mhz <= 1'000'000, "cpu MHz is a plausible clock", text);
  }
}

// Each line as a file of its own, and the whole text as one file.
void fuzzValueFiles(std::string_view text) {
  checkValue(text);
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    checkValue(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
}

void fuzzSmbios(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::vector<SmbiosStructure> table = parseSmbiosTable(bytes);
  require(table.size() <= kSmbiosStructureCap, "the structure count is bounded", text);
  std::size_t consumed = 0;
  for (std::size_t n = 0; n < table.size(); ++n) {
    const SmbiosStructure& structure = table[n];
    const std::vector<std::uint8_t>& formatted = structure.formatted;
    require(formatted.size() >= 4, "a structure holds its header", text);
    require(formatted[0] == structure.type && formatted[1] == formatted.size(),
            "type and length are the header's", text);
    require(structure.handle == (formatted[2] | (formatted[3] << 8)), "the handle is the header's",
            text);
    require(structure.type != 127 || n + 1 == table.size(), "nothing follows the end of table",
            text);
    consumed += formatted.size() + 2;
    for (const std::string& string : structure.strings) {
      require(string.find('\0') == std::string::npos, "strings hold no NUL", text);
      consumed += string.size() + 1;
    }
    // Every accessor at every offset, and just past the end.
    for (std::size_t offset = 0; offset < formatted.size() + 3; ++offset) {
      require(smbiosByte(structure, offset).has_value() == (offset < formatted.size()),
              "bytes exist inside the formatted area only", text);
      require(smbiosWord(structure, offset).has_value() == (offset + 1 < formatted.size()),
              "words exist inside the formatted area only", text);
      if (const std::optional<std::string> string = smbiosStringAt(structure, offset)) {
        if (const std::optional<std::string> clean = cleanText(*string)) {
          require(isCleanValue(*clean), "a cleaned SMBIOS string is clean", *string);
        }
      }
    }
    for (std::size_t index = 0; index <= structure.strings.size() + 1 && index < 256; ++index) {
      const bool exists = index >= 1 && index <= structure.strings.size();
      require(smbiosString(structure, static_cast<std::uint8_t>(index)).has_value() == exists,
              "string numbers count from 1", text);
    }
  }
  require(consumed <= bytes.size() + table.size(), "structures come from the table's bytes", text);
}

// What the bus clock must be for answers whose first leaf 0 and first leaf 0x16 are these.
std::optional<std::int64_t> expectedBus(const std::optional<CpuidRegisters>& leaf0,
                                        const std::optional<CpuidRegisters>& leaf16) {
  if (!leaf0 || leaf0->eax < kFrequencyLeaf || !leaf16) return std::nullopt;
  const std::uint32_t bus = leaf16->ecx & 0xFFFF;
  return bus == 0 ? std::nullopt : std::optional<std::int64_t>(bus);
}

void checkCpuid(const RecordedCpuid& cpuid,
                const std::vector<std::pair<std::uint32_t, CpuidRegisters>>& leaves,
                std::string_view text) {
  const auto first = [&leaves](std::uint32_t leaf) -> std::optional<CpuidRegisters> {
    for (const auto& [number, registers] : leaves) {
      if (number == leaf) return registers;
    }
    return std::nullopt;
  };
  const std::optional<CpuidRegisters> leaf0 = first(0);
  require(cpuidBusMhz(cpuid) == expectedBus(leaf0, first(kFrequencyLeaf)),
          "the bus clock is leaf 0x16's ECX, and only within the highest leaf", text);
  for (const auto& [number, registers] : leaves) {
    const std::optional<CpuidRegisters> answer = cpuid.basicLeaf(number);
    require(answer.has_value() == (leaf0 && number <= leaf0->eax),
            "a leaf answers only up to the highest basic leaf", text);
    require(!answer || *answer == *first(number), "a leaf answers its first recording", text);
  }
  if (leaf0 && leaf0->eax < 0xFFFFFFFFu) {
    require(!cpuid.basicLeaf(leaf0->eax + 1), "the leaf past the highest has no answer", text);
  }
}

// The payload as recorded text, and as raw registers: five little-endian words a leaf.
void fuzzCpuid(std::span<const std::uint8_t> bytes) {
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (const std::optional<RecordedCpuid> parsed = RecordedCpuid::parse(text)) {
    // Written back out, the answers read the same.
    std::string written;
    std::vector<std::pair<std::uint32_t, CpuidRegisters>> leaves;
    for (std::uint32_t leaf : {0u, kFrequencyLeaf, 0x15u, 0x40000000u}) {
      if (const std::optional<CpuidRegisters> r = parsed->basicLeaf(leaf)) {
        leaves.emplace_back(leaf, *r);
        char line[64];
        std::snprintf(line, sizeof line, "%x %x %x %x %x\n", leaf, r->eax, r->ebx, r->ecx, r->edx);
        written += line;
      }
    }
    const std::optional<RecordedCpuid> reread = RecordedCpuid::parse(written);
    require(reread.has_value(), "written answers parse", written);
    require(cpuidBusMhz(*reread) == cpuidBusMhz(*parsed), "written answers give the same bus",
            text);
  }

  std::vector<std::pair<std::uint32_t, CpuidRegisters>> leaves;
  const auto word = [&bytes](std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                                      (static_cast<std::uint32_t>(bytes[at + 3]) << 24));
  };
  for (std::size_t at = 0; bytes.size() - at >= 20; at += 20) {
    leaves.emplace_back(word(at),
                        CpuidRegisters{word(at + 4), word(at + 8), word(at + 12), word(at + 16)});
  }
  checkCpuid(RecordedCpuid(leaves), leaves, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> payload(data + 1, size - 1);
  const std::string_view text(reinterpret_cast<const char*>(payload.data()), payload.size());
  switch (data[0] % 4) {
    case 0:
      fuzzCpuinfo(text);
      break;
    case 1:
      fuzzValueFiles(text);
      break;
    case 2:
      fuzzSmbios(payload);
      break;
    default:
      fuzzCpuid(payload);
      break;
  }
  return 0;
}
