#pragma once
// Small pieces shared by the ground, sea and installation behaviours (ground.cpp,
// sea.cpp, installations.cpp): the usual wreck blasts, step-toward-zero counters and
// the guard that keeps a schedule's zero interval from dividing by zero.
#include <cstdint>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/enemies.h"
#include "enemies/enemy_kinds.h"
#include "enemies/mechanics.h"
#include "game/game.h"

namespace tarq::ground {

// While Age < below, on every `every`-th Age (0 included): an explosion of scale
// base + Random(spread) and delay 1 + Random(2) at the enemy.
inline void WreckBlasts(Game& game, const EnemyRecord& e, int32_t below, int32_t every,
                        int32_t base, int32_t spread) {
  if (e.Age >= below || e.Age % every != 0) return;
  const int32_t scale = base + Random(spread);  // the scale is drawn before the delay
  const int32_t delay = 1 + Random(2);
  EnemyExplosion(game, e, scale, delay);
}

// The most common wreck: every 4th tick for 24 ticks, scale 384 .. 639.
inline void SmallWreckBlasts(Game& game, const EnemyRecord& e) {
  WreckBlasts(game, e, 24, 4, 384, 256);
}

// Blasts that shrink as the wreck sinks: every 2nd tick, scale 256 + Random(450 - 15 Age).
inline void SinkingBlasts(Game& game, const EnemyRecord& e) {
  if (e.Age % 2 != 0) return;
  const int32_t scale = 256 + Random(450 - 15 * e.Age);  // Random of 0 or less is 0
  const int32_t delay = 1 + Random(2);
  EnemyExplosion(game, e, scale, delay);
}

// One step of a counter toward 0.
constexpr int32_t StepTowardZero(int32_t v) { return v > 0 ? v - 1 : (v < 0 ? v + 1 : 0); }

// An interval the schedule gives (a divisor of Age). The level data never gives 0, but a
// hand-written line may: 0 acts as 1 so that nothing divides by zero.
constexpr int64_t Interval(int32_t value) { return value == 0 ? 1 : value; }

// Whether a - b is a multiple of the interval n, without overflow for any int32 values.
constexpr bool EveryNth(int64_t a, int64_t b, int32_t n) { return (a - b) % Interval(n) == 0; }

// Enemy_Add takes whole map pixels: positions computed from a record are rounded.
inline int32_t MapPixel(double v) { return Round(v); }

// Rail launchers and tarp guns burn for 32 ticks and leave a crater of a random size
// (ParamC, chosen as the wreck starts).
inline void CraterWreck(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age == 0) e.ParamC = static_cast<uint8_t>(Random(64));
  WreckBlasts(tick.game, e, 32, 4, 256, 256);
}

}  // namespace tarq::ground
