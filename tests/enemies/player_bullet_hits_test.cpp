// The enemy side of player-bullet hits: Player_MoveBullets must give exactly the result
// of the plain rule (newest enemy first, each enemy's bullets newest first, a spent
// bullet hits nothing more), which is written out below as the reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "core/numeric.h"
#include "enemy_test_support.h"

namespace tarq {
namespace {

using enemy_test::TestGame;

bool ReferenceHits(const EnemyRecord& e, double bx, double by) {
  if (e.RoundHit) return std::sqrt((bx - e.X) * (bx - e.X) + (by - e.Y) * (by - e.Y)) < e.Radius;
  return e.X - e.HalfWidth < bx && bx < e.X + e.HalfWidth && e.Y - e.HalfHeight < by && by < e.Y + e.HalfHeight;
}

// The rule as the plain double loop, after the same move and off-screen removal.
void ReferenceMoveBullets(Game& game) {
  auto& bullets = game.PlayerBullets;
  for (PlayerBullet& b : bullets) {
    const auto a = static_cast<size_t>(ToByteAngle(b.Angle - 64));
    b.X += b.Speed * CosTable[a];
    b.Y += b.Speed * SinTable[a];
  }
  std::erase_if(bullets, [](const PlayerBullet& b) {
    return !(kBulletMinX <= b.X && b.X <= kBulletMaxX && kBulletMinY <= b.Y && b.Y <= kBulletMaxY);
  });
  for (size_t ei = game.EnemyList.size(); ei-- > 0;) {
    EnemyRecord& e = game.EnemyList[ei];
    if (e.Dead || !e.Solid) continue;
    for (size_t bi = bullets.size(); bi-- > 0;) {
      const PlayerBullet b = bullets[bi];
      if (!ReferenceHits(e, b.X + game.ScrollX, b.Y + game.ScrollY)) continue;
      if (e.Kind == kKindPowerUp && e.IntC == 0) {
        e.Y -= 64;
        e.IntC = 128;
        e.IntA = 255;
        e.IntB = -std::abs(e.IntB);
        e.ParamC = static_cast<uint8_t>(e.ParamC + 1);
        if (e.ParamC > 3) e.ParamC = 0;
        if (Random(15) == 0) e.ParamC = static_cast<uint8_t>(4 + Random(3));
      } else if (e.Shootable) {
        e.HitPoints -= 1;
        e.Colour = 0x4040FF;
        e.LastHitBy = b.Owner;
        const int32_t scale = 64 + Random(64);
        Explosion_Add(game, Round(b.X), Round(b.Y), scale, 1 + Random(2));
      } else {
        const auto angle = ToByteAngle(Random(256));
        const auto spin = ToByteAngle(Random(4) - 2);
        Flare_Add(game, Round(b.X), Round(b.Y), 256, -16, angle, spin, 255, 0, 16);
      }
      if (e.HitPoints > 0) game.Sound(e.Armoured && e.Shootable ? 13 : 3, Round(b.X) + game.ScrollX, 100);
      bullets.erase(bullets.begin() + static_cast<ptrdiff_t>(bi));
    }
  }
}

void Scatter(Game& game, uint32_t seed) {
  SeedRandom(seed);
  game.ScrollX = Random(65);
  for (int i = 0; i < 60; ++i) {
    EnemyRecord e;
    e.Kind = Random(4) == 0 ? kKindPowerUp : Random(40);
    e.X = Random(760) - 60 + game.ScrollX + Random(100) / 100.0;
    e.Y = Random(600) - 60 + game.ScrollY + Random(100) / 100.0;
    e.RoundHit = Random(3) != 0;
    e.Radius = Random(70) - 5;
    e.HalfWidth = Random(60) - 5;
    e.HalfHeight = Random(60) - 5;
    e.Solid = Random(8) != 0;
    e.Shootable = Random(4) != 0;
    e.Dead = Random(10) == 0;
    e.Armoured = Random(3) == 0;
    e.HitPoints = Random(4);
    e.IntC = Random(2) == 0 ? 0 : 64;
    game.EnemyList.push_back(e);
  }
  for (int i = 0; i < 400; ++i) {
    PlayerBullet b;
    b.X = Random(720) - 40;
    b.Y = Random(540) - 30;
    b.Angle = Random(256);
    b.Speed = 15;
    b.Owner = Random(2);
    game.PlayerBullets.push_back(b);
  }
}

TEST(PlayerBulletHits, TheCellWalkGivesExactlyThePlainRulesResult) {
  size_t hits = 0, knocks = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    TestGame fast, plain;
    Scatter(fast.game, seed);
    Scatter(plain.game, seed);
    SeedRandom(seed * 7);
    Player_MoveBullets(fast.game);
    const int32_t afterFast = Random(1 << 30);
    SeedRandom(seed * 7);
    ReferenceMoveBullets(plain.game);
    const int32_t afterPlain = Random(1 << 30);
    EXPECT_EQ(afterFast, afterPlain) << seed;  // the same random draws in the same order
    ASSERT_EQ(fast.game.PlayerBullets.size(), plain.game.PlayerBullets.size()) << seed;
    for (size_t i = 0; i < fast.game.PlayerBullets.size(); ++i) {
      EXPECT_EQ(fast.game.PlayerBullets[i].X, plain.game.PlayerBullets[i].X);
      EXPECT_EQ(fast.game.PlayerBullets[i].Y, plain.game.PlayerBullets[i].Y);
    }
    for (size_t i = 0; i < fast.game.EnemyList.size(); ++i) {
      const EnemyRecord& a = fast.game.EnemyList[i];
      const EnemyRecord& b = plain.game.EnemyList[i];
      EXPECT_EQ(a.HitPoints, b.HitPoints) << seed << " " << i;
      EXPECT_EQ(a.Y, b.Y);
      EXPECT_EQ(a.LastHitBy, b.LastHitBy);
      EXPECT_EQ(a.ParamC, b.ParamC);
    }
    ASSERT_EQ(fast.game.Explosions.size(), plain.game.Explosions.size());
    for (size_t i = 0; i < fast.game.Explosions.size(); ++i) {
      EXPECT_EQ(fast.game.Explosions[i].X, plain.game.Explosions[i].X);
      EXPECT_EQ(fast.game.Explosions[i].Scale, plain.game.Explosions[i].Scale);
    }
    EXPECT_EQ(fast.game.Flares.size(), plain.game.Flares.size());
    EXPECT_EQ(fast.TakeSounds(), plain.TakeSounds());
    hits += plain.game.Explosions.size() + plain.game.Flares.size();
    for (const EnemyRecord& e : plain.game.EnemyList) knocks += e.Kind == kKindPowerUp && e.IntC == 128;
  }
  // The scenes really exercise the rule: many hits, and knocked power-ups among them.
  EXPECT_GT(hits, 200u);
  EXPECT_GT(knocks, 5u);
}

}  // namespace
}  // namespace tarq
