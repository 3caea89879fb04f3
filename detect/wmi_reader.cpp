// WMI's answers as facts: the properties each part asks for, the text trimmed, and a class
// that fails told as the failure it is.
#include "wmi_reader.h"

#include <array>
#include <type_traits>
#include <variant>

#include "value_text.h"

namespace freqsmith::detect {
namespace {

// A property of the class, as the program names it (WQL ignores case), and the fact it gives.
template <class Part>
struct Column {
  std::string_view property;
  std::variant<TextFact Part::*, NumberFact Part::*> fact;
};

constexpr Column<Processor> kProcessorColumns[] = {
    {"manufacturer", &Processor::maker},
    {"extclock", &Processor::busMhz},
    {"CurrentClockSpeed", &Processor::speedMhz},
    {"L2CacheSize", &Processor::level2Kb},
    {"Name", &Processor::name},
    {"socketdesignation", &Processor::socket},
};

constexpr Column<Board> kBoardColumns[] = {
    {"manufacturer", &Board::maker},
    {"product", &Board::product},
    {"Version", &Board::version},
};

// On real firmware Win32_BIOS.Version is not the BIOS's version: AMI's and many makers'
// boards give a vendor and date code there, such as "ALASKA - 1072009", which stays the
// same when the BIOS is updated. SMBIOSBIOSVersion is the version string of the firmware's
// SMBIOS table, the one Linux reads too; read after Version, it wins wherever it has one.
constexpr Column<Bios> kBiosColumns[] = {
    {"Version", &Bios::version},
    {"SMBIOSBIOSVersion", &Bios::version},
};

// Firmware pads its strings: AMD's brand strings come with trailing blanks. A value of
// blanks only says nothing, which is not the same as saying "" (an empty field that would
// claim to come from WMI). Anything else is shown as the firmware has it, "To Be Filled By
// O.E.M." included.
TextFact textFact(const WmiValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return {cleanText(*text), Source::Wmi};
  if (const auto* number = std::get_if<std::int64_t>(&value)) {
    return {std::to_string(*number), Source::Wmi};
  }
  return {};
}

// WMI hands 64-bit integers over as decimal text.
NumberFact numberFact(const WmiValue& value) {
  if (const auto* number = std::get_if<std::int64_t>(&value)) return {*number, Source::Wmi};
  if (const auto* text = std::get_if<std::string>(&value)) {
    return {parseInteger(*text), Source::Wmi};
  }
  return {};
}

template <class Part, std::size_t N>
Part readClass(WmiSession& session, std::string_view className, const Column<Part> (&columns)[N]) {
  std::array<std::string_view, N> properties;
  for (std::size_t i = 0; i < N; ++i) properties[i] = columns[i].property;
  const WmiAnswer answer = session.select(className, properties);

  Part last;
  for (const std::vector<WmiValue>& values : answer.instances) {
    Part instance;
    for (std::size_t i = 0; i < N && i < values.size(); ++i) {
      std::visit(
          [&](auto member) {
            if constexpr (std::is_same_v<decltype(member), TextFact Part::*>) {
              overwrite(instance.*member, textFact(values[i]));
            } else {
              overwrite(instance.*member, numberFact(values[i]));
            }
          },
          columns[i].fact);
    }
    overwrite(last, std::move(instance));
  }
  // The three classes are there on every healthy Windows, so any error, WBEM_E_INVALID_CLASS
  // and WBEM_E_NOT_FOUND included, means the service or its repository is broken: the user
  // is told that, not that the machine lacks the figures.
  if (!answer.error.empty()) markUnknown(last, Why::ServiceFailed, answer.error);
  return last;
}

}  // namespace

Reader wmiReader(std::shared_ptr<WmiSession> session, std::shared_ptr<const CpuidReader> cpuid) {
  // A braced list is evaluated in order, so the last part may take the session over.
  return {
      [session] { return readClass(*session, "Win32_Processor", kProcessorColumns); },
      [session] { return readClass(*session, "Win32_BaseBoard", kBoardColumns); },
      [session = std::move(session)] { return readClass(*session, "Win32_BIOS", kBiosColumns); },
      std::move(cpuid)};
}

}  // namespace freqsmith::detect
