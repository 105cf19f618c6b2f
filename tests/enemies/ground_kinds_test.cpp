// Units that drive on the ground: tanks, trains, rail launchers, jeeps, ground spitters,
// missile tanks and the big tank. Each test follows one kind for a few hundred ticks and
// checks the positions, frames, shots and launches its rules fix.
#include <gtest/gtest.h>

#include <cmath>

#include "ground_field.h"

namespace tarq {
namespace {

using testing_ground::GroundField;

constexpr int32_t kTrackMark = 89;
constexpr int32_t kMissile = 2;

// The ticks (1-based steps) at which a condition first holds for each step in a run.
template <typename Probe>
std::vector<int> StepsWhere(GroundField& f, int steps, Probe probe) {
  std::vector<int> at;
  for (int s = 1; s <= steps; ++s)
    if (probe(f.Step())) at.push_back(s);
  return at;
}

TEST(TankKind, DrivesLaysTracksSlowsAndSwingsItsTurret) {
  GroundField f;
  // Heading right at 2 pixels per tick, slowing after Age 100, awake after 20 ticks.
  const size_t tank = f.Add(1, 100, 200, 64, 0, 0, 10, 20, 20, 100);
  ASSERT_EQ(f.Count(kTrackMark), 1u) << "a new tank lays its first mark at once";
  const double x0 = f.At(tank).X;
  EXPECT_EQ(f.At(tank).TrackSide, 128) << "a forward-driving tank's marks face back";

  struct Row {
    int step;
    double x;
    size_t marks;
    int turret;
  };
  // The turret starts turning on the first even Age after waking (22): with no player
  // the aim is straight down (128), a half turn away, so it turns the counter-clockwise
  // way, one step every other tick.
  const Row rows[] = {
      {1, x0 + 2, 1, 0},      {22, x0 + 44, 1, 0},    {23, x0 + 46, 1, 255},
      {32, x0 + 64, 1, 251},  {33, x0 + 66, 2, 250},  {65, x0 + 130, 3, 234},
      {112, x0 + 224, 4, 211}, {113, x0 + 225.9, 4, 210},
  };
  for (const Row& row : rows) {
    while (f.ticks < row.step) f.Step();
    const EnemyRecord& e = f.At(tank);
    EXPECT_NEAR(e.X, row.x, 1e-9) << "step " << row.step;
    EXPECT_EQ(f.Count(kTrackMark), row.marks) << "step " << row.step;
    EXPECT_EQ(e.ParamA, row.turret) << "step " << row.step;
  }
  const EnemyRecord* mark = f.Last(kTrackMark);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->Angle, 192);
  EXPECT_EQ(mark->IntA, f.game.sn("tanktracks"));
  EXPECT_EQ(mark->ParamA, 1);
  EXPECT_DOUBLE_EQ(mark->X, x0 + 192) << "marks lie every 64 pixels";
}

TEST(TankKind, FiresOnlyAlongItsTurretOnceItPointsAtTheTarget) {
  GroundField f(7);
  const size_t tank = f.Add(1, 320, 100, 0, 0, 0, 10, 0, 0, 0);
  int shots = 0;
  for (int s = 1; s <= 3000; ++s) {
    const auto log = f.Step();
    for (const EnemyBullet& b : log.Bullets) {
      EXPECT_EQ(f.At(tank).ParamA, 128);
      EXPECT_EQ(b.Angle, 128);
      EXPECT_EQ(b.Image, 1);
      EXPECT_DOUBLE_EQ(b.Y, f.At(tank).Y + 40) << "muzzle 40 pixels along the turret";
      ++shots;
    }
  }
  EXPECT_GT(shots, 3) << "about one shot in 256 ticks once on target";
}

TEST(TankKind, WreckBurnsForTwentyFourTicksAndStaysAsACrater) {
  GroundField f;
  const size_t tank = f.Add(1, 320, 200, 0, 0, 0, 10, 0, 0, 0);
  f.At(tank).HitPoints = 0;
  f.Step();
  ASSERT_TRUE(f.At(tank).Dead);
  const auto blasts = StepsWhere(f, 200, [](const auto& log) { return log.Explosions > 0; });
  EXPECT_EQ(blasts, (std::vector<int>{1, 5, 9, 13, 17, 21}));
  EXPECT_EQ(f.Count(1), 1u) << "the crater stays until it scrolls away";
}

TEST(TrainKind, CarriagesRunAtTheEnginesSpeedAndSlowWithItAfterItDies) {
  GroundField f;
  // An engine heading right (angle 0) at 3 pixels per tick with two carriages behind it.
  const size_t engine = f.Add(10, 400, 300, 0, 0, 2, 0, 5, 30, 0);
  ASSERT_EQ(f.Count(11), 2u);
  const size_t first = engine + 1, second = engine + 2;
  EXPECT_DOUBLE_EQ(f.At(second).X, f.At(engine).X - 192);
  f.Step();
  EXPECT_EQ(f.game.LinkSpeeds[5], 30);
  EXPECT_EQ(f.game.LinkSpeeds[6], 30);
  EXPECT_EQ(f.game.LinkSpeeds[7], 30);
  for (size_t i : {engine, first, second}) EXPECT_NEAR(f.At(i).Y, 300 + GroundField::kScrollY, 1e-9);

  f.At(engine).HitPoints = 0;
  f.Step();
  ASSERT_TRUE(f.At(engine).Dead);
  // The wreck takes one off the published speed at once and one more every 32 ticks.
  struct Row {
    int steps;
    int speed;
  };
  for (const Row row : {Row{1, 29}, Row{32, 29}, Row{33, 28}, Row{65, 27}}) {
    while (f.ticks < 2 + row.steps) f.Step();
    EXPECT_EQ(f.game.LinkSpeeds[5], row.speed) << "after " << row.steps;
    EXPECT_EQ(f.game.LinkSpeeds[7], row.speed) << "the last carriage follows";
  }
  const double x = f.At(second).X;
  f.Step();
  EXPECT_NEAR(f.At(second).X - x, 2.7, 1e-9);
}

TEST(TrainKind, AWreckedCarriageSlowsTheCarriagesBehindIt) {
  GroundField f;
  const size_t engine = f.Add(10, 400, 300, 0, 0, 2, 0, 0, 20, 0);
  f.At(engine + 1).HitPoints = 0;
  f.Step();
  ASSERT_TRUE(f.At(engine + 1).Dead);
  f.Run(40);
  EXPECT_EQ(f.game.LinkSpeeds[0], 20) << "the engine runs on";
  EXPECT_EQ(f.game.LinkSpeeds[1], 18) << "the wreck's slot: one less at Age 0 and 32";
  EXPECT_EQ(f.game.LinkSpeeds[2], 18);
}

TEST(TrainKind, SlotsOutsideTheTableAreNeitherReadNorWritten) {
  GroundField f;
  const size_t engine = f.Add(10, 400, 300, 0, 0, 1, 0, 100, 20, 0);
  const size_t lost = f.Add(10, 400, 200, 0, 0, 1, 0, -3, 20, 0);
  const double carriageX = f.At(lost + 1).X;
  f.Run(3);
  EXPECT_EQ(f.game.LinkSpeeds[100], 20);
  EXPECT_NEAR(f.At(engine + 1).X - f.At(engine).X, -96, 1e-9) << "reads slot 100, skips 101";
  EXPECT_DOUBLE_EQ(f.At(lost + 1).X, carriageX) << "slot -3 reads as standing still";
  EXPECT_NEAR(f.At(lost).X, 400 + GroundField::kScrollX + 6, 1e-9);
}

TEST(RailLauncherKind, RollsAndFiresMissilesLeftAndRightOutOfStep) {
  GroundField f;
  const size_t launcher = f.Add(22, 300, 200, 0, 0, 0, 0, 50, 100, 0);
  const double x0 = f.At(launcher).X;
  struct Launch {
    int step;
    double dx;
    int angle;
  };
  std::vector<Launch> launches;
  for (int s = 1; s <= 260; ++s) {
    f.Step();
    for (const EnemyRecord* m : f.Fresh(kMissile))
      launches.push_back({s, m->X - f.At(launcher).X, m->Angle});
  }
  ASSERT_EQ(launches.size(), 4u);
  EXPECT_EQ(launches[0].step, 101);  // Age 100: left
  EXPECT_EQ(launches[0].angle, 192);
  EXPECT_NEAR(launches[0].dx, -32, 0.5);
  EXPECT_EQ(launches[1].step, 151);  // Age 150: right, 50 ticks out of step
  EXPECT_EQ(launches[1].angle, 64);
  EXPECT_NEAR(launches[1].dx, 32, 0.5);
  EXPECT_EQ(launches[2].step, 201);
  EXPECT_EQ(launches[3].step, 251);
  EXPECT_NEAR(f.At(launcher).X, x0 + 260 * 0.5, 1e-9);
}

TEST(RailLauncherKind, ZeroIntervalOnlyRollsAndTheWreckLeavesACraterOfRandomSize) {
  GroundField f;
  const size_t launcher = f.Add(22, 300, 200, 0, 0, 0, 0, 100, 0, 0);
  f.Run(300);
  EXPECT_EQ(f.Count(kMissile), 0u);
  f.At(launcher).HitPoints = 0;
  f.Step();
  const auto blasts = StepsWhere(f, 60, [](const auto& log) { return log.Explosions > 0; });
  EXPECT_EQ(blasts.size(), 8u) << "every 4th tick while Age < 32";
  EXPECT_LT(f.At(launcher).ParamC, 64);
  EXPECT_EQ(f.Count(22), 1u);
}

TEST(JeepKind, TurnsItsWheelsEveryIntBTicksAndLaysJeepTracks) {
  GroundField f;
  // Never awake (IntA huge): full speed, 2 pixels per tick up the map.
  const size_t jeep = f.Add(25, 300, 400, 0, 0, 0, 0, 1000000, 20, 0);
  const uint8_t wheels = f.At(jeep).ParamC;
  ASSERT_LE(wheels, 1);
  const EnemyRecord* mark = f.Last(kTrackMark);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->IntA, f.game.sn("jeeptracks"));
  const auto flips = StepsWhere(f, 60, [&, last = wheels](const auto&) mutable {
    const bool flipped = f.At(jeep).ParamC != last;
    last = f.At(jeep).ParamC;
    return flipped;
  });
  EXPECT_EQ(flips, (std::vector<int>{1, 21, 41}));
  EXPECT_NEAR(f.At(jeep).Y, 400 + GroundField::kScrollY - 120, 1e-9);
  EXPECT_EQ(f.Count(kTrackMark), 2u);
}

