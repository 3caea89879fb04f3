// The sign a running Freqsmith gives its installer and uninstaller: while any copy of the
// program runs (the window, or a --detect, --help or --version run, each a running copy of
// the files they would replace), a named kernel object exists; when the last copy ends,
// Windows removes it. packaging/windows/installer.nsi looks for the same names.
#pragma once

#include <array>

namespace freqsmith {

// Holds the sign from construction to destruction. Where the platform has no use for it
// (Linux's package manager replaces files under a running program safely) it holds nothing.
class RunningMark {
 public:
  RunningMark();
  ~RunningMark();
  RunningMark(const RunningMark&) = delete;
  RunningMark& operator=(const RunningMark&) = delete;

 private:
  // The Windows build's two mutexes; elsewhere they stay empty.
  [[maybe_unused]] std::array<void*, 2> held_{};
};

// The names of the sign, as the installer opens them (OpenMutexW): one seen from the session
// the program runs in, one seen from every session of the machine.
inline constexpr const wchar_t* kRunningMarkSessionName = L"Local\\Freqsmith.Running";
inline constexpr const wchar_t* kRunningMarkMachineName = L"Global\\Freqsmith.Running";

}  // namespace freqsmith
