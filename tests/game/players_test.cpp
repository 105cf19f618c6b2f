#include <gtest/gtest.h>

#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"

namespace tarq {
namespace {

class PlayersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    SeedRandom(7);
    game = Game{};
    game.ScreenState = kScreenTitle;
    StartRun(game, 0);
  }
  PlayerRecord& P1() { return game.Players[0]; }
  PlayerRecord& P2() { return game.Players[1]; }
  ControlState& C1() { return game.Controls[0]; }
  // One playing tick as the tick dispatcher runs it.
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      game.TickCount += 1;
      PlayingTick(game);
      C1().JumpPressed = C1().PausePressed = C1().FirePressed = 0;
    }
  }
  Game game;
};

TEST_F(PlayersTest, StartingARunResetsTheFieldForThatPlayerOnly) {
  EXPECT_EQ(game.ScreenState, kScreenPlaying);
  EXPECT_TRUE(P1().Active);
  EXPECT_FALSE(P2().Active);
  EXPECT_EQ(P1().Lives, 3);
  EXPECT_EQ(P1().ShieldTime, 500);
  EXPECT_EQ(P1().Altitude, 512);
  EXPECT_EQ(game.ScrollY, kMaxScrollY);
  EXPECT_EQ(game.NukeTimer, -1);
}

TEST_F(PlayersTest, VelocityDecaysToExactlyZero) {
  P1().VelX = 0.5;
  P1().VelY = -0.1;
  Tick();
  EXPECT_DOUBLE_EQ(P1().VelX, 0.3);
  EXPECT_EQ(P1().VelY, 0.0) << "a decay that would cross zero stops at zero";
  Tick();
  Tick();
  EXPECT_EQ(P1().VelX, 0.0);
}

TEST_F(PlayersTest, LeftAndRightTogetherKeepTheVelocity) {
  P1().VelX = 2.5;
  C1().LeftHeld = C1().RightHeld = 1;
  const double x = P1().X;
  Tick();
  EXPECT_DOUBLE_EQ(P1().VelX, 2.5);
  EXPECT_DOUBLE_EQ(P1().X, x + 2.5);
}

TEST_F(PlayersTest, HeldDirectionMovesFourAndAHalfPixelsAndStopsAtTheEdge) {
  C1().RightHeld = 1;
  Tick(20);
  EXPECT_DOUBLE_EQ(P1().VelX, 4.0);
  const double x = P1().X;
  Tick();
  EXPECT_DOUBLE_EQ(P1().X, x + 4.5);
  Tick(200);
  EXPECT_DOUBLE_EQ(P1().X, 639.0);
  EXPECT_DOUBLE_EQ(P1().VelX, 4.0) << "velocity still builds up at the edge";
  C1().RightHeld = 0;
  C1().UpHeld = 1;
  Tick(300);
  EXPECT_DOUBLE_EQ(P1().Y, 0.0);
}

TEST_F(PlayersTest, HoldingFireGivesOneVolleyPerPeriodForEveryRate) {
  for (int32_t rate = 1; rate <= 5; ++rate) {
    P1().FireRate = rate;
    P1().FireCounter = 0;
    C1().FireHeld = 1;
    std::vector<int64_t> fired;
    for (int t = 0; t < 100; ++t) {
      game.PlayerBullets.clear();
      Tick();
      if (!game.PlayerBullets.empty()) fired.push_back(t);  // fired on this tick
    }
    ASSERT_GE(fired.size(), 3u) << "rate " << rate;
    for (size_t i = 1; i < fired.size(); ++i)
      EXPECT_EQ(fired[i] - fired[i - 1], 23 - 3 * rate) << "rate " << rate;
  }
}

TEST_F(PlayersTest, ReleasedFireKeepsCountingSoTappingIsNoFaster) {
  C1().FireHeld = 1;
  Tick();
  EXPECT_EQ(P1().FireCounter, 1);
  C1().FireHeld = 0;
  Tick(5);
  EXPECT_EQ(P1().FireCounter, 6);
  Tick(14);
  EXPECT_EQ(P1().FireCounter, 0);
}

TEST_F(PlayersTest, EnergyRegeneratesOnlyOnMultiplesOf75) {
  P1().Energy = 500;
  game.TickCount = 0;
  Tick(74);
  EXPECT_EQ(P1().Energy, 500);
  Tick();
  EXPECT_EQ(game.TickCount, 75);
  EXPECT_EQ(P1().Energy, 501);
  P1().Energy = 1000;
  Tick(75);
  EXPECT_EQ(P1().Energy, 1000) << "never above full";
}

