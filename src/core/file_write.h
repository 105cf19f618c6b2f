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
