// The set-piece fights, rule by rule: the goose formation, the fortress beams, the
// platform's engagement, and the scroll hold that each boss raises and releases.
#include <gtest/gtest.h>

#include <cmath>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/enemy_kinds.h"
#include "game/game.h"

namespace tarq {
namespace {

class BossTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    SeedRandom(11);
    game.ScreenState = kScreenPlaying;
    game.ScrollY = 200000;
    game.ScrollX = 32;
  }
  // The last record of a kind, by index.
  size_t Last(int32_t kind) const {
    for (size_t i = game.EnemyList.size(); i-- > 0;)
      if (game.EnemyList[i].Kind == kind) return i;
    ADD_FAILURE() << "no kind " << kind;
    return 0;
  }
  size_t Count(int32_t kind) const {
    size_t n = 0;
    for (const EnemyRecord& e : game.EnemyList) n += e.Kind == kind ? 1 : 0;
    return n;
  }
  EnemyRecord& At(size_t i) { return game.EnemyList[i]; }
  EnemyRecord& Add(int32_t kind, int32_t x, int32_t y, int32_t hp, int32_t intA = 0, int32_t intB = 0,
                   int32_t intC = 0) {
    Enemy_Add(game, x, y, 0, kind, 0, 0, 0, intA, intB, intC, hp);
    return game.EnemyList[Last(kind)];
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) Enemy_Process(game);
  }
  PlayerRecord& PlayerAtMap(double mapX, double screenY) {
    PlayerRecord& p = game.Players[0];
    p.Active = true;
    p.X = mapX - game.ScrollX;
    p.Y = screenY;
    p.Altitude = 256;
    p.ShieldTime = 0;
    p.Energy = 1000;
    return p;
  }
  Game game;
};

// --- Goose formation ------------------------------------------------------------------

TEST_F(BossTest, GooseLeaderDropsItsPowerUpsOnARing) {
  EnemyRecord& leader = Add(7, 300, 200100, 10, 0, 0, 3);
  leader.Dead = true;
  leader.Age = 5;
  const double x = leader.X, y = leader.Y;
  Enemy_Tick(game);
  ASSERT_EQ(Count(255), 3u);
  const int32_t angles[] = {28, 113, 198};
  size_t found = 0;
  for (const EnemyRecord& e : game.EnemyList) {
    if (e.Kind != 255) continue;
    const int32_t k = angles[found++];
    EXPECT_EQ(e.X, Round(x + 72 * SinTable[k])) << k;
    EXPECT_EQ(e.Y, Round(y + 72 * CosTable[k] - 72)) << k;
  }

  // None from a leader that carries none (and no division by that zero).
  game.EnemyList.clear();
  EnemyRecord& empty = Add(7, 300, 200100, 10, 0, 0, 0);
  empty.Dead = true;
  empty.Age = 5;
  Enemy_Tick(game);
  EXPECT_EQ(Count(255), 0u);
}

TEST_F(BossTest, GoosePartsDockOnTheNearestLeaderBeforeThem) {
  // Two formations far apart; each part must end up on its own leader.
  Enemy_Add(game, 150, 200100, 0, 7, 0, 0, 0, 0, 100, 0, 10);
  const size_t first = Last(7);
  Enemy_Add(game, 550, 200150, 0, 7, 0, 0, 0, 0, 100, 0, 10);
  const size_t second = Last(7);
  ASSERT_EQ(game.EnemyList.size(), 10u);
  for (int i = 0; i < 700 && !(At(first).ParamC >= 4 && At(second).ParamC >= 4); ++i) Ticks(1);
  EXPECT_EQ(At(first).ParamC, 4);
  EXPECT_EQ(At(second).ParamC, 4);
  Ticks(1);  // the last parts take their seats
  for (size_t i = 0; i < game.EnemyList.size(); ++i) {
    const EnemyRecord& part = At(i);
    if (part.Kind != 13 && part.Kind != 14) continue;
    const EnemyRecord& own = At(i < second ? first : second);
    EXPECT_NE(part.ParamB, 0) << i;
    EXPECT_LE(std::abs(part.X - own.X), 32.0) << i;
    EXPECT_LE(std::abs(part.Y - own.Y), 80.0) << i;
  }
}

