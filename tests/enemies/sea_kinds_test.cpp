// Things on the water: water things, splashes, hovercraft and shell spitters.
#include <gtest/gtest.h>

#include <cmath>

#include "ground_field.h"

namespace tarq {
namespace {

using testing_ground::GroundField;

TEST(WaterThingKind, LeapsInArcsAndSplashesEachTimeItDivesBackIn) {
  GroundField f;
  const size_t thing = f.Add(32, 320, -300, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(f.At(thing).Angle, 128);
  const double y0 = f.At(thing).Y;
  struct Row {
    int step;
    int height;
    size_t splashes;
  };
  // Height |[192 sin(ParamA + 1)]|; 0 (and a splash) when ParamA + 1 is 128 or 256. The
  // first splash has faded away (117 ticks) by the time the second comes.
  const Row rows[] = {{1, 5, 0},     {64, 192, 0},  {127, 5, 0},  {128, 0, 1},
                      {129, 5, 1},   {192, 192, 1}, {256, 0, 1},  {257, 5, 1}};
  for (const Row& row : rows) {
    while (f.ticks < row.step) f.Step();
    EXPECT_EQ(f.At(thing).Height, row.height) << "step " << row.step;
    EXPECT_EQ(f.Count(35), row.splashes) << "step " << row.step;
    EXPECT_DOUBLE_EQ(f.At(thing).Y, y0 + 2 * row.step);
  }
  const EnemyRecord* splash = f.Last(35);
  EXPECT_DOUBLE_EQ(splash->Y, y0 + 2 * 255 + 32) << "32 pixels below it, before this tick's move";
}

TEST(WaterThingKind, AColumnFollowsBehindInPhaseAndAWreckSinks) {
  GroundField f;
  const size_t head = f.Add(32, 320, 100, 0, 40, 0, 2, 0, 0, 14);
  ASSERT_EQ(f.Count(32), 3u);
  EXPECT_EQ(f.At(head + 1).ParamA, 32);
  EXPECT_EQ(f.At(head + 2).ParamA, 24);
  EXPECT_DOUBLE_EQ(f.At(head + 2).Y, f.At(head).Y - 128);

  f.At(head).HitPoints = 0;
  f.Step();
  const double y = f.At(head).Y;
  int blasts = 0;
  for (int s = 0; s < 30; ++s) blasts += f.Step().Explosions > 0;
  EXPECT_EQ(blasts, 15) << "every 2nd tick";
  EXPECT_NEAR(f.At(head).Y, y + 30 * 14 / 7.5, 1e-9) << "sinks by IntC / 7.5 a tick";
  f.Step();
  EXPECT_EQ(f.Count(32), 3u);
  f.Step();
  EXPECT_EQ(f.Count(32), 2u) << "gone when its Age reaches 31";
}

TEST(SplashKind, GrowsStartsFadingOnItsThirtyThirdTickAndGoesEightyFiveTicksLater) {
  GroundField f;
  const size_t splash = f.Add(35, 320, 240, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(static_cast<uint32_t>(f.At(splash).IntC), 0xFFFFFFu);
  f.Run(32);
  EXPECT_EQ(f.At(splash).IntB, 256);
  EXPECT_EQ(static_cast<uint32_t>(f.At(splash).IntC), 0xFFFFFFu);
  f.Step();
  EXPECT_EQ(static_cast<uint32_t>(f.At(splash).IntC), 0xFCFCFCu);
  f.Run(83);
  EXPECT_EQ(static_cast<uint32_t>(f.At(splash).IntC), 0x030303u);
  ASSERT_EQ(f.Count(35), 1u);
  f.Step();  // the 85th fading tick: black, and gone
  EXPECT_EQ(f.Count(35), 0u);
  EXPECT_EQ(f.ticks, 33 + 84);
}

TEST(SplashKind, EachChannelFadesOnItsOwnAndStopsAtZero) {
  GroundField f;
  const size_t splash = f.Add(35, 320, 240, 0, 0, 0, 0, 0, 0, 0);
  f.At(splash).IntB = 300;
  f.At(splash).IntC = 0x0A0501;
  f.Step();
  EXPECT_EQ(f.At(splash).IntC, 0x070200);
  f.Step();
  EXPECT_EQ(f.At(splash).IntC, 0x040000);
}

TEST(HovercraftKind, DriftsDownOpensItsDoorsAndDropsASpitterEachCycle) {
  GroundField f;
  const size_t craft = f.Add(36, 320, -200, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(f.At(craft).IntA, 200);
  const double y0 = f.At(craft).Y;
  struct Row {
    int step;
    int opening;
    int doors;
    int turretGone;
  };
  // Awake after Age 200, the opening grows by one every 4th tick: 25 (spitter out) at
  // Age 300, 51 at Age 404, back to 0 at Age 608, when the cycle restarts.
  const Row rows[] = {{201, 0, 0, 0},   {205, 1, 1, 0},   {300, 24, 24, 0}, {301, 25, 25, 1},
                      {405, 51, 25, 1}, {409, 50, 25, 1}, {509, 25, 25, 1}, {609, 0, 0, 0}};
  // (Counted, not found by age: a spitter restarting its own sweep is one tick old too.)
  std::vector<int> drops;
  auto step = [&] {
    const size_t before = f.Count(37);
    f.Step();
    if (f.Count(37) > before) drops.push_back(f.ticks);
  };
  for (const Row& row : rows) {
    while (f.ticks < row.step) step();
    EXPECT_EQ(f.At(craft).IntB, row.opening) << "step " << row.step;
    EXPECT_EQ(f.At(craft).ParamA, row.doors) << "step " << row.step;
    EXPECT_EQ(f.At(craft).ParamB, row.turretGone) << "step " << row.step;
  }
  while (f.ticks < 910) step();
  EXPECT_EQ(drops, (std::vector<int>{301, 909}));
  EXPECT_NEAR(f.At(craft).Y, y0 + 910 * 0.5, 1e-6) << "no target: half a pixel down a tick";
  const EnemyRecord* spitter = f.Last(37);
  EXPECT_EQ(spitter->IntA, 150);
  EXPECT_EQ(spitter->HitPoints, 20);
}

TEST(HovercraftKind, ClosesInFromAboveAndDriftsOnceLevelWithTheTarget) {
  GroundField f;
  const size_t craft = f.Add(36, 320, 100, 0, 0, 0, 0, 0, 0, 0);
  f.PlacePlayer(420, 400);
  const double x = f.At(craft).X, y = f.At(craft).Y;
  f.Step();
  // Aim from (320, 100) to (420, 400): 161.57 degrees, 115 steps, low bits cleared: 112.
  const double v = (std::sqrt(100.0 * 100 + 300.0 * 300) + 200) / 1000;
  EXPECT_NEAR(f.At(craft).X, x + v * SinTable[112], 1e-9);
  EXPECT_NEAR(f.At(craft).Y, y - v * CosTable[112], 1e-9);
  f.game.Players[0].Y = 50;
  const double y1 = f.At(craft).Y;
  f.Step();
  EXPECT_NEAR(f.At(craft).Y, y1 + 0.5, 1e-9);
}

TEST(ShellSpitterKind, RisesAndSweepsAFanOfShotsThereAndBack) {
  GroundField f(9);
  const size_t spitter = f.Add(37, 320, 200, 0, 0, 0, 0, 20, 0, 0, 20);
  std::vector<std::pair<int, int>> shots;  // (Age, angle)
  for (int s = 1; s <= 260; ++s)
    for (const EnemyBullet& b : f.Step().Bullets) shots.emplace_back(s - 1, b.Angle);
  EXPECT_EQ(f.At(spitter).Height, 256);
  ASSERT_GE(shots.size(), 4u);
  // Awake after Age 20, IntB counts up from Age 21; a shot on every 4th Age at 231 + IntB.
  EXPECT_EQ(shots[0], std::make_pair(24, 235));
  EXPECT_EQ(shots[11], std::make_pair(68, 23));
  EXPECT_EQ(shots[12], std::make_pair(72, 25)) << "IntB 51 turned it back at Age 71";
  EXPECT_EQ(shots[24], std::make_pair(120, 233));
  // IntB back at 0 at Age 122: Age restarts, and the next sweep starts at Age 24.
  EXPECT_EQ(shots[25], std::make_pair(123 + 23, 235));
  for (const auto& [age, angle] : shots) EXPECT_TRUE(angle >= 231 || angle <= 26) << angle;
}

TEST(ShellSpitterKind, WreckBurnsFor48Ticks) {
  GroundField f;
  const size_t spitter = f.Add(37, 320, 200, 0, 0, 0, 0, 20, 0, 0, 20);
  f.At(spitter).HitPoints = 0;
  f.Step();
  int blasts = 0;
  for (int s = 0; s < 48; ++s) blasts += f.Step().Explosions > 0;
  EXPECT_EQ(blasts, 6) << "every 8th tick while Age < 48";
  EXPECT_EQ(f.Count(37), 1u);
  f.Step();
  EXPECT_EQ(f.Count(37), 0u);
}

}  // namespace
}  // namespace tarq
