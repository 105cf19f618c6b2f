// Pick-ups: the power-up, the shield pick-up and the bubble that holds it. (The music
// cue, kind 252, does its work when it is created and has no behaviour.)
#include <algorithm>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/enemy_kinds.h"
#include "enemies/mechanics.h"
#include "game/game.h"

namespace tarq {

namespace {

// A sparkle over a pick-up: a flare that shrinks, spins one way or the other and fades.
void Sparkle(Game& game, const EnemyRecord& e, int32_t scale, int32_t scaleStep) {
  const auto angle = ToByteAngle(Random(256));
  const auto spin = ToByteAngle(2 * Random(2) - 1);
  Flare_Add(game, Round(e.X) - game.ScrollX, Round(e.Y) - game.ScrollY, scale, scaleStep, angle, spin, 192,
            255, 32);
}

// Kind 253: a turning bubble; shot open, it frees a shield pick-up and leaves a crater.
void BubbleHolder(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.ParamA = ToByteAngle(e.ParamA + 3);
}

void BubbleHolderDead(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age == 0) {
    const int32_t x = Round(e.X);
    const int32_t y = Round(e.Y);
    Enemy_Add(t.game, x, y, 0, kKindShieldPickup, 0, 0, 0, 0, 0, 0, 0);
  }
  EnemyRecord& self = t.Self();
  if (self.Age < 24 && self.Age % 4 == 0) {
    const int32_t scale = 384 + Random(256);
    const int32_t delay = 1 + Random(2);
    EnemyExplosion(t.game, self, scale, delay);
  }
}

// Kind 254: the shield pick-up sparkles; shot down, it sets off the nuke.
void ShieldPickup(EnemyTick& t) {
  if (Random(16) == 0) Sparkle(t.game, t.Self(), 1024, -64);
}

void ShieldPickupDead(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age != 0) return;
  StartNukeAt(t.game, Round(e.X), Round(e.Y), Round(e.X));
  Leave(t.Self());
}

// Kind 255: the power-up rises to full height, creeps up the screen and blinks; IntC
// is the knock-back lock after a hit.
void PowerUp(EnemyTick& t) {
  if (Random(32) == 0) Sparkle(t.game, t.Self(), 512, -32);
  EnemyRecord& e = t.Self();
  e.Height = std::min(e.Height + 1, 256);
  e.Y -= 0.1;
  e.ParamB = e.Age % 10 < 5 ? e.ParamC : 8;
  e.IntC = std::max(e.IntC - 16, 0);
}

}  // namespace

void RegisterPickupBehaviours(EnemyBehaviourTable& table) {
  table[253] = {BubbleHolder, BubbleHolderDead};
  table[kKindShieldPickup] = {ShieldPickup, ShieldPickupDead};
  table[kKindPowerUp] = {PowerUp, nullptr};
}

}  // namespace tarq
