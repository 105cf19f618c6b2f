#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/numeric.h"
#include "core/random.h"
#include "game/game.h"

namespace tarq {
namespace {

class WeaponsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    SeedRandom(3);
    game.Players[0].Active = true;
    game.Players[0].X = 320;
    game.Players[0].Y = 340;
    game.ScrollX = 20;
    game.ScrollY = 5000;
  }
  // A bullet that will be at screen (x, y) after one move straight up.
  void BulletArrivingAt(double x, double y, int32_t owner = 0) {
    PlayerBullet b;
    b.X = x;
    b.Y = y + kPlayerBulletSpeed;
    b.Speed = kPlayerBulletSpeed;
    b.Owner = owner;
    game.PlayerBullets.push_back(b);
  }
  EnemyRecord& EnemyAtScreen(double x, double y) {
    EnemyRecord e;
    e.X = x + game.ScrollX;
    e.Y = y + game.ScrollY;
    e.HitPoints = 10;
    game.EnemyList.push_back(e);
    return game.EnemyList.back();
  }
  Game game;
};

struct Shot {
  int32_t angleSteps;  // multiples of Spread
  double forward;
  double side;
};

// The volley table: odd levels a centre shot and pairs 10 and 20 out, even levels pairs
// 5 and 15 out; outer pairs start behind.
const std::vector<std::vector<Shot>> kVolleys = {
    {{0, 0, 0}},
    {{-1, 0, -5}, {1, 0, 5}},
    {{0, 0, 0}, {-2, -5, -10}, {2, -5, 10}},
    {{-1, 0, -5}, {1, 0, 5}, {-3, -5, -15}, {3, -5, 15}},
    {{0, 0, 0}, {-2, -5, -10}, {2, -5, 10}, {-4, -10, -20}, {4, -10, 20}},
};

TEST_F(WeaponsTest, VolleyTableForEveryLevelWithBothSpreads) {
  for (int32_t spread : {0, 3}) {
    for (int32_t level = 1; level <= 5; ++level) {
      game.PlayerBullets.clear();
      game.Players[0].WeaponLevel = level;
      game.Players[0].Spread = spread;
      FireVolley(game, 0);
      const auto& want = kVolleys[static_cast<size_t>(level - 1)];
      ASSERT_EQ(game.PlayerBullets.size(), want.size()) << "level " << level;
      for (size_t i = 0; i < want.size(); ++i) {
        const PlayerBullet& b = game.PlayerBullets[i];
        const int32_t angle = ToByteAngle(want[i].angleSteps * spread);
        const double rad = angle * 2 * std::numbers::pi / 256;
        const double x = 320 + Round(want[i].forward * std::sin(rad)) +
                         Round(want[i].side * std::cos(rad));
        const double y = 340 - Round(want[i].forward * std::cos(rad)) +
                         Round(want[i].side * std::sin(rad));
        EXPECT_EQ(b.Angle, angle) << "level " << level << " shot " << i;
        EXPECT_EQ(b.X, x) << "level " << level << " spread " << spread << " shot " << i;
        EXPECT_EQ(b.Y, y) << "level " << level << " spread " << spread << " shot " << i;
        EXPECT_EQ(b.Speed, 15.0);
        EXPECT_EQ(b.Owner, 0);
        EXPECT_TRUE(b.Pattern == 0 || b.Pattern == 1);
      }
    }
  }
  // Level 4 without spread: parallel shots 5 and 15 pixels out, the outer pair 5 behind.
  game.PlayerBullets.clear();
  game.Players[0].WeaponLevel = 4;
  game.Players[0].Spread = 0;
  FireVolley(game, 0);
  EXPECT_EQ(game.PlayerBullets[2].X, 305);
  EXPECT_EQ(game.PlayerBullets[2].Y, 345);
  EXPECT_EQ(game.PlayerBullets[3].X, 335);
}

TEST_F(WeaponsTest, BulletsLeaveOnlyWhenPastTheBounds) {
  BulletArrivingAt(670, 200);
  BulletArrivingAt(670.5, 200);
  BulletArrivingAt(300, -20);
  BulletArrivingAt(300, -20.5);
  Player_MoveBullets(game);
  ASSERT_EQ(game.PlayerBullets.size(), 2u);
  EXPECT_EQ(game.PlayerBullets[0].X, 670);
  EXPECT_EQ(game.PlayerBullets[1].Y, -20);
  // Straight down onto the bottom edge.
  game.PlayerBullets.clear();
  PlayerBullet b;
  b.X = 300;
  b.Y = 484;
  b.Angle = 128;
  b.Speed = 15;
  game.PlayerBullets.push_back(b);
  b.Y = 484.5;
  game.PlayerBullets.push_back(b);
  Player_MoveBullets(game);
  ASSERT_EQ(game.PlayerBullets.size(), 1u);
  EXPECT_DOUBLE_EQ(game.PlayerBullets[0].Y, 499);
}

