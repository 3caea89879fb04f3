// The console writer's choice, in the situations a windowed Windows program meets: what the
// system says about a standard handle before the program attaches to its parent's console,
// whether it then attaches, what the system says after, and how the text is written.
#include "console_choice.h"

#include <gtest/gtest.h>

namespace freqsmith {
namespace {

constexpr HandleFacts kNoHandle{};
constexpr HandleFacts kFileOrPipe{.open = true};
constexpr HandleFacts kDevice{.open = true, .characterDevice = true};
constexpr HandleFacts kOwnConsole{.open = true, .characterDevice = true, .console = true};

struct Situation {
  const char* name;
  HandleFacts before;
  bool attaches;
  // What the handle is once the program has attached (and opened CONOUT$ where it had none).
  HandleFacts afterAttaching;
  Sink written;
};

constexpr Situation kSituations[] = {
    {"typed in a Command Prompt", kNoHandle, true, kOwnConsole, Sink::Console},
    {"started from Explorer, whose parent has no console", kNoHandle, true, kNoHandle,
     Sink::MessageBox},
    {"redirected to a file or piped into another program", kFileOrPipe, false, kFileOrPipe,
     Sink::Bytes},
    {"redirected to NUL", kDevice, true, kDevice, Sink::Bytes},
    {"handed the parent's console handle", kDevice, true, kOwnConsole, Sink::Console},
    {"already attached to a console", kOwnConsole, false, kOwnConsole, Sink::Console},
};

TEST(ConsoleChoice, WritesEachHandleTheWayItsTargetReadsIt) {
  for (const Situation& s : kSituations) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(wantsParentConsole(s.before), s.attaches);
    EXPECT_EQ(sinkFor(s.attaches ? s.afterAttaching : s.before), s.written);
  }
}

}  // namespace
}  // namespace freqsmith
