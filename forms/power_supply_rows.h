// The "Power Supply" tab: ten device lines (count x watts per device = line watts), the
// component check boxes with their hidden watt fields, and the total.
#pragma once

#include "controls.h"

namespace freqsmith::mainwin {

// One column of the device grid, left to right.
struct DeviceLine {
  std::string_view heading;  // label over the column
  std::string_view caption;
  std::string_view count;      // how many devices (the mainboard line: system clock)
  std::string_view perDevice;  // watts per device, a constant the user may change
  std::string_view result;     // line watts
  std::string_view times;      // the "x" and "v" labels between them
  std::string_view arrow;
  std::string_view defaultWatts;  // design text of perDevice, restored by Defaults
  std::string_view countSentence;
  std::string_view perDeviceSentence;
  std::string_view resultSentence;
  std::string_view countTitle;  // how messages and assistive tools name the three fields
  std::string_view perDeviceTitle;
  std::string_view resultTitle;
  std::uint16_t countLength;
};

inline constexpr DeviceLine kDeviceLines[] = {
    {"Label42", "FAN", "Text22", "Text38", "Text21", "Text22Times", "Text38Arrow", "2",
     "The amound of fans you have in your system", "Watts per Fan (you can change this)",
     "Total watts used by the fans in your system", "Fans", "Fans: watts each", "Fans: watts", 3},
    {"Label43", "CCF", "Text25", "Text39", "Text26", "Text25Times", "Text39Arrow", "3",
     "The amount of Neons or Cold Cathodes in your system",
     "Watts per Neon or Cold Cathode (you can change this)",
     "Total watts used by the Neon's or CCFL's in your system", "Lights", "Lights: watts each",
     "Lights: watts", 3},
    {"Label44", "HDD", "Text28", "Text40", "Text27", "Text28Times", "Text40Arrow", "25",
     "How many Hard Disk Drives you have in your system",
     "Watts per Hard Drive (you can change this)",
     "Total watts used by the Hard Drives in your system", "Hard disks", "Hard disks: watts each",
     "Hard disks: watts", 3},
    {"Label45", "CDR", "Text30", "Text41", "Text29", "Text30Times", "Text41Arrow", "20",
     "How many CD, CDRW, or DVD ROM's you have in your system",
     "Watts per CD, CDRW, or DVD ROM (you can change this)",
     "Total watts used by the Optical Drives in your system", "Optical drives",
     "Optical drives: watts each", "Optical drives: watts", 3},
    {"Label46", "FDD", "Text32", "Text42", "Text31", "Text32Times", "Text42Arrow", "8",
     "How many Floppy, Zip, or LS-120 Drives you have in your system",
     "Watts per Floppy, Zip, and LS-120 Drive (you can change this)",
     "Total watts used by the Floppy, Zip, or LS-120 Drives in your system", "Floppy drives",
     "Floppy drives: watts each", "Floppy drives: watts", 3},
    {"Label36", "USB", "Text33", "Text43", "Text34", "Text33Times", "Text43Arrow", "5",
     "The number of USB devices (not mouse or keyboard) you are using",
     "Watts per USB device (you can change this)",
     "Total watts used by the USB Devices in your system", "USB devices", "USB devices: watts each",
     "USB devices: watts", 3},
    {"Label47", "1394", "Text23", "Text44", "Text24", "Text23Times", "Text44Arrow", "8",
     "The number of Firewire devices you are using",
     "Watts per Firewire device (you can change this)",
     "Total watts used by the Firewire Devices in your system", "Firewire devices",
     "Firewire devices: watts each", "Firewire devices: watts", 3},
    {"Label39", "PS2", "Text18", "Text20", "Text19", "Text18Times", "Text20Arrow", "2",
     "The combined number of mice and keyboards you are using",
     "Watts per Keyboard / Mouse (you can change this, but probably shouldnt)",
     "Total watts used by the keyboards and mice connected to your system", "Keyboards and mice",
     "Keyboards and mice: watts each", "Keyboards and mice: watts", 3},
    {"Label48", "RAM", "Text57", "Text59", "Text58", "Text57Times", "Text59Arrow", "12",
     "The total number of RAM modules in your system", "Watts per RAM Module (you can change this)",
     "Total watts used by the RAM Modules in your system", "Memory modules",
     "Memory modules: watts each", "Memory modules: watts", 3},
    {"Label49", "SYS CLK", "Text35", "Text45", "Text36", "Text35Times", "Text45Arrow", "0.4",
     "Your System Clock in Mhz (note: this is NOT your Frintside Bus)",
     "System clock Wattage multiplier (you can change this, but probably shouldnt)",
     "Total watts used by your systems motherboard", "System clock", "Mainboard watts per MHz",
     "Mainboard watts", 5},
};

enum class BoxGroup : std::uint8_t { None, CpuClass, GraphicsClass };

// A component check box and the hidden field that holds its watts while it is checked.
struct ComponentBox {
  std::string_view box;
  std::string_view frame;
  std::string_view caption;
  BoxGroup group;
  std::string_view field;
  std::string_view watts;  // written while checked; empty for "Dual CPU" (see Text16_Click)
  std::string_view sentence;
};

// In each frame's top-to-bottom order.
inline constexpr ComponentBox kComponentBoxes[] = {
    {"Check1", "Frame7", "Sound Card", BoxGroup::None, "Text9991", "7",
     "Indicates the existence of any audio adapter"},
    {"Check3", "Frame7", "SCSI Controller", BoxGroup::None, "Text9992", "25",
     "Indicates the existence of any SCSI controller"},
    {"Check4", "Frame7", "Dialup Modem", BoxGroup::None, "Text9993", "5",
     "Indicates the existence of any dialup or ISDN modem"},
    {"Check5", "Frame7", "Network Card", BoxGroup::None, "Text9994", "5",
     "Indicates the existence of any network interface"},
    {"Check2", "Frame7", "TV Tuner Card", BoxGroup::None, "Text9995", "4",
     "Indicates the existence of any TV Tuner card"},
    {"Check6", "Frame7", "USB Controller", BoxGroup::None, "Text9996", "10",
     "Indicates the existence of any USB controller"},
    {"Check7", "Frame7", "Firewire Card", BoxGroup::None, "Text9997", "30",
     "Indicates the existence of any Firewire controller"},
    {"Check8", "Frame8", "Celeron / P1", BoxGroup::CpuClass, "Text55", "30",
     "Indicates a Celeron or Pentium system"},
    {"Check9", "Frame8", "Pentium 2", BoxGroup::CpuClass, "Text54", "40",
     "Indicates a Pentium 2 system"},
    {"Check10", "Frame8", "Pentium 3", BoxGroup::CpuClass, "Text53", "50",
     "Indicates a Pentium 3 system"},
    {"Check11", "Frame8", "Pentium 4", BoxGroup::CpuClass, "Text52", "75",
     "Indicates a Pentium 4 system"},
    {"Check12", "Frame8", "Athlon / Duron", BoxGroup::CpuClass, "Text51", "50",
     "Indicates an Athlon or Duron system"},
    {"Check13", "Frame8", "Athlon XP / 64", BoxGroup::CpuClass, "Text50", "70",
     "Indicates an Athlon XP or Athlon 64 system"},
    {"Check15", "Frame8", "Dual CPU", BoxGroup::None, "Text16", "", "Indicates a dual CPU system"},
    {"Check21", "Frame10", "32MB or Less", BoxGroup::GraphicsClass, "Text66", "25",
     "Indicates a 32MB (or less) graphics adapter in your system"},
    {"Check20", "Frame10", "ATI 7000 - 9600", BoxGroup::GraphicsClass, "Text65", "40",
     "Indicates a Radeon 7000 thru 9600 class graphics adapter in your system"},
    {"Check19", "Frame10", "ATI 9700 - X700", BoxGroup::GraphicsClass, "Text64", "55",
     "Indicates a Radeon 9700 thru x700 class graphics adapter in your system"},
    {"Check16", "Frame10", "All Geforce MX", BoxGroup::GraphicsClass, "Text63", "30",
     "Indicates a Geforce MX class graphics adapter in your system"},
    {"Check17", "Frame10", "All Geforce Ti", BoxGroup::GraphicsClass, "Text62", "40",
     "Indicates a Geforce Titanium class graphics adapter in your system"},
    {"Check14", "Frame10", "All Geforce FX", BoxGroup::GraphicsClass, "Text61", "75",
     "Indicates a Geforce FX class graphics adapter in your system"},
    {"Check18", "Frame10", "GF 6800-ATI X800", BoxGroup::GraphicsClass, "Text60", "85",
     "Indicates a Geforce 6800 or Radeon x800 (or higher) in your system"},
};

inline constexpr std::string_view kTotalSentence =
    "This is the bare MINIMUM you should consider for a new PSU";

namespace power_supply {
constexpr std::size_t kLines = std::size(kDeviceLines);
constexpr std::size_t kBoxes = std::size(kComponentBoxes);
constexpr int kColumnWidth = 555;
constexpr int kFirstColumn = 120;
constexpr int kFieldWidth = 525;
constexpr int kBoxHeight = 210;
constexpr int kBoxTop = 240;
// Headings may run a little wider than their column ("SYS CLK").
constexpr int kHeadingOverhang = 45;
// Rows of the grid, top to bottom.
constexpr int kHeadingTop = 210;
constexpr int kCountTop = 405;
constexpr int kTimesTop = 705;
constexpr int kPerDeviceTop = 885;
constexpr int kArrowTop = 1185;
constexpr int kResultTop = 1365;

constexpr int kBoxFramesTop = 1905;
constexpr int kBoxFramesHeight = 1755;
// Each frame as wide as its longest caption needs.
constexpr std::array<Control, 4> kFrames{
    frameRow("Frame6", "tabPowerSupply", {60, 30, 6645, 1695}, "Power Supply"),
    frameRow("Frame7", "tabPowerSupply", {60, kBoxFramesTop, 1620, kBoxFramesHeight},
             "Onboard / PCI"),
    frameRow("Frame8", "tabPowerSupply", {1710, kBoxFramesTop, 1530, kBoxFramesHeight}, "CPU Type"),
    frameRow("Frame10", "tabPowerSupply", {3270, kBoxFramesTop, 1860, kBoxFramesHeight},
             "Video Card"),
};

// Row by row, so that keyboard focus moves across the counts, then across the watts.
consteval std::array<Control, kLines * 6> gridRows() {
  std::array<Control, kLines * 6> rows{};
  for (std::size_t i = 0; i < kLines; ++i) {
    const DeviceLine& line = kDeviceLines[i];
    const int left = kFirstColumn + static_cast<int>(i) * kColumnWidth;
    rows[i] =
        labelRow(line.heading, "Frame6",
                 {left - kHeadingOverhang, kHeadingTop, kFieldWidth + 2 * kHeadingOverhang, 195},
                 line.caption, Look::Heading, line.countSentence);
    rows[kLines + i] = {.name = line.count,
                        .kind = ControlKind::Field,
                        .parent = "Frame6",
                        .place = {left, kCountTop, kFieldWidth, 285},
                        .text = "0",
                        .sentence = line.countSentence,
                        .title = line.countTitle,
                        .role = FieldRole::Input,
                        .filter = KeyFilter::Decimal,
                        .maxLength = line.countLength};
    rows[2 * kLines + i] =
        labelRow(line.times, "Frame6", {left, kTimesTop, kFieldWidth, 180}, "x", Look::Heading);
    rows[3 * kLines + i] = {.name = line.perDevice,
                            .kind = ControlKind::Field,
                            .parent = "Frame6",
                            .place = {left, kPerDeviceTop, kFieldWidth, 285},
                            .text = line.defaultWatts,
                            .sentence = line.perDeviceSentence,
                            .title = line.perDeviceTitle,
                            .role = FieldRole::Tunable,
                            .filter = KeyFilter::Decimal,
                            .maxLength = 3};
    rows[4 * kLines + i] =
        labelRow(line.arrow, "Frame6", {left, kArrowTop, kFieldWidth, 180}, "v", Look::Heading);
    rows[5 * kLines + i] = {.name = line.result,
                            .kind = ControlKind::Field,
                            .parent = "Frame6",
                            .place = {left, kResultTop, kFieldWidth, 285},
                            .text = "0",
                            .sentence = line.resultSentence,
                            .title = line.resultTitle,
                            .role = FieldRole::Result,
                            .maxLength = 3};
  }
  return rows;
}

consteval std::array<Control, kBoxes * 2> boxRows() {
  std::array<Control, kBoxes * 2> rows{};
  int slot[3] = {0, 0, 0};
  for (std::size_t i = 0; i < kBoxes; ++i) {
    const ComponentBox& b = kComponentBoxes[i];
    const std::size_t frame = b.frame == "Frame7" ? 1 : b.frame == "Frame8" ? 2 : 3;
    const int width = kFrames[frame].place.width - 120;
    rows[2 * i] =
        boxRow(b.box, b.frame, {90, kBoxTop + slot[frame - 1]++ * kBoxHeight, width, kBoxHeight},
               b.caption, b.sentence);
    // The component watt fields are never shown; they carry the boxes' watts to the total.
    rows[2 * i + 1] = {.name = b.field,
                       .kind = ControlKind::Field,
                       .parent = "tabPowerSupply",
                       .text = "0",
                       .title = b.caption,
                       .role = FieldRole::Hidden,
                       .maxLength = static_cast<std::uint16_t>(b.field == "Text16" ? 4 : 2)};
  }
  return rows;
}

constexpr std::array<Control, 5> kTotalRows{
    buttonRow("Command7", "Frame6", {5700, 240, 870, 345}, "Defaults"),
    labelRow("Label50", "Frame6", {5700, 780, 870, 195}, "Watts Used", Look::Heading),
    {.name = "Text37",
     .kind = ControlKind::Field,
     .parent = "Frame6",
     .place = {5700, 990, 870, 480},
     .text = "0",
     .sentence = kTotalSentence,
     .title = "Watts Used",
     .role = FieldRole::Result,
     .maxLength = 5,
     .look = Look::Total},
    labelRow("Label82", "tabPowerSupply", {60, 1725, 6645, 165},
             "This calculator is to be used at YOUR OWN RISK! Values may not be accurate under "
             "some circumstances.",
             Look::Small),
    pictureRow("Image1", "tabPowerSupply", {5175, kBoxFramesTop + 135, 1530, 1530},
               "A picture of a frickin PSU..."),
};
}  // namespace power_supply

inline constexpr auto kPowerSupplyRows =
    joinRows(power_supply::kFrames, power_supply::gridRows(), power_supply::kTotalRows,
             power_supply::boxRows());

}  // namespace freqsmith::mainwin