TEST_F(PlayersTest, NukeReachesItsCraterAfter64TicksWithOnePlayerAnd32WithTwo) {
  for (int players = 1; players <= 2; ++players) {
    SetUp();
    if (players == 2) JoinPlayer(P2());
    P1().Nukes = 1;
    game.Explosions.push_back({});
    C1().NukeHeld = 1;
    Tick();
    C1().NukeHeld = 0;
    EXPECT_EQ(P1().Nukes, 0);
    // With two players the second one's update already advances it on the launch tick.
    EXPECT_EQ(game.NukeTimer, players == 1 ? 1 : 257);
    EXPECT_EQ(game.NukeX, 320 + game.ScrollX);
    int ticks = 1;
    while (game.EnemyList.empty() && ticks < 200) {
      Tick();
      ++ticks;
    }
    EXPECT_EQ(ticks, 1 + 64 / players) << players << " players";
    // The crater is a tank record, which lays its track mark.
    ASSERT_EQ(game.EnemyList.size(), 2u);
    EXPECT_EQ(game.EnemyList[0].Kind, 1);
    EXPECT_EQ(game.EnemyList[0].ParamC, 255);
    EXPECT_EQ(game.EnemyList[1].Kind, 89);
    // After the crater the blast fades: brightness falls once per player per tick.
    while (game.NukeTimer != -1 && ticks < 1000) {
      Tick();
      ++ticks;
    }
    EXPECT_LT(ticks, 1000);
  }
}

TEST_F(PlayersTest, NukeLaunchHitsShootableEnemiesAndClearsTheirBullets) {
  P1().Nukes = 2;
  Enemy_Add(game, 100, game.ScrollY + 100, 0, 3, 0, 0, 0, 0, 0, 0, 80);
  Enemy_Add(game, 100, game.ScrollY + 100, 0, 255, 0, 0, 0, 0, 0, 0, 80);
  game.EnemyList[1].Pickup = true;
  game.EnemyBullets.push_back({});
  C1().NukeHeld = 1;
  game.Paused = true;  // launching works while paused
  game.TickCount += 1;
  PlayingTick(game);
  EXPECT_EQ(game.EnemyList[0].HitPoints, 30);
  EXPECT_EQ(game.EnemyList[1].HitPoints, 999999999);  // the power-up's own value, spared
  EXPECT_TRUE(game.EnemyBullets.empty());
  EXPECT_EQ(P1().Nukes, 1) << "a second launch waits for the first to end";
}

TEST_F(PlayersTest, JumpClimbsAndSettlesBackToLevelFlight) {
  Tick(200);
  ASSERT_EQ(P1().Altitude, 256);
  C1().JumpPressed = 1;
  int top = 0;
  int ticks = 0;
  do {
    Tick();
    top = std::max(top, P1().Altitude);
    ++ticks;
  } while (P1().Altitude > 256 && ticks < 500);
  EXPECT_EQ(top, 664);
  EXPECT_NEAR(ticks, 100, 2);
}

// Destruction: the helicopter goes off the screen after 40 ticks, respawns on the
// 226th tick with a life left, and leaves the run on the 451st without one. Pausing
// changes none of it.
TEST_F(PlayersTest, DeathRespawnAndExitTimingsAlsoWhilePaused) {
  for (bool paused : {false, true}) {
    SetUp();
    JoinPlayer(P2());  // keep the run going when player 1 leaves
    game.Paused = paused;
    game.InGameMenuOpen = paused;
    P1().Energy = 0;
    Tick();
    EXPECT_EQ(P1().Lives, 2);
    EXPECT_EQ(P1().DeathTimer, 1);
    EXPECT_GE(game.Explosions.size(), 3u);
    Tick(40);
    EXPECT_EQ(P1().Y, 10000);
    Tick(184);
    EXPECT_EQ(P1().Energy, 0) << "tick 225";
    Tick();
    EXPECT_EQ(P1().Energy, 1000) << "respawned on tick 226";
    EXPECT_EQ(P1().X, 320);
    EXPECT_EQ(P1().ShieldTime, 500);

    Tick();  // alive again: the death timer rests
    P1().Lives = 0;
    P1().Energy = -5;
    Tick();
    EXPECT_EQ(P1().Lives, -1);
    Tick(449);
    EXPECT_TRUE(P1().Active) << "tick 450";
    Tick();
    EXPECT_FALSE(P1().Active) << "out on tick 451";
    EXPECT_EQ(game.ScreenState, kScreenPlaying) << "player 2 is still in";
  }
}

