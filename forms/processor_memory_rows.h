// The "Processor and Memory" tab: system clock and multiplier in, CPU speed, front-side
// bus, instructions per second and memory speeds out.
#pragma once

#include "build_config.h"
#include "controls.h"

namespace freqsmith::mainwin {

namespace processor_memory {
inline constexpr std::string_view kSysClk =
    "Your System Clock, the speed that everying in your system is based on.";
inline constexpr std::string_view kMultiplier =
    "This value multiplied by your Sys Clk results in overall cpu speed.";
inline constexpr std::string_view kCpuMhz = "This is your overall CPU Speed.";
inline constexpr std::string_view kFsbAthlon = "Resulting Frontside Bus for an AMD (32Bit) Chipset";
inline constexpr std::string_view kFsbAthlon64 =
    "Resulting Frontside Bus for an AMD (64Bit) Chipset";
inline constexpr std::string_view kFsbPentium4 =
    "Resulting Frontside Bus for an Intel (P4) Chipset";
inline constexpr std::string_view kIpsAthlon =
    "Resulting Instructions Per Second for an Athlon CPU";
inline constexpr std::string_view kIpsAthlon64 =
    "Resulting Instructions Per Second for an Athlon 64 CPU";
inline constexpr std::string_view kIpsPentium4 =
    "Resulting Instructions Per Second for a Pentium 4 CPU";
inline constexpr std::string_view kRatioFsb = "Frontside Bus ratio versus Memory ratio";
inline constexpr std::string_view kRatioMem = "Memory ratio versus Frontside Bus ratio";
inline constexpr std::string_view kSdram = "Resulting speed for SDRAM (in Mhz)";
inline constexpr std::string_view kDdr = "Resulting speed for DDR SDRAM (in Mhz)";

// Column of a three-field frame: heading at the top, field below, unit to its right.
constexpr int kColumn[] = {120, 1305, 2490};
constexpr int kHeadingTop = 195;
constexpr int kFieldTop = 405;
constexpr int kUnitTop = 480;
}  // namespace processor_memory

inline constexpr auto kProcessorMemoryRows = [] {
  using namespace processor_memory;
  const auto heading = [](std::string_view name, std::string_view parent, int left, int width,
                          std::string_view caption, std::string_view sentence) {
    return labelRow(name, parent, {left, kHeadingTop, width, 195}, caption, Look::Heading,
                    sentence);
  };
  const auto unit = [](std::string_view name, std::string_view parent, int left,
                       std::string_view caption) {
    return labelRow(name, parent, {left, kUnitTop, 345, 195}, caption, Look::Small);
  };
  const auto result = [](std::string_view name, std::string_view parent, int left, int width,
                         std::uint16_t maxLength, std::string_view title,
                         std::string_view sentence) {
    return Control{.name = name,
                   .kind = ControlKind::Field,
                   .parent = parent,
                   .place = {left, kFieldTop, width, 285},
                   .text = "0",
                   .sentence = sentence,
                   .title = title,
                   .role = FieldRole::Result,
                   .maxLength = maxLength};
  };
  return std::to_array<Control>({
      frameRow("frameCpuMegahertz", "tabProcessorMemory", {60, 30, 3675, 855}, "CPU Megahertz"),
      heading("Label5", "frameCpuMegahertz", 120, 735, "Sys Clk", kSysClk),
      {.name = "Text1",
       .kind = ControlKind::Field,
       .parent = "frameCpuMegahertz",
       .place = {120, kFieldTop, 735, 285},
       .text = "0",
       .sentence = kSysClk,
       .title = "Sys Clk",
       .role = FieldRole::Input,
       .filter = KeyFilter::Decimal,
       .maxLength = 5},
      unit("Text1Unit", "frameCpuMegahertz", 870, "Mhz"),
      heading("Label6", "frameCpuMegahertz", 1215, 735, "Multiplier", kMultiplier),
      {.name = "Text2",
       .kind = ControlKind::Field,
       .parent = "frameCpuMegahertz",
       .place = {1215, kFieldTop, 735, 285},
       .text = "0",
       .sentence = kMultiplier,
       .title = "Multiplier",
       .role = FieldRole::Input,
       .filter = KeyFilter::DecimalNoGuard,
       .maxLength = 4},
      unit("Text3Equals", "frameCpuMegahertz", 1995, "="),
      heading("Label7", "frameCpuMegahertz", 2145, 855, "CPU Mhz", kCpuMhz),
      result("Text3", "frameCpuMegahertz", 2145, 855, 6, "CPU Mhz", kCpuMhz),
      unit("Text3Unit", "frameCpuMegahertz", 3030, "Mhz"),

      frameRow("frameFrontsideBus", "tabProcessorMemory", {60, 960, 3675, 855}, "Frontside Bus"),
      heading("Label8", "frameFrontsideBus", kColumn[0], 795, "Athlon", kFsbAthlon),
      result("Text4", "frameFrontsideBus", kColumn[0], 795, 5, "Athlon frontside bus", kFsbAthlon),
      unit("Text4Unit", "frameFrontsideBus", kColumn[0] + 810, "Mhz"),
      heading("Label9", "frameFrontsideBus", kColumn[1], 795, "Athlon 64", kFsbAthlon64),
      result("Text5", "frameFrontsideBus", kColumn[1], 795, 6, "Athlon 64 frontside bus",
             kFsbAthlon64),
      unit("Text5Unit", "frameFrontsideBus", kColumn[1] + 810, "Mhz"),
      heading("Label10", "frameFrontsideBus", kColumn[2], 795, "Pentium 4", kFsbPentium4),
      result("Text6", "frameFrontsideBus", kColumn[2], 795, 5, "Pentium 4 frontside bus",
             kFsbPentium4),
      unit("Text6Unit", "frameFrontsideBus", kColumn[2] + 810, "Mhz"),

      frameRow("frameInstructions", "tabProcessorMemory", {60, 1890, 3675, 855},
               "Instructions Per Second"),
      heading("Label16", "frameInstructions", kColumn[0], 795, "Athlon", kIpsAthlon),
      result("Text8", "frameInstructions", kColumn[0], 795, 0, "Athlon instructions per second",
             kIpsAthlon),
      unit("Text8Unit", "frameInstructions", kColumn[0] + 810, "IPS"),
      heading("Label17", "frameInstructions", kColumn[1], 795, "Athlon64", kIpsAthlon64),
      result("Text9", "frameInstructions", kColumn[1], 795, 0, "Athlon 64 instructions per second",
             kIpsAthlon64),
      unit("Text9Unit", "frameInstructions", kColumn[1] + 810, "IPS"),
      heading("Label19", "frameInstructions", kColumn[2], 795, "Pentium 4", kIpsPentium4),
      result("Text56", "frameInstructions", kColumn[2], 795, 0, "Pentium 4 instructions per second",
             kIpsPentium4),
      unit("Text56Unit", "frameInstructions", kColumn[2] + 810, "IPS"),

      frameRow("frameMemoryRatios", "tabProcessorMemory", {60, 2820, 3675, 855},
               "Frontside Bus / Memory Ratios"),
      heading("Label25", "frameMemoryRatios", 120, 375, "FSB", kRatioFsb),
      {.name = "Text13",
       .kind = ControlKind::Field,
       .parent = "frameMemoryRatios",
       .place = {120, kFieldTop, 375, 285},
       .text = "1",
       .sentence = kRatioFsb,
       .title = "FSB",
       .role = FieldRole::Input,
       .filter = KeyFilter::RatioDigit,
       .maxLength = 1},
      unit("Text13Slash", "frameMemoryRatios", 540, "/"),
      heading("Label26", "frameMemoryRatios", 705, 375, "MEM", kRatioMem),
      {.name = "Text12",
       .kind = ControlKind::Field,
       .parent = "frameMemoryRatios",
       .place = {705, kFieldTop, 375, 285},
       .text = "1",
       .sentence = kRatioMem,
       .title = "MEM",
       .role = FieldRole::Input,
       .filter = KeyFilter::RatioDigit,
       .maxLength = 1},
      unit("Text14Equals", "frameMemoryRatios", 1125, "="),
      heading("Label27", "frameMemoryRatios", 1260, 810, "SDRAM", kSdram),
      result("Text14", "frameMemoryRatios", 1260, 810, 6, "SDRAM", kSdram),
      unit("Text14Unit", "frameMemoryRatios", 2085, "Mhz"),
      heading("Label28", "frameMemoryRatios", 2430, 810, "DDR RAM", kDdr),
      result("Text15", "frameMemoryRatios", 2430, 810, 6, "DDR RAM", kDdr),
      unit("Text15Unit", "frameMemoryRatios", 3255, "Mhz"),

      // Its sentence names an older release on purpose; it does not follow the build's version.
      pictureRow("Image2", "tabProcessorMemory", {3825, 45, 2820, 3585}, "Freqsmith v1.33b"),
      buttonRow("Command4", "tabProcessorMemory", {4635, 3150, 1200, 330}, "Detect"),
      labelRow("Label1", "tabProcessorMemory", {5895, 3225, 735, 195}, "v" FREQSMITH_VERSION_TEXT,
               Look::OnArtwork),
  });
}();

}  // namespace freqsmith::mainwin
