// Each boss fought to the end on the playing screen: placed by a hand-written schedule,
// shot down by a scripted player who follows it and keeps firing. The runs check the
// scroll hold around the fight, the nuke at the big bosses' deaths, and the final
// boss's hand-over to the completion screen.
#include <gtest/gtest.h>

#include <string>

#include "core/random.h"
#include "enemies/schedule.h"
#include "game/game.h"
#include "game/playing.h"
#include "render/frame.h"

namespace tarq {
namespace {

class BossRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    SeedRandom(21);
  }
  // Starts a run for player 1 with the given schedule, the view at scrollY.
  void Start(const std::string& schedule, int32_t scrollY) {
    ScheduleError error;
    ASSERT_TRUE(LoadEnemies(schedule, game.EnemySchedule, error)) << error.Line << ": " << error.Text;
    game.ScreenState = kScreenTitle;
    StartRun(game, 0);
    game.ScrollY = scrollY;
    PlayerRecord& p = game.Players[0];
    p.ShieldTime = 2000000000;  // the fight goes on around an untouchable player
    p.WeaponLevel = 5;
    p.FireRate = 5;
    game.Controls[0].FireHeld = 1;
  }
  const EnemyRecord* Find(int32_t kind) const {
    for (const EnemyRecord& e : game.EnemyList)
      if (e.Kind == kind) return &e;
    return nullptr;
  }
  // One pass of the timer, with the player steering under the target and firing.
  void Tick(int32_t chaseKind) {
    ControlState& c = game.Controls[0];
    c.LeftHeld = c.RightHeld = 0;
    if (const EnemyRecord* target = Find(chaseKind); target != nullptr && !target->Dead) {
      const double dx = target->X - game.ScrollX - game.Players[0].X;
      c.LeftHeld = dx < -6 ? 1 : 0;
      c.RightHeld = dx > 6 ? 1 : 0;
    }
    Timer1Render(game, nullptr);
    Timer1Process(game);
  }

  // What a run saw.
  struct Trace {
    int32_t HoldTick = -1;       // first tick with the scroll held
    int32_t HeldAtScrollY = -1;  // ScrollY while held
    bool ScrollMovedWhileHeld = false;
    int32_t MaxHold = 0;
    int32_t MinHold = 0;
    int32_t DeathTick = -1;
    bool NukeAfterDeath = false;
    int32_t GoneTick = -1;
  };
  // holdFire: the player waits for the boss to stop the map before opening fire.
  Trace Fight(int32_t kind, int maxTicks, bool holdFire = false) {
    Trace t;
    for (int i = 0; i < maxTicks && game.ScreenState == kScreenPlaying; ++i) {
      game.Controls[0].FireHeld = !holdFire || game.ScrollHold > 0 ? 1 : 0;
      const int32_t before = game.ScrollY;
      const bool heldBefore = game.ScrollHold > 0;
      Tick(kind);
      t.MaxHold = std::max(t.MaxHold, game.ScrollHold);
      t.MinHold = std::min(t.MinHold, game.ScrollHold);
      if (game.ScrollHold > 0 && t.HoldTick < 0) {
        t.HoldTick = i;
        t.HeldAtScrollY = game.ScrollY;
      }
      if (heldBefore && game.ScrollHold > 0 && game.ScrollY != before) t.ScrollMovedWhileHeld = true;
      const EnemyRecord* boss = Find(kind);
      if (boss != nullptr && boss->Dead && t.DeathTick < 0) t.DeathTick = i;
      if (t.DeathTick >= 0 && game.NukeTimer > 0) t.NukeAfterDeath = true;
      if (t.DeathTick >= 0 && boss == nullptr && t.GoneTick < 0) t.GoneTick = i;
      if (t.GoneTick >= 0 && i > t.GoneTick + 20) break;
    }
    return t;
  }
  Game game;
};

TEST_F(BossRunTest, FortressHoldsTheMapUntilItIsDestroyed) {
  Start("194752 101 0 0 0 0 0 0 0 352 -32 20\n", 194800);
  const Trace t = Fight(101, 4000);
  EXPECT_GE(t.HoldTick, 640);
  EXPECT_EQ(t.HeldAtScrollY, 194752 - 320);
  EXPECT_FALSE(t.ScrollMovedWhileHeld);
  ASSERT_GT(t.DeathTick, t.HoldTick);
  EXPECT_TRUE(t.NukeAfterDeath);
  EXPECT_EQ(t.MaxHold, 1);
  EXPECT_EQ(t.GoneTick, t.DeathTick + 302);
  EXPECT_EQ(game.ScrollHold, 0);  // released 200 ticks into the death, and the map moves on
  EXPECT_LT(game.ScrollY, t.HeldAtScrollY);
  EXPECT_GE(game.Players[0].Score, 150000);
}

