// The shared mechanics (aim, turning, waking) and the aircraft kinds, each run from a
// schedule line through whole playing ticks with nobody in the game.
#include <gtest/gtest.h>

#include <cmath>

#include "core/numeric.h"
#include "enemies/enemy_kinds.h"
#include "enemies/mechanics.h"
#include "enemy_test_support.h"

namespace tarq {
namespace {

using enemy_test::TestGame;

TEST(Mechanics, TurningOneStepGoesTheShorterWayAndCounterClockwiseOnATie) {
  EXPECT_EQ(TurnOneStep(0, 10), 1);
  EXPECT_EQ(TurnOneStep(0, 250), 255);
  EXPECT_EQ(TurnOneStep(0, 128), 255);
  EXPECT_EQ(TurnOneStep(200, 200), 199);  // pointing at it already: the tie rule moves it
  EXPECT_EQ(TurnOneStep(250, 4), 251);
}

TEST(Mechanics, GradedTurnsUseThePlainDifferenceForTheirStep) {
  EXPECT_EQ(GradedTurn(10, 42), 11);   // 32 apart: 1
  EXPECT_EQ(GradedTurn(10, 43), 12);   // 33: 2
  EXPECT_EQ(GradedTurn(10, 58), 12);   // 48: 2
  EXPECT_EQ(GradedTurn(10, 59), 15);   // 49: 5
  EXPECT_EQ(GradedTurn(250, 10), 255); // 240 plain, 16 round the circle: 5 the short way
  EXPECT_EQ(GradedTurn(5, 250), 0);
}

TEST(Mechanics, MovingAlongAHeading) {
  FillAngleTables();
  EnemyRecord e;
  MoveAlong(e, 2, 64);
  EXPECT_NEAR(e.X, 2, 1e-12);
  EXPECT_NEAR(e.Y, 0, 1e-12);
  MoveAlong(e, 3, 0);
  EXPECT_NEAR(e.Y, -3, 1e-12);
}

struct AimCase {
  double playerX, playerY;
  int32_t aim;
};

TEST(Aim, PointsAtTheNearerPlayerInThirtyTwoDirections) {
  TestGame t;
  const size_t i = t.Add(15, 300 + t.game.ScrollX, 200 + t.game.ScrollY);
  for (const AimCase& c : {AimCase{300, 400, 128}, AimCase{500, 200, 64}, AimCase{100, 200, 192},
                           AimCase{300, 0, 0}, AimCase{400, 300, 96}, AimCase{310, 400, 120},
                           AimCase{200, 100, 224}}) {
    t.JoinAt(0, c.playerX, c.playerY);
    EnemyTick tick{t.game, i};
    AimAtTarget(t.game, t.At(i), tick);
    EXPECT_EQ(tick.AimAngle, c.aim) << c.playerX << "," << c.playerY;
    EXPECT_EQ(tick.Target, 0);
    EXPECT_NEAR(tick.AimDistance, std::hypot(c.playerX - 300, c.playerY - 200), 1e-9);
    EXPECT_EQ(tick.TargetY, c.playerY);
  }
  // Player 2 nearer; then a tie, which player 1 wins.
  t.JoinAt(0, 300, 400);
  t.JoinAt(1, 300, 100);
  EnemyTick tick{t.game, i};
  AimAtTarget(t.game, t.At(i), tick);
  EXPECT_EQ(tick.Target, 1);
  EXPECT_EQ(tick.AimAngle, 0);
  t.JoinAt(1, 300, 0);
  AimAtTarget(t.game, t.At(i), tick);
  EXPECT_EQ(tick.Target, 0);
}

TEST(Aim, WithNoPlayerEverythingAimsStraightDown) {
  TestGame t;
  const size_t i = t.Add(15, 300, t.game.ScrollY + 200);
  EnemyTick tick{t.game, i};
  AimAtTarget(t.game, t.At(i), tick);
  EXPECT_FALSE(tick.HasTarget);
  EXPECT_EQ(tick.AimAngle, 128);
  EXPECT_EQ(tick.AimDistance, 1e11);
}

TEST(Aim, OnTopOfThePlayerItAimsWithoutDividingByZero) {
  TestGame t;
  const size_t i = t.Add(15, 300 + t.game.ScrollX, 200 + t.game.ScrollY);
  t.JoinAt(0, 300.2, 199.9);
  EnemyTick tick{t.game, i};
  AimAtTarget(t.game, t.At(i), tick);
  EXPECT_EQ(tick.AimDistance, 0.01);
  EXPECT_EQ(tick.AimAngle, 64);  // arccos(0): a quarter turn
}

// A schedule line fired on the first tick of a run with nobody in it; `runs` more
// ticks then give the record that many behaviour steps.
struct KindRun {
  TestGame t;
  explicit KindRun(const std::string& line, uint64_t seed = 1) : t(seed) {
    t.Schedule(line + "\n");
    t.Ticks(1);
  }
  EnemyRecord& E(size_t i = 0) { return t.At(i); }
  void Runs(int32_t n) { t.Ticks(n); }
  const std::vector<EnemyBullet>& Bullets() { return t.game.EnemyBullets; }
};

TEST(AircraftKinds, Kind0DriftsSinksFasterAndFaster) {
  KindRun r("261631 0 0 0 0 0 0 0 128 300 100 5");
  const double y0 = r.E().Y;
  const uint8_t rotor = r.E().ParamA;
  r.Runs(100);
  EXPECT_DOUBLE_EQ(r.E().X, 350);
  EXPECT_NEAR(r.E().Y, y0 + 99 * 100 / 160.0, 1e-9);  // IntC / 80 with IntC 0, 1, ... 99
  EXPECT_EQ(r.E().IntC, 100);
  // Pointing at the aim already, the turn rule still steps: 25 turns leave it at 127.
  EXPECT_EQ(r.E().Angle, 127);
  EXPECT_EQ(r.E().ParamA, static_cast<uint8_t>(rotor + 800));
  KindRun left("261631 0 0 1 0 0 0 0 128 300 100 5");
  left.Runs(10);
  EXPECT_DOUBLE_EQ(left.E().X, 295);
}

TEST(AircraftKinds, Kind3WithNoTargetDropsAwayFasterAndFaster) {
  KindRun r("261631 3 0 0 0 0 0 0 0 300 100 5");
  const double y0 = r.E().Y;
  r.Runs(50);
  EXPECT_NEAR(r.E().Y, y0 + 0.8 * 50 * 51 / 40.0, 1e-9);
  EXPECT_NEAR(r.E().X, 300, 1e-9);
  EXPECT_EQ(r.E().IntA, 50);
  EXPECT_EQ(r.E().Angle, 128);
  EXPECT_EQ(r.E().ParamB, 50 % 16);
}

TEST(AircraftKinds, Kind3ChasesATargetBelowIt) {
  KindRun r("261631 3 0 0 0 0 0 0 0 300 100 5");
  r.t.JoinAt(0, 300 - r.t.game.ScrollX + 0.0, 400);
  const double y0 = r.E().Y;
  r.t.game.Players[0].Altitude = 256;
  r.Runs(1);
  EXPECT_GT(r.E().Y, y0);
  EXPECT_EQ(r.E().IntA, 0);
}

TEST(AircraftKinds, Kind5FiresARingOfEightAfterAHundredAndFiftyTicks) {
  KindRun r("261631 5 0 0 0 0 0 50 0 300 100 5");
  r.Runs(200);  // Age 0 .. 199
  EXPECT_TRUE(r.Bullets().empty());
  r.Runs(1);  // Age 200
  ASSERT_EQ(r.Bullets().size(), 8u);
  for (size_t k = 0; k < 8; ++k) {
    EXPECT_EQ(r.Bullets()[k].Angle, (128 + 32 * static_cast<int32_t>(k)) % 256);
    EXPECT_EQ(r.Bullets()[k].Speed, 2);
  }
  // With no target the first shot goes straight down, 10 pixels below the helicopter.
  EXPECT_NEAR(r.Bullets()[0].Y, r.E().Y - 0.1 + 10, 1e-9);  // fired before this tick's drift
  // A zero period is taken as one: a ring on every tick past 150.
  KindRun zero("261631 5 0 0 0 0 0 0 0 300 100 5");
  zero.Runs(153);
  EXPECT_EQ(zero.Bullets().size(), 16u);
}

TEST(AircraftKinds, Kind8DivesWithItsEngineSoundAndSinksWhenShot) {
  KindRun r("261631 8 0 0 0 0 0 0 0 300 100 5");
  const double y0 = r.E().Y;
  r.t.TakeSounds();
  r.Runs(2);
  EXPECT_EQ(r.t.TakeSounds(), std::vector<int32_t>{4});
  r.Runs(38);
  EXPECT_NEAR(r.E().Y, y0 + 39 * 40 / 20.0, 1e-9);
  r.E().HitPoints = 0;
  r.Runs(1);
  ASSERT_TRUE(r.E().Dead);
  const double yDead = r.E().Y;
  const int32_t sinkSpeed = r.E().IntC;
  r.Runs(31);  // death Age 0 .. 30: sinking at IntC / 7.5
  EXPECT_NEAR(r.E().Y, yDead + 31 * sinkSpeed / 7.5, 1e-6);
  r.Runs(1);  // Age 31: gone
  EXPECT_TRUE(r.t.game.EnemyList.empty());
}

TEST(AircraftKinds, Kind9FlapsAndWithIntCOneFiresEveryTick) {
  KindRun r("261631 9 0 0 0 0 0 1 0 300 100 5");
  r.Runs(25);  // Age 0 .. 24: wing steps at 0, 8, 16, 24
  EXPECT_EQ(r.E().ParamA, 4);
  EXPECT_EQ(r.E().ParamB, 2);
  EXPECT_EQ(r.Bullets().size(), 25u);
  for (const EnemyBullet& b : r.Bullets()) EXPECT_EQ(b.Angle, 128);
  r.Runs(16);
  EXPECT_EQ(r.E().ParamA, 0);
  EXPECT_EQ(r.E().ParamB, 0);
}

TEST(AircraftKinds, Kind12FiresOnWakingAndAtTheEndsOfItsSwing) {
  KindRun r("261631 12 0 0 0 10 0 0 128 300 100 5");
  const double x0 = r.E().X;
  const double y0 = r.E().Y;
  r.Runs(10);
  EXPECT_TRUE(r.Bullets().empty());
  r.Runs(1);  // Age 10
  ASSERT_EQ(r.Bullets().size(), 1u);
  EXPECT_EQ(r.Bullets()[0].Angle, 128);
  EXPECT_EQ(r.Bullets()[0].Speed, 5);
  r.Runs(63);  // awake steps with ParamB 0 .. 62
  EXPECT_EQ(r.E().ParamB, 63);
  double x = x0;
  for (int b = 0; b < 63; ++b) x += 4 * SinTable[static_cast<size_t>(b)];
  EXPECT_NEAR(r.E().X, x, 1e-9);
  EXPECT_NEAR(r.E().Y, y0 + 74, 1e-9);
  EXPECT_EQ(r.E().Angle, ToByteAngle(Round(16 * SinTable[63]) - 128));
  const size_t before = r.Bullets().size();
  r.Runs(1);  // ParamB was 63: a fast shot along the swing
  ASSERT_EQ(r.Bullets().size(), before + 1);
  EXPECT_EQ(r.Bullets().back().Angle, ToByteAngle(16 - 128));
  EXPECT_EQ(r.Bullets().back().Speed, 8);
}

TEST(AircraftKinds, Kind16RisesWakesAndBurstsIntoSixteenShots) {
  KindRun r("261631 16 0 0 0 40 0 0 0 300 150 5");
  EXPECT_EQ(r.E().HitPoints, 20);
  r.Runs(11);  // Age 0 .. 10
  EXPECT_EQ(r.E().Height, 226);
  EXPECT_FALSE(r.E().Shootable);
  r.Runs(31);  // Age 41: awake
  EXPECT_EQ(r.E().Height, 256);
  EXPECT_TRUE(r.E().Shootable);
  EXPECT_EQ(r.E().IntB, 84);
  EXPECT_EQ(r.E().ParamA, ToByteAngle(84 - 128));
  r.E().HitPoints = 0;
  r.Runs(1);
  ASSERT_TRUE(r.E().Dead);
  r.Runs(1);  // death Age 0
  EXPECT_TRUE(r.Bullets().empty());
  r.Runs(1);  // death Age 1
  ASSERT_EQ(r.Bullets().size(), 16u);
  for (size_t k = 0; k < 16; ++k) EXPECT_EQ(r.Bullets()[k].Angle, 16 * static_cast<int32_t>(k));
  r.Runs(15);  // Age 16
  EXPECT_EQ(r.t.CountKind(16), 1u);
  r.Runs(1);  // Age 17
  EXPECT_EQ(r.t.CountKind(16), 0u);
}

TEST(AircraftKinds, Kind17TaxisOnceAwake) {
  KindRun r("261631 17 0 0 0 0 0 0 0 300 100 5");
  const double x0 = r.E().X;
  const double y0 = r.E().Y;
  r.Runs(301);  // Age 0 .. 300: waiting
  EXPECT_EQ(r.E().X, x0);
  r.Runs(10);
  const double d = 55 / 200.0;  // IntB 1 .. 10, over 200, along heading 160
  EXPECT_NEAR(r.E().X, x0 + d * SinTable[160], 1e-9);
  EXPECT_NEAR(r.E().Y, y0 - d * CosTable[160], 1e-9);
  EXPECT_EQ(r.E().Height, 64);
}

TEST(AircraftKinds, Kind18RisesAndSwingsItsCourseRound) {
  KindRun r("261631 18 0 0 0 20 0 0 0 300 -300 5");
  EXPECT_EQ(r.E().IntD, 1);
  r.Runs(31);  // Age 0 .. 30
  EXPECT_EQ(r.E().Height, 256);
  EXPECT_EQ(r.E().ParamB, 5);  // even ages 22 .. 30
  EXPECT_EQ(r.E().IntB, 10);
  EXPECT_EQ(r.E().IntC, 31);
  EXPECT_TRUE(r.E().Shootable);
  for (int i = 0; i < 250; ++i) {
    r.Runs(1);
    ASSERT_EQ(r.t.CountKind(18), 1u) << i;
  }
  EXPECT_EQ(r.E().ParamB, 128);  // snapped onto straight down
}

TEST(AircraftKinds, Kind24FiresOneSpinningBulletAndDartsOff) {
  KindRun r("261631 24 0 0 0 0 0 0 0 300 50 5");
  const int32_t wake = r.E().IntA;
  ASSERT_GE(wake, 80);
  ASSERT_LT(wake, 160);
  const double y0 = r.E().Y;
  r.Runs(wake);
  EXPECT_NEAR(r.E().Y, y0 + wake, 1e-9);  // IntB 100: one pixel per tick, straight down
  EXPECT_TRUE(r.Bullets().empty());
  r.Runs(1);
  ASSERT_EQ(r.Bullets().size(), 1u);
  EXPECT_EQ(r.Bullets()[0].Image, r.t.game.sn("bullet2"));
  EXPECT_EQ(r.Bullets()[0].LastFrame, 11);
  EXPECT_GE(r.Bullets()[0].Angle, 96);
  EXPECT_LT(r.Bullets()[0].Angle, 160);
  EXPECT_GE(r.E().IntB, 400);
  EXPECT_LT(r.E().IntB, 700);
  const int a = r.E().Angle;
  EXPECT_TRUE((a >= 22 && a <= 85) || (a >= 170 && a <= 233)) << a;
  EXPECT_LE(r.E().ParamC, 12);
}

TEST(AircraftKinds, Kind29BobsAndGlows) {
  KindRun r("261631 29 0 0 0 0 0 0 0 300 100 5");
  for (int i = 0; i < 50; ++i) {
    r.Runs(1);
    const EnemyRecord& e = r.E();
    EXPECT_EQ(e.Height, Round(32 * CosTable[e.ParamB]) + 256);
    const int32_t w = e.IntC < 256 ? e.IntC : 511 - e.IntC;
    EXPECT_EQ(e.IntB & 0xFF, w);
    EXPECT_EQ(e.IntB >> 16, 0);
  }
}

TEST(AircraftKinds, Kind30StandsUpThenWalks) {
  KindRun r("261631 30 0 0 0 20 0 0 0 300 0 5");
  const double y0 = r.E().Y;
  r.Runs(201);  // Age 0 .. 200: climbing from Age 21
  EXPECT_EQ(r.E().Height, 180);
  EXPECT_EQ(r.E().ParamA, 1);
  EXPECT_EQ(r.E().Y, y0);
  r.Runs(76);  // Age 276: full height
  EXPECT_EQ(r.E().Height, 256);
  EXPECT_EQ(r.E().ParamA, 3);
  EXPECT_EQ(r.E().IntB, 1);
  EXPECT_GT(r.E().Y, y0);
}

TEST(AircraftKinds, Kind31ChainKeepsFormationAndTurnsOntoItsHeading) {
  KindRun r("261631 31 0 0 4 10 8 1 0 300 300 5");
  ASSERT_EQ(r.t.game.EnemyList.size(), 2u);
  const double gap = r.E(1).Y - r.E(0).Y;
  EXPECT_EQ(gap, 64);
  r.Runs(11);  // Age 0 .. 10: straight up
  EXPECT_EQ(r.E(1).Y - r.E(0).Y, 64);
  r.Runs(10);
  EXPECT_EQ(r.E(0).Angle, 8);
  EXPECT_EQ(r.E(1).Angle, 0);  // its turn comes later (IntA 26)
  r.Runs(20);
  EXPECT_EQ(r.E(1).Angle, 16);
}

TEST(AircraftKinds, Kind38CrawlsThenLiftsOff) {
  KindRun r("261631 38 0 0 0 0 0 0 0 300 0 5");
  const double y0 = r.E().Y;
  r.Runs(150);
  EXPECT_EQ(r.E().Height, 0);
  EXPECT_NEAR(r.E().Y, y0 + 150 * 151 / 600.0, 1e-9);
  r.Runs(20);
  EXPECT_GT(r.E().ParamA, 0);
  EXPECT_GT(r.E().Height, 0);
}

TEST(AircraftKinds, Kind39HoversInThenDives) {
  KindRun r("261631 39 0 0 0 0 0 0 0 300 100 5");
  const int32_t dive = r.E().IntA;
  EXPECT_EQ(r.E().IntB, 1);
  r.Runs(100);
  EXPECT_NEAR(r.E().X, 320, 1e-9);
  EXPECT_EQ(r.E().ParamC, static_cast<uint8_t>(1200 % 256));
  r.Runs(dive - 100);
  r.t.TakeSounds();
  const double y = r.E().Y;
  r.Runs(1);  // Age == IntA: the dive starts with sound 5
  EXPECT_NEAR(r.E().Y, y + 6, 1e-9);
  EXPECT_EQ(r.t.TakeSounds(), std::vector<int32_t>{5});
}

TEST(AircraftKinds, Kind41FloatsThenTakesOffDroppingSeaMines) {
  KindRun r("261631 41 0 0 0 0 0 0 0 300 100 5");
  const int32_t takeOff = r.E().IntD;
  r.t.game.ScrollHold = 1;  // keep the view still so the plane stays in the band
  r.Runs(takeOff);
  EXPECT_EQ(r.E().Height, 0);
  r.Runs(50);
  EXPECT_EQ(r.E().Height, 50);
  EXPECT_EQ(r.E().IntA, 100);
}

TEST(AircraftKinds, ARecordLaunchedDuringTheWalkIsFirstHandledOnTheNextTick) {
  TestGame t(7);
  t.Add(41, 300, t.game.ScrollY + 100, 5);
  t.At(0).Age = 1000;
  for (int i = 0; i < 5000 && t.CountKind(42) == 0; ++i) Enemy_Tick(t.game);
  ASSERT_EQ(t.CountKind(42), 1u);
  EnemyRecord& mine = t.game.EnemyList.back();
  EXPECT_EQ(mine.IntB, 0);
  EXPECT_EQ(mine.Height, t.At(0).Height);
  EXPECT_EQ(mine.Y, Round(t.At(0).Y - 24));
  Enemy_Tick(t.game);
  EXPECT_EQ(t.game.EnemyList[1].IntB, 1);
}

TEST(AircraftKinds, Kind42FallsAndSinksWhenItReachesTheWater) {
  KindRun r("261631 42 0 0 0 30 0 0 0 300 100 5");
  EXPECT_EQ(r.E().Height, 30);
  int32_t ticks = 0;
  while (!r.E().Dead && ticks < 200) {
    r.Runs(1);
    ++ticks;
  }
  ASSERT_TRUE(r.E().Dead);
  EXPECT_LT(r.E().Height, 0);
  EXPECT_EQ(r.t.game.Players[0].Score, 0);
  r.Runs(26);
  EXPECT_EQ(r.t.CountKind(42), 0u);
}

TEST(AircraftKinds, Kind45FallsForAHundredAndTwentyEightTicks) {
  KindRun r("261631 45 0 0 0 0 0 0 0 300 100 5");
  const uint8_t course = r.E().ParamA;
  const double x0 = r.E().X;
  r.Runs(127);
  EXPECT_FALSE(r.E().Dead);
  EXPECT_EQ(r.E().Height, 2);
  EXPECT_NEAR(r.E().X, x0 + 127 * 1.5 * SinTable[course], 1e-6);
  r.Runs(1);
  EXPECT_TRUE(r.E().Dead);
}

TEST(AircraftKinds, Kind97RisesOutOfTheTankAndBrightens) {
  KindRun r("261631 97 0 0 0 0 0 0 128 300 100 5");
  r.Runs(31);
  EXPECT_EQ(r.E().Height, 248);
  EXPECT_FALSE(r.E().Shootable);
  r.Runs(9);
  EXPECT_EQ(r.E().Height, 256);
  EXPECT_EQ(r.E().ParamC, 255);
  EXPECT_EQ(r.E().IntC, 9);
  EXPECT_TRUE(r.E().Shootable);
  EXPECT_EQ(r.E().Angle, 128);
}

TEST(AircraftKinds, Kind2MissileSmokesAcceleratesAndWarnsBeforeItsFuelRunsOut) {
  // Flying up, with the steering window (IntB) past its fuel: no turning.
  KindRun r("261631 2 0 0 0 0 1000 0 0 300 400 1");
  const int32_t fuel = r.E().IntA;
  ASSERT_GE(fuel, 160);
  const double y0 = r.E().Y;
  r.t.TakeSounds();
  r.Runs(2);
  EXPECT_EQ(r.t.TakeSounds(), std::vector<int32_t>{4});
  EXPECT_EQ(r.t.game.Explosions.size(), 2u);
  EXPECT_NEAR(r.E().Y, y0 - 3 / 20.0, 1e-9);
  r.Runs(fuel - 80 - 2);
  EXPECT_EQ(r.E().Colour, 0xFFFFFFu);
  r.Runs(1);  // Age IntA - 80
  EXPECT_EQ(r.t.TakeSounds(), std::vector<int32_t>{6});
}

TEST(PickupKinds, TheBubbleHolderFreesAShieldThatSetsOffTheNukeWhenShot) {
  KindRun r("261631 253 0 0 0 0 0 0 0 300 200 1");
  const uint8_t a = r.E().ParamA;
  r.Runs(1);
  EXPECT_EQ(r.E().ParamA, static_cast<uint8_t>(a + 3));
  r.E().HitPoints = 0;
  r.Runs(2);  // dies, then frees the pick-up on death Age 0
  ASSERT_EQ(r.t.CountKind(254), 1u);
  EnemyRecord& shield = r.t.game.EnemyList.back();
  EXPECT_EQ(shield.X, 300);
  EXPECT_EQ(shield.HitPoints, 10);
  EXPECT_TRUE(shield.Pickup);
  shield.HitPoints = 0;
  r.t.TakeSounds();
  r.Runs(2);
  EXPECT_EQ(r.t.game.NukeTimer, 1);
  EXPECT_EQ(r.t.game.NukeX, 300);
  EXPECT_EQ(r.t.CountKind(254), 0u);
  EXPECT_EQ(r.t.CountKind(253), 1u);  // the empty bubble stays as a crater
}

TEST(PickupKinds, ThePowerUpRisesCreepsUpAndBlinks) {
  KindRun r("261631 255 0 0 0 0 0 0 0 300 200 1");
  const double y0 = r.E().Y;
  r.Runs(5);  // Age 0 .. 4
  EXPECT_EQ(r.E().ParamB, 0);
  EXPECT_EQ(r.E().Height, 5);
  r.Runs(1);  // Age 5
  EXPECT_EQ(r.E().ParamB, 8);
  EXPECT_NEAR(r.E().Y, y0 - 0.6, 1e-9);
  r.E().IntC = 40;
  r.Runs(2);
  EXPECT_EQ(r.E().IntC, 8);
  r.Runs(1);
  EXPECT_EQ(r.E().IntC, 0);
}

}  // namespace
}  // namespace tarq
