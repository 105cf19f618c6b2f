// The two fortresses and the second one's cannon. Both fortresses hold the map once
// the view reaches them, fire a beam down the screen in pulses, and release the map
// when they are destroyed. The first opens doors to send out missile tanks and burns
// as it takes damage; the second is armoured until its door stands open.
#include <algorithm>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/bosses.h"
#include "enemies/enemy_bullets.h"
#include "enemies/mechanics.h"
#include "game/effects.h"
#include "game/game.h"

namespace tarq {
namespace {

constexpr int32_t kKindMissileTank = 90;
constexpr int32_t kHoldAge = 640;       // the view has reached the fortress
constexpr int32_t kFirstLaunchAge = 701;
constexpr int32_t kFirstBeamAge = 800;
constexpr int32_t kDoorTop = 81;        // a door opening counts up to here, then closes

// A door's opening counter runs 1 .. 81 .. 0 on even ticks while it is moving; the
// direction turns at both ends.
void StepDoor(int32_t& opening, int32_t& direction, bool evenTick) {
  if (evenTick && opening > 0) opening += direction;
  if (opening <= 0) direction = 1;
  else if (opening >= kDoorTop) direction = -1;
}

void PlayBeamPulse(Game& game, const EnemyRecord& e) {
  game.Sound(11, Round(e.X) + game.ScrollX, 100);
}

// A running beam: IntE counts up each step; past 15 the pulse is over and either the
// next pulse starts or, with none left, the beam ends.
void StepBeam(Game& game, EnemyRecord& e, bool step) {
  if (e.IntE <= 0) return;
  if (step) e.IntE += 1;
  if (e.IntE > 15) {
    if (e.ParamC == 1) {
      e.ParamC = 0;
      e.IntE = 0;
    } else {
      PlayBeamPulse(game, e);
      e.ParamC = static_cast<uint8_t>(e.ParamC - 1);
      e.IntE = 1;
    }
  }
}

void StartBeam(Game& game, EnemyRecord& e, int32_t pulses) {
  PlayBeamPulse(game, e);
  e.ParamC = static_cast<uint8_t>(pulses);
  e.IntE = 1;
}

void BurnUnderLiveBeam(Game& game, const EnemyRecord& e) {
  if (e.IntE > 0 && e.IntE < 9) BurnPlayersUnderBeam(game, e);
}

void LaunchMissileTank(Game& game, EnemyTick& tick, double dx) {
  const EnemyRecord& e = tick.Self();
  const int32_t x = Round(e.X + dx);
  const int32_t y = Round(e.Y - 27);
  Enemy_Add(game, x, y, 64, kKindMissileTank, 0, 0, 0, 0, 150, 0, 5);
  game.Sound(10, x, 100);
}

// Smoke and small fires over the hull as it takes damage.
void DamageSmoke(Game& game, const EnemyRecord& e) {
  auto puff = [&](int32_t base) {
    const double x = e.X - 32 + Random(64);
    const double y = e.Y - 72 + Random(180);
    ExplosionAtMap(game, x, y, base + Random(64), 0);
  };
  if (e.HitPoints < 30 && e.Age % 3 == 0) puff(64);
  if (e.HitPoints < 20 && e.Age % 2 == 0) puff(64);
  if (e.HitPoints < 10 && e.Age % 3 == 0) puff(128);
}

void FortressAlive(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == kHoldAge) {
    RaiseScrollHold(game, e);
    e.Shootable = true;
  }
  const bool even = e.Age % 2 == 0;
  StepDoor(e.IntA, e.IntC, even);
  StepDoor(e.IntB, e.IntD, even);
  e.ParamA = static_cast<uint8_t>(std::min(e.IntA, 54));
  e.ParamB = static_cast<uint8_t>(std::min(e.IntB, 54));
  if (e.Age >= kFirstLaunchAge) {
    if (tick.Self().IntA == 0 && Random(400) == 0) {
      LaunchMissileTank(game, tick, -93);
      tick.Self().IntA = 1;
    }
    if (tick.Self().IntB == 0 && Random(400) == 0) {
      LaunchMissileTank(game, tick, 95);
      tick.Self().IntB = 1;
    }
  }
  EnemyRecord& self = tick.Self();
  StepBeam(game, self, self.Age % 3 == 0);
  if (self.Age >= kFirstBeamAge && self.IntE == 0 && (self.Age - kFirstBeamAge) % 300 == 0)
    StartBeam(game, self, 3);
  BurnUnderLiveBeam(game, self);
  DamageSmoke(game, self);
}

void FortressDead(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == 1) StartNukeAtBoss(game, e);
  if (e.Age % 16 == 0) BigBossDeathBlast(game, e);
  if (e.Age == 200) ReleaseScrollHold(game, e);
  if (e.Age > 300) Leave(e);
}

void CitadelAlive(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == kHoldAge) RaiseScrollHold(game, e);
  const bool even = e.Age % 2 == 0;
  if (even && e.IntA > 0) e.IntA += e.IntC;
  if (e.IntA <= 0) e.IntC = 1;
  else if (e.IntA >= kDoorTop) e.IntC = -1;
  e.ParamA = static_cast<uint8_t>(std::min(e.IntA / 4, 7));
  if (e.Age >= kFirstLaunchAge && e.IntA == 0 && Random(100) == 0) e.IntA = 1;
  // Only the open door exposes the gun.
  e.Shootable = e.ParamA == 7;
  StepBeam(game, e, even);
  if (e.Age >= kFirstBeamAge && e.IntE == 0 && e.IntA == 50 && e.IntC == 1)
    StartBeam(game, e, 2 + Random(5));
  BurnUnderLiveBeam(game, e);
}

void CitadelDead(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == 1) EnemySound(game, e, 9);
  if (e.Age % 9 == 0) EnemyExplosion(game, e, 2100 - 7 * e.Age + Random(512), 1 + Random(3));
  if (e.Age > 100) {
    ReleaseScrollHold(game, e);
    Leave(e);
  }
}

// The cannon warns with a flare, locks its aim on the nearer player, then sprays
// bullets around that line for a while before the next cycle.
void CannonAlive(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == int64_t{e.IntA} - 10) {
    const uint8_t angle = static_cast<uint8_t>(Random(256));
    const uint8_t spin = static_cast<uint8_t>(Random(9) - 4);
    Flare_Add(game, Round(e.X) - game.ScrollX, Round(e.Y) - game.ScrollY + 10, 256, -16, angle, spin,
              255, 0, 16);
  }
  if (e.Age == e.IntA) e.ParamA = tick.AimAngle;
  if (Awake(e) && e.Age % 2 == 0) {
    const ByteAngle angle = ToByteAngle(e.ParamA + Random(9) - 4);
    Enemy_AddBullet(game, angle, game.sn("bullet2"), e.X, e.Y + 10, 0, 0, 4);
  }
  if (e.Age > int64_t{e.IntA} + e.IntB) {
    e.IntA = 250 + Random(150);
    e.IntB = 50 + Random(150);
    e.Age = 0;
  }
}

void CannonDead(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age % 4 == 0) EnemyExplosion(game, e, 512 + Random(256), 1 + Random(2));
  if (e.Age > 32) Leave(e);
}

}  // namespace

void RegisterFortressBehaviours(EnemyBehaviourTable& table) {
  // Only the cannon aims at a player; the beams find theirs by position.
  table[kKindFortress] = {FortressAlive, FortressDead, false};
  table[kKindCitadel] = {CitadelAlive, CitadelDead, false};
  table[kKindCitadelCannon] = {CannonAlive, CannonDead};
}

}  // namespace tarq
