// The "   Miscellaneous Tools   " tab: the converter buttons and the two links side by side,
// the release notes below them, and the author's picture in its black box to the right.
#pragma once

#include "build_config.h"
#include "controls.h"

namespace freqsmith::mainwin {

namespace misc_tools {
inline constexpr std::string_view kNotes =
    "Freqsmith " FREQSMITH_VERSION_TEXT
    "\n"
    "\n"
    "RELEASE NOTES\n"
    "- Airflow, temperature and video memory converters on this tab.\n"
    "- Figures too wide for their fields are shown whole, in a smaller type, instead of "
    "losing digits before the point.\n"
    "- Text that is not a number no longer stops a converter cold: it says what is wrong "
    "and leaves the result as it was.\n"
    "- Every converter starts from its own figures each time it is opened.\n"
    "\n"
    "CREDITS\n"
    "Written and drawn by the Freqsmith developers. Thanks to everyone who sent in the "
    "figures of their own machines.\n"
    "\n"
    "LICENCE (MIT)\n"
    "Copyright (c) 2026 the Freqsmith developers\n"
    "\n"
    "Permission is hereby granted, free of charge, to any person obtaining a copy of this "
    "software and associated documentation files (the \"Software\"), to deal in the Software "
    "without restriction, including without limitation the rights to use, copy, modify, "
    "merge, publish, distribute, sublicense, and/or sell copies of the Software, and to "
    "permit persons to whom the Software is furnished to do so, subject to the following "
    "conditions:\n"
    "\n"
    "The above copyright notice and this permission notice shall be included in all copies "
    "or substantial portions of the Software.\n"
    "\n"
    "THE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, "
    "INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A "
    "PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT "
    "HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF "
    "CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR "
    "THE USE OR OTHER DEALINGS IN THE SOFTWARE.";

// The buttons of both frames share one column inside their frame.
constexpr int kButtonLeft = 120;
constexpr int kButtonWidth = 2130;
}  // namespace misc_tools

inline constexpr auto kMiscToolsRows = [] {
  using namespace misc_tools;
  const auto button = [](std::string_view name, std::string_view frame, int top, int height,
                         std::string_view caption) {
    return buttonRow(name, frame, {kButtonLeft, top, kButtonWidth, height}, caption);
  };
  return std::to_array<Control>({
      frameRow("frameMiscTools", "tabMiscTools", {60, 30, 2370, 1860}, "Miscellaneous Tools"),
      button("Command8", "frameMiscTools", 270, 450, "Airflow Converter"),
      button("Command9", "frameMiscTools", 810, 450, "Vram Ns/Mhz Converter"),
      button("Command6", "frameMiscTools", 1350, 450, "Temperature Converter"),

      frameRow("frameLinks", "tabMiscTools", {2490, 30, 2370, 1860}, "Links"),
      // Tall enough for its 70 x 70 picture.
      button("Command10", "frameLinks", 270, 1170, "Visit our\npublisher\non the web"),
      button("Command1", "frameLinks", 1500, 300, "Freqsmith Home"),

      {.name = "Text10",
       .kind = ControlKind::Field,
       .parent = "tabMiscTools",
       .place = {60, 1950, 4800, 1665},
       .text = kNotes,
       .sentence = "Read this carefully...or baby Jesus will cry.",
       .title = "Release notes",
       .role = FieldRole::Notes,
       .maxLength = 999},

      // The black box first, so that the picture lies on it.
      labelRow("Label84", "tabMiscTools", {4980, 90, 1710, 1860}, "", Look::BlackBox),
      // Its sentence names the contact address, a build setting, so links/ writes it.
      pictureRow("Image4", "tabMiscTools", {5070, 150, 1530, 1740}),
      labelRow("Label81", "tabMiscTools", {4980, 2010, 1710, 900},
               "Did the author\nreally make\nall of this?", Look::Centered,
               "I think Zarko's full of crap."),
  });
}();

}  // namespace freqsmith::mainwin
