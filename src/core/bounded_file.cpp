#include "core/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarq {

namespace {

template <typename Buffer>
FileReadResult ReadInto(const std::string& path, size_t max_bytes, Buffer& out) {
  out.clear();
  // Non-blocking open: a named pipe without a writer must not hang the start-up.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int e = errno;
    if (e == ENOENT || e == ENOTDIR) return {FileReadStatus::kMissing, path + " does not exist"};
    return {FileReadStatus::kError, "cannot open " + path + ": " + std::strerror(e)};
  }
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    return {FileReadStatus::kError, "cannot examine " + path + ": " + std::strerror(errno)};
  }
  if (S_ISDIR(info.st_mode)) return {FileReadStatus::kNotAFile, path + " is a folder, not a file"};
  const std::string too_large =
      path + " is too large (more than " + std::to_string(max_bytes) + " bytes)";
  if (S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) > max_bytes) {
    return {FileReadStatus::kTooLarge, too_large};
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // Regular files are read to their measured size (they may still grow meanwhile);
  // anything else is read until it ends or passes the limit.
  const size_t expected = S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) : 0;
  out.reserve(expected);
  char chunk[65536];
  while (true) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      out.clear();
      if (e == EISDIR) return {FileReadStatus::kNotAFile, path + " is a folder, not a file"};
      return {FileReadStatus::kError, "cannot read " + path + ": " + std::strerror(e)};
    }
    if (got == 0) break;
    if (out.size() + static_cast<size_t>(got) > max_bytes) {
      out.clear();
      out.shrink_to_fit();
      return {FileReadStatus::kTooLarge, too_large};
    }
    out.insert(out.end(), chunk, chunk + got);
  }
  return {};
}

}  // namespace

FileReadResult ReadBoundedFile(const std::string& path, size_t max_bytes, std::string& out) {
  return ReadInto(path, max_bytes, out);
}

FileReadResult ReadBoundedFile(const std::string& path, size_t max_bytes, std::vector<uint8_t>& out) {
  return ReadInto(path, max_bytes, out);
}

}  // namespace tarq
