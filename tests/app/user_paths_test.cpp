// Where the data is found and where the player's files live: the data-folder search,
// the XDG folders and the one-time move of files older builds kept in the data folder.
#include "app/user_paths.h"
#include "app/hiscore_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_util.h"

namespace tarq {
namespace {

namespace fs = std::filesystem;
using testing_util::ReadFile;
using testing_util::TempDir;
using testing_util::WriteFile;

void MakeData(const std::string& folder) { WriteFile(folder + "/" + kDataMarker, "pak"); }

TEST(DataFolder, AutomaticPlacesAreTriedInOrderAndNeedTheSpriteArchive) {
  TempDir dir;
  const std::string exe = dir / "prefix/bin";
  const std::string cwd = dir / "elsewhere";
  fs::create_directories(exe);
  fs::create_directories(cwd);
  DataSearch s;
  s.ExecutableDir = exe;
  s.CurrentDir = cwd;

  // Nothing anywhere: the error names every folder tried, in order.
  DataFolderResult r = FindDataFolder(s);
  EXPECT_FALSE(r.Found);
  const std::vector<std::string> tried = {dir / "prefix/bin/data", dir / "prefix/share/tarq", cwd};
  EXPECT_EQ(r.Tried, tried);
  for (const std::string& t : tried) EXPECT_NE(r.Error.find(t), std::string::npos) << r.Error;

  // A folder without the archive does not count.
  fs::create_directories(dir / "prefix/bin/data/system");
  EXPECT_FALSE(FindDataFolder(s).Found);

  MakeData(cwd);
  EXPECT_EQ(FindDataFolder(s).Path, cwd);
  MakeData(dir / "prefix/share/tarq");  // installed beats the current folder
  EXPECT_EQ(FindDataFolder(s).Path, dir / "prefix/share/tarq");
  MakeData(dir / "prefix/bin/data");  // the build tree beats both
  r = FindDataFolder(s);
  EXPECT_EQ(r.Path, dir / "prefix/bin/data");
  EXPECT_EQ(r.Tried.size(), 1u);
}

TEST(DataFolder, OptionAndEnvironmentAreTakenAsGivenAndNeverPassedOver) {
  TempDir dir;
  MakeData(dir / "bin/data");
  fs::create_directories(dir / "chosen");  // no archive: still the player's choice
  DataSearch s;
  s.ExecutableDir = dir / "bin";
  s.Environment = dir / "chosen";
  EXPECT_EQ(FindDataFolder(s).Path, dir / "chosen");
  s.Option = dir / "chosen/../bin/data/";  // normalised
  EXPECT_EQ(FindDataFolder(s).Path, dir / "bin/data");

  // A mistyped folder is an error naming it, not a quiet fall-back to another.
  s.Option = dir / "typo";
  DataFolderResult r = FindDataFolder(s);
  EXPECT_FALSE(r.Found);
  EXPECT_NE(r.Error.find("--data"), std::string::npos);
  EXPECT_NE(r.Error.find(dir / "typo"), std::string::npos);
  s.Option.clear();
  s.Environment = dir / "typo";
  r = FindDataFolder(s);
  EXPECT_FALSE(r.Found);
  EXPECT_NE(r.Error.find("TARQ_DATA"), std::string::npos);
}

TEST(DataFolder, RelativeChoicesAreMadeAbsolute) {
  TempDir dir;
  MakeData(dir / "d");
  testing_util::ScopedChdir cd(dir.path());
  DataSearch s;
  s.Option = "d";
  EXPECT_EQ(FindDataFolder(s).Path, dir / "d");
}

TEST(UserFolders, XdgVariablesWinWhenAbsoluteElseTheHomeDefaults) {
  UserFolders f = XdgUserFolders("/x/config", "/x/data", "/home/p");
  EXPECT_EQ(SettingsFilePath(f), "/x/config/tarq/tarq.ini");
  EXPECT_EQ(HiScoresFilePath(f), "/x/data/tarq/hiscores.dat");
  f = XdgUserFolders(nullptr, nullptr, "/home/p/");
  EXPECT_EQ(SettingsFilePath(f), "/home/p/.config/tarq/tarq.ini");
  EXPECT_EQ(HiScoresFilePath(f), "/home/p/.local/share/tarq/hiscores.dat");
  // Relative or empty values are ignored, as the XDG rules ask.
  f = XdgUserFolders("rel/config", "", "/home/p");
  EXPECT_EQ(SettingsFilePath(f), "/home/p/.config/tarq/tarq.ini");
  EXPECT_EQ(HiScoresFilePath(f), "/home/p/.local/share/tarq/hiscores.dat");
  // No HOME: the password database still knows a home folder for the user.
  f = XdgUserFolders(nullptr, nullptr, "");
  EXPECT_FALSE(f.ConfigHome.empty());
}

TEST(OldFiles, AreMovedOnceWithEveryByteKept) {
  TempDir dir;
  const std::string data = dir / "data";
  // A scrambled high-score file is binary: every byte value must survive.
  std::string scores;
  for (int i = 0; i < 256; ++i) scores += static_cast<char>(i);
  WriteFile(data + "/system/tarq.ini", "[sound]\nsoundvolume=40\n[mine]\nx=1\n");
  WriteFile(data + "/system/hiscores.dat", scores);
  const UserFolders folders = XdgUserFolders((dir / "cfg").c_str(), (dir / "share").c_str(), "/nowhere");
  std::vector<std::string> warnings;
  PlayerFiles files = PreparePlayerFiles(data, folders, warnings);
  EXPECT_TRUE(warnings.empty());
  EXPECT_EQ(files.Settings, dir / "cfg/tarq/tarq.ini");
  EXPECT_EQ(files.HiScores, dir / "share/tarq/hiscores.dat");
  EXPECT_EQ(ReadFile(files.Settings), "[sound]\nsoundvolume=40\n[mine]\nx=1\n");
  EXPECT_EQ(ReadFile(files.HiScores), scores);
  // The data folder is only read: the old files stay as they were.
  EXPECT_EQ(ReadFile(data + "/system/hiscores.dat"), scores);
  // No temporary file is left beside the new ones.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cfg/tarq"), fs::directory_iterator()), 1);

  // Once the new files exist they are the player's: the old ones never come back.
  WriteFile(files.Settings, "[sound]\nsoundvolume=7\n");
  files = PreparePlayerFiles(data, folders, warnings);
  EXPECT_EQ(ReadFile(files.Settings), "[sound]\nsoundvolume=7\n");
  EXPECT_TRUE(warnings.empty());
}

TEST(OldFiles, NothingToMoveAndFailuresLeaveEverythingAsItWas) {
  TempDir dir;
  std::string error;
  EXPECT_EQ(MoveOldFileOnce(dir / "none", dir / "new/x", &error), OldFileMove::NotNeeded);
  EXPECT_FALSE(fs::exists(dir / "new"));  // folders are made on the first real write

  // The new place cannot be made (a file stands where its folder should be).
  WriteFile(dir / "old.ini", "[a]\nb=c\n");
  WriteFile(dir / "blocked", "file");
  EXPECT_EQ(MoveOldFileOnce(dir / "old.ini", dir / "blocked/tarq/tarq.ini", &error), OldFileMove::Failed);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFile(dir / "old.ini"), "[a]\nb=c\n");

