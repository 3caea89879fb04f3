// The names of the sources, and the parts that the system did not answer in full.
#include "facts.h"

namespace freqsmith::detect {
namespace {

template <class Part>
void addFault(std::vector<PartFault>& found, std::string_view name, Part part) {
  std::apply(
      [&](const auto&... fact) {
        const auto first = [&](const auto& f) {
          const bool fault = !f.value && (f.why == Why::TimedOut || f.why == Why::ServiceFailed);
          if (fault) found.push_back({name, f.why, f.detail});
          return fault;
        };
        (first(fact) || ...);
      },
      facts(part));
}

}  // namespace

std::string_view sourceName(Source source) {
  switch (source) {
    case Source::Smbios:
      return "SMBIOS";
    case Source::Cpuid:
      return "CPUID";
    case Source::Sysfs:
      return "sysfs";
    case Source::Cpuinfo:
      return "cpuinfo";
    case Source::Wmi:
      break;
  }
  return "WMI";
}

std::vector<PartFault> faults(const Hardware& hardware) {
  std::vector<PartFault> found;
  addFault(found, "processor", hardware.processor);
  addFault(found, "mainboard", hardware.board);
  addFault(found, "BIOS", hardware.bios);
  return found;
}

}  // namespace freqsmith::detect
