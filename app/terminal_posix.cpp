// Printing on systems where every program has the terminal it was started from.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "terminal.h"

namespace freqsmith {
namespace {

// The error of the first write to standard output that failed, or 0.
int outputError = 0;

}  // namespace

void connectToTerminal() {
  // A standard descriptor that was closed ("freqsmith --help >&-") would be taken by the next
  // file the program or the toolkit opens, and the text would go there. /dev/null opened the
  // other way round holds its place, and a write to it fails with EBADF, as it should.
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF)
      open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
  }
}

void print(Channel channel, std::string_view text) {
  std::FILE* stream = channel == Channel::Output ? stdout : stderr;
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stream) == text.size();
  // Buffered text meets a full disk or a closed descriptor only here.
  const bool flushed = std::fflush(stream) == 0;
  if ((!written || !flushed) && stream == stdout && outputError == 0)
    outputError = errno != 0 ? errno : EIO;
}

std::string outputFault() {
  return outputError == 0 ? std::string() : std::string(std::strerror(outputError));
}

}  // namespace freqsmith
