// Fixed works: ground guns, the big gun, ground bombs and cannons, the hatch cannon, the
// tarpaulin gun, tech doors and guns, launchers and airport shooters, domes, lava
// sources and shells. Each test follows one kind for a few hundred ticks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "ground_field.h"

namespace tarq {
namespace {

using testing_ground::GroundField;

constexpr int32_t kMissile = 2;

std::vector<int> ShotSteps(GroundField& f, int steps, std::vector<EnemyBullet>* shots = nullptr) {
  std::vector<int> at;
  for (int s = 1; s <= steps; ++s) {
    const auto log = f.Step();
    if (log.Bullets.empty()) continue;
    at.push_back(s);
    if (shots) shots->insert(shots->end(), log.Bullets.begin(), log.Bullets.end());
  }
  return at;
}

std::vector<int> LaunchSteps(GroundField& f, int32_t kind, int steps) {
  std::vector<int> at;
  for (int s = 1; s <= steps; ++s) {
    f.Step();
    if (!f.Fresh(kind).empty()) at.push_back(s);
  }
  return at;
}

TEST(GroundGunKind, FiresBurstsOfFiveStraightDownWithRecoil) {
  GroundField f;
  const size_t gun = f.Add(4, 320, 100, 0, 0, 0, 0, 0, 30, 10);
  std::vector<EnemyBullet> shots;
  // Age 40, 50, 60, 70, 80; the fifth shot restarts Age, so the next burst begins at
  // Age 40 of the new count, 40 ticks later.
  EXPECT_EQ(ShotSteps(f, 130, &shots), (std::vector<int>{41, 51, 61, 71, 81, 121}));
  for (const EnemyBullet& b : shots) {
    EXPECT_EQ(b.Angle, 128);
    EXPECT_EQ(b.Image, 1);
    EXPECT_EQ(b.Speed, 3);
    EXPECT_DOUBLE_EQ(b.Y, f.At(gun).Y + 40);
  }
  // The recoil frame: 8 on the shot, one less each tick after.
  GroundField g;
  const size_t gun2 = g.Add(4, 320, 100, 0, 0, 0, 0, 0, 30, 10);
  g.Run(41);
  EXPECT_EQ(g.At(gun2).ParamC, 8);
  EXPECT_EQ(g.At(gun2).IntD, 1);
  g.Run(5);
  EXPECT_EQ(g.At(gun2).ParamC, 3);
  g.Run(5);
  EXPECT_EQ(g.At(gun2).ParamC, 8);
}

TEST(BigGunKind, FiresABigBulletDownRightEveryIntCTicksAfter150) {
  GroundField f;
  const size_t gun = f.Add(6, 200, 100, 0, 0, 0, 0, 0, 0, 40);
  std::vector<EnemyBullet> shots;
  EXPECT_EQ(ShotSteps(f, 250, &shots), (std::vector<int>{161, 201, 241}));
  ASSERT_FALSE(shots.empty());
  EXPECT_EQ(shots[0].Angle, 96);
  EXPECT_EQ(shots[0].Image, f.game.sn("bigbullet"));
  EXPECT_EQ(shots[0].Speed, 5);
  EXPECT_DOUBLE_EQ(shots[0].X, f.At(gun).X + 57) << "muzzle 80 pixels along angle 96";
  EXPECT_DOUBLE_EQ(shots[0].Y, f.At(gun).Y + 57);

  f.At(gun).HitPoints = 0;
  f.Step();
  int blasts = 0;
  for (int s = 0; s < 60; ++s) blasts += f.Step().Explosions > 0;
  EXPECT_EQ(blasts, 12) << "every 4th tick while Age < 48";
  EXPECT_EQ(f.Count(6), 1u);
}

TEST(GroundBombKind, RisesBlinksAndBurstsIntoEightMissilesNearAPlayer) {
  GroundField f;
  const size_t bomb = f.Add(19, 320, 240, 0, 0, 0, 0, 50, 0, 0);
  f.PlacePlayer(320, 240 + 60);  // near, but the bomb is still buried
  f.Run(50);
  EXPECT_FALSE(f.At(bomb).Solid);
  EXPECT_FALSE(f.At(bomb).Shootable);
  EXPECT_EQ(f.Count(kMissile), 0u) << "a buried bomb does not go off";
  f.game.Players[0].Y = 240 + 100;  // exactly 100 away: not nearer than 100
  f.Step();  // Age 50: it surfaces
  EXPECT_TRUE(f.At(bomb).Solid);
  EXPECT_TRUE(f.At(bomb).Shootable);
  struct Row {
    int step;
    int frame;
  };
  // One frame on every 8th Age once awake, back from 5 to 4.
  for (const Row row : {Row{57, 1}, Row{81, 4}, Row{89, 5}, Row{97, 4}, Row{105, 5}}) {
    while (f.ticks < row.step) f.Step();
    EXPECT_EQ(f.At(bomb).ParamA, row.frame) << "step " << row.step;
  }
  EXPECT_EQ(f.Count(kMissile), 0u);
  f.game.Players[0].Y = 240 + 99;
  f.Step();
  EXPECT_TRUE(f.At(bomb).Dead);
  ASSERT_EQ(f.Count(kMissile), 8u);
  int angle = 0;
  for (const EnemyRecord& e : f.game.EnemyList) {
    if (e.Kind != kMissile) continue;
    EXPECT_EQ(e.Angle, angle);
    angle += 32;
  }
  EXPECT_EQ(f.game.Players[0].Score, 0) << "it destroyed itself: nobody scores";
}

TEST(GroundBombKind, ScoresForTheLastPlayerWhoHitItBeforeItWentOff) {
  GroundField f;
  const size_t bomb = f.Add(19, 320, 240, 0, 0, 0, 0, 0, 0, 0, 10);
  f.PlacePlayer(320, 400);
  f.Run(3);
  f.At(bomb).LastHitBy = 0;  // a bullet hit it
  f.game.Players[0].Y = 300;
  f.Step();
  EXPECT_TRUE(f.At(bomb).Dead);
  EXPECT_EQ(f.game.Players[0].Score, 535);
}

TEST(GroundCannonKind, SurfacesAndLobsAShellEvery150Ticks) {
  GroundField f;
  const size_t cannon = f.Add(20, 320, 240, 0, 0, 0, 0, 50, 0, 0);
  std::vector<int> shells;
  for (int s = 1; s <= 460; ++s) {
    f.Step();
    for (const EnemyRecord* shell : f.Fresh(88)) {
      shells.push_back(s);
      EXPECT_DOUBLE_EQ(shell->X, f.At(cannon).X + 20);
      EXPECT_DOUBLE_EQ(shell->Y, f.At(cannon).Y);
    }
  }
  EXPECT_EQ(shells, (std::vector<int>{301, 451})) << "every 150th Age past IntA + 100";
  EXPECT_EQ(f.At(cannon).ParamA, 4) << "frames 4 and 5 alternate every 10 ticks";
}

TEST(ShellKind, DriftsRightGrowingItsReachAndLeavesAfter101Ticks) {
  GroundField f;
  const size_t shell = f.Add(88, 100, 240, 0, 0, 0, 0, 0, 0, 0, 1);
  const double x0 = f.At(shell).X;
  EXPECT_EQ(f.At(shell).IntA, 100);
  f.Step();
  EXPECT_EQ(f.At(shell).Radius, 0);
  EXPECT_DOUBLE_EQ(f.At(shell).X, x0 + 4);
  int blasts = 1;
  for (int s = 2; s <= 100; ++s) blasts += f.Step().Explosions;
  EXPECT_EQ(f.At(shell).Radius, 49);
  EXPECT_NEAR(f.At(shell).X, x0 + 5050.0 / 25, 1e-9);
  EXPECT_EQ(f.Count(88), 1u);
  blasts += f.Step().Explosions;
  EXPECT_EQ(f.Count(88), 0u) << "gone once IntA falls below 0";
  EXPECT_EQ(blasts, 101);
}

TEST(HatchCannonKind, OpensFiresTwoMissilesAndClosesForGood) {
  GroundField f;
  const size_t cannon = f.Add(21, 320, 200, 0, 0, 0, 0, 10, 0, 0);
  EXPECT_FALSE(f.At(cannon).Solid);
  struct Row {
    int step;
    int doors;
    int rise;
    bool solid;
    bool shootable;
  };
  // Doors open one pixel every 3rd tick after Age 10; once open the cannon rises.
  const Row rows[] = {
      {11, 0, 0, true, false},   {14, 1, 0, true, false},  {103, 30, 0, true, false},
      {104, 31, 1, true, true},  {128, 31, 9, true, true}, {361, 31, 9, true, true},
      {362, 31, 9, true, false}, {363, 31, 8, true, false}, {379, 31, 0, true, false},
      {381, 29, 0, true, false}, {409, 1, 0, true, false},  {411, 0, 0, false, false},
      {500, 0, 0, false, false},
  };
  std::vector<std::pair<int, double>> missiles;
  for (const Row& row : rows) {
    while (f.ticks < row.step) {
      f.Step();
      for (const EnemyRecord* m : f.Fresh(kMissile)) {
        missiles.emplace_back(f.ticks, m->X - f.At(cannon).X);
        EXPECT_EQ(m->Angle, 128);
        EXPECT_DOUBLE_EQ(m->Y, f.At(cannon).Y + 52);
      }
    }
    const EnemyRecord& e = f.At(cannon);
    EXPECT_EQ(e.ParamB, row.doors) << "step " << row.step;
    EXPECT_EQ(e.ParamC, row.rise) << "step " << row.step;
    EXPECT_EQ(e.Solid, row.solid) << "step " << row.step;
    EXPECT_EQ(e.Shootable, row.shootable) << "step " << row.step;
  }
  ASSERT_EQ(missiles.size(), 2u);
  EXPECT_EQ(missiles[0], std::make_pair(161, -9.0));
  EXPECT_EQ(missiles[1], std::make_pair(311, 9.0));
}

TEST(TarpGunKind, FiresBurstsFromUnderItsTarpaulinAndLeavesACrater) {
  GroundField f;
  const size_t gun = f.Add(23, 320, 100, 0, 0, 0, 0, 20, 15, 0);
  std::vector<EnemyBullet> shots;
  EXPECT_EQ(ShotSteps(f, 140, &shots), (std::vector<int>{36, 51, 66, 81, 96, 131}));
  for (const EnemyBullet& b : shots) {
    EXPECT_EQ(b.Angle, 128);
    EXPECT_EQ(b.Speed, 8);
    EXPECT_DOUBLE_EQ(b.Y, f.At(gun).Y + 10);
  }
  f.At(gun).HitPoints = 0;
  f.Step();
  f.Step();
  EXPECT_LT(f.At(gun).ParamC, 64) << "the crater's size, drawn as the wreck starts";
}

TEST(TechDoorsKind, ReleaseAGunOpenCloseAndCycle) {
  GroundField f;
  const size_t doors = f.Add(28, 320, 200, 0, 0, 0, 0, 30, 0, 0);
  EXPECT_EQ(f.At(doors).HitPoints, 1000);
  EXPECT_FALSE(f.At(doors).Shootable);
  std::vector<int> guns;
  struct Row {
    int step;
    int opening;
    int frame;
  };
  const Row rows[] = {{31, 0, 0},   {33, 1, 1},   {113, 41, 40}, {193, 81, 40},
                      {195, 80, 40}, {315, 20, 20}, {355, 0, 0},  {400, 7, 7}};
  for (const Row& row : rows) {
    while (f.ticks < row.step) {
      f.Step();
      if (!f.Fresh(27).empty()) guns.push_back(f.ticks);
    }
    EXPECT_EQ(f.At(doors).IntB, row.opening) << "step " << row.step;
    EXPECT_EQ(f.At(doors).ParamA, row.frame) << "step " << row.step;
  }
  // A gun at Age 30 of each cycle; the cycle restarts when the door has shut (Age 354).
  EXPECT_EQ(guns, (std::vector<int>{31, 385}));
  const EnemyRecord* gun = f.Last(27);
  EXPECT_NEAR(gun->X, f.At(doors).X - 32, 1e-9);
  EXPECT_EQ(gun->IntA, 50);
  EXPECT_EQ(gun->HitPoints, 5);
}

TEST(TechGunKind, SlidesOutBecomesShootableAndIsGoneAfterItsWreck) {
  GroundField f(11);
  const size_t gun = f.Add(27, 320, 200, 0, 0, 0, 1, 50, 0, 0, 5);
  const double x0 = f.At(gun).X;
  f.Run(51);
  EXPECT_FALSE(f.At(gun).Shootable);
  EXPECT_DOUBLE_EQ(f.At(gun).X, x0);
  f.Step();
  EXPECT_TRUE(f.At(gun).Shootable);
  EXPECT_NEAR(f.At(gun).X, x0 - 0.4, 1e-9) << "left when it came out on the right";
  std::vector<EnemyBullet> shots;
  const auto at = ShotSteps(f, 700, &shots);
  ASSERT_FALSE(at.empty());
  EXPECT_GT(at.front() + 52, 301);
  for (const EnemyBullet& b : shots) EXPECT_EQ(b.Image, f.game.sn("bullet3"));
  f.At(gun).HitPoints = 0;
  f.Step();
  f.Run(25);
  EXPECT_EQ(f.Count(27), 1u);
  f.Step();
  EXPECT_EQ(f.Count(27), 0u) << "removed when its Age passes 24";
}

TEST(LauncherKind, SendsOutAnAirportShooterEveryIntAPlusOneTicks) {
  GroundField f;
  f.Add(33, 200, 300, 0, 0, 0, 0, 20, 0, 0);
  EXPECT_EQ(LaunchSteps(f, 34, 70), (std::vector<int>{22, 43, 64}));
  const EnemyRecord* shooter = f.Last(34);
  EXPECT_EQ(shooter->IntA, 150);
  EXPECT_EQ(shooter->IntB, 10);
  EXPECT_EQ(shooter->HitPoints, 1);
}

TEST(AirportShooterKind, RunsHopsAndSpeedsUpOnceShootable) {
  GroundField f;
  const size_t shooter = f.Add(34, 0, 300, 0, 0, 0, 0, 150, 10, 0, 1);
  const double x0 = f.At(shooter).X;
  f.Run(85);
  EXPECT_EQ(f.At(shooter).Height, 0);
  f.Step();  // Age 85 = 150 / 2 + 10
  EXPECT_EQ(f.At(shooter).Height, 150);
  while (f.ticks < 150) f.Step();
  EXPECT_FALSE(f.At(shooter).Shootable);
  f.Step();
  EXPECT_TRUE(f.At(shooter).Shootable);
  EXPECT_NEAR(f.At(shooter).X, x0 + 151 * 0.5, 1e-9);
  f.Step();
  f.Step();
  EXPECT_NEAR(f.At(shooter).X, x0 + 152 * 0.5 + 0.55, 1e-9);

  f.At(shooter).HitPoints = 0;
  f.Step();
  int blasts = 0;
  for (int s = 0; s < 31; ++s) blasts += f.Step().Explosions > 0;
  EXPECT_EQ(blasts, 16);
  EXPECT_EQ(f.Count(34), 1u);
  f.Step();
  EXPECT_EQ(f.Count(34), 0u);
}

TEST(DomeKind, BurstsOpenAtIntAAndSendsAFlierEvery300Ticks) {
  GroundField f(2);
  const size_t dome = f.Add(43, 320, 200, 0, 0, 0, 0, 0, 0, 0);
  const int32_t opens = f.At(dome).IntA;
  ASSERT_GE(opens, 200);
  ASSERT_LT(opens, 400);
  while (f.ticks < opens) f.Step();
  EXPECT_EQ(f.At(dome).ParamA, 0);
  EXPECT_EQ(f.Step().Explosions, 3u);
  EXPECT_EQ(f.At(dome).ParamA, 1);
  std::vector<int> fliers;
  while (f.ticks < 1000) {
    f.Step();
    for (const EnemyRecord* flier : f.Fresh(97)) {
      fliers.push_back(f.ticks - 1);  // the Age it launched at
      EXPECT_EQ(flier->Angle, 128);
      EXPECT_DOUBLE_EQ(flier->X, f.At(dome).X - 10);
      EXPECT_DOUBLE_EQ(flier->Y, f.At(dome).Y + 5);
    }
  }
  std::vector<int> expected;
  for (int age = 300; age < 1000; age += 300)
    if (age > opens) expected.push_back(age);
  EXPECT_EQ(fliers, expected);
}

TEST(LavaSourceKind, Erupts200TicksAfterItsRestThenStartsOver) {
  GroundField f(4);
  const size_t source = f.Add(44, 320, 200, 0, 0, 0, 0, 0, 0, 0);
  const int32_t rest = f.At(source).IntA;
  ASSERT_GE(rest, 200);
  ASSERT_LT(rest, 400);
  const int cycle = rest + 201;  // steps from one Age 1 to the next
  std::vector<int> expected;
  for (int c = 0; c < 2; ++c)
    for (int age = rest + 1; age <= rest + 200; ++age)
      if (age % 8 == 0) expected.push_back(c * cycle + age + 1);
  EXPECT_EQ(LaunchSteps(f, 45, 2 * cycle), expected);
  EXPECT_EQ(f.At(source).IntA, rest);
}

TEST(ZeroDivisors, ScheduleZerosCountAsOneAndNeverCrashOrStall) {
  GroundField f;
  const size_t gun = f.Add(4, 100, 100, 0, 0, 0, 0, 0, 5, 0);    // IntC 0
  const size_t big = f.Add(6, 200, 100, 0, 0, 0, 0, 0, 0, 0);    // IntC 0
  f.Add(22, 300, 100, 0, 0, 0, 0, 0, 0, 0);                      // IntB 0
  const size_t tarp = f.Add(23, 400, 100, 0, 0, 0, 0, 3, 0, 0);  // IntB 0
  // Shots told apart by their muzzle's x: straight down from the guns, down-right
  // (57 pixels across) from the big gun.
  std::map<double, std::vector<int>> steps;
  for (int s = 1; s <= 200; ++s)
    for (const EnemyBullet& b : f.Step().Bullets) steps[b.X].push_back(s);
  auto first = [](const std::vector<int>& v, size_t n) {
    return std::vector<int>(v.begin(), v.begin() + static_cast<ptrdiff_t>(std::min(n, v.size())));
  };
  // An interval of 1: the ground gun fires its five shots on five ticks in a row after
  // Age 5, then starts over; the tarp gun likewise once awake after Age 3.
  EXPECT_EQ(first(steps[f.At(gun).X], 10), (std::vector<int>{7, 8, 9, 10, 11, 17, 18, 19, 20, 21}));
  EXPECT_EQ(first(steps[f.At(tarp).X], 10), (std::vector<int>{5, 6, 7, 8, 9, 13, 14, 15, 16, 17}));
  const std::vector<int>& bigShots = steps[f.At(big).X + 57];
  ASSERT_EQ(bigShots.size(), 49u) << "every tick after Age 150";
  EXPECT_EQ(bigShots.front(), 152);
  EXPECT_EQ(f.Count(kMissile), 0u) << "a zero-interval rail launcher only rolls";
  EXPECT_EQ(f.Count(22), 1u);

  GroundField g;
  const size_t jeep = g.Add(25, 500, 100, 0, 0, 0, 0, 0, 0, 0);  // IntB 0 from the start
  const double jeepY = g.At(jeep).Y;
  const uint8_t wheels = g.At(jeep).ParamC;
  g.Run(200);
  EXPECT_DOUBLE_EQ(g.At(jeep).Y, jeepY) << "a jeep with no speed stands";
  EXPECT_EQ(g.At(jeep).ParamC, wheels) << "and keeps its wheels still";
}

}  // namespace
}  // namespace tarq