TEST_F(BossRunTest, CitadelAndItsCannonsFightAndTheMapResumes) {
  Start(
      "172280 102 0 0 0 0 0 0 0 352 -120 6\n"
      "172280 103 0 0 0 300 100 0 0 226 -196 10\n"
      "172280 103 0 0 0 300 100 0 0 478 -196 10\n",
      172400);
  const Trace t = Fight(102, 8000);
  EXPECT_GE(t.HoldTick, 640);
  EXPECT_FALSE(t.ScrollMovedWhileHeld);
  ASSERT_GT(t.DeathTick, t.HoldTick);
  EXPECT_FALSE(t.NukeAfterDeath);  // the second fortress just burns
  EXPECT_EQ(t.GoneTick, t.DeathTick + 102);
  EXPECT_EQ(game.ScrollHold, 0);
  EXPECT_LT(game.ScrollY, t.HeldAtScrollY);
}

TEST_F(BossRunTest, PlatformEngagesSlidesAndReleasesTheMap) {
  Start("138774 104 0 0 0 0 0 0 0 352 -150 30\n", 138800);
  const Trace t = Fight(104, 6000, true);
  EXPECT_GE(t.HoldTick, 600);
  EXPECT_FALSE(t.ScrollMovedWhileHeld);
  ASSERT_GT(t.DeathTick, t.HoldTick);
  EXPECT_EQ(t.GoneTick, t.DeathTick + 102);
  EXPECT_EQ(t.MinHold, 0);
  EXPECT_EQ(game.ScrollHold, 0);
}

TEST_F(BossRunTest, GooseFormationGathersRoamsAndScatters) {
  Start("192100 7 0 0 0 0 100 2 0 352 -120 12\n", 192200);
  const Trace t = Fight(7, 3000);
  EXPECT_EQ(t.MaxHold, 0);  // the formation never stops the map
  ASSERT_GT(t.DeathTick, 200);
  // The leader's parts left with it; the two power-ups it carried are out.
  EXPECT_EQ(Find(13), nullptr);
  EXPECT_EQ(Find(14), nullptr);
}

TEST_F(BossRunTest, FinalBossStopsTheMapForGoodAndEndsTheGame) {
  Start(
      "127100 105 0 0 0 0 0 0 0 352 -500 1\n"
      "126300 9 0 0 0 0 0 1000 0 100 -40 1\n"  // due before the arena: it fires
      "126200 9 0 0 0 0 0 1000 0 600 -40 1\n"  // beyond the arena: never
      "130000 9 0 0 0 0 0 1000 0 300 -40 1\n",  // held back behind it: never
      127200);
  const int32_t scoreBefore = game.Players[0].Score;
  bool sawLowerEntry = false;
  int32_t deathTick = -1, completionTick = -1, lastScrollY = 0;
  bool nuke = false;
  for (int i = 0; i < 20000 && game.ScreenState == kScreenPlaying; ++i) {
    Tick(105);
    for (const EnemyRecord& e : game.EnemyList)
      if (e.Kind == 9 && (e.X == 600 || e.X == 300)) sawLowerEntry = true;
    const EnemyRecord* boss = Find(105);
    if (boss != nullptr && boss->Dead && deathTick < 0) {
      deathTick = i;
      EXPECT_EQ(game.ScrollY, 126272);
      EXPECT_EQ(game.ScrollHold, 1);
    }
    if (deathTick >= 0 && game.NukeTimer > 0) nuke = true;
    if (game.ScreenState == kScreenCompletion) completionTick = i;
    lastScrollY = game.ScrollY;
  }
  ASSERT_GE(deathTick, 0);
  EXPECT_EQ(lastScrollY, 126272);
  EXPECT_FALSE(sawLowerEntry);
  EXPECT_TRUE(nuke);
  EXPECT_EQ(completionTick, deathTick + 52);
  EXPECT_EQ(game.ScreenState, kScreenCompletion);
  EXPECT_EQ(game.ScreenTicks, 0);
  EXPECT_GE(game.Players[0].Score - scoreBefore, 1000000);
}

}  // namespace
}  // namespace tarq
