// Things on the water: water things leaping out and diving back with a splash, the
// splashes themselves, hovercraft and the shell spitters they drop.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "enemies/enemy_kinds.h"
#include "enemies/ground_family.h"

namespace tarq {

namespace {

using ground::MapPixel;
using ground::SinkingBlasts;
using ground::WreckBlasts;

constexpr int32_t kKindSplash = 35;
constexpr int32_t kKindShellSpitter = 37;

// --- Kind 32: water thing --------------------------------------------------------------
// Swims down the map in arcs: its height follows |sin| of its phase (ParamA), and each
// time it dives back in (height 0) it throws up a splash just below it.
void WaterThingAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  e.Height = std::abs(Round(192 * SinTable[static_cast<ByteAngle>(e.ParamA + 1)]));
  if (e.Height == 0)
    Enemy_Add(tick.game, MapPixel(e.X), MapPixel(e.Y + 32), 0, kKindSplash, 0, 0, 0, 0, 0, 0, 1000);
  EnemyRecord& self = tick.Self();
  self.Y += 2;
  self.ParamA += 1;
}

void WaterThingDead(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  SinkingBlasts(tick.game, e);
  Sink(e);
}

// --- Kind 35: splash -------------------------------------------------------------------
// Grows (IntB is its drawing scale) and, once past natural size, fades by 3 per colour
// channel each tick (IntC is its colour); it leaves when black.
uint32_t FadeChannel(uint32_t colour, int shift) {
  const uint32_t c = (colour >> shift) & 0xFF;
  return (c > 3 ? c - 3 : 0) << shift;
}

void SplashAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  e.IntB += 8;
  if (e.IntB > 256) {
    const auto c = static_cast<uint32_t>(e.IntC);
    e.IntC = static_cast<int32_t>(FadeChannel(c, 0) | FadeChannel(c, 8) | FadeChannel(c, 16));
  }
  if (e.IntC == 0) e.Y += 5000;
}

// --- Kind 36: hovercraft ---------------------------------------------------------------
// Closes in on the target from above (or drifts down the map when level with or below
// it, or without a target) and, once awake, opens its deck doors (ParamA) to drop a
// shell spitter, then shuts them and waits again.
void HovercraftAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  const double screenY = e.Y - tick.game.ScrollY;
  if (screenY >= tick.TargetY || tick.AimDistance < 1 || tick.AimDistance > 1000)
    MoveAlong(e, 0.5, 128);
  else
    MoveAlong(e, std::min(tick.AimDistance + 200, 550.0) / 1000, tick.AimAngle);
  if (e.Age == e.IntA) EnemySound(tick.game, e, 10, 99 + Random(3));
  if (!Awake(e)) return;
  if (e.Age % 4 == 0) {
    e.IntB = AddWrapped(e.IntB, e.IntC);  // the schedule's IntB may be anything
    if (e.IntB == 25 && e.IntC == 1) {
      Enemy_Add(tick.game, MapPixel(e.X), MapPixel(e.Y + 7), 0, kKindShellSpitter, 0, 0, 0, 150, 0,
                0, 20);
      tick.Self().ParamB = 1;
    }
  }
  EnemyRecord& self = tick.Self();
  if (self.IntB > 50) self.IntC = -1;
  if (self.IntB == 0 && self.IntC == -1) {
    self.Age = 0;
    self.ParamB = 0;
    self.IntC = 1;
  }
  self.ParamA = static_cast<uint8_t>(std::clamp(self.IntB, 0, 25));
}

void HovercraftDead(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  WreckBlasts(tick.game, e, 48, 8, 512, 512);
  EndWhenAgeReaches(e, 48);
}

// --- Kind 37: shell spitter ------------------------------------------------------------
// Rises into the air, jittering, and once awake sweeps a fan of shots from lower left
// to lower right and back.
void ShellSpitterAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  e.Y += 0.1;
  if (e.Height < 256) e.Height += 1;
  e.X += (Random(10) - 5) / 10.0;
  if (!Awake(e)) return;
  e.IntB += e.IntC;
  if (e.Age % 4 == 0)
    FirePlain(tick.game, static_cast<ByteAngle>(e.IntB + 231), e.X, e.Y, 10, 0, 4);
  if (e.IntB > 50) e.IntC = -1;
  if (e.IntB == 0 && e.IntC == -1) {
    e.Age = 0;
    e.IntC = 1;
  }
}

}  // namespace

// Kinds that never look at a target are registered with Aims false.
void RegisterSeaBehaviours(EnemyBehaviourTable& table) {
  table[32] = {WaterThingAlive, WaterThingDead, false};
  table[35] = {SplashAlive, nullptr, false};
  table[36] = {HovercraftAlive, HovercraftDead};
  table[37] = {ShellSpitterAlive, HovercraftDead, false};
}

}  // namespace tarq
