// Parsing /proc/cpuinfo into logical CPUs and grouping them into physical packages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace freqsmith::detect {

// What is read of /proc/cpuinfo: room for a few hundred logical CPUs, since a large
// server's cpuinfo is far past 64 KiB.
inline constexpr std::size_t kCpuinfoCap = std::size_t{1} << 20;

// The most logical CPUs the kernel supports (x86-64's NR_CPUS limit). Each costs sysfs
// look-ups, so blocks past it, which only a junk cpuinfo has, are dropped.
inline constexpr std::size_t kMaxCpus = 8192;

// Keys as the kernel writes them (case matters: old ARM kernels have both "Processor" and
// "processor"), values trimmed.
using CpuinfoFields = std::vector<std::pair<std::string, std::string>>;

struct LogicalCpu {
  int number = 0;  // from "processor : N"; also the N of /sys/devices/system/cpu/cpuN
  CpuinfoFields fields;
};

struct Cpuinfo {
  std::vector<LogicalCpu> cpus;
  // Lines outside any CPU block, such as ARM's "Hardware" after the last CPU.
  CpuinfoFields shared;
};

// Lines holding control characters are skipped, so binary junk cannot end up in a value.
// At most kMaxCpus CPUs are kept; the fields of any block after them are dropped.
// Text with fields but no "processor" line describes a single CPU numbered 0.
Cpuinfo parseCpuinfo(std::string_view text);

struct CpuPackage {
  std::int64_t id = 0;
  std::vector<std::size_t> cpus;  // indexes into Cpuinfo::cpus, in cpuinfo order
};

// The CPUs grouped by "physical id", asking `sysfsPackageId` (given the CPU number) for CPUs
// without one; CPUs known to neither land in package 0. Packages come in ascending id order.
std::vector<CpuPackage> groupPackages(
    const Cpuinfo& info, const std::function<std::optional<std::int64_t>(int)>& sysfsPackageId);

// The first non-empty value of `key` among the package's CPUs, else among the shared lines.
[[nodiscard]] std::optional<std::string_view> packageField(const Cpuinfo& info,
                                                           const CpuPackage& package,
                                                           std::string_view key);

// A "cpu MHz" value such as "3593.246", rounded to the nearest whole MHz; nullopt unless positive.
[[nodiscard]] std::optional<std::int64_t> parseMhz(std::string_view text);

}  // namespace freqsmith::detect