TEST_F(BossTest, GoosePartsLeaveWithoutALivingLeader) {
  Enemy_Add(game, 300, 200100, 0, 7, 0, 0, 0, 0, 20, 0, 10);
  ASSERT_EQ(game.EnemyList.size(), 5u);
  // The leader has gone (say it left the view alive): the index the parts follow is -1.
  game.EnemyList.erase(game.EnemyList.begin());
  game.GooseLeader = -1;
  Ticks(2);
  EXPECT_EQ(game.EnemyList.size(), 0u);

  // A stale index that now points at a part, not a leader, is no leader either.
  Enemy_Add(game, 300, 200100, 0, 7, 0, 0, 0, 0, 20, 0, 10);
  game.EnemyList.erase(game.EnemyList.begin());
  game.GooseLeader = 0;
  Enemy_Tick(game);
  for (const EnemyRecord& e : game.EnemyList) EXPECT_GE(e.Y, game.ScrollY + 580.0);

  // And a dead leader sends them off too, scoring nothing.
  game.EnemyList.clear();
  Enemy_Add(game, 300, 200100, 0, 7, 0, 0, 0, 0, 20, 0, 10);
  At(0).HitPoints = 0;
  Ticks(3);
  EXPECT_EQ(Count(13) + Count(14), 0u);
  EXPECT_EQ(Count(7), 1u);
}

// --- Fortress beams --------------------------------------------------------------------

TEST_F(BossTest, FortressBeamBurnsOnlyUnshieldedPlayersInItsBand) {
  EnemyRecord& fort = Add(101, 352, 200150, 100);
  fort.Age = 100;
  fort.IntE = 2;  // a pulse is on
  fort.ParamC = 3;
  PlayerRecord& p = PlayerAtMap(352, 300);
  Enemy_Tick(game);
  EXPECT_EQ(p.Energy, 800);

  p.Energy = 1000;
  p.ShieldTime = 5;  // shield time left: the beam passes harmlessly
  Enemy_Tick(game);
  EXPECT_EQ(p.Energy, 1000);

  p.ShieldTime = 0;
  p.X = 352 + 16 - game.ScrollX;  // the band is open at its edges
  Enemy_Tick(game);
  EXPECT_EQ(p.Energy, 1000);
  p.X = 352 + 15 - game.ScrollX;
  p.Y = 110;  // too near the top of the screen
  Enemy_Tick(game);
  EXPECT_EQ(p.Energy, 1000);
  p.Y = 111;
  p.Altitude = 261;  // jumping over it
  Enemy_Tick(game);
  EXPECT_EQ(p.Energy, 1000);
  p.Altitude = 260;
  Enemy_Tick(game);
  EXPECT_EQ(p.Energy, 800);
}

TEST_F(BossTest, FortressFiresThreePulsesEveryThreeHundredTicks) {
  EnemyRecord& fort = Add(101, 352, 200150, 100);
  fort.Age = 799;
  int pulses = 0;
  int lastPulseStart = -1;
  for (int i = 0; i < 300; ++i) {
    const int32_t before = At(0).IntE;
    Ticks(1);
    if (At(0).IntE == 1 && before != 1) {
      ++pulses;
      lastPulseStart = i;
    }
  }
  EXPECT_EQ(pulses, 3);
  EXPECT_GT(lastPulseStart, 80);
  EXPECT_EQ(At(0).IntE, 0);
  EXPECT_EQ(At(0).ParamC, 0);
}

// --- Scroll hold -----------------------------------------------------------------------

TEST_F(BossTest, PlatformWaitsWhileAFortressHoldsTheMap) {
  EnemyRecord& fort = Add(101, 352, 200150, 100);
  fort.Age = 640;
  Ticks(1);
  ASSERT_EQ(game.ScrollHold, 1);
  EnemyRecord& platform = Add(104, 352, 200100, 200);
  platform.Age = 600;
  Enemy_Tick(game);
  EXPECT_EQ(game.ScrollHold, 1);
  EXPECT_EQ(At(Last(104)).Age, 600);  // it did not engage
  EXPECT_FALSE(At(Last(104)).HoldsScroll);

  // With the map free it engages and restarts its cycle at 300.
  game.EnemyList.erase(game.EnemyList.begin());
  game.ScrollHold = 0;
  Enemy_Tick(game);
  EXPECT_EQ(game.ScrollHold, 1);
  EXPECT_EQ(At(Last(104)).Age, 300);
}

