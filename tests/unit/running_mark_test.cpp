// The sign of a running copy as the installer looks for it (OpenMutexW by name, asking only to
// wait on it): there while any copy holds it, gone once the last has let it go, and no more
// open to others than waiting on it.
#include "running_mark.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace freqsmith {
namespace {

// What the installer finds under `name`: a mutex it may open, one it may not (which is there
// all the same), or none.
bool seen(const wchar_t* name) {
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, name);
  if (mutex) {
    CloseHandle(mutex);
    return true;
  }
  return GetLastError() == ERROR_ACCESS_DENIED;
}

// A copy starting (+1) or ending (-1), and whether the sign is to be seen after it.
struct Step {
  int copies;
  bool seenAfter;
};

struct Lifetime {
  const char* name;
  std::vector<Step> steps;
};

const Lifetime kLifetimes[] = {
    {"one copy", {{+1, true}, {-1, false}}},
    {"a second copy keeps the sign when the first ends",
     {{+1, true}, {+1, true}, {-1, true}, {-1, false}}},
    {"a copy started again after the last ended",
     {{+1, true}, {-1, false}, {+1, true}, {-1, false}}},
};

TEST(RunningMark, IsSeenUnderBothNamesWhileACopyHoldsIt) {
  for (const wchar_t* name : {kRunningMarkSessionName, kRunningMarkMachineName}) {
    ASSERT_FALSE(seen(name)) << "the sign is there before any copy holds it";
  }
  for (const Lifetime& run : kLifetimes) {
    SCOPED_TRACE(run.name);
    std::vector<std::unique_ptr<RunningMark>> copies;
    int step = 0;
    for (const Step& s : run.steps) {
      SCOPED_TRACE(step++);
      if (s.copies > 0) {
        copies.push_back(std::make_unique<RunningMark>());
      } else {
        copies.erase(copies.begin());
      }
      EXPECT_EQ(seen(kRunningMarkSessionName), s.seenAfter);
      EXPECT_EQ(seen(kRunningMarkMachineName), s.seenAfter);
    }
  }
}

// Anyone may wait on the sign; nobody else may take it and so hold up the copies, nor change
// who may open it.
TEST(RunningMark, OpensOnlyForWaiting) {
  const RunningMark copy;
  for (const wchar_t* name : {kRunningMarkSessionName, kRunningMarkMachineName}) {
    for (const DWORD access : {DWORD{MUTEX_ALL_ACCESS}, DWORD{MUTEX_MODIFY_STATE}}) {
      HANDLE mutex = OpenMutexW(access, FALSE, name);
      EXPECT_EQ(mutex, nullptr);
      if (mutex) CloseHandle(mutex);
    }
  }
}

}  // namespace
}  // namespace freqsmith
