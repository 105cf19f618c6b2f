#include "enemies/bosses.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/mechanics.h"
#include "game/effects.h"
#include "game/game.h"

namespace tarq {

void RaiseScrollHold(Game& game, EnemyRecord& e) {
  game.ScrollHold += 1;
  e.HoldsScroll = true;
}

void ReleaseScrollHold(Game& game, EnemyRecord& e) {
  if (!e.HoldsScroll) return;
  e.HoldsScroll = false;
  game.ScrollHold = std::max(game.ScrollHold - 1, 0);
}

Bearing BearingOf(double dx, double dy) {
  const double rx = static_cast<double>(RoundEven(dx));
  const double ry = static_cast<double>(RoundEven(dy));
  Bearing b;
  b.Distance = std::sqrt(rx * rx + ry * ry);
  if (b.Distance == 0.0) b.Distance = 0.01;
  double degrees = std::acos(std::clamp(ry / b.Distance, -1.0, 1.0)) * 180.0 / std::numbers::pi;
  if (rx > 0) degrees = 360.0 - degrees;
  b.Heading = ToByteAngle(RoundEven(degrees * 256.0 / 360.0));
  return b;
}

void BurnPlayersUnderBeam(Game& game, const EnemyRecord& e) {
  for (PlayerRecord& p : game.Players) {
    if (!p.Active) continue;
    const double mapX = p.X + game.ScrollX;
    if (mapX > e.X - 16 && mapX < e.X + 16 && p.Y > 110 && p.ShieldTime < 1 && p.Altitude <= 260)
      p.Energy -= 200;
  }
}

void StartNukeAtBoss(Game& game, const EnemyRecord& e) {
  StartNukeAt(game, Round(e.X), Round(e.Y), Round(e.X));
}

void ExplosionAtMap(Game& game, double x, double y, int32_t scale, int32_t delay) {
  Explosion_Add(game, Round(x) - game.ScrollX, Round(y) - game.ScrollY, scale, delay);
}

void BigBossDeathBlast(Game& game, const EnemyRecord& e) {
  const double x = e.X - 128 + Random(256);
  const double y = e.Y - 208 + Random(256);
  const int32_t scale = 4200 - 14 * e.Age + Random(512);
  const int32_t delay = 1 + Random(3);
  ExplosionAtMap(game, x, y, scale, delay);
  const int32_t sample = 1 + Random(2);
  EnemySound(game, e, sample, 90 + Random(200) / 10.0);
}

void RegisterBossBehaviours(EnemyBehaviourTable& table) {
  RegisterGooseBehaviours(table);
  RegisterFortressBehaviours(table);
  RegisterPlatformBehaviours(table);
  RegisterFinalBossBehaviours(table);
}

}  // namespace tarq
