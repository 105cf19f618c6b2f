#include "enemies/enemy_kinds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/numeric.h"
#include "game/game.h"

namespace tarq {

EnemyRecord& EnemyTick::Self() const { return game.EnemyList[Index]; }

const EnemyBehaviourTable& EnemyBehaviours() {
  static const EnemyBehaviourTable table = [] {
    EnemyBehaviourTable t{};
    RegisterAircraftBehaviours(t);
    RegisterPickupBehaviours(t);
    RegisterGroundBehaviours(t);
    RegisterSeaBehaviours(t);
    RegisterInstallationBehaviours(t);
    RegisterBossBehaviours(t);
    return t;
  }();
  return table;
}

ByteAngle AimDirection::Resolve(double dx, double dy, double d) {
  double degrees = std::acos(std::clamp(dy / d, -1.0, 1.0)) * 180.0 / std::numbers::pi;
  if (dx > 0) degrees = 360.0 - degrees;
  // 32 possible directions.
  return static_cast<ByteAngle>(ToByteAngle(RoundEven(degrees * 256.0 / 360.0)) & 0xF8);
}

void AimAtTarget(const Game& game, const EnemyRecord& e, EnemyTick& tick) {
  const double ex = e.X - game.ScrollX;
  const double ey = e.Y - game.ScrollY;
  // The nearer player in the game; player 1 on a tie. (Squared distances order the
  // players as the distances do, ties included.)
  int32_t target = -1;
  double nearest = 0.0;
  for (int32_t p = 0; p < 2; ++p) {
    const PlayerRecord& player = game.Players[static_cast<size_t>(p)];
    if (!player.Active) continue;
    const double d = (ex - player.X) * (ex - player.X) + (ey - player.Y) * (ey - player.Y);
    if (target < 0 || d < nearest) {
      target = p;
      nearest = d;
    }
  }
  tick.Target = target;
  tick.HasTarget = target >= 0;
  if (!tick.HasTarget) {
    tick.AimAngle = 128;  // straight down
    tick.AimDistance = 1e11;
    tick.TargetY = 0.0;
    return;
  }
  const PlayerRecord& player = game.Players[static_cast<size_t>(target)];
  const double dx = Round(ex - player.X);
  const double dy = Round(ey - player.Y);
  double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0.0) d = 0.01;  // on top of the player: aim anywhere, never divide by zero
  tick.AimAngle.Defer(dx, dy, d);
  tick.AimDistance = d;
  tick.TargetY = player.Y;
}

void Enemy_Tick(Game& game) {
  const EnemyBehaviourTable& table = EnemyBehaviours();
  // Records launched during the walk are first handled on the next tick.
  const size_t count = game.EnemyList.size();
  for (size_t i = 0; i < count && i < game.EnemyList.size(); ++i) {
    const EnemyRecord& e = game.EnemyList[i];
    if (e.Kind < 0 || e.Kind > 255) continue;
    const EnemyKindBehaviour& kind = table[static_cast<size_t>(e.Kind)];
    EnemyBehaviour run = e.Dead ? kind.Dead : kind.Alive;
    if (run == nullptr) continue;  // a kind without behaviour stays where it is
    EnemyTick tick{game, i};
    if (!e.Dead && kind.Aims) AimAtTarget(game, e, tick);
    run(tick);
  }
}

}  // namespace tarq
