// Printing from a windowed Windows program: through the parent's console when there is one,
// as UTF-16, so that the console shows every character without its code page being changed;
// as UTF-8 into files and pipes; else in a message box.
#include <windows.h>

#include <QString>
#include <algorithm>
#include <cstdio>
#include <string>

#include "console_choice.h"
#include "qt_text.h"
#include "terminal.h"

namespace freqsmith {
namespace {

HandleFacts factsOf(HANDLE handle) {
  HandleFacts facts;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return facts;
  SetLastError(NO_ERROR);
  const DWORD type = GetFileType(handle);
  facts.open = type != FILE_TYPE_UNKNOWN || GetLastError() == NO_ERROR;
  facts.characterDevice = type == FILE_TYPE_CHAR;
  DWORD mode = 0;
  facts.console = GetConsoleMode(handle, &mode) != 0;
  return facts;
}

struct Stream {
  DWORD which;
  std::FILE* file;
  HANDLE handle = nullptr;
  Sink sink = Sink::MessageBox;
};

struct Streams {
  Stream output{STD_OUTPUT_HANDLE, stdout};
  Stream error{STD_ERROR_HANDLE, stderr};
};

// Redirected output (a pipe, a file) already reaches its target; the parent's console is
// borrowed for the channels that reach nothing. Started from cmd or PowerShell the prompt
// does not wait for a windowed program, so the text may follow the next prompt;
// "freqsmith --detect | more" waits for it. The console's code page is the parent's too, and
// stays as it is: SetConsoleOutputCP would change it for the prompt after the program ends.
// On Windows a windowed program typed at a prompt gets no standard handles and must attach
// (Microsoft's documentation of AttachConsole: a /SUBSYSTEM:WINDOWS program's standard
// handles are likely invalid until it calls AttachConsole, unless its parent handed some
// down). Wine hands such a program the console's handles instead; its tests start the
// program through "start /wait", which hands none down, as Windows does. Wine's console
// reads bytes in the OEM code page as Windows' does, so there the tests see the difference
// between WriteConsoleW and bytes; what they cannot see is the console's font, which on
// Windows may lack a glyph for a character that arrived intact.
Streams& streams() {
  static Streams connected = [] {
    Streams s;
    bool attach = false;
    for (Stream* stream : {&s.output, &s.error}) {
      stream->handle = GetStdHandle(stream->which);
      attach = attach || wantsParentConsole(factsOf(stream->handle));
    }
    // Fails where the parent has no console (Explorer, a shortcut) and where this process has
    // one already; either way there is nothing more to connect.
    if (attach && AttachConsole(ATTACH_PARENT_PROCESS)) {
      for (Stream* stream : {&s.output, &s.error}) {
        if (factsOf(stream->handle).open) continue;
        // GetConsoleMode wants the handle readable as well.
        const HANDLE console =
            CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (console == INVALID_HANDLE_VALUE) continue;
        stream->handle = console;
        SetStdHandle(stream->which, console);
        // The toolkit's own messages go through the C library's streams.
        std::freopen("CONOUT$", "w", stream->file);
      }
    }
    for (Stream* stream : {&s.output, &s.error}) stream->sink = sinkFor(factsOf(stream->handle));
    return s;
  }();
  return connected;
}

// The error of the first write to standard output that failed, or ERROR_SUCCESS.
DWORD outputError = ERROR_SUCCESS;

// Line ends as Windows writes them, in a console and in a file alike.
std::string withWindowsLineEnds(std::string_view text) {
  std::string converted;
  converted.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) converted.push_back('\r');
    converted.push_back(text[i]);
  }
  return converted;
}

DWORD writeConsole(HANDLE console, std::string_view text) {
  const std::wstring wide = toQString(text).toStdWString();
  // WriteConsoleW takes its text through a buffer of limited size (older Windows versions
  // gave it a 64 KB heap shared by the process), so long text goes in pieces, never between
  // the two halves of a surrogate pair.
  constexpr std::size_t kPiece = 8192;
  for (std::size_t at = 0; at < wide.size();) {
    std::size_t length = std::min(kPiece, wide.size() - at);
    if (at + length < wide.size() && IS_HIGH_SURROGATE(wide[at + length - 1])) --length;
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(length), &written, nullptr))
      return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    at += written;
  }
  return ERROR_SUCCESS;
}

DWORD writeBytes(HANDLE file, std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    DWORD written = 0;
    if (!WriteFile(file, text.data() + at, static_cast<DWORD>(text.size() - at), &written, nullptr))
      return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    at += written;
  }
  return ERROR_SUCCESS;
}

}  // namespace

void connectToTerminal() {
  streams();
}

void print(Channel channel, std::string_view text) {
  const bool output = channel == Channel::Output;
  const Stream& stream = output ? streams().output : streams().error;
  if (stream.sink == Sink::MessageBox) {
    const std::wstring wide = toQString(text).trimmed().toStdWString();
    MessageBoxW(nullptr, wide.c_str(), L"freqsmith",
                MB_OK | MB_SETFOREGROUND | (output ? MB_ICONINFORMATION : MB_ICONERROR));
    return;
  }
  // The C library's stream may hold text of the toolkit's that belongs before ours.
  std::fflush(stream.file);
  const std::string lines = withWindowsLineEnds(text);
  const DWORD error = stream.sink == Sink::Console ? writeConsole(stream.handle, lines)
                                                   : writeBytes(stream.handle, lines);
  if (output && error != ERROR_SUCCESS && outputError == ERROR_SUCCESS) outputError = error;
}

std::string outputFault() {
  if (outputError == ERROR_SUCCESS) return {};
  wchar_t* message = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, outputError, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  QString text = length == 0 ? QString() : QString::fromWCharArray(message, length).trimmed();
  LocalFree(message);
  // The system's words where it has them, and the code, which a search finds, beside them.
  const QString code = QStringLiteral("error %1").arg(outputError);
  text = text.isEmpty() ? code : QStringLiteral("%1 (%2)").arg(text, code);
  return text.toStdString();
}

}  // namespace freqsmith
