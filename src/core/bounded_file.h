#pragma once
// Reading a whole data file with a size limit. Every reader that takes a file in one
// piece goes through this, so a file that is far too large (a 2 GiB sparse file, a
// link to /dev/zero, a pipe that never ends) is refused with a message before it can
// ask for gigabytes, and a folder in a file's place is refused as such.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarq {

enum class FileReadStatus {
  kOk,
  kMissing,   // no such file (callers may treat this as "use the defaults")
  kNotAFile,  // a folder in the file's place
  kTooLarge,  // more than the limit
  kError,     // cannot be opened or read
};

struct FileReadResult {
  FileReadStatus Status = FileReadStatus::kOk;
  std::string Error;  // a message naming the file when Status is not kOk
  bool Ok() const { return Status == FileReadStatus::kOk; }
};

// Reads all of `path` into `out` when it holds at most max_bytes bytes. Regular files
// are measured before reading; devices and pipes are read until they pass the limit.
FileReadResult ReadBoundedFile(const std::string& path, size_t max_bytes, std::string& out);
FileReadResult ReadBoundedFile(const std::string& path, size_t max_bytes, std::vector<uint8_t>& out);

}  // namespace tarq
