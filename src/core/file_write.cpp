#include "core/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tarq {

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

namespace {

SaveOutcome Fail(std::string* error, const std::string& text, int errorNumber) {
  if (error) *error = text + ": " + std::strerror(errorNumber);
  return SaveOutcome::Failed;
}

void SyncFolder(const std::filesystem::path& folder) {
  // Makes the new name durable; if this fails the file is in place all the same.
  const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace

SaveOutcome SaveFileSafely(const std::string& path, const std::string& bytes, OnExisting existing,
                           std::string* error) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty()) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return Fail(error, "cannot create folder " + folder.string(), ec.value());
  }
  std::string temp = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Fail(error, "cannot create a temporary file beside " + path, errno);

  struct stat old {};
  const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  int failure = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure != 0) {
    ::unlink(temp.c_str());
    return Fail(error, "cannot write " + path, failure);
  }
  if (existing == OnExisting::Replace) {
    if (::rename(temp.c_str(), path.c_str()) != 0) {
      failure = errno;
      ::unlink(temp.c_str());
      return Fail(error, "cannot replace " + path, failure);
    }
  } else {
    // link() fails rather than replace a file that is already there.
    const bool linked = ::link(temp.c_str(), path.c_str()) == 0;
    failure = errno;
    ::unlink(temp.c_str());
    if (!linked) {
      if (failure == EEXIST) return SaveOutcome::AlreadyThere;
      return Fail(error, "cannot write " + path, failure);
    }
  }
  SyncFolder(folder);
  return SaveOutcome::Saved;
}

}  // namespace tarq
