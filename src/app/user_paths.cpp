#include "app/user_paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/file_write.h"

namespace tarq {

namespace fs = std::filesystem;

namespace {

std::string Normalised(const std::string& path) {
  std::error_code ec;
  fs::path abs = fs::absolute(path, ec);
  if (ec) abs = path;
  std::string out = abs.lexically_normal().string();
  // "a/b/" and "a/b" name the same folder; keep messages tidy.
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool HoldsData(const std::string& folder) {
  std::error_code ec;
  return fs::is_regular_file(fs::path(folder) / kDataMarker, ec);
}

std::string JoinTried(const std::vector<std::string>& tried) {
  std::string out;
  for (size_t i = 0; i < tried.size(); ++i) {
    if (i > 0) out += ", ";
    out += tried[i];
  }
  return out;
}

std::string HomeFromPasswordDatabase() {
  struct passwd pw {};
  struct passwd* result = nullptr;
  std::string buffer(16384, '\0');
  if (getpwuid_r(getuid(), &pw, buffer.data(), buffer.size(), &result) != 0 || result == nullptr) return "";
  return pw.pw_dir ? std::string(pw.pw_dir) : std::string();
}

bool Absolute(const char* path) { return path != nullptr && path[0] == '/'; }

void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

}  // namespace

DataFolderResult FindDataFolder(const DataSearch& search) {
  DataFolderResult r;
  // An explicit choice is the player's word: used as given, never passed over for a
  // folder found elsewhere (which would hide a typing mistake).
  auto explicitChoice = [&](const std::string& path, const char* what) {
    const std::string p = Normalised(path);
    r.Tried.push_back(p);
    if (IsFolder(p)) {
      r.Found = true;
      r.Path = p;
    } else {
      r.Error = std::string("the data folder given by ") + what + " does not exist: " + p;
    }
    return r;
  };
  if (!search.Option.empty()) return explicitChoice(search.Option, "--data");
  if (!search.Environment.empty()) return explicitChoice(search.Environment, "TARQ_DATA");

  std::vector<std::string> candidates;
  if (!search.ExecutableDir.empty()) {
    candidates.push_back(Normalised(search.ExecutableDir + "/data"));
    candidates.push_back(Normalised(search.ExecutableDir + "/../share/tarq"));
  }
  if (!search.CurrentDir.empty()) candidates.push_back(Normalised(search.CurrentDir));
  for (const std::string& c : candidates) {
    r.Tried.push_back(c);
    if (HoldsData(c)) {
      r.Found = true;
      r.Path = c;
      return r;
    }
  }
  r.Error = std::string("cannot find the game data (") + kDataMarker + ") in any of: " + JoinTried(r.Tried) +
            "; name the folder with --data DIR or TARQ_DATA";
  return r;
}

std::string ExecutableFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return "";
  return exe.parent_path().string();
}

DataSearch DataSearchForThisProcess(const std::string& option) {
  DataSearch s;
  s.Option = option;
  if (const char* env = std::getenv("TARQ_DATA")) s.Environment = env;
  s.ExecutableDir = ExecutableFolder();
  std::error_code ec;
  s.CurrentDir = fs::current_path(ec).string();
  return s;
}

UserFolders XdgUserFolders(const char* xdgConfigHome, const char* xdgDataHome, const char* home) {
  std::string homeDir = home ? home : "";
  if (homeDir.empty()) homeDir = HomeFromPasswordDatabase();
  while (homeDir.size() > 1 && homeDir.back() == '/') homeDir.pop_back();
  UserFolders f;
  if (Absolute(xdgConfigHome)) {
    f.ConfigHome = xdgConfigHome;
  } else if (!homeDir.empty()) {
    f.ConfigHome = homeDir + "/.config";
  }
  if (Absolute(xdgDataHome)) {
    f.DataHome = xdgDataHome;
  } else if (!homeDir.empty()) {
    f.DataHome = homeDir + "/.local/share";
  }
  return f;
}

UserFolders XdgUserFoldersFromEnvironment() {
  return XdgUserFolders(std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::string SettingsFilePath(const UserFolders& folders) {
  return folders.ConfigHome.empty() ? "" : Normalised(folders.ConfigHome + "/" + kSettingsFileName);
}

std::string HiScoresFilePath(const UserFolders& folders) {
  return folders.DataHome.empty() ? "" : Normalised(folders.DataHome + "/" + kHiScoresFileName);
}

std::string DatedFilePath(const std::string& folder, const std::string& prefix, const std::string& extension) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = folder + "/" + prefix + stamp;
  std::string path = base + extension;
  for (int n = 2; fs::exists(path); ++n) path = base + "-" + std::to_string(n) + extension;
  return path;
}

OldFileMove MoveOldFileOnce(const std::string& oldPath, const std::string& newPath, std::string* error) {
  std::error_code ec;
  // Anything at the new place (even something unreadable) is the player's newer file.
  if (fs::symlink_status(newPath, ec).type() != fs::file_type::not_found) return OldFileMove::NotNeeded;
  if (!fs::is_regular_file(oldPath, ec)) return OldFileMove::NotNeeded;

  std::ifstream in(oldPath, std::ios::binary);
  std::ostringstream bytes;
  if (in.is_open()) bytes << in.rdbuf();
  if (!in.is_open() || in.bad()) {
    SetError(error, "cannot read " + oldPath);
    return OldFileMove::Failed;
  }
  switch (SaveFileSafely(newPath, bytes.str(), OnExisting::Keep, error)) {
    case SaveOutcome::Saved: return OldFileMove::Moved;
    case SaveOutcome::AlreadyThere: return OldFileMove::NotNeeded;
    case SaveOutcome::Failed: break;
  }
  return OldFileMove::Failed;
}

PlayerFiles PreparePlayerFiles(const std::string& dataFolder, const UserFolders& folders,
                               std::vector<std::string>& warnings) {
  PlayerFiles files;
  files.Settings = SettingsFilePath(folders);
  files.HiScores = HiScoresFilePath(folders);
  if (files.Settings.empty() || files.HiScores.empty()) {
    warnings.push_back("no home folder (HOME is not set): settings and high scores will not be kept");
  }
  const std::pair<std::string, const char*> moves[] = {{files.Settings, kOldSettingsFile},
                                                       {files.HiScores, kOldHiScoresFile}};
  for (const auto& [newPath, oldName] : moves) {
    if (newPath.empty()) continue;
    const std::string oldPath = (fs::path(dataFolder) / oldName).string();
    std::string error;
    if (MoveOldFileOnce(oldPath, newPath, &error) == OldFileMove::Failed) {
      warnings.push_back("could not move " + oldPath + " to " + newPath + " (" + error + ")");
    }
  }
  return files;
}

}  // namespace tarq