TEST(JeepKind, SlowsToAStandstillOnceAwakeAndThenKeepsItsWheelsStill) {
  GroundField f;
  const size_t jeep = f.Add(25, 300, 400, 0, 0, 0, 0, 0, 3, 0);
  f.Run(16 * 3 + 1);
  EXPECT_EQ(f.At(jeep).IntB, 0) << "one less every 16th tick once awake";
  const uint8_t wheels = f.At(jeep).ParamC;
  const double y = f.At(jeep).Y;
  f.Run(100);
  EXPECT_EQ(f.At(jeep).ParamC, wheels);
  EXPECT_DOUBLE_EQ(f.At(jeep).Y, y);
  EXPECT_EQ(f.At(jeep).IntB, 0) << "never below 0";
}

TEST(SpitterKind, WakesSpeedsUpWandersAndSpitsAtTheTarget) {
  GroundField f(3);
  const size_t spitter = f.Add(26, 320, 240, 64, 0, 0, 0, 10, 0, 0);
  const double x0 = f.At(spitter).X;
  f.Run(11);
  EXPECT_DOUBLE_EQ(f.At(spitter).X, x0) << "still until awake";
  EXPECT_EQ(f.At(spitter).Angle, 64);
  while (f.ticks < 101) f.Step();
  EXPECT_EQ(f.At(spitter).IntC, 11) << "one more every 8th tick from Age 16";
  int shots = 0;
  for (int s = 102; s <= 400; ++s) {
    for (const EnemyBullet& b : f.Step().Bullets) {
      EXPECT_GT(s, 111);
      EXPECT_EQ(b.Image, f.game.sn("bullet2"));
      EXPECT_GE(b.Angle, 112);
      EXPECT_LE(b.Angle, 143);
      EXPECT_EQ(b.Speed, 4);
      ++shots;
    }
  }
  EXPECT_GT(shots, 0);
}