TEST_F(WeaponsTest, RoundHitNeedsLessThanRadius) {
  EnemyAtScreen(100, 100).Radius = 32;
  BulletArrivingAt(100, 132);    // exactly Radius: misses
  BulletArrivingAt(100, 131.5, 1);
  Player_MoveBullets(game);
  ASSERT_EQ(game.PlayerBullets.size(), 1u);
  EXPECT_EQ(game.PlayerBullets[0].Y, 132);
  const EnemyRecord& e = game.EnemyList[0];
  EXPECT_EQ(e.HitPoints, 9);
  EXPECT_EQ(e.Colour, 0x4040FFu);
  EXPECT_EQ(e.LastHitBy, 1);
  ASSERT_EQ(game.Explosions.size(), 1u);
  EXPECT_EQ(game.Explosions[0].X, 100 + game.ScrollX);
  EXPECT_EQ(game.Explosions[0].Y, 132 + game.ScrollY) << "131.5 rounds to even";
  EXPECT_GE(game.Explosions[0].Scale, 64);
  EXPECT_LT(game.Explosions[0].Scale, 128);
}

TEST_F(WeaponsTest, BoxHitIsStrictOnEveryEdge) {
  EnemyRecord& e = EnemyAtScreen(200, 200);
  e.RoundHit = false;
  e.HalfWidth = 10;
  e.HalfHeight = 6;
  BulletArrivingAt(210, 200);  // on the right edge: miss
  BulletArrivingAt(190, 200);  // on the left edge: miss
  BulletArrivingAt(200, 194);  // on the top edge: miss
  BulletArrivingAt(209.5, 205.5);
  Player_MoveBullets(game);
  EXPECT_EQ(game.PlayerBullets.size(), 3u);
  EXPECT_EQ(game.EnemyList[0].HitPoints, 9);
}

TEST_F(WeaponsTest, OnlySolidLivingEnemiesStopBullets) {
  EnemyAtScreen(100, 100).Solid = false;
  EnemyAtScreen(300, 100).Dead = true;
  EnemyRecord& armour = EnemyAtScreen(500, 100);
  armour.Shootable = false;
  BulletArrivingAt(100, 100);
  BulletArrivingAt(300, 100);
  BulletArrivingAt(500, 100);
  Player_MoveBullets(game);
  EXPECT_EQ(game.PlayerBullets.size(), 2u);
  EXPECT_EQ(game.EnemyList[2].HitPoints, 10) << "not shootable: deflected";
  ASSERT_EQ(game.Flares.size(), 1u);
  EXPECT_EQ(game.Flares[0].Lifetime, 16);
  EXPECT_EQ(game.Flares[0].ScaleStep, -16);
  EXPECT_TRUE(game.Explosions.empty());
}

TEST_F(WeaponsTest, ABulletIsSpentOnTheNewestEnemyItHits) {
  EnemyAtScreen(100, 100);
  EnemyAtScreen(100, 100);
  BulletArrivingAt(100, 100);
  Player_MoveBullets(game);
  EXPECT_EQ(game.EnemyList[0].HitPoints, 10);
  EXPECT_EQ(game.EnemyList[1].HitPoints, 9);
  EXPECT_TRUE(game.PlayerBullets.empty());
}

TEST_F(WeaponsTest, ShootingAPowerUpKnocksItAndCyclesWhatItGrants) {
  EnemyRecord& e = EnemyAtScreen(100, 100);
  e.Kind = kKindPowerUp;
  e.HitPoints = 999999999;
  e.IntB = 7;
  int jumps = 0;
  for (int hit = 0; hit < 300; ++hit) {
    EnemyRecord& p = game.EnemyList[0];
    const int before = p.ParamC;
    p.IntC = 0;
    p.Y = 100 + game.ScrollY;
    BulletArrivingAt(100, 100);
    Player_MoveBullets(game);
    ASSERT_TRUE(game.PlayerBullets.empty());
    EXPECT_EQ(p.Y, 36 + game.ScrollY);
    EXPECT_EQ(p.IntC, 128);
    EXPECT_EQ(p.IntA, 255);
    EXPECT_EQ(p.IntB, -7);
    EXPECT_EQ(p.HitPoints, 999999999);
    const int cycled = before >= 3 ? 0 : before + 1;
    if (p.ParamC != cycled) {
      EXPECT_GE(p.ParamC, 4);
      EXPECT_LE(p.ParamC, 6);
      ++jumps;
    }
  }
  EXPECT_GT(jumps, 5);   // about 20 expected in 300 hits
  EXPECT_LT(jumps, 45);
  // Once knocked (IntC above 0) it takes ordinary hits.
  game.EnemyList[0].IntC = 5;
  game.EnemyList[0].Y = 100 + game.ScrollY;
  BulletArrivingAt(100, 100);
  Player_MoveBullets(game);
  EXPECT_EQ(game.EnemyList[0].HitPoints, 999999998);
}

}  // namespace
}  // namespace tarq
