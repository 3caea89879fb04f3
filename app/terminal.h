// Where the program's printed text goes. On Linux that is the terminal it runs in. On Windows
// the program is a windowed one, which has no console of its own: its text goes to the
// console of the command prompt that started it, to the file or pipe its output is
// redirected to, or, when it was started from Explorer or a shortcut, into a message box.
#pragma once

#include <string_view>

namespace freqsmith {

enum class Channel { Output, Error };

// Connects standard output and error to the console of the process that started the
// program, where the platform has not connected them already. Call before anything prints,
// Qt's own --help and --version included; later calls do nothing.
void connectToTerminal();

// Writes `text` on `channel`, or shows it in a message box where the channel reaches nothing.
void print(Channel channel, std::string_view text);

}  // namespace freqsmith