TEST_F(BossTest, AFortressThatNeverHeldTheMapDoesNotReleaseIt) {
  // Created while a nuke is under way with few hit points: dead before it ever held.
  game.NukeTimer = 100;
  Add(101, 352, 200150, 10);
  game.NukeTimer = -1;
  for (int i = 0; i < 320; ++i) {
    Ticks(1);
    ASSERT_EQ(game.ScrollHold, 0) << i;
  }
  EXPECT_EQ(Count(101), 0u);

  // One that held it releases exactly its own hold, at the 200th tick of its death.
  EnemyRecord& fort = Add(101, 352, 200150, 100);
  fort.Age = 640;
  game.ScrollHold = 1;  // someone else's hold as well
  Ticks(1);
  EXPECT_EQ(game.ScrollHold, 2);
  At(Last(101)).HitPoints = 0;
  Ticks(201);  // the killing tick, then death ticks 0 .. 199
  EXPECT_EQ(game.ScrollHold, 2);
  Ticks(1);
  EXPECT_EQ(game.ScrollHold, 1);
  Ticks(120);
  EXPECT_EQ(Count(101), 0u);
  EXPECT_EQ(game.ScrollHold, 1);
}

TEST_F(BossTest, APlatformReleasesOnlyItsOwnHold) {
  EnemyRecord& platform = Add(104, 352, 200100, 200);
  platform.Age = 600;
  Ticks(1);
  ASSERT_EQ(game.ScrollHold, 1);
  // A second holder arrives while the platform holds the map.
  EnemyRecord& fort = Add(101, 100, 200150, 100);
  fort.Age = 640;
  Ticks(1);
  ASSERT_EQ(game.ScrollHold, 2);
  At(Last(104)).HitPoints = 0;
  Ticks(110);
  EXPECT_EQ(Count(104), 0u);
  EXPECT_EQ(game.ScrollHold, 1);  // the fortress still holds it
}

TEST_F(BossTest, CitadelIsArmouredUntilItsDoorIsOpen) {
  EnemyRecord& citadel = Add(102, 352, 200150, 100);
  EXPECT_FALSE(citadel.Shootable);
  citadel.Age = 700;
  citadel.IntA = 26;  // opening: 27 / 4 is still 6
  citadel.IntC = 1;
  Enemy_Tick(game);
  EXPECT_FALSE(At(0).Shootable);
  At(0).Age = 702;
  Enemy_Tick(game);
  EXPECT_EQ(At(0).ParamA, 7);
  EXPECT_TRUE(At(0).Shootable);
}

TEST_F(BossTest, CannonLocksItsAimAndSpraysAroundIt) {
  game.SpriteNames = {"a", "b", "bullet2"};
  EnemyRecord& cannon = Add(103, 352, 200100, 20, 20, 30);
  cannon.Age = 10;
  Enemy_Tick(game);
  EXPECT_EQ(game.Flares.size(), 1u);  // the warning
  PlayerRecord& p = PlayerAtMap(352 + 200, 300);  // to the lower right
  p.ShieldTime = 1000;
  At(0).Age = 20;
  Enemy_Tick(game);
  const int32_t locked = At(0).ParamA;
  EXPECT_GT(locked, 64);
  EXPECT_LT(locked, 128);
  p.X = 0;  // it does not follow the player any more
  At(0).Age = 21;
  for (int i = 0; i < 20; ++i) Ticks(1);
  EXPECT_EQ(At(0).ParamA, locked);
  ASSERT_FALSE(game.EnemyBullets.empty());
  for (const EnemyBullet& b : game.EnemyBullets) {
    EXPECT_EQ(b.Image, 2);
    EXPECT_LE(std::abs(b.Angle - locked), 4);
  }
}

}  // namespace
}  // namespace tarq