TEST(MissileTankKind, CreepsOnlyWhenNotLaunchingAndCanBeHitOnlyThen) {
  GroundField f(5);
  const size_t tank = f.Add(90, 320, 40, 128, 0, 0, 0, 0, 30, 0);
  EXPECT_EQ(f.At(tank).IntA, 60) << "awake after twice its first halt";
  const double y0 = f.At(tank).Y;
  f.Run(29);
  EXPECT_DOUBLE_EQ(f.At(tank).Y, y0);
  EXPECT_FALSE(f.At(tank).Shootable);
  f.Step();
  EXPECT_NEAR(f.At(tank).Y, y0 + 0.4, 1e-9);
  EXPECT_TRUE(f.At(tank).Shootable);
  int launches = 0;
  for (int s = 0; s < 1000; ++s) {
    f.Step();
    if (f.Fresh(kMissile).empty()) continue;
    ++launches;
    EXPECT_GT(f.At(tank).Age, 60);
    EXPECT_EQ(f.At(tank).IntB, 75);
    EXPECT_EQ(f.Last(kMissile)->Angle, 128);
  }
  EXPECT_GT(launches, 0);
}

TEST(MissileTankKind, WreckIsGoneAfterTwentyFourTicks) {
  GroundField f;
  const size_t tank = f.Add(90, 320, 200, 128, 0, 0, 0, 0, 0, 0);
  f.At(tank).HitPoints = 0;
  f.Step();
  const auto blasts = StepsWhere(f, 24, [](const auto& log) { return log.Explosions > 0; });
  EXPECT_EQ(blasts, (std::vector<int>{1, 5, 9, 13, 17, 21}));
  EXPECT_EQ(f.Count(90), 1u);
  f.Step();
  EXPECT_EQ(f.Count(90), 0u);
}

