// Line-by-line reading of /proc/cpuinfo text.
#include "cpuinfo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "file_text.h"

namespace freqsmith::detect {
namespace {

// Far above any real CPU count; keeps a junk number from naming an absurd sysfs path.
constexpr std::int64_t kMaxCpuNumber = 1 << 20;

// A carriage return is allowed only where a CRLF line ends; inside a line it is junk that
// would otherwise reach a shown value.
bool hasControlCharacters(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  return std::any_of(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7f;
  });
}

std::optional<int> cpuNumber(std::string_view value) {
  const std::optional<std::int64_t> number = parseInteger(value);
  if (!number || *number < 0 || *number > kMaxCpuNumber) return std::nullopt;
  return static_cast<int>(*number);
}

std::optional<std::string_view> nonEmptyField(const CpuinfoFields& fields, std::string_view key) {
  for (const auto& [name, value] : fields) {
    if (name == key && !value.empty()) return value;
  }
  return std::nullopt;
}

}  // namespace

Cpuinfo parseCpuinfo(std::string_view text) {
  Cpuinfo info;
  CpuinfoFields dropped;  // the blocks of CPUs past the limit
  CpuinfoFields* current = &info.shared;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));

    if (trimBlanks(line).empty()) {
      current = &info.shared;
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || hasControlCharacters(line)) continue;
    const std::string_view key = trimBlanks(line.substr(0, colon));
    const std::string_view value = trimBlanks(line.substr(colon + 1));
    if (key.empty()) continue;

    if (key == "processor") {
      if (const std::optional<int> number = cpuNumber(value)) {
        if (info.cpus.size() < kMaxCpus) {
          info.cpus.push_back(LogicalCpu{*number, {}});
          current = &info.cpus.back().fields;
        } else {
          dropped.clear();
          current = &dropped;
        }
        continue;
      }
    }
    current->emplace_back(std::string(key), std::string(value));
  }
  if (info.cpus.empty() && !info.shared.empty()) info.cpus.push_back(LogicalCpu{0, {}});
  return info;
}

std::vector<CpuPackage> groupPackages(
    const Cpuinfo& info, const std::function<std::optional<std::int64_t>(int)>& sysfsPackageId) {
  std::map<std::int64_t, std::vector<std::size_t>> byId;
  for (std::size_t i = 0; i < info.cpus.size(); ++i) {
    const LogicalCpu& cpu = info.cpus[i];
    std::optional<std::int64_t> id;
    if (const auto physical = nonEmptyField(cpu.fields, "physical id"))
      id = parseInteger(*physical);
    if (!id && sysfsPackageId) id = sysfsPackageId(cpu.number);
    byId[id.value_or(0)].push_back(i);
  }
  std::vector<CpuPackage> packages;
  packages.reserve(byId.size());
  for (auto& [id, cpus] : byId) packages.push_back(CpuPackage{id, std::move(cpus)});
  return packages;
}

std::optional<std::string_view> packageField(const Cpuinfo& info, const CpuPackage& package,
                                             std::string_view key) {
  for (const std::size_t i : package.cpus) {
    if (i >= info.cpus.size()) continue;
    if (const auto value = nonEmptyField(info.cpus[i].fields, key)) return value;
  }
  return nonEmptyField(info.shared, key);
}

std::optional<std::int64_t> parseMhz(std::string_view text) {
  text = trimBlanks(text);
  double mhz = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mhz);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  // A million MHz is far past any clock; beyond it the value is junk, and lround could overflow.
  if (!std::isfinite(mhz) || mhz <= 0 || mhz >= 1e6) return std::nullopt;
  const long rounded = std::lround(mhz);
  if (rounded <= 0) return std::nullopt;
  return rounded;
}

}  // namespace freqsmith::detect
