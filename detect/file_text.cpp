// Bounded file reads through plain descriptors, so pipes and devices cannot stall start-up.
#include "file_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

namespace freqsmith::detect {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> readFileBounded(const std::filesystem::path& file, std::size_t cap) {
  // O_NONBLOCK makes open() return at once on a pipe instead of waiting for a writer; the
  // type check below then turns it away. It changes nothing for regular files.
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;

  // /proc and /sys report a size of 0 or 4096 whatever they hold, so read until the end.
  std::string content;
  std::array<char, 16384> buffer;
  while (content.size() < cap) {
    const std::size_t want = std::min(buffer.size(), cap - content.size());
    const ssize_t got = ::read(fd.get(), buffer.data(), want);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    content.append(buffer.data(), static_cast<std::size_t>(got));
  }
  return content;
}

bool openDenied(const std::filesystem::path& file) {
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  return fd.get() < 0 && (errno == EACCES || errno == EPERM);
}

std::optional<std::string> readValueFile(const std::filesystem::path& file) {
  const std::optional<std::string> content = readFileBounded(file, kValueFileCap);
  // Filling the cap means the file is something longer than one value; a cut value is wrong.
  if (!content || content->size() >= kValueFileCap) return std::nullopt;
  return cleanText(*content);
}

}  // namespace freqsmith::detect
