// Where the program's printed text goes. On Linux that is the terminal it runs in. On Windows
// the program is a windowed one, which has no console of its own: its text goes to the
// console of the command prompt that started it, to the file or pipe its output is
// redirected to, or, when it was started from Explorer or a shortcut, into a message box.
#pragma once

#include <string>
#include <string_view>

namespace freqsmith {

enum class Channel { Output, Error };

// Connects standard output and error to the console of the process that started the
// program, where the platform has not connected them already. Call before anything prints;
// later calls do nothing.
void connectToTerminal();

// Writes `text` (UTF-8) on `channel`, or shows it in a message box where the channel
// reaches nothing.
void print(Channel channel, std::string_view text);

// Why text printed on standard output did not all arrive, in the system's words ("No space
// left on device"); empty while it all did.
std::string outputFault();

}  // namespace freqsmith
