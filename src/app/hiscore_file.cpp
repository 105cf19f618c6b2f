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

std::string FolderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  return folder.empty() ? std::string(".") : folder.string();
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
  const std::string bytes = EncodeHiScores(table);
  // The new table goes to a temporary file beside the old one (a rename is atomic only
  // within one file system), reaches the disk, and only then takes the old one's name.
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    Report(path, "save", errno);
    return false;
  }
  // Keep the old file's permissions; a new file is readable by all, like any other
  // file the game writes.
  struct stat old {};
  const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  int error = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    Report(path, "save", error);
    return false;
  }
  // The rename itself is made durable by syncing the folder; if that fails the new
  // table is in place all the same.
  const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

}  // namespace tarq
