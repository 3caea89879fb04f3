// Reading the cpuN directories of sysfs, touching only the files a question needs.
#include "sysfs_cpu.h"

#include <algorithm>
#include <set>
#include <string>
#include <system_error>

#include "file_text.h"

namespace freqsmith::detect {
namespace {

// Real CPUs list four or five cache leaves; the bound only stops a runaway search.
constexpr int kMaxCacheIndex = 32;
// More CPUs than any machine has; a longer list is junk and must not exhaust memory.
constexpr std::size_t kMaxListedCpus = 1 << 16;
// 1 THz in kHz: anything above is not a clock.
constexpr std::int64_t kMaxKhz = 1'000'000'000;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<int> listNumber(std::string_view text) {
  if (text.empty() || !isDigit(text.front())) return std::nullopt;
  const std::optional<std::int64_t> value = parseInteger(text);
  if (!value || *value > static_cast<std::int64_t>(kMaxListedCpus)) return std::nullopt;
  return static_cast<int>(*value);
}

}  // namespace

SysfsCpus::SysfsCpus(std::filesystem::path cpuDir) : cpuDir_(std::move(cpuDir)) {
  std::error_code error;
  std::filesystem::directory_iterator entry(cpuDir_, error);
  if (error) {
    // Nothing under a missing directory can be read anyway; any other failure leaves the
    // look-ups to find out file by file.
    if (error == std::errc::no_such_file_or_directory) listed_.emplace();
    return;
  }
  std::vector<int> numbers;
  for (const std::filesystem::directory_iterator end; entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (name.size() <= 3 || !name.starts_with("cpu")) continue;
    if (const std::optional<int> number = listNumber(std::string_view(name).substr(3))) {
      numbers.push_back(*number);
    }
  }
  if (error) return;
  std::sort(numbers.begin(), numbers.end());
  listed_ = std::move(numbers);
}

std::filesystem::path SysfsCpus::cpuPath(int cpu) const {
  return cpuDir_ / ("cpu" + std::to_string(cpu));
}

bool SysfsCpus::listed(int cpu) const {
  return !listed_ || std::binary_search(listed_->begin(), listed_->end(), cpu);
}

std::optional<std::int64_t> SysfsCpus::packageId(int cpu) const {
  if (!listed(cpu)) return std::nullopt;
  const std::optional<std::string> text =
      readValueFile(cpuPath(cpu) / "topology" / "physical_package_id");
  return text ? parseInteger(*text) : std::nullopt;
}

std::optional<std::int64_t> SysfsCpus::cpufreqMhz(int cpu, std::string_view file) const {
  if (!listed(cpu)) return std::nullopt;
  const std::optional<std::string> text = readValueFile(cpuPath(cpu) / "cpufreq" / file);
  const std::optional<std::int64_t> khz = text ? parseInteger(*text) : std::nullopt;
  return khz ? khzToMhz(*khz) : std::nullopt;
}

std::optional<std::int64_t> SysfsCpus::level2CacheKb(const std::vector<int>& cpus) const {
  std::set<std::string> seen;  // one key per distinct cache
  std::set<int> covered;       // CPUs whose level-2 caches are already counted
  std::int64_t totalKb = 0;
  for (const int cpu : cpus) {
    if (covered.count(cpu) != 0 || !listed(cpu)) continue;
    covered.insert(cpu);
    const std::filesystem::path cacheDir = cpuPath(cpu) / "cache";
    for (int index = 0; index < kMaxCacheIndex; ++index) {
      const std::string leaf = "index" + std::to_string(index);
      const std::filesystem::path dir = cacheDir / leaf;
      const std::optional<std::string> level = readValueFile(dir / "level");
      if (!level) {
        // The leaves are numbered without gaps, so a missing one ends the list. A present
        // leaf with a broken level file is skipped.
        std::error_code error;
        if (!std::filesystem::is_directory(dir, error)) break;
        continue;
      }
      if (parseInteger(*level) != 2) continue;

      const std::optional<std::string> sizeText = readValueFile(dir / "size");
      const std::optional<std::int64_t> sizeKb =
          sizeText ? parseCacheSizeKb(*sizeText) : std::nullopt;
      if (!sizeKb) return std::nullopt;

      // CPUs sharing a cache see it at the same leaf with the same list; without a list the
      // cache id tells them apart, and without either the cache is taken as this CPU's own.
      std::string key;
      const std::optional<std::string> shared = readValueFile(dir / "shared_cpu_list");
      const std::optional<std::vector<int>> sharing = shared ? parseCpuList(*shared) : std::nullopt;
      if (sharing) {
        key = leaf + " cpus " + *shared;
        covered.insert(sharing->begin(), sharing->end());
      } else if (const std::optional<std::string> id = readValueFile(dir / "id")) {
        key = leaf + " id " + *id;
      } else {
        key = leaf + " of cpu " + std::to_string(cpu);
      }
      if (seen.insert(key).second) totalKb += *sizeKb;
    }
  }
  if (seen.empty()) return std::nullopt;
  return totalKb;
}

std::optional<std::int64_t> parseCacheSizeKb(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  std::int64_t multiplier = 0;
  switch (text.back()) {
    case 'K':
    case 'k':
      multiplier = 1;
      break;
    case 'M':
    case 'm':
      multiplier = 1024;
      break;
    case 'G':
    case 'g':
      multiplier = std::int64_t{1024} * 1024;
      break;
    default:
      return std::nullopt;
  }
  text.remove_suffix(1);
  if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit)) return std::nullopt;
  const std::optional<std::int64_t> count = parseInteger(text);
  // Terabytes of level-2 cache is junk; the bound also keeps the product from overflowing.
  if (!count || *count <= 0 || *count > (std::int64_t{1} << 30)) return std::nullopt;
  return *count * multiplier;
}

std::optional<std::vector<int>> parseCpuList(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  std::vector<int> cpus;
  while (true) {
    const std::size_t comma = std::min(text.find(','), text.size());
    const std::string_view item = text.substr(0, comma);
    const std::size_t dash = item.find('-');
    const std::optional<int> first = listNumber(item.substr(0, dash));
    const std::optional<int> last =
        dash == std::string_view::npos ? first : listNumber(item.substr(dash + 1));
    if (!first || !last || *last < *first) return std::nullopt;
    if (cpus.size() + static_cast<std::size_t>(*last - *first) >= kMaxListedCpus) {
      return std::nullopt;
    }
    for (int cpu = *first; cpu <= *last; ++cpu) cpus.push_back(cpu);
    if (comma == text.size()) break;
    text.remove_prefix(comma + 1);
  }
  return cpus;
}

std::optional<std::int64_t> khzToMhz(std::int64_t khz) {
  if (khz < 500 || khz > kMaxKhz) return std::nullopt;
  return (khz + 500) / 1000;
}

}  // namespace freqsmith::detect