TEST(BigTankKind, OpensLetsOneFlierOutClosesAndStartsOver) {
  GroundField f;
  const size_t hatch = f.Add(98, 320, 200, 0, 0, 0, 0, 20, 0, 0);
  const size_t hull = f.Add(99, 320, 200, 0, 0, 0, 0, 0, 0, 0, 100);
  const double hullY = f.At(hull).Y;
  const auto fliers = StepsWhere(f, 600, [&](const auto&) { return !f.Fresh(97).empty(); });
  // Awake after Age 20: the opening reaches 65 at Age 85; back to 0 at Age 222, when
  // Age restarts, so the next flier comes 222 ticks later.
  EXPECT_EQ(fliers, (std::vector<int>{86, 308, 530}));
  EXPECT_NEAR(f.At(hull).Y, hullY + 60, 1e-6);
  const EnemyRecord* flier = f.Last(97);
  EXPECT_EQ(flier->Angle, 128);
  EXPECT_TRUE(f.At(hatch).Dead == false);
}

TEST(BigTankKind, HatchFrameFollowsTheOpening) {
  GroundField f;
  const size_t hatch = f.Add(98, 320, 200, 0, 0, 0, 0, 0, 0, 0);
  struct Row {
    int step;
    int opening;
    int frame;
  };
  for (const Row row : {Row{2, 1, 0}, Row{17, 16, 2}, Row{41, 40, 5}, Row{101, 100, 5},
                        Row{102, 101, 5}, Row{103, 100, 5}, Row{190, 13, 1}}) {
    while (f.ticks < row.step) f.Step();
    EXPECT_EQ(f.At(hatch).IntB, row.opening) << "step " << row.step;
    EXPECT_EQ(f.At(hatch).ParamA, row.frame) << "step " << row.step;
  }
}

}  // namespace
}  // namespace tarq
