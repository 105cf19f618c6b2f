#pragma once
// Writing the player's files: the settings, the high scores and the files moved from
// older versions are all written the same safe way, so a crash or a full disk never
// leaves half a file where the player's data was.
#include <string>

namespace tarq {

// write() until all of `bytes` is out, retrying interrupted and short writes; false
// with errno set on failure.
bool WriteAll(int fd, const std::string& bytes);

enum class OnExisting {
  Replace,  // the new bytes take the old file's place
  Keep,     // an existing file is left alone (a file that appears meanwhile too)
};

enum class SaveOutcome { Saved, AlreadyThere, Failed };

// Writes `bytes` to `path` so that readers see either the old file or the whole new
// one: the folders are created, the bytes go to a temporary file beside `path` (a
// rename is atomic only within one file system) and reach the disk, and only then does
// the file take its name (rename, or link for Keep) and the folder is synced. A new
// file is readable by all; a replaced one keeps its permissions. On failure nothing
// is left behind, `*error` (if given) says what went wrong and the old file is intact.
SaveOutcome SaveFileSafely(const std::string& path, const std::string& bytes, OnExisting existing,
                           std::string* error = nullptr);

}  // namespace tarq