  // An empty old file is still the player's file.
  WriteFile(dir / "empty", "");
  EXPECT_EQ(MoveOldFileOnce(dir / "empty", dir / "out/empty", &error), OldFileMove::Moved);
  EXPECT_TRUE(fs::exists(dir / "out/empty"));

  // Trouble is reported as a warning; the game still gets its paths.
  std::vector<std::string> warnings;
  WriteFile(dir / "data/system/tarq.ini", "x");
  const UserFolders blocked = XdgUserFolders((dir / "blocked").c_str(), (dir / "share").c_str(), "/nowhere");
  const PlayerFiles files = PreparePlayerFiles(dir / "data", blocked, warnings);
  EXPECT_EQ(files.Settings, dir / "blocked/tarq/tarq.ini");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("tarq.ini"), std::string::npos);
}

TEST(OldFiles, TheFirstSavedTableMakesItsFolder) {
  // A new player: no ~/.local/share/tarq yet. The first entered name must not be lost.
  TempDir dir;
  const std::string path = HiScoresFilePath(XdgUserFolders(nullptr, (dir / "share").c_str(), "/nowhere"));
  HiScoreFile store(path);
  HiScoreTable table = DefaultHiScores();
  table[0] = HiScoreEntry{150, "NEW PLAYER"};
  store.Save(table);
  EXPECT_EQ(LoadHiScores(path), table);
}

}  // namespace
}  // namespace tarq
