#pragma once
// Where the game finds its data and keeps the player's files.
//
// The data folder (system/ and tiles/, only ever read) is looked for in this order:
// --data DIR, the TARQ_DATA environment variable, data/ beside the executable (the
// build tree), ../share/tarq/ relative to the executable (an installed copy), and the
// current folder. The first two are the player's explicit choice and are taken as
// given; the others count only when they hold system/sprites.pak.
//
// The player's own files follow the XDG base directories: the settings in
// $XDG_CONFIG_HOME/tarq/tarq.ini, the high-score table in $XDG_DATA_HOME/tarq/
// hiscores.dat. Older builds kept both inside the data folder's system/ folder; the
// first start that finds such a file and no new one copies it over once.
#include <string>
#include <vector>

namespace tarq {

// The marker of a data folder.
inline constexpr const char* kDataMarker = "system/sprites.pak";
// The player's files, relative to their XDG base folders, and their old places
// relative to the data folder.
inline constexpr const char* kSettingsFileName = "tarq/tarq.ini";
inline constexpr const char* kHiScoresFileName = "tarq/hiscores.dat";
inline constexpr const char* kOldSettingsFile = "system/tarq.ini";
inline constexpr const char* kOldHiScoresFile = "system/hiscores.dat";

// What the data-folder search looks at; empty strings are "not given".
struct DataSearch {
  std::string Option;         // --data DIR
  std::string Environment;    // TARQ_DATA
  std::string ExecutableDir;  // the folder of the running program
  std::string CurrentDir;
};

struct DataFolderResult {
  bool Found = false;
  std::string Path;                // absolute and normalised when found
  std::vector<std::string> Tried;  // every folder looked at, in order
  std::string Error;               // when not found: says what was tried
};

DataFolderResult FindDataFolder(const DataSearch& search);
// The search for this process: TARQ_DATA, /proc/self/exe and the current folder.
DataSearch DataSearchForThisProcess(const std::string& option);
// The folder of the running executable ("" when the system will not say).
std::string ExecutableFolder();

// The XDG base folders for the player's files.
struct UserFolders {
  std::string ConfigHome;  // "" when no home folder can be found
  std::string DataHome;
};

// $XDG_CONFIG_HOME and $XDG_DATA_HOME when set to absolute paths (relative values
// are ignored, as the XDG rules ask), else ~/.config and ~/.local/share. `home` is
// $HOME; when it is empty the password database is asked.
UserFolders XdgUserFolders(const char* xdgConfigHome, const char* xdgDataHome, const char* home);
UserFolders XdgUserFoldersFromEnvironment();

std::string SettingsFilePath(const UserFolders& folders);  // "" without a home
std::string HiScoresFilePath(const UserFolders& folders);  // "" without a home

// A new file's path in `folder` named after the local date and time, e.g.
// folder/<prefix>20261209-181500<extension>; "-2", "-3", ... are added when that name
// is taken (several files in one second).
std::string DatedFilePath(const std::string& folder, const std::string& prefix, const std::string& extension);

enum class OldFileMove {
  NotNeeded,  // the new file exists, or there is no old one
  Moved,      // copied to the new place (the old one is left: the data folder is read-only)
  Failed,     // the copy failed; the old file is untouched and the next start tries again
};

// If `newPath` does not exist but `oldPath` does, copies the old file's bytes to
// `newPath` (creating its folders; written to a temporary file and renamed, so a
// half-written copy never takes the new file's place).
OldFileMove MoveOldFileOnce(const std::string& oldPath, const std::string& newPath, std::string* error);

// The player's files of one start of the game, after the one-time move.
struct PlayerFiles {
  std::string Settings;
  std::string HiScores;
};

// Settles the player's files for a game started on `dataFolder`: the XDG paths, with
// the old files of the data folder moved over when there are no new ones yet. Each
// step's trouble is appended to `warnings`; nothing here stops the game.
PlayerFiles PreparePlayerFiles(const std::string& dataFolder, const UserFolders& folders,
                               std::vector<std::string>& warnings);

}  // namespace tarq
