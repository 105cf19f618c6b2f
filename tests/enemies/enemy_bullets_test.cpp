// Enemy bullets: the muzzle point, the on-screen rule, flight, hits on the players.
#include <gtest/gtest.h>

#include "enemy_test_support.h"

namespace tarq {
namespace {

using enemy_test::TestGame;

TEST(EnemyAddBullet, ExistsOnlyWhenTheUnroundedMuzzlePointIsOnScreen) {
  TestGame t;
  const double left = t.game.ScrollX;
  const double top = t.game.ScrollY;
  Enemy_AddBullet(t.game, 128, 1, left + 639, top + 100, 0, 0, 3);
  ASSERT_EQ(t.game.EnemyBullets.size(), 1u);
  EXPECT_EQ(t.TakeSounds(), std::vector<int32_t>{5});
  Enemy_AddBullet(t.game, 128, 1, left + 639.5, top + 100, 0, 0, 3);
  Enemy_AddBullet(t.game, 128, 1, left + 100, top - 0.25, 0, 0, 3);
  Enemy_AddBullet(t.game, 128, 1, left + 100, top + 479.5, 0, 0, 3);
  EXPECT_EQ(t.game.EnemyBullets.size(), 1u);
  EXPECT_TRUE(t.TakeSounds().empty());
}

TEST(EnemyAddBullet, TheMuzzleOffsetsAreRoundedAlongAndAcrossTheHeading) {
  TestGame t;
  const double x = t.game.ScrollX + 300.25;
  const double y = t.game.ScrollY + 200.5;
  Enemy_AddBullet(t.game, 64, 1, x, y, 14, 17, 3);  // heading right: side is downward
  const EnemyBullet& b = t.game.EnemyBullets.at(0);
  EXPECT_DOUBLE_EQ(b.X, x + 14);
  EXPECT_DOUBLE_EQ(b.Y, y + 17);
  Enemy_AddBullet(t.game, 32, 1, x, y, 10, 0, 3);  // 7.07.. each way rounds to 7
  EXPECT_DOUBLE_EQ(t.game.EnemyBullets.at(1).X, x + 7);
  EXPECT_DOUBLE_EQ(t.game.EnemyBullets.at(1).Y, y - 7);
  EXPECT_EQ(t.game.EnemyBullets.at(1).Angle, 32);
  EXPECT_EQ(t.game.EnemyBullets.at(1).Speed, 3);
}

TEST(EnemyAddBullet, AnimatedImagesGetTheirLastFrame) {
  TestGame t;
  const double x = t.game.ScrollX + 300;
  const double y = t.game.ScrollY + 200;
  for (const char* name : {"bullet2", "bullet3", "bigbullet"})
    Enemy_AddBullet(t.game, 0, t.game.sn(name), x, y, 0, 0, 4);
  Enemy_AddBullet(t.game, 0, 1, x, y, 0, 0, 4);
  ASSERT_EQ(t.game.EnemyBullets.size(), 4u);
  EXPECT_EQ(t.game.EnemyBullets[0].LastFrame, 11);
  EXPECT_EQ(t.game.EnemyBullets[1].LastFrame, 2);
  EXPECT_EQ(t.game.EnemyBullets[2].LastFrame, 3);
  EXPECT_EQ(t.game.EnemyBullets[3].LastFrame, 0);
  for (int i = 0; i < 3; ++i) Enemy_AnimateBullets(t.game);
  EXPECT_EQ(t.game.EnemyBullets[1].Frame, 0);  // 0, 1, 2, wraps
  EXPECT_EQ(t.game.EnemyBullets[2].Frame, 3);
  EXPECT_EQ(t.game.EnemyBullets[3].Frame, 0);
}

TEST(EnemyMoveBullets, FlyStraightAndLeaveAtTheScreenEdge) {
  TestGame t;
  Enemy_AddBullet(t.game, 128, 1, t.game.ScrollX + 100, t.game.ScrollY + 470, 0, 0, 4);
  Enemy_AddBullet(t.game, 64, 1, t.game.ScrollX + 100, t.game.ScrollY + 100, 0, 0, 2);
  Enemy_MoveBullets(t.game);
  ASSERT_EQ(t.game.EnemyBullets.size(), 2u);
  EXPECT_NEAR(t.game.EnemyBullets[0].Y, t.game.ScrollY + 474, 1e-9);
  EXPECT_NEAR(t.game.EnemyBullets[1].X, t.game.ScrollX + 102, 1e-9);
  Enemy_MoveBullets(t.game);
  Enemy_MoveBullets(t.game);
  ASSERT_EQ(t.game.EnemyBullets.size(), 1u);  // 482 is off the screen
  EXPECT_EQ(t.game.EnemyBullets[0].Angle, 64);
}

struct HitSetup {
  TestGame t;
  PlayerRecord* p = nullptr;
  explicit HitSetup(int32_t armour, int32_t shield, int32_t altitude = 256) {
    p = &t.JoinAt(0, 300, 300);
    p->Armour = armour;
    p->ShieldTime = shield;
    p->Altitude = altitude;
  }
  // A bullet that reaches the player's centre on the next move.
  void Fire() {
    Enemy_AddBullet(t.game, 128, 1, t.game.ScrollX + 300, t.game.ScrollY + 290, 0, 0, 10);
  }
};

TEST(EnemyMoveBullets, AnUnprotectedPlayerSurvivesOneHitWithAShortShield) {
  HitSetup s(0, 0);
  s.Fire();
  s.t.TakeSounds();
  Enemy_MoveBullets(s.t.game);
  EXPECT_TRUE(s.t.game.EnemyBullets.empty());
  EXPECT_EQ(s.p->Energy, 450);
  EXPECT_EQ(s.p->ShieldTime, 50);
  EXPECT_EQ(s.p->Colour, 0x4040FFu);
  EXPECT_EQ(s.t.game.Explosions.size(), 1u);
  EXPECT_EQ(s.t.TakeSounds(), std::vector<int32_t>{3});
}

TEST(EnemyMoveBullets, ArmourTakesFiftyAndRunningOutGivesAShield) {
  HitSetup s(60, 0);
  s.Fire();
  Enemy_MoveBullets(s.t.game);
  EXPECT_EQ(s.p->Armour, 10);
  EXPECT_EQ(s.p->ShieldTime, 0);
  EXPECT_EQ(s.t.game.Flares.size(), 1u);
  s.Fire();
  Enemy_MoveBullets(s.t.game);
  EXPECT_EQ(s.p->Armour, -40);
  EXPECT_EQ(s.p->ShieldTime, 225);
  // Under a shield with no armour every bullet adds more shield and costs nothing.
  s.Fire();
  Enemy_MoveBullets(s.t.game);
  EXPECT_EQ(s.p->Armour, -40);
  EXPECT_EQ(s.p->ShieldTime, 450);
  EXPECT_EQ(s.p->Energy, 1000);
  EXPECT_TRUE(s.t.game.Explosions.empty());
}

TEST(EnemyMoveBullets, AHighPlayerIsNeverHit) {
  HitSetup s(0, 0, 260);
  s.Fire();
  Enemy_MoveBullets(s.t.game);
  EXPECT_EQ(s.t.game.EnemyBullets.size(), 1u);
  EXPECT_EQ(s.p->Energy, 1000);
}

TEST(EnemyMoveBullets, PlayerOneTakesABulletBothOverlap) {
  HitSetup s(0, 0);
  PlayerRecord& p2 = s.t.JoinAt(1, 301, 300);
  s.Fire();
  Enemy_MoveBullets(s.t.game);
  EXPECT_EQ(s.p->Energy, 450);
  EXPECT_EQ(p2.Energy, 1000);
}

TEST(EnemyMoveBullets, NoMoreThanAHundredExplosionsButTheHitStillCounts) {
  HitSetup s(0, 0);
  s.t.game.Explosions.resize(100);
  s.Fire();
  Enemy_MoveBullets(s.t.game);
  EXPECT_EQ(s.t.game.Explosions.size(), 100u);
  EXPECT_EQ(s.p->Energy, 450);
}

TEST(EnemyBullets, GoWhenTheNukeStrikesAndWhenTheRunEnds) {
  TestGame t;
  Enemy_AddBullet(t.game, 0, 1, t.game.ScrollX + 10, t.game.ScrollY + 10, 0, 0, 1);
  Enemy_NukeStrike(t.game);
  EXPECT_TRUE(t.game.EnemyBullets.empty());
}

}  // namespace
}  // namespace tarq
