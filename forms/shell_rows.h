// The main window itself: the tab control, the two commands under it, the warning banner
// and the explanation line.
#pragma once

#include "build_config.h"
#include "controls.h"

namespace freqsmith::mainwin {

inline constexpr std::string_view kExplanationOnClick =
    "Click on something, and an explanation will be given here...";

inline constexpr auto kShellRows = std::to_array<Control>({
    {.name = "frmMain",
     .kind = ControlKind::Window,
     .place = {0, 0, 7035, 5370},
     .text = "Freqsmith " FREQSMITH_VERSION_TEXT},
    labelRow("Label76", "frmMain", {2520, 300, 3195, 135}, "OVERCLOCK AT YOUR OWN RISK!",
             Look::Banner),
    {.name = "SSTab1",
     .kind = ControlKind::Tabs,
     .parent = "frmMain",
     .place = {150, 420, 6765, 4065}},
    {.name = "tabProcessorMemory",
     .kind = ControlKind::TabPage,
     .parent = "SSTab1",
     .text = "Processor and Memory"},
    {.name = "tabPowerSupply",
     .kind = ControlKind::TabPage,
     .parent = "SSTab1",
     .text = "Power Supply"},
    {.name = "tabCpuBoard",
     .kind = ControlKind::TabPage,
     .parent = "SSTab1",
     .text = "CPU and Mainboard"},
    {.name = "tabMiscTools",
     .kind = ControlKind::TabPage,
     .parent = "SSTab1",
     .text = "   Miscellaneous Tools   "},
    buttonRow("Command2", "frmMain", {150, 4500, 5505, 285}, "Calculate"),
    buttonRow("Command3", "frmMain", {5670, 4500, 1245, 285}, "Reset"),
    labelRow("text7", "frmMain", {0, 5160, 7005, 285},
             "Click an object, and an explanation will be given here.", Look::Explanation,
             kExplanationOnClick),
});

}  // namespace freqsmith::mainwin
