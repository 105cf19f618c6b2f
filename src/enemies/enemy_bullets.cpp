#include "enemies/enemy_bullets.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "core/numeric.h"
#include "core/random.h"
#include "game/game.h"

namespace tarq {

namespace {

constexpr double kBulletHitDistance = 27.0;
constexpr int32_t kNoHitAltitude = 260;  // a player this high (arriving, jumping) is not hit
constexpr size_t kExplosionCap = 100;    // a hail of bullets adds no more explosions than this
constexpr int32_t kBulletDamage = 550;   // an unprotected player survives one hit
constexpr int32_t kArmourPerHit = 50;

bool OnScreen(double sx, double sy) { return sx >= 0 && sx <= 639 && sy >= 0 && sy <= 479; }

}  // namespace

int32_t EnemyBulletLastFrame(const Game& game, int32_t image) {
  if (image == game.sn("bullet2")) return 11;
  if (image == game.sn("bullet3")) return 2;
  if (image == game.sn("bigbullet")) return 3;
  return 0;
}

void Enemy_AddBullet(Game& game, ByteAngle angle, int32_t image, double x, double y,
                     double forward, double side, double speed) {
  const double sx = x + Round(forward * SinTable[angle]) + Round(side * CosTable[angle]);
  const double sy = y - Round(forward * CosTable[angle]) + Round(side * SinTable[angle]);
  // The test is on the unrounded point: 639.5 is off the screen.
  if (!OnScreen(sx - game.ScrollX, sy - game.ScrollY)) return;
  game.Sound(5, Round(sx), 100);
  EnemyBullet b;
  b.X = sx;
  b.Y = sy;
  b.Angle = angle;
  b.Speed = speed;
  b.Image = image;
  b.Frame = 0;
  // The plain bullet never animates, whatever the sprite table holds.
  b.LastFrame = image == kPlainBulletImage ? 0 : EnemyBulletLastFrame(game, image);
  game.EnemyBullets.push_back(b);
}

void Enemy_MoveBullets(Game& game) {
  auto& bullets = game.EnemyBullets;
  for (EnemyBullet& b : bullets) {
    const auto a = static_cast<size_t>(ToByteAngle(b.Angle - 64));
    b.X += b.Speed * CosTable[a];
    b.Y += b.Speed * SinTable[a];
  }
  // One stable pass (the list keeps its order) rather than an erase per bullet.
  std::erase_if(bullets, [&](const EnemyBullet& b) { return !OnScreen(b.X - game.ScrollX, b.Y - game.ScrollY); });
  // Bullets spent on a player are marked and removed together at the end, in one pass
  // that keeps the order; the second player's walk skips those the first one took.
  static thread_local std::vector<uint8_t> spent;
  spent.assign(bullets.size(), 0);
  bool anySpent = false;
  for (size_t p = 0; p < game.Players.size(); ++p) {
    PlayerRecord& player = game.Players[p];
    if (!player.Active) continue;
    for (size_t i = bullets.size(); i-- > 0;) {
      if (spent[i]) continue;
      const EnemyBullet& b = bullets[i];  // the list does not change during the walk
      const double dx = b.X - (player.X + game.ScrollX);
      const double dy = b.Y - (player.Y + game.ScrollY);
      if (std::abs(dx) >= kBulletHitDistance || std::abs(dy) >= kBulletHitDistance) continue;  // too far anyway
      if (!(std::sqrt(dx * dx + dy * dy) < kBulletHitDistance && player.Altitude < kNoHitAltitude))
        continue;
      const int32_t sx = Round(b.X) - game.ScrollX;
      const int32_t sy = Round(b.Y) - game.ScrollY;
      game.Sound(3, Round(b.X) + game.ScrollX, 100);
      if (player.Armour > 0 || player.ShieldTime > 0) {
        if (player.ShieldTime < 1) player.Armour -= kArmourPerHit;
        const auto flareAngle = ToByteAngle(Random(256));
        const auto spin = ToByteAngle(Random(4) - 2);
        Flare_Add(game, sx, sy, 256, -16, flareAngle, spin, 255, 0, 16);
        // Armour used up (or none left under a shield): a short grace.
        if (player.Armour < 1) player.ShieldTime += 225;
      } else {
        if (game.Explosions.size() < kExplosionCap) {
          const int32_t scale = 64 + Random(64);
          Explosion_Add(game, sx, sy, scale, 1 + Random(2));
        }
        player.Energy -= kBulletDamage;
        player.Colour = kHitTint;
        player.ShieldTime += 50;
      }
      spent[i] = 1;
      anySpent = true;
    }
  }
  if (!anySpent) return;
  size_t kept = 0;
  for (size_t i = 0; i < bullets.size(); ++i)
    if (!spent[i]) bullets[kept++] = bullets[i];
  bullets.resize(kept);
}

void Enemy_AnimateBullets(Game& game) {
  for (EnemyBullet& b : game.EnemyBullets) b.Frame = b.Frame < b.LastFrame ? b.Frame + 1 : 0;
}

}  // namespace tarq
