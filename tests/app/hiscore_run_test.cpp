// A whole run through the game's window, headless: the player's last life goes, the
// name is typed by an input script's typed characters, the table is saved and shown for
// 1000 ticks, then the title; a restart reads the saved table back.
#include <gtest/gtest.h>

#include "app/headless.h"
#include "app/hiscore_file.h"
#include "app/main_window.h"
#include "gfx/png_io.h"
#include "fixtures.h"
#include "game/dump.h"

namespace tarq {
namespace {

using testing_util::MakeDataFolder;
using testing_util::ScopedChdir;
using testing_util::TempDir;

struct StepClocks : TimerClocks {
  int64_t counter = 0;
  bool CounterFrequency(int64_t& f) override {
    f = 75;
    return true;
  }
  int64_t Counter() override { return counter; }
  uint32_t Milliseconds() override { return static_cast<uint32_t>(counter * 1000 / 75); }
};

// The headless runner's loop in small: script events due before a tick, then one pass.
class ScriptedGame {
 public:
  ScriptedGame(const std::string& scoresFile, const std::string& script) {
    auto clocks = std::make_unique<StepClocks>();
    clocks_ = clocks.get();
    form_ = std::make_unique<TForm1>(std::move(clocks));
    auto source = std::make_unique<ScriptedInputSource>();
    source_ = source.get();
    StartupOptions o;
    o.Headless = true;
    o.FixedSeed = true;
    o.Input = std::move(source);
    o.ScoresFile = scoresFile;
    result = form_->FormCreate(std::move(o));
    std::string error;
    parsed = ParseInputScript(script, events_, error);
  }
  Game& game() { return form_->GameState(); }
  void Pass() {
    while (next_ < events_.size() && events_[next_].Tick <= game().TickCount) {
      const ScriptEvent& e = events_[next_++];
      if (e.Type == ScriptEvent::Kind::Type) {
        form_->FormKeyPress(e.Character);
      } else if (e.Type == ScriptEvent::Kind::Hold) {
        source_->ReleaseAll();
        for (const std::string& code : e.Codes) source_->Hold(code.c_str());
      }
    }
    clocks_->counter += 1;
    form_->Timer1().Idle();
  }
  // Runs passes until the screen is `state`; false if that takes more than `limit`.
  bool RunUntil(int32_t state, int limit) {
    for (int i = 0; i < limit && game().ScreenState != state; ++i) Pass();
    return game().ScreenState == state;
  }

  StartupResult result;
  bool parsed = false;

 private:
  StepClocks* clocks_ = nullptr;
  ScriptedInputSource* source_ = nullptr;
  std::unique_ptr<TForm1> form_;
  std::vector<ScriptEvent> events_;
  size_t next_ = 0;
};

TEST(HiScoreRun, ARunEndsANameIsEnteredSavedShownAndReadBackAfterARestart) {
  TempDir dir;
  MakeDataFolder(dir);
  ScopedChdir cd(dir.path());
  const std::string file = dir / "system/hiscores.dat";
  // Player 2 (A key) starts a run after the intro; the name is typed well after the run
  // has ended, in lower case with a refused "[", and entered.
  ScriptedGame run(file,
                   "613 KB1E\n"
                   "616\n"
                   "1300 type wren[\n"
                   "1310 key Enter\n");
  ASSERT_EQ(run.result, StartupResult::Ok);
  ASSERT_TRUE(run.parsed);
  EXPECT_EQ(run.game().HiScores, DefaultHiScores());  // no file yet
  ASSERT_TRUE(run.RunUntil(kScreenPlaying, 700));
  // Nothing shoots back yet in this level: the player's last helicopter is lost.
  PlayerRecord& p2 = run.game().Players[1];
  p2.Score = 250000;
  p2.Lives = 0;
  p2.Energy = 0;
  ASSERT_TRUE(run.RunUntil(kScreenNameEntry, 500));
  EXPECT_LT(run.game().TickCount, 1300);
  EXPECT_NE(DumpGameLine(run.game())
                .find("\"HiScoreMessage\":\"PLAYER 2 NEW HIGH SCORE\",\"EditIndex\":1"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(file));
  ASSERT_TRUE(run.RunUntil(kScreenScores, 300));
  EXPECT_EQ(run.game().TickCount, 1311);  // Enter was typed before tick 1311
  EXPECT_EQ(run.game().HiScores[1], (HiScoreEntry{250000, "WREN"}));
  EXPECT_EQ(LoadHiScores(file), run.game().HiScores);
  // The table stays up for 1000 ticks, then the title.
  int onTable = 0;
  while (run.game().ScreenState == kScreenScores && onTable < 2000) {
    run.Pass();
    ++onTable;
  }
  EXPECT_EQ(onTable, 1001);
  EXPECT_EQ(run.game().ScreenState, kScreenTitle);

  // The next start of the game reads the table back.
  ScriptedGame again(file, "");
  ASSERT_EQ(again.result, StartupResult::Ok);
  EXPECT_EQ(again.game().HiScores[1], (HiScoreEntry{250000, "WREN"}));
}

TEST(HiScoreRun, HeadlessWithoutAFileKeepsTheDefaultsAndWritesNothing) {
  TempDir dir;
  MakeDataFolder(dir);
  ScopedChdir cd(dir.path());
  // A table in the data folder is not the headless runner's unless it is asked for.
  ASSERT_TRUE(SaveHiScores(dir / "system/hiscores.dat", HiScoreTable{}));
  ScriptedGame run("", "");
  ASSERT_EQ(run.result, StartupResult::Ok);
  EXPECT_EQ(run.game().HiScores, DefaultHiScores());
  EXPECT_EQ(run.game().HiScoreSaver, nullptr);
}

TEST(HiScoreRun, TheProgramOpensWithTheSponsorScreen) {
  // The real program on the forged data: the studio card at full brightness at tick 300
  // of the intro, where a screen without it would be black.
  TempDir dir;
  const std::string shot = dir / "sponsors.png";
  const std::string command = std::string(TARQ_BINARY_DIR) + "/tarq --headless --ticks 300 --data " +
                              TARQ_DATA_DIR + " --screenshot 300:" + shot + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  ASSERT_TRUE(ReadPng(shot, pixels, w, h));
  ASSERT_EQ(w, 640);
  size_t lit = 0;
  for (const uint32_t p : pixels)
    if ((p & 0xFFFFFF) != 0) ++lit;
  EXPECT_GT(lit, pixels.size() / 2);
}

}  // namespace
}  // namespace tarq
