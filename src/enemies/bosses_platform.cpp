// The sliding gun platform (kind 104). It waits until nothing else holds the map, then
// holds it itself and runs its cycle: two warning flares, a spell of big-bullet
// volleys from both guns, and a slide to the other side of the map.
#include "core/numeric.h"
#include "core/random.h"
#include "enemies/bosses.h"
#include "enemies/enemy_bullets.h"
#include "enemies/mechanics.h"
#include "game/effects.h"
#include "game/game.h"

namespace tarq {
namespace {

constexpr int32_t kEngageAge = 600;
constexpr int32_t kSlideAge = 400;
constexpr double kLeftStop = 128;
constexpr double kRightStop = 575;

void GunFlare(Game& game, const EnemyRecord& e, int32_t dx) {
  const uint8_t angle = static_cast<uint8_t>(Random(5) - 2);
  const uint8_t spin = static_cast<uint8_t>(Random(256));
  Flare_Add(game, Round(e.X) - game.ScrollX + dx, Round(e.Y) - game.ScrollY + 42, 256, -8, angle,
            spin, 255, 0, 32);
}

// Six big bullets straight down in a column under one gun.
void Volley(Game& game, const EnemyRecord& e, double dx) {
  const int32_t image = game.sn("bigbullet");
  for (int32_t t = 0; t < 6; ++t) Enemy_AddBullet(game, 128, image, e.X + dx, e.Y + 45 + 5 * t, 0, 0, 24);
}

void PlatformAlive(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == kEngageAge && game.ScrollHold == 0) {
    RaiseScrollHold(game, e);
    e.Age = 300;
  }
  // The display value: the hull shakes harder as it is worn down.
  if (e.HitPoints > 99) e.IntA = 32;
  else if (e.HitPoints >= 50) e.IntA = 28 + 2 * Random(4);
  else e.IntA = 24 + 2 * Random(8);
  if (game.ScrollHold == 0) return;
  if (e.Age == 70) GunFlare(game, e, -38);
  if (e.Age == 80) GunFlare(game, e, 38);
  if (e.Age > 100 && e.Age < 300) {
    if (Random(5) == 0) Volley(game, e, -38);
    if (Random(5) == 0) Volley(game, e, 38);
  }
  if (e.Age == kSlideAge) e.ParamA = static_cast<uint8_t>(1 - e.ParamA);
  if (e.Age >= kSlideAge) {
    if (e.ParamA == 0) {
      e.X -= 4;
      if (e.X <= kLeftStop) {
        e.X = kLeftStop;
        e.Age = 0;
      }
    } else {
      e.X += 4;
      if (e.X >= kRightStop) {
        e.X = kRightStop;
        e.Age = 0;
      }
    }
  }
}

void PlatformDead(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == 1) EnemySound(game, e, 9);
  if (e.Age % 9 == 0) EnemyExplosion(game, e, 2100 - 7 * e.Age + Random(512), 1 + Random(3));
  if (e.Age > 100) {
    ReleaseScrollHold(game, e);
    Leave(e);
  }
}

}  // namespace

void RegisterPlatformBehaviours(EnemyBehaviourTable& table) {
  table[kKindPlatform] = {PlatformAlive, PlatformDead, false};
}

}  // namespace tarq
