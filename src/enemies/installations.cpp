// Fixed works: ground guns, the big gun, ground bombs and cannons that rise out of the
// ground, the tarpaulin gun, tech doors and the guns they release, the invisible
// launchers and shells, domes and lava sources. Most wait IntA ticks (until awake)
// before they show themselves or fire.
#include <algorithm>
#include <cmath>

#include "enemies/enemy_bullets.h"
#include "enemies/enemy_kinds.h"
#include "enemies/ground_family.h"

namespace tarq {

namespace {

using ground::EveryNth;
using ground::Interval;
using ground::MapPixel;
using ground::SinkingBlasts;
using ground::SmallWreckBlasts;
using ground::WreckBlasts;

constexpr int32_t kKindTechGun = 27;
constexpr int32_t kKindAirportShooter = 34;
constexpr int32_t kKindLavaBomb = 45;
constexpr int32_t kKindShell = 88;
constexpr int32_t kKindBigTankFlier = 97;

void RecoilBack(EnemyRecord& e) {
  if (e.ParamC > 0) e.ParamC -= 1;
}

// A shot of a five-shot burst: the recoil frame, and after the fifth shot the gun starts
// its wait (Age) over.
void BurstShot(EnemyRecord& e) {
  e.ParamC = 8;
  e.IntD += 1;
  if (e.IntD >= 5) {
    e.Age = 0;
    e.IntD = 0;
  }
}

// --- Kind 4: ground gun ----------------------------------------------------------------
// After IntB ticks it fires straight down every IntC ticks (0 counts as 1), five shots
// to a burst.
void GroundGunAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age > e.IntB && EveryNth(e.Age, e.IntB, e.IntC)) {
    FirePlain(tick.game, 128, e.X, e.Y, 40, 0, 3);
    BurstShot(e);
  } else {
    RecoilBack(e);
  }
}

void GunWreck(EnemyTick& tick) { SmallWreckBlasts(tick.game, tick.Self()); }

// --- Kind 6: big gun -------------------------------------------------------------------
// After 150 ticks, a big bullet to the lower right every IntC ticks (0 counts as 1).
void BigGunAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age > 150 && e.Age % Interval(e.IntC) == 0) {
    Enemy_AddBullet(tick.game, 96, tick.game.sn("bigbullet"), e.X, e.Y, 80, 0, 5);
    e.ParamC = 8;
  } else {
    RecoilBack(e);
  }
}

void BigGunDead(EnemyTick& tick) { WreckBlasts(tick.game, tick.Self(), 48, 4, 512, 384); }

// --- Kinds 19 and 20: ground bomb and ground cannon ------------------------------------
// Both lie buried (neither drawn nor hittable) until Age reaches IntA, then rise.
void Surface(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  EnemySound(tick.game, e, 10);
  e.Solid = true;
  e.Shootable = true;
}

// The bomb blinks its last two frames and bursts into eight missiles when a player comes
// within 100 pixels; killed by itself it scores for nobody unless a bullet hit it first.
void GroundBombAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age == e.IntA) Surface(tick);
  if (!Awake(e)) return;
  if (e.Age % 8 == 0) {
    e.ParamA += 1;
    if (e.ParamA > 5) e.ParamA = 4;
  }
  if (!tick.HasTarget || tick.AimDistance >= 100) return;
  const double x = e.X;
  const double y = e.Y;
  for (int32_t a = 0; a < 256; a += 32) LaunchMissile(tick.game, x, y, static_cast<ByteAngle>(a));
  tick.Self().HitPoints = 0;
}

// The cannon lobs an invisible shell to the right every 150 ticks.
void GroundCannonAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age == e.IntA) Surface(tick);
  if (!Awake(e)) return;
  if (e.Age % 10 == 0) {
    e.ParamA += 1;
    if (e.ParamA > 5) e.ParamA = 4;
  }
  if (int64_t{e.Age} <= int64_t{e.IntA} + 100 || e.Age % 150 != 0) return;
  Enemy_Add(tick.game, MapPixel(e.X + 20), MapPixel(e.Y), 0, kKindShell, 0, 0, 0, 0, 0, 0, 1);
  const EnemyRecord& self = tick.Self();
  EnemySound(tick.game, self, 14, 97 + Random(7));
}

