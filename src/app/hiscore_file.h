#pragma once
// The high-score file on disk. Loading never fails: a missing file gives the default
// table, a damaged one whatever its bytes decode to. Saving replaces the file in one
// step (a temporary file in the same folder, synced, then renamed over the old one), so
// a failed or interrupted save leaves the old table intact.
#include <string>

#include "game/hiscores.h"

namespace tarq {

// Where older builds kept the table, inside the data folder. The game now keeps it in
// the XDG data folder and moves an old file over once (app/user_paths.h).
constexpr const char* kHiScoreFile = "system/hiscores.dat";

// The table in `path`: the defaults if there is no such file; a file that cannot be
// read gives the defaults and a message on standard error.
HiScoreTable LoadHiScores(const std::string& path);

// Writes the table to `path` (making its folder if missing), replacing the old file
// only once the new one is safely on disk. On failure (disk full, read-only folder, ...) the old file is untouched, a
// message goes to standard error and the result is false.
bool SaveHiScores(const std::string& path, const HiScoreTable& table);

// The game's store: saves every entered table to one file (in the player's XDG data
// folder, made on the first save if it is missing).
class HiScoreFile : public HiScoreStore {
 public:
  explicit HiScoreFile(std::string path) : path_(std::move(path)) {}
  void Save(const HiScoreTable& table) override { SaveHiScores(path_, table); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tarq
