#pragma once
// Writing the player's files: the settings, the high scores and the files moved from
// older versions are all replaced safely (temporary file, sync, rename); this is the
// write loop they share.
#include <string>

namespace tarq {

// write() until all of `bytes` is out, retrying interrupted and short writes; false
// with errno set on failure.
bool WriteAll(int fd, const std::string& bytes);

}  // namespace tarq

namespace tarq {

// Replaces `path` with `bytes` safely: a temporary file beside it is written, synced
// and renamed over it, so a crash leaves either the old file or the new one. New files
// are readable by all (0644). False with a message naming the file on failure.
bool SaveFileAtomically(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace tarq
