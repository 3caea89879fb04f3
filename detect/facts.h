// What detection learns about the machine: the processor, the mainboard and the BIOS, each
// fact holding its value, or none and why, and where it came from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace freqsmith::detect {

// Where a value came from. It travels with the value to the window and the report, so
// that both say the same.
enum class Source : std::uint8_t {
  Smbios,   // the firmware's SMBIOS table
  Cpuid,    // the processor's own answer to the CPUID instruction
  Sysfs,    // a file under /sys
  Cpuinfo,  // /proc/cpuinfo
  Wmi,      // the Windows management service
};

// How the report names a source: "SMBIOS", "CPUID", "sysfs", "cpuinfo", "WMI".
std::string_view sourceName(Source source);

// Why a fact has no value.
enum class Why : std::uint8_t {
  NotReported,        // nothing the program may read on this machine gives it
  AdministratorOnly,  // the table that gives it is readable by the administrator alone
  TimedOut,           // the system had not answered by the time limit
  ServiceFailed,      // the system's hardware service failed while it was asked
};

template <class T>
struct Fact {
  std::optional<T> value;
  Source source = Source::Wmi;  // where the value came from; says nothing without one
  Why why = Why::NotReported;   // why there is no value; says nothing with one
  // For ServiceFailed the service's error (on Windows the HRESULT in hex and the system's
  // text for it), for TimedOut the time limit in words.
  std::string detail;

  friend bool operator==(const Fact&, const Fact&) = default;
};

using TextFact = Fact<std::string>;
using NumberFact = Fact<std::int64_t>;  // whole MHz or KB

struct Processor {
  TextFact maker;  // the vendor string, such as "GenuineIntel"
  // The external (system) clock the processor's speed is a multiple of. Never 0: firmware
  // and virtual machines write 0 for a clock they do not know.
  NumberFact busMhz;
  // The processor's clock: what it runs at now where the system tells (Linux's cpufreq
  // and cpuinfo), the rated clock where it does not (WMI, the SMBIOS table).
  NumberFact speedMhz;
  NumberFact level2Kb;
  TextFact name;
  TextFact socket;
  friend bool operator==(const Processor&, const Processor&) = default;
};

struct Board {
  TextFact maker;
  TextFact product;
  TextFact version;  // the board's own revision, not the BIOS's
  friend bool operator==(const Board&, const Board&) = default;
};

struct Bios {
  TextFact version;
  friend bool operator==(const Bios&, const Bios&) = default;
};

// Detection's answer: one value of all three.
struct Hardware {
  Processor processor;
  Board board;
  Bios bios;
  friend bool operator==(const Hardware&, const Hardware&) = default;
};

// The facts of each part in the order the window asks for them, for what is done to every
// fact alike.
inline auto facts(Processor& p) {
  return std::tie(p.maker, p.busMhz, p.speedMhz, p.level2Kb, p.name, p.socket);
}
inline auto facts(Board& b) {
  return std::tie(b.maker, b.product, b.version);
}
inline auto facts(Bios& b) {
  return std::tie(b.version);
}

// Every fact of `part` without a value has it for `why`.
template <class Part>
void markUnknown(Part& part, Why why, const std::string& detail = {}) {
  std::apply(
      [&](auto&... fact) {
        ((fact.value ? void() : void((fact.why = why, fact.detail = detail))), ...);
      },
      facts(part));
}

// A later answer for the same fact, as a later instance of a class gives it: where it has a
// value it wins; where it has none, the earlier value stays (or, without one, the later
// reason for having none).
template <class T>
void overwrite(Fact<T>& fact, Fact<T> later) {
  if (later.value || !fact.value) fact = std::move(later);
}

// `later` overwrites `part` fact by fact.
template <class Part>
void overwrite(Part& part, Part later) {
  auto into = facts(part);
  auto from = facts(later);
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (overwrite(std::get<I>(into), std::move(std::get<I>(from))), ...);
  }
  (std::make_index_sequence<std::tuple_size_v<decltype(into)>>{});
}

// A part that was not answered in full: the part as the user knows it ("processor",
// "mainboard", "BIOS"), and why.
struct PartFault {
  std::string_view part;
  Why why = Why::ServiceFailed;
  std::string detail;
  friend bool operator==(const PartFault&, const PartFault&) = default;
};

// Each part with a fact that the service's failure or the time limit left without a value;
// a part's first such fact says why. Empty when the system answered in full, including
// where it simply lacks a figure.
std::vector<PartFault> faults(const Hardware& hardware);

}  // namespace freqsmith::detect