void BuriedWreck(EnemyTick& tick) { SmallWreckBlasts(tick.game, tick.Self()); }

// --- Kind 88: shell --------------------------------------------------------------------
// An invisible shell: a trail of shrinking blasts drifting right, growing in reach as it
// falls (IntA counts down from 100).
void ShellAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  const int32_t scale = 432 - 4 * e.IntA + Random(32);
  const int32_t delay = 1 + Random(3);
  EnemyExplosion(tick.game, e, scale, delay);
  e.Radius = (100 - e.IntA) / 2;
  e.X += e.IntA / 25.0;
  e.IntA -= 1;
  if (e.IntA < 0) Leave(e);
}

// --- Kind 21: ground cannon under hatch doors ------------------------------------------
// From Age IntA the doors slide open (ParamB to 31) and the cannon rises (ParamC to 9);
// it fires two missiles, at 150 and 300 ticks, and after 350 ticks sinks and closes for
// good.
void HatchCannonAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  const int64_t since = int64_t{e.Age} - e.IntA;
  if (since == 0) {
    EnemySound(tick.game, e, 10);
    e.Solid = true;
  }
  if (since > 0 && since < 350) {
    if (since % 3 == 0) {
      if (e.ParamB < 31) e.ParamB += 1;
      if (e.ParamB >= 31) {
        if (e.ParamC < 9) e.ParamC += 1;
        e.Shootable = true;
      }
    }
    if (e.ParamC == 9) {
      const double x = e.X;
      const double y = e.Y;
      if (since % 300 == 150) LaunchMissile(tick.game, x - 9, y + 52, 128);
      if (since % 300 == 0) LaunchMissile(tick.game, x + 9, y + 52, 128);
    }
  } else if (since > 350) {
    e.Shootable = false;
    if (e.Age % 2 != 0) return;
    if (e.ParamC > 0) {
      e.ParamC -= 1;
    } else if (e.ParamB < 2) {  // the doors meet: closed for good
      e.ParamB = 0;
      e.Solid = false;
    } else {
      e.ParamB -= 2;
    }
  }
}

// --- Kind 23: gun under a tarpaulin ----------------------------------------------------
// Once awake, straight down every IntB ticks (0 counts as 1) in bursts of five; each
// shot lifts the gun out from under the tarpaulin (ParamC).
void TarpGunAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (Awake(e) && EveryNth(e.Age, e.IntA, e.IntB)) {
    FirePlain(tick.game, 128, e.X, e.Y, 10, 0, 8);
    BurstShot(e);
  } else {
    RecoilBack(e);
  }
}

// --- Kind 27: tech gun -----------------------------------------------------------------
// Released by the tech doors: slides out sideways (left when ParamC is set) and fires.
void TechGunAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (!Awake(e)) return;
  e.X += e.ParamC != 0 ? -0.4 : 0.4;
  if (int64_t{e.Age} > int64_t{e.IntA} + 250 && Random(250) == 0) {
    const auto angle = static_cast<ByteAngle>(tick.AimAngle + Random(32) - 16);
    Enemy_AddBullet(tick.game, angle, tick.game.sn("bullet3"), e.X, e.Y, 0, 0, 4);
  }
  e.Shootable = true;
}

void TechGunDead(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  SmallWreckBlasts(tick.game, e);
  EndWhenAgeReaches(e, 25);
}

// --- Kind 28: tech doors ---------------------------------------------------------------
// At Age IntA a gun appears beside the door; once awake the door slides open (ParamA up
// to 40 pixels) and shut again, and the cycle starts over with a fresh gun.
void TechDoorsAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age == e.IntA) {
    EnemySound(tick.game, e, 10, 99 + Random(3));
    const double gunX = e.ParamC != 0 ? e.X + 32 : e.X - 32;
    Enemy_Add(tick.game, MapPixel(gunX), MapPixel(e.Y), 0, kKindTechGun, 0, 0, e.ParamC, 50, 0, 0,
              5);
  }
  EnemyRecord& self = tick.Self();
  if (!Awake(self)) return;
  if (self.Age % 2 == 0) self.IntB = AddWrapped(self.IntB, self.IntC);
  if (self.IntB > 80) self.IntC = -1;
  if (self.IntB == 0 && self.IntC == -1) {
    self.Age = 0;
    self.IntC = 1;
  }
  self.ParamA = static_cast<uint8_t>(std::clamp(self.IntB, 0, 40));
}

