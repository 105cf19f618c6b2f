// The enemy schedule at start-up: a missing or broken system/enemies.txt stops the
// start-up with a message naming the file and line; the headless runner's --schedule
// reads another file.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "app/headless.h"
#include "app/main_window.h"
#include "fixtures.h"

namespace tarq {
namespace {

using testing_util::MakeDataFolder;
using testing_util::ReadFile;
using testing_util::ScopedChdir;
using testing_util::TempDir;
using testing_util::WriteFile;

StartupResult StartHeadless(TForm1& form, const std::string& schedule = "") {
  StartupOptions o;
  o.Headless = true;
  o.FixedSeed = true;
  o.SchedulePath = schedule;
  return form.FormCreate(std::move(o));
}

TEST(ScheduleStartup, AMissingScheduleIsAStartUpError) {
  TempDir dir;
  MakeDataFolder(dir);
  std::filesystem::remove(dir / "system/enemies.txt");
  ScopedChdir cd(dir.path());
  TForm1 form;
  EXPECT_EQ(StartHeadless(form), StartupResult::Failed);
  EXPECT_NE(form.StartupError().find("system/enemies.txt"), std::string::npos) << form.StartupError();
  EXPECT_FALSE(form.Timer1().MayProcess);
}

TEST(ScheduleStartup, ABadLineIsAStartUpErrorNamingFileAndLine) {
  TempDir dir;
  MakeDataFolder(dir);
  WriteFile(dir / "system/enemies.txt", "; level\r\n261000 0 0 0 0 0 0 0 0 100 0 1\r\n261000 0 0 0 0 0 0 0 0 1OO 0 1\r\n");
  ScopedChdir cd(dir.path());
  TForm1 form;
  EXPECT_EQ(StartHeadless(form), StartupResult::Failed);
  EXPECT_EQ(form.StartupError(), "system/enemies.txt, line 3: '1OO' is not a valid integer value");
}

TEST(ScheduleStartup, TheScheduleIsLoadedAndSpriteNamesAreKnown) {
  TempDir dir;
  MakeDataFolder(dir);
  WriteFile(dir / "system/enemies.txt", "261000 0 0 0 0 0 0 0 0 100 0 1\n250000 9 0 0 0 0 0 0 0 100 0 1\n");
  WriteFile(dir / "other.txt", "261000 8 0 0 0 0 0 0 0 100 0 1\n");
  ScopedChdir cd(dir.path());
  {
    TForm1 form;
    ASSERT_EQ(StartHeadless(form), StartupResult::Ok) << form.StartupError();
    EXPECT_EQ(form.GameState().EnemySchedule.size(), 2u);
    EXPECT_EQ(form.GameState().ScheduleIndex, 0);
    EXPECT_FALSE(form.GameState().ScheduleDone);
  }
  TForm1 form;
  ASSERT_EQ(StartHeadless(form, (dir.path() / "other.txt").string()), StartupResult::Ok) << form.StartupError();
  ASSERT_EQ(form.GameState().EnemySchedule.size(), 1u);
  EXPECT_EQ(form.GameState().EnemySchedule[0].Kind, 8);
}

TEST(ScheduleStartup, TheForgedDataHasAScheduleAndTheSpriteNames) {
  ScopedChdir cd(TARQ_DATA_DIR);
  TForm1 form;
  ASSERT_EQ(StartHeadless(form), StartupResult::Ok) << form.StartupError();
  const Game& game = form.GameState();
  EXPECT_GT(game.EnemySchedule.size(), 12u);
  EXPECT_GT(game.sn("bullet2"), 0);
  EXPECT_GT(game.sn("tanktracks"), 0);
  EXPECT_EQ(game.sn("no such sprite"), 0);
}

int RunProgram(const std::string& command, std::string* out) {
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
  const int status = ::pclose(pipe);
  *out = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ScheduleStartup, TheHeadlessRunnerTakesAScheduleFile) {
  HeadlessOptions o;
  std::string error;
  ASSERT_TRUE(ParseHeadlessArgs({"--headless", "--ticks", "3", "--schedule", "my.txt"}, o, error)) << error;
  EXPECT_EQ(o.ScheduleFile, "my.txt");
  EXPECT_FALSE(ParseHeadlessArgs({"--headless", "--ticks", "3", "--schedule"}, o, error));

  TempDir dir;
  WriteFile(dir / "broken.txt", "1 2 3\n");
  const std::string binary = std::string(TARQ_BINARY_DIR) + "/tarq";
  const std::string common = binary + " --headless --seed 3 --data " + std::string(TARQ_DATA_DIR);
  std::string out;
  EXPECT_EQ(RunProgram(common + " --ticks 2 --schedule " + (dir / "missing.txt"), &out), 1);
  EXPECT_NE(out.find("missing.txt"), std::string::npos) << out;
  EXPECT_EQ(RunProgram(common + " --ticks 2 --schedule " + (dir / "broken.txt"), &out), 1);
  EXPECT_NE(out.find("broken.txt, line 1: '' is not a valid integer value"), std::string::npos) << out;
}

}  // namespace
}  // namespace tarq
