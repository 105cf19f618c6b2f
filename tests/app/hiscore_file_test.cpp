// The high-score file: loading any file at all, and saves that never lose the table.
#include "app/hiscore_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "test_util.h"

namespace tarq {
namespace {

using testing_util::ReadFile;
using testing_util::TempDir;
using testing_util::WriteFile;

HiScoreTable SampleTable() {
  HiScoreTable t = DefaultHiScores();
  t[3] = {412345, "WREN"};
  return t;
}

std::vector<std::string> FilesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.path()))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(HiScoreFile, MissingFileGivesTheDefaultsAndASaveReadsBackExactly) {
  TempDir dir;
  const std::string path = dir / "hiscores.dat";
  EXPECT_EQ(LoadHiScores(path), DefaultHiScores());
  ASSERT_TRUE(SaveHiScores(path, SampleTable()));
  EXPECT_EQ(ReadFile(path), EncodeHiScores(SampleTable()));
  EXPECT_EQ(LoadHiScores(path), SampleTable());
  // Replacing the file leaves no temporary behind and keeps the file's permissions.
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(SaveHiScores(path, DefaultHiScores()));
  EXPECT_EQ(LoadHiScores(path), DefaultHiScores());
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"hiscores.dat"});
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(HiScoreFile, TruncatedRandomAndHugeFilesLoadWithoutHarm) {
  TempDir dir;
  const std::string path = dir / "hiscores.dat";
  // Truncated after the first entry: the rest comes out empty with scores of -1.
  const std::string full = EncodeHiScores(SampleTable());
  WriteFile(path, full.substr(0, 21));
  HiScoreTable t = LoadHiScores(path);
  EXPECT_EQ(t[0], SampleTable()[0]);
  for (size_t i = 1; i < t.size(); ++i) EXPECT_EQ(t[i], (HiScoreEntry{-1, ""})) << i;
  // Random bytes: some table, names no longer than the game ever saves.
  std::mt19937 rng(5);
  std::string noise(3000, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  WriteFile(path, noise);
  for (const HiScoreEntry& e : LoadHiScores(path)) EXPECT_LE(e.Name.size(), kHiScoreNameLimit);
  // Eight megabytes of one name that never ends: cut to 32 characters, and the file is
  // read only as far as a table could reach, so the other entries come out empty.
  std::string endless(8 << 20, '\0');
  uint8_t key = 0x5C;
  for (char& c : endless) {
    c = static_cast<char>('A' ^ key);
    key = static_cast<uint8_t>(key + 3);
  }
  WriteFile(path, endless);
  t = LoadHiScores(path);
  EXPECT_EQ(t[0], (HiScoreEntry{-1, std::string(32, 'A')}));
  EXPECT_EQ(t[6], (HiScoreEntry{-1, ""}));
  // A folder where the file should be: the defaults.
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_EQ(LoadHiScores(path), DefaultHiScores());
}

// Saves into a read-only folder from a child process; as root the child gives up its
// rights first, since root may write anywhere. Returns the save's result.
bool SaveAsOrdinaryUser(const std::string& path, const HiScoreTable& table) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    ::_exit(SaveHiScores(path, table) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(HiScoreFile, AFailedSaveKeepsTheOldFile) {
  TempDir dir;
  const std::string folder = dir / "system";
  const std::string path = folder + "/hiscores.dat";
  std::filesystem::create_directory(folder);
  ASSERT_TRUE(SaveHiScores(path, SampleTable()));
  ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);  // the child may look inside
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
  EXPECT_FALSE(SaveAsOrdinaryUser(path, DefaultHiScores()));
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  EXPECT_EQ(LoadHiScores(path), SampleTable());
  EXPECT_EQ(FilesIn(dir).size(), 1u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);
  // A folder that does not exist yet is made.
  EXPECT_TRUE(SaveHiScores(dir / "new/hiscores.dat", SampleTable()));
  EXPECT_EQ(LoadHiScores(dir / "new/hiscores.dat"), SampleTable());
  // A folder where the file should be: the rename fails and the temporary file goes.
  std::filesystem::create_directories(dir / "taken/hiscores.dat/inside");
  EXPECT_FALSE(SaveHiScores(dir / "taken/hiscores.dat", SampleTable()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "taken"), {}), 1);
}

TEST(HiScoreFile, ATemporaryFileLeftByACrashNeverCorruptsTheTable) {
  // A save interrupted before its rename leaves a temporary file beside the table: the
  // table still reads as it was, and the next save replaces it cleanly.
  TempDir dir;
  const std::string path = dir / "hiscores.dat";
  ASSERT_TRUE(SaveHiScores(path, SampleTable()));
  const std::string half = EncodeHiScores(DefaultHiScores()).substr(0, 30);
  WriteFile(path + ".a1B2c3", half);
  EXPECT_EQ(LoadHiScores(path), SampleTable());
  ASSERT_TRUE(SaveHiScores(path, DefaultHiScores()));
  EXPECT_EQ(LoadHiScores(path), DefaultHiScores());
  EXPECT_EQ(ReadFile(path + ".a1B2c3"), half);  // someone else's file is left alone
}

}  // namespace
}  // namespace tarq
