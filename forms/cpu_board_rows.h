// The "CPU and Mainboard" tab: what the hardware query found at start-up. The hidden
// holders carry the detected clocks between the steps; labels show them in large type.
#pragma once

#include "controls.h"

namespace freqsmith::mainwin {

namespace cpu_board {
inline constexpr std::string_view kSystemClock = "Your System Clock.";
inline constexpr std::string_view kFrontsideBus = "Your System Frontside Bus.";
inline constexpr std::string_view kMultiplier = "Your Processors internal multiplier.";
inline constexpr std::string_view kSpeed = "Your Processors overall speed in Mhz.";
inline constexpr std::string_view kL2Size = "Your Processors Level 2 Cache Size in Kilobytes.";
inline constexpr std::string_view kL2Speed = "Your Processors Level 2 Cache Speed in Megahertz.";
inline constexpr std::string_view kBoardModel = "Your Mainboard Model.";
inline constexpr std::string_view kBoardVendor = "Your Mainboard Manufacturers Website.";
inline constexpr std::string_view kBiosVersion = "Your Mainboard BIOS Version.";
inline constexpr std::string_view kCredit =
    "Detection on this tab follows examples from a programming tutorial site (example.net).";

constexpr Control shown(std::string_view name, std::string_view parent, Twips place,
                        std::string_view design, std::string_view title,
                        std::string_view sentence) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = parent,
          .place = place,
          .text = design,
          .sentence = sentence,
          .title = title,
          .role = FieldRole::Detection};
}
constexpr Control holder(std::string_view name, std::string_view design, std::uint16_t maxLength,
                         std::string_view title) {
  return {.name = name,
          .kind = ControlKind::Field,
          .parent = "frameProcessor",
          .text = design,
          .title = title,
          .role = FieldRole::Hidden,
          .maxLength = maxLength};
}

// The three display groups of the "Processor" frame: heading, figure, unit.
constexpr int kDisplayColumn[] = {120, 1500, 2880};
constexpr int kDisplayHeadingTop = 1110;
constexpr int kDisplayTop = 1290;
constexpr int kDisplayUnitTop = 1500;
}  // namespace cpu_board

