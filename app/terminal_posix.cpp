// Printing on systems where every program has the terminal it was started from.
#include <cstdio>

#include "terminal.h"

namespace freqsmith {

void connectToTerminal() {}

void print(Channel channel, std::string_view text) {
  std::FILE* stream = channel == Channel::Output ? stdout : stderr;
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace freqsmith
