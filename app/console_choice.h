// How printed text reaches what a standard handle of a windowed Windows program leads to,
// decided from what the system says about the handle (GetFileType, GetConsoleMode), so that
// the rules hold, and are tested, apart from the calls that gather those facts.
#pragma once

namespace freqsmith {

struct HandleFacts {
  // The handle is there and the system knows it.
  bool open = false;
  // FILE_TYPE_CHAR: a console, or a device such as NUL.
  bool characterDevice = false;
  // GetConsoleMode answers: a console this process is attached to.
  bool console = false;
};

enum class Sink {
  // UTF-16 through WriteConsoleW: the console shows every character, whatever its code page.
  Console,
  // UTF-8 bytes through WriteFile: a file, a pipe, NUL.
  Bytes,
  // Nothing to write to: the text is shown in a message box.
  MessageBox,
};

// Microsoft's documentation of WriteConsole gives the rule: a handle for which GetConsoleMode
// succeeds is a console, and takes WriteConsole; any other has been redirected, and takes
// WriteFile. Bytes written to a console would be read in its code page (the OEM one, 437 or
// 850, unless someone has changed it), so UTF-8 "…" would show as "ΓÇª".
constexpr Sink sinkFor(HandleFacts handle) {
  if (!handle.open) return Sink::MessageBox;
  return handle.console ? Sink::Console : Sink::Bytes;
}

// Whether to attach to the console of the process that started the program before writing:
// where there is no handle (a windowed program started from a Command Prompt gets none), and
// where a character device does not answer as a console, as a console handle handed down by
// the parent need not before the program is attached to that console (for NUL, attaching
// changes nothing).
constexpr bool wantsParentConsole(HandleFacts handle) {
  return !handle.open || (handle.characterDevice && !handle.console);
}

}  // namespace freqsmith