TEST_F(PlayersTest, LastPlayerOutEndsTheRunAndEmptiesTheField) {
  P1().Lives = 0;
  P1().Energy = 0;
  P1().Score = 4321;
  // Player 1 holds Fire as the run ends: it must not rejoin (and lose the score that
  // the high-score table has yet to take).
  C1().FireHeld = 1;
  game.PlayerBullets.push_back({});
  game.EnemyList.push_back({});
  for (int i = 0; i < 451 && game.ScreenState == kScreenPlaying; ++i) Tick();
  EXPECT_EQ(game.ScreenState, kScreenScores);
  EXPECT_FALSE(P1().Active);
  EXPECT_FALSE(P2().Active);
  EXPECT_EQ(P1().Score, 4321);
  EXPECT_TRUE(game.Explosions.empty());
  EXPECT_TRUE(game.PlayerBullets.empty());
  EXPECT_TRUE(game.EnemyList.empty());
}

TEST_F(PlayersTest, JoiningTakesOnePlayerPerTickPlayerTwoWinningATie) {
  P1().Active = false;
  C1().FireHeld = 1;
  game.Controls[1].FireHeld = 1;
  game.TickCount += 1;
  PlayingTick(game);
  EXPECT_TRUE(P2().Active);
  EXPECT_FALSE(P1().Active);
  game.TickCount += 1;
  PlayingTick(game);
  EXPECT_TRUE(P1().Active);
}

TEST_F(PlayersTest, ScoreRollsDigitByDigitAndShowsOnlyEightDigits) {
  PlayerRecord p;
  p.ScoreText = "00000000";
  p.Score = 1250;
  RollScoreText(p);
  EXPECT_EQ(p.ScoreText, "00009990") << "matching digits stay";
  for (int i = 0; i < 10; ++i) RollScoreText(p);
  EXPECT_EQ(p.ScoreText, "00001250");
  p.Score = 0;
  RollScoreText(p);
  EXPECT_EQ(p.ScoreText, "00000140");
  for (int i = 0; i < 10; ++i) RollScoreText(p);
  EXPECT_EQ(p.ScoreText, "00000000");
  p.Score = 1234567890;  // ten digits: the first eight roll
  for (int i = 0; i < 10; ++i) RollScoreText(p);
  EXPECT_EQ(p.ScoreText, "12345678");
  EXPECT_EQ(p.ScoreText.size(), 8u);
}

TEST_F(PlayersTest, ScoreRollsOnePlayerPerTickAlsoWhilePaused) {
  P1().Score = 5;
  P2().Score = 5;
  game.Paused = true;
  game.TickCount = 0;
  Tick();  // tick 1: player 2
  EXPECT_EQ(P1().ScoreText, "00000000");
  EXPECT_EQ(P2().ScoreText, "00000009");
}

TEST_F(PlayersTest, ArmourDrainsEvery34TicksAndGrantsShieldWhenItRunsOut) {
  P1().ShieldTime = 0;
  P1().Armour = 1;
  game.TickCount = 33;
  Tick();
  EXPECT_EQ(P1().Armour, 0);
  EXPECT_EQ(P1().ShieldTime, 225);
}

TEST_F(PlayersTest, HitTintFadesBackToWhiteInFiveTicks) {
  P1().Colour = kHitTint;
  Tick(4);
  EXPECT_EQ(P1().Colour, 0xC0C0FFu);
  Tick();
  EXPECT_EQ(P1().Colour, 0xFFFFFFu);
}

TEST_F(PlayersTest, ScrollMovesEverySecondUnpausedTickUnlessHeld) {
  const int32_t y = game.ScrollY;
  Tick(10);
  EXPECT_EQ(game.ScrollY, y - 5);
  game.ScrollHold = 1;
  Tick(10);
  EXPECT_EQ(game.ScrollY, y - 5);
  game.ScrollHold = 0;
  game.Paused = true;
  Tick(10);
  EXPECT_EQ(game.ScrollY, y - 5);
  game.Paused = false;
  game.ScrollY = 1;
  Tick(10);
  EXPECT_EQ(game.ScrollY, 0) << "the view stays at the top of the map";
}

TEST(TitleTick, FirePressedStartsARunForEachPlayerWhoPressed) {
  Game game;
  game.ScreenState = kScreenTitle;
  game.Controls[0].FirePressed = 1;
  game.Controls[1].FirePressed = 1;
  TitleTick(game);
  EXPECT_EQ(game.ScreenState, kScreenPlaying);
  EXPECT_TRUE(game.Players[0].Active);
  EXPECT_TRUE(game.Players[1].Active);
}

}  // namespace
}  // namespace tarq