// --- Kind 33: invisible launcher -------------------------------------------------------
// Sends out an airport shooter every IntA + 1 ticks.
void LauncherAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (!Awake(e)) return;
  Enemy_Add(tick.game, MapPixel(e.X), MapPixel(e.Y), 0, kKindAirportShooter, 0, 0, 0, 150, 10, 0,
            1);
  tick.Self().Age = 0;
}

// --- Kind 34: airport shooter ----------------------------------------------------------
// Runs along the ground, hops up halfway through its wait and can be shot once awake.
void AirportShooterAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  e.X += e.IntB / 20.0;
  if (e.Age == e.IntA / 2.0 + 10) e.Height = 150;
  if (e.Age == e.IntA) {
    EnemySound(tick.game, e, 5);
    e.Shootable = true;
  }
  if (Awake(e)) e.IntB = AddWrapped(e.IntB, 1);
}

void AirportShooterDead(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  SinkingBlasts(tick.game, e);
  if (e.Age > 30) Leave(e);
}

// --- Kind 43: dome ---------------------------------------------------------------------
// Bursts open at Age IntA (ParamA 1) and from then on sends out a flier every 300 ticks.
void DomeAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age == e.IntA) {
    for (int32_t delay = 1; delay <= 3; ++delay) EnemyExplosion(tick.game, e, 768 + Random(128), delay);
    const int32_t sample = 1 + Random(2);
    const double rate = 90 + Random(200) / 10.0;
    tick.game.Sound(sample, 4, rate);
    e.ParamA = 1;
  }
  if (e.ParamA == 1 && e.Age % 300 == 0)
    Enemy_Add(tick.game, MapPixel(e.X - 10), MapPixel(e.Y + 5), 128, kKindBigTankFlier, 0, 0, 0, 0,
              0, 0, 5);
}

// --- Kind 44: lava source --------------------------------------------------------------
// Rumbles at Age IntA, then throws a lava bomb every 8 ticks for 200 ticks and rests
// for IntA ticks again.
void LavaSourceAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (e.Age == e.IntA) {
    tick.game.Sound(15, 65, 100);
    tick.game.Sound(15, 638, 101);
  }
  if (!Awake(e)) return;
  if (int64_t{e.Age} > int64_t{e.IntA} + 200) {
    e.Age = 0;
    return;
  }
  if (e.Age % 8 == 0)
    Enemy_Add(tick.game, MapPixel(e.X), MapPixel(e.Y), 0, kKindLavaBomb, 0, 0, 0, 0, 0, 0, 1);
}

}  // namespace

// Kinds that never look at a target are registered with Aims false.
void RegisterInstallationBehaviours(EnemyBehaviourTable& table) {
  table[4] = {GroundGunAlive, GunWreck, false};
  table[6] = {BigGunAlive, BigGunDead, false};
  table[19] = {GroundBombAlive, BuriedWreck};
  table[20] = {GroundCannonAlive, BuriedWreck, false};
  table[21] = {HatchCannonAlive, BuriedWreck, false};
  table[23] = {TarpGunAlive, ground::CraterWreck, false};
  table[27] = {TechGunAlive, TechGunDead};
  table[28] = {TechDoorsAlive, nullptr, false};
  table[33] = {LauncherAlive, nullptr, false};
  table[34] = {AirportShooterAlive, AirportShooterDead, false};
  table[43] = {DomeAlive, nullptr, false};
  table[44] = {LavaSourceAlive, nullptr, false};
  table[88] = {ShellAlive, nullptr, false};
}

}  // namespace tarq
