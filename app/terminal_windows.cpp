// Printing from a windowed Windows program: through the parent's console when there is one,
// else in a message box.
#include <windows.h>

#include <QCoreApplication>
#include <QString>
#include <cstdio>

#include "qt_text.h"
#include "terminal.h"

namespace freqsmith {
namespace {

bool reachesSomething(DWORD which) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

struct Reach {
  bool output = false;
  bool error = false;
};

// Redirected output (a pipe, a file) already reaches its target; a console is borrowed from
// the parent only for the channels that reach nothing. Started from cmd or PowerShell the
// prompt does not wait for a windowed program, so the text may follow the next prompt;
// "freqsmith --detect | more" waits for it.
const Reach& reach() {
  static const Reach connected = [] {
    Reach r{reachesSomething(STD_OUTPUT_HANDLE), reachesSomething(STD_ERROR_HANDLE)};
    if ((!r.output || !r.error) && AttachConsole(ATTACH_PARENT_PROCESS)) {
      if (!r.output) r.output = std::freopen("CONOUT$", "w", stdout) != nullptr;
      if (!r.error) r.error = std::freopen("CONOUT$", "w", stderr) != nullptr;
    }
    return r;
  }();
  return connected;
}

}  // namespace

void connectToTerminal() {
  reach();
}

void print(Channel channel, std::string_view text) {
  const bool output = channel == Channel::Output;
  if (output ? reach().output : reach().error) {
    std::FILE* stream = output ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
    return;
  }
  // Titled like the boxes Qt shows for --help and --version.
  const std::wstring title = QCoreApplication::applicationName().toStdWString();
  const std::wstring wide = toQString(text).trimmed().toStdWString();
  MessageBoxW(nullptr, wide.c_str(), title.c_str(),
              MB_OK | MB_SETFOREGROUND | (output ? MB_ICONINFORMATION : MB_ICONERROR));
}

}  // namespace freqsmith
