#include "app/hiscore_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/file_write.h"

namespace tarq {

namespace {

// A file the game wrote is at most 7 x 37 bytes; anything past this much is not a
// table and is read as if the file ended there (every further byte decodes as 255).
constexpr size_t kReadLimit = 64 * 1024;

void Report(const std::string& path, const char* what, int error) {
  std::fprintf(stderr, "TARQ: cannot %s the high scores %s: %s%s\n", what, path.c_str(),
               std::strerror(error),
               std::strcmp(what, "save") == 0 ? " (the previous table is kept)" : "");
}

}  // namespace

HiScoreTable LoadHiScores(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    // No file yet: the defaults, quietly; the first save creates it.
    if (errno != ENOENT) Report(path, "read", errno);
    return DefaultHiScores();
  }
  std::string bytes;
  std::vector<char> buf(4096);
  while (bytes.size() < kReadLimit) {
    const ssize_t n = ::read(fd, buf.data(), std::min(buf.size(), kReadLimit - bytes.size()));
    if (n < 0) {
      if (errno == EINTR) continue;
      // A file that cannot be read (a folder, an I/O error): the defaults. Its bytes
      // are not overwritten until a name is entered.
      Report(path, "read", errno);
      ::close(fd);
      return DefaultHiScores();
    }
    if (n == 0) break;
    bytes.append(buf.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  return DecodeHiScores(bytes);
}

bool SaveHiScores(const std::string& path, const HiScoreTable& table) {
  std::string error;
  if (SaveFileSafely(path, EncodeHiScores(table), OnExisting::Replace, &error) != SaveOutcome::Saved) {
    std::fprintf(stderr, "TARQ: cannot save the high scores (%s); the previous table is kept\n",
                 error.c_str());
    return false;
  }
  return true;
}

}  // namespace tarq
