// Per-CPU facts from /sys/devices/system/cpu: package id, cpufreq clocks and level-2 caches.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace freqsmith::detect {

class SysfsCpus {
 public:
  // `cpuDir` is the directory holding cpu0, cpu1, ... It is listed once here: a CPU it
  // does not list is not looked up at all, since a junk cpuinfo can name thousands.
  explicit SysfsCpus(std::filesystem::path cpuDir);

  // topology/physical_package_id of cpuN.
  [[nodiscard]] std::optional<std::int64_t> packageId(int cpu) const;
  // A cpufreq file of cpuN (in kHz, such as "scaling_cur_freq") as whole MHz.
  [[nodiscard]] std::optional<std::int64_t> cpufreqMhz(int cpu, std::string_view file) const;
  // The total KB of the distinct level-2 caches these CPUs use, each shared cache counted
  // once. nullopt when none is listed, or when one's size is unreadable, since a partial
  // sum would be a wrong figure.
  [[nodiscard]] std::optional<std::int64_t> level2CacheKb(const std::vector<int>& cpus) const;

 private:
  std::filesystem::path cpuPath(int cpu) const;
  bool listed(int cpu) const;

  std::filesystem::path cpuDir_;
  // The cpuN numbers present, ascending; nullopt when the listing failed, and then every
  // CPU is looked up.
  std::optional<std::vector<int>> listed_;
};

// A cache size file such as "512K", "1M" or "2048K", in KB.
[[nodiscard]] std::optional<std::int64_t> parseCacheSizeKb(std::string_view text);

// A kernel CPU list such as "0-3,8,10-11"; nullopt when malformed or absurdly large.
[[nodiscard]] std::optional<std::vector<int>> parseCpuList(std::string_view text);

// kHz to MHz rounded to the nearest; nullopt unless that is at least 1 MHz and plausible.
[[nodiscard]] std::optional<std::int64_t> khzToMhz(std::int64_t khz);

}  // namespace freqsmith::detect
