// The detected figures, one row each: where the figure's text comes from (the properties
// the queries read, or a derivation), the field it lands in, where the tab shows it, its
// heading and unit, and what the user is told when nothing gave it. The queries, the
// report lines and the tooltips are all derived from these rows.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "main_window_controls.h"

namespace freqsmith::detect {

inline constexpr std::string_view kProcessorClass = "Win32_Processor";
inline constexpr std::string_view kBaseBoardClass = "Win32_BaseBoard";
inline constexpr std::string_view kBiosClass = "Win32_BIOS";

// A property of a class, as the program names it; the service ignores case.
struct PropertyRead {
  std::string_view className;
  std::string_view property;
};

struct DetectedFigure {
  FieldId holder;     // the field whose text the figure is
  ControlId shownIn;  // where the user sees it: the holder, or a label showing it
  // The heading label above the figure; none where the tab's label alone would not say what
  // it is, and then the shown field's title names it.
  std::optional<LabelId> heading;
  std::optional<LabelId> unit;
  // Read from the system: what the queries read into the holder, in the order they run, and
  // what the system did not report ("its bus clock"). Worked out from others: no reads, and
  // the whole sentence that says why it is unknown.
  std::array<std::optional<PropertyRead>, 2> reads;
  std::string_view subject;
  std::string_view derivation;
};

// The rows read from the system come in the order the queries read them: class by class,
// each class's properties in order. The report follows the tab's reading order instead,
// which is that of the controls the figures are shown in.
inline constexpr auto kDetectedFigures = [] {
  using mainwin::field;
  using mainwin::label;
  const auto read = [](std::string_view property) {
    return PropertyRead{kProcessorClass, property};
  };
  return std::to_array<DetectedFigure>({
      {field("Textmaker"), field("Textmaker"), {}, {}, {read("manufacturer")}, "processor maker"},
      {field("Textarch"),
       label("Label51"),
       label("Label74"),
       label("Label60"),
       {read("extclock")},
       "bus clock"},
      {field("Textcpuspeed"),
       label("labmhz"),
       label("Label77"),
       label("Label72"),
       {read("CurrentClockSpeed")},
       "processor speed"},
      {field("Textl2size"),
       field("Textl2size"),
       label("Label18"),
       label("Label80"),
       {read("L2CacheSize")},
       "level 2 cache size"},
      {field("Textcputype"), field("Textcputype"), {}, {}, {read("Name")}, "processor type"},
      {field("textsocket"),
       field("textsocket"),
       {},
       {},
       {read("socketdesignation")},
       "processor socket"},
      {field("Textweb"),
       field("Textweb"),
       {},
       {},
       {PropertyRead{kBaseBoardClass, "manufacturer"}},
       "mainboard vendor"},
      {field("Textproduct"),
       field("Textproduct"),
       {},
       {},
       {PropertyRead{kBaseBoardClass, "product"}},
       "mainboard model"},
      // The BIOS class is read after the board's, so its version wins where it has one.
      {field("Textversion"),
       field("Textversion"),
       {},
       {},
       {PropertyRead{kBaseBoardClass, "Version"}, PropertyRead{kBiosClass, "Version"}},
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
       "is unknown or zero."},
      {field("Textl2speed"),
       field("Textl2speed"),
       label("Label70"),
       label("Label79"),
       {},
       {},
       "The cache speed is shown as the CPU speed, which is unknown."},
  });
}();

}  // namespace freqsmith::detect
