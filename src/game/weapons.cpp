#include "game/weapons.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/numeric.h"
#include "core/random.h"
#include "game/game.h"

namespace tarq {

void Player_AddBullet(Game& game, ByteAngle angle, double x, double y, double side, double forward,
                      double speed, int32_t owner) {
  PlayerBullet b;
  b.X = x + Round(forward * SinTable[angle]) + Round(side * CosTable[angle]);
  b.Y = y - Round(forward * CosTable[angle]) + Round(side * SinTable[angle]);
  b.Angle = angle;
  b.Speed = speed;
  b.Owner = owner;
  b.Pattern = Random(2);
  game.PlayerBullets.push_back(b);
}

void FireVolley(Game& game, int32_t player) {
  const PlayerRecord& p = game.Players[static_cast<size_t>(player)];
  const int32_t h = p.Heading;
  const int32_t s = p.Spread;
  const int32_t level = p.WeaponLevel;
  auto shot = [&](int32_t angle, double forward, double side) {
    Player_AddBullet(game, ToByteAngle(angle), p.X, p.Y, side, forward, kPlayerBulletSpeed, player);
  };
  if (level % 2 != 0) {
    if (level > 0) shot(h, 0, 0);
    if (level > 2) {
      shot(h - 2 * s, -5, -10);
      shot(h + 2 * s, -5, 10);
    }
    if (level > 4) {
      shot(h - 4 * s, -10, -20);
      shot(h + 4 * s, -10, 20);
    }
  } else {
    if (level > 1) {
      shot(h - s, 0, -5);
      shot(h + s, 0, 5);
    }
    if (level > 3) {
      shot(h - 3 * s, -5, -15);
      shot(h + 3 * s, -5, 15);
    }
  }
}

namespace {

bool BulletHits(const EnemyRecord& e, double bx, double by) {
  if (e.RoundHit) {
    const double dx = bx - e.X;
    const double dy = by - e.Y;
    return std::sqrt(dx * dx + dy * dy) < e.Radius;
  }
  return e.X - e.HalfWidth < bx && bx < e.X + e.HalfWidth && e.Y - e.HalfHeight < by &&
         by < e.Y + e.HalfHeight;
}

// A power-up that is shot is knocked up the screen and changes what it grants: it steps
// through shield, weapon, spread and fire rate, with a one-in-fifteen chance of a nuke,
// a life or armour instead.
void KnockPowerUp(EnemyRecord& e) {
  e.Y -= 64;
  e.IntC = 128;
  e.IntA = 255;
  e.IntB = -std::abs(e.IntB);
  e.ParamC = static_cast<uint8_t>(e.ParamC + 1);
  if (e.ParamC > 3) e.ParamC = 0;
  if (Random(15) == 0) e.ParamC = static_cast<uint8_t>(4 + Random(3));
}

}  // namespace

void Player_MoveBullets(Game& game) {
  auto& bullets = game.PlayerBullets;
  for (PlayerBullet& b : bullets) {
    const auto a = static_cast<size_t>(ToByteAngle(b.Angle - 64));
    b.X += b.Speed * CosTable[a];
    b.Y += b.Speed * SinTable[a];
  }
  std::erase_if(bullets, [](const PlayerBullet& b) {
    return !(kBulletMinX <= b.X && b.X <= kBulletMaxX && kBulletMinY <= b.Y && b.Y <= kBulletMaxY);
  });

  auto& enemies = game.EnemyList;
  for (size_t ei = enemies.size(); ei-- > 0;) {
    EnemyRecord& e = enemies[ei];
    // Only solid, living enemies can be hit; the others let every bullet through.
    if (e.Dead || !e.Solid) continue;
    for (size_t bi = bullets.size(); bi-- > 0;) {
      const PlayerBullet b = bullets[bi];
      if (!BulletHits(e, b.X + game.ScrollX, b.Y + game.ScrollY)) continue;
      if (e.Kind == kKindPowerUp && e.IntC == 0) {
        KnockPowerUp(e);
      } else if (e.Shootable) {
        e.HitPoints -= 1;
        e.Colour = kHitTint;
        e.LastHitBy = b.Owner;
        const int32_t scale = 64 + Random(64);
        Explosion_Add(game, Round(b.X), Round(b.Y), scale, 1 + Random(2));
      } else {
        // Armour that bullets cannot pierce throws them off with a flare.
        const auto angle = ToByteAngle(Random(256));
        const auto spin = ToByteAngle(Random(4) - 2);
        Flare_Add(game, Round(b.X), Round(b.Y), 256, -16, angle, spin, 255, 0, 16);
      }
      if (e.HitPoints > 0)
        game.Sound(e.Armoured && e.Shootable ? 13 : 3, Round(b.X) + game.ScrollX, 100);
      bullets.erase(bullets.begin() + static_cast<ptrdiff_t>(bi));
    }
  }
}

}  // namespace tarq