inline constexpr auto kCpuBoardRows = [] {
  using namespace cpu_board;
  const auto heading = [](std::string_view name, int column, std::string_view caption,
                          std::string_view sentence) {
    return labelRow(name, "frameProcessor", {kDisplayColumn[column], kDisplayHeadingTop, 1380, 195},
                    caption, Look::Heading, sentence);
  };
  const auto figure = [](std::string_view name, int column, int width, std::string_view caption,
                         std::string_view sentence) {
    return labelRow(name, "frameProcessor", {kDisplayColumn[column], kDisplayTop, width, 435},
                    caption, Look::Display18, sentence);
  };
  const auto unit = [](std::string_view name, int column, std::string_view caption) {
    return labelRow(name, "frameProcessor",
                    {kDisplayColumn[column] + 1035, kDisplayUnitTop, 330, 195}, caption,
                    Look::Small);
  };
  return std::to_array<Control>({
      frameRow("frameProcessor", "tabCpuBoard", {60, 30, 4380, 2175}, "Processor"),
      shown("Textmaker", "frameProcessor", {120, 240, 4140, 255}, "maker", "Processor maker",
            "Your Processors Manufacturer."),
      shown("Textcputype", "frameProcessor", {120, 525, 4140, 255}, "CPU Type", "Processor type",
            "Your Processors Type, Core, and Model."),
      shown("textsocket", "frameProcessor", {120, 810, 4140, 255}, "Socket XXX", "Processor socket",
            "The type of Socket or Slot your processor uses."),
      holder("Textarch", "sysclk", 6, "Detected system clock"),
      holder("Textcpuspeed", "Current Speed", 0, "Detected CPU speed"),
      holder("Textmultiplier", "mult", 4, "Detected multiplier"),
      holder("Text11", "fsb", 6, "Detected frontside bus"),
      heading("Label74", 0, "System Clock", kSystemClock),
      figure("Label51", 0, 1020, "sysclk", kSystemClock),
      unit("Label60", 0, "Mhz"),
      heading("Label34", 1, "Frontside Bus", kFrontsideBus),
      figure("Label71", 1, 1020, "fsb", kFrontsideBus),
      unit("Label41", 1, "Mhz"),
      heading("Label75", 2, "CPU Multiplier", kMultiplier),
      figure("Label69", 2, 1380, "Mult", kMultiplier),
      labelRow("Label78", "frameProcessor", {120, 1890, 4140, 195},
               "These values may not be accurate on some systems.", Look::Small),

      pictureRow("Image3", "tabCpuBoard", {4965, 90, 1275, 1395}),
      // Lies over the logo, so a click on the logo explains it.
      labelRow("Label85", "tabCpuBoard", {4935, 60, 1335, 1455}, "", Look::Plain,
               "Vendor logo of your CPU manufacturer."),
      // The logo holders sit beyond the window's right edge, never seen.
      pictureRow("amd", "frmMain", {7500, 0, 2970, 3270}),
      pictureRow("intel", "frmMain", {7500, 3300, 2100, 2100}),
      pictureRow("cyrix", "frmMain", {7500, 5400, 2700, 2700}),

      frameRow("frameSpeed", "tabCpuBoard", {4500, 1500, 2205, 705}, ""),
      labelRow("Label77", "frameSpeed", {60, 105, 2085, 165}, "CPU Speed", Look::Heading, kSpeed),
      labelRow("labmhz", "frameSpeed", {60, 210, 1560, 480}, "0000", Look::Display24, kSpeed),
      labelRow("Label72", "frameSpeed", {1650, 435, 495, 195}, "Mhz", Look::Small),

      frameRow("frameMainboard", "tabCpuBoard", {60, 2250, 4380, 1140}, "Mainboard"),
      labelRow("Label22", "frameMainboard", {120, 270, 795, 195}, "Vendor", Look::Plain,
               kBoardVendor),
      shown("Textweb", "frameMainboard", {960, 240, 3300, 255}, "Text1", "Mainboard vendor",
            kBoardVendor),
      labelRow("Label15", "frameMainboard", {120, 570, 795, 195}, "Model", Look::Plain,
               kBoardModel),
      shown("Textproduct", "frameMainboard", {960, 540, 3300, 255}, "Text1", "Mainboard model",
            kBoardModel),
      labelRow("Label3", "frameMainboard", {120, 870, 795, 195}, "Version", Look::Plain,
               kBiosVersion),
      shown("Textversion", "frameMainboard", {960, 840, 3300, 255}, "Text1", "BIOS version",
            kBiosVersion),

      frameRow("frameCache", "tabCpuBoard", {4500, 2250, 2205, 1140}, "Cache"),
      labelRow("Label18", "frameCache", {120, 210, 1965, 195}, "L2 Cache Size", Look::Plain,
               kL2Size),
      shown("Textl2size", "frameCache", {120, 405, 1020, 255}, "xxx", "L2 cache size", kL2Size),
      labelRow("Label80", "frameCache", {1185, 450, 450, 195}, "KB", Look::Small),
      labelRow("Label70", "frameCache", {120, 660, 1965, 195}, "L2 Cache Speed", Look::Plain,
               kL2Speed),
      shown("Textl2speed", "frameCache", {120, 855, 1020, 255}, "xxx", "L2 cache speed", kL2Speed),
      labelRow("Label79", "frameCache", {1185, 900, 450, 195}, "Mhz", Look::Small),

      labelRow("Label73", "tabCpuBoard", {60, 3420, 6645, 195}, kCredit, Look::Small, kCredit),
  });
}();

}  // namespace freqsmith::mainwin
