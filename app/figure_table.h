// The detected figures, one row each: the facts of the detection's answer that the figure's
// text comes from (or a derivation), the field it lands in, where the tab shows it, its
// heading and unit, and what the user is told when nothing gave it. The load step, the
// report lines and the tooltips are all derived from these rows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "facts.h"
#include "main_window_controls.h"

namespace freqsmith {

// The three queries of the load step, in their order.
enum class HardwarePart : std::uint8_t { Processor, Board, Bios };

// A fact of the answer as a field shows it: text, integers as plain digits.
struct FactRead {
  HardwarePart part;
  detect::TextFact (*read)(const detect::Hardware&);
};

struct DetectedFigure {
  FieldId holder;     // the field whose text the figure is
  ControlId shownIn;  // where the user sees it: the holder, or a label showing it
  // The heading label above the figure; none where the tab's label alone would not say what
  // it is, and then the shown field's title names it.
  std::optional<LabelId> heading;
  std::optional<LabelId> unit;
  // Read from the system: the facts written into the holder, in the order the queries
  // write them (the later one wins where it has a value), and what the system did not
  // report ("its bus clock"). Worked out from others: no reads, and the whole sentence that
  // says why it is unknown.
  std::array<std::optional<FactRead>, 2> reads;
  std::string_view subject;
  std::string_view derivation;
  // A clock that is the rated one, not the one of the moment, where it comes from the
  // firmware's table: through WMI, or read from the table itself.
  bool ratedFromFirmware = false;
};

namespace figure_reads {

inline detect::TextFact asText(const detect::NumberFact& fact) {
  return {fact.value ? std::optional(std::to_string(*fact.value)) : std::nullopt, fact.source,
          fact.why, fact.detail};
}

constexpr FactRead processor(detect::TextFact (*read)(const detect::Hardware&)) {
  return {HardwarePart::Processor, read};
}

}  // namespace figure_reads

// The rows read from the system come in the order the queries write them: part by part, each
// part's facts in order. The report follows the tab's reading order instead, which is that
// of the controls the figures are shown in.
inline constexpr auto kDetectedFigures = [] {
  using detect::Hardware;
  using figure_reads::asText;
  using figure_reads::processor;
  using mainwin::field;
  using mainwin::label;
  return std::to_array<DetectedFigure>({
      {field("Textmaker"),
       field("Textmaker"),
       {},
       {},
       {processor([](const Hardware& h) { return h.processor.maker; })},
       "processor maker"},
      {field("Textarch"),
       label("Label51"),
       label("Label74"),
       label("Label60"),
       {processor([](const Hardware& h) { return asText(h.processor.busMhz); })},
       "bus clock"},
      // Win32_Processor's CurrentClockSpeed is the Current Speed of the firmware's SMBIOS
      // table (so Microsoft's documentation of the class), which the firmware writes at boot:
      // on Windows 10 and 11 it equals the rated MaxClockSpeed under load and in power
      // saving alike. Linux's cpufreq and cpuinfo give the clock of the moment.
      {field("Textcpuspeed"),
       label("labmhz"),
       label("Label77"),
       label("Label72"),
       {processor([](const Hardware& h) { return asText(h.processor.speedMhz); })},
       "processor speed",
       {},
       true},
      {field("Textl2size"),
       field("Textl2size"),
       label("Label18"),
       label("Label80"),
       {processor([](const Hardware& h) { return asText(h.processor.level2Kb); })},
       "level 2 cache size"},
      {field("Textcputype"),
       field("Textcputype"),
       {},
       {},
       {processor([](const Hardware& h) { return h.processor.name; })},
       "processor type"},
      {field("textsocket"),
       field("textsocket"),
       {},
       {},
       {processor([](const Hardware& h) { return h.processor.socket; })},
       "processor socket"},
      {field("Textweb"),
       field("Textweb"),
       {},
       {},
       {FactRead{HardwarePart::Board, [](const Hardware& h) { return h.board.maker; }}},
       "mainboard vendor"},
      {field("Textproduct"),
       field("Textproduct"),
       {},
       {},
       {FactRead{HardwarePart::Board, [](const Hardware& h) { return h.board.product; }}},
       "mainboard model"},
      // The BIOS is read after the board, so its version wins where it has one.
      {field("Textversion"),
       field("Textversion"),
       {},
       {},
       {FactRead{HardwarePart::Board, [](const Hardware& h) { return h.board.version; }},
        FactRead{HardwarePart::Bios, [](const Hardware& h) { return h.bios.version; }}},
       "BIOS version"},
      {field("Text11"),
       label("Label71"),
       label("Label34"),
       label("Label41"),
       {},
       {},
       "The frontside bus is worked out from the system clock, which is unknown."},
      {field("Textmultiplier"),
       label("Label69"),
       label("Label75"),
       {},
       {},
       {},
       "The multiplier is worked out from the CPU speed and the system clock, and one of them "
       "is unknown."},
      {field("Textl2speed"),
       field("Textl2speed"),
       label("Label70"),
       label("Label79"),
       {},
       {},
       "The cache speed is shown as the CPU speed, which is unknown."},
  });
}();

}  // namespace freqsmith
