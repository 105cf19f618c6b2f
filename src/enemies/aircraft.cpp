// Aircraft and other fliers: helicopters, planes, bats, missiles, floating bombs,
// spinners, mines, robots, loopy chains, aliens, small geese, float planes and their
// sea mines, lava bombs and the big tank's fliers.
#include <algorithm>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/enemy_kinds.h"
#include "enemies/mechanics.h"
#include "game/game.h"

namespace tarq {

namespace {

constexpr uint32_t kWarningRed = 0x4040FF;

bool Every(const EnemyRecord& e, int32_t n) { return e.Age % n == 0; }

// A death explosion of scale base + Random(spread) and delay 1 or 2 (the scale is
// drawn first).
void Burst(Game& game, const EnemyRecord& e, int32_t base, int32_t spread) {
  const int32_t scale = base + Random(spread);
  const int32_t delay = 1 + Random(2);
  EnemyExplosion(game, e, scale, delay);
}

// Kinds that rise from the ground reach full height IntA ticks after creation.
int32_t RiseHeight(const EnemyRecord& e) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{e.Age} - e.IntA + 256, 0, 256));
}

// Schedule values some kinds divide by: a 0 there is taken as 1 (fire on every
// multiple of 1) rather than dividing by zero.
int32_t AtLeastOne(int32_t v) { return v == 0 ? 1 : v; }

// --- Shared death sequences ------------------------------------------------------------

// Helicopters and bats: small bursts every 4th tick, gone after 9 ticks.
void SmallWreck(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Every(e, 4)) Burst(t.game, e, 256, 128);
  EndWhenAgeReaches(e, 9);
}

// Fliers with a bigger burst: every 4th tick, gone after 9 ticks.
void MediumWreck(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Every(e, 4)) Burst(t.game, e, 256, 256);
  EndWhenAgeReaches(e, 9);
}

// Fading bursts, every 2nd tick, while the wreck sinks.
void SinkingWreck(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Every(e, 2)) Burst(t.game, e, 256, 450 - 15 * e.Age);
  Sink(e);
}

// Ground-level bursts while Age < 24, gone at 25.
void LowWreck(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age < 24 && Every(e, 4)) Burst(t.game, e, 384, 256);
  EndWhenAgeReaches(e, 25);
}

// One shrinking explosion every 8th tick, gone at 65 (missiles, aliens, fliers).
void ShrinkingWreck(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Every(e, 8)) EnemyExplosion(t.game, e, 1024 - 15 * e.Age, 1);
  EndWhenAgeReaches(e, 65);
}

// --- Kinds -------------------------------------------------------------------------------

// Kind 0: drifts sideways, slowly turns toward the target and sinks ever faster,
// firing now and then from either side.
void Helicopter0(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.ParamA = ToByteAngle(e.ParamA + 8);
  e.X += e.ParamB == 0 ? 0.5 : -0.5;
  if (Every(e, 4)) e.Angle = TurnOneStep(e.Angle, t.AimAngle);
  e.Y += e.IntC / 80.0;
  e.IntC = std::min(e.IntC + 1, 500);
  if (Random(512) == 0) FirePlain(t.game, e.Angle, e.X, e.Y, 14, 17, 3);
  if (Random(512) == 0) FirePlain(t.game, e.Angle, e.X, e.Y, 14, -17, 3);
}

// Kind 2: the homing missile. Smoke, warning beeps before its fuel runs out, speeds up
// to 5 pixels per tick and steers between IntB and IntA.
void Missile(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  const int32_t smoke = 32 + Random(64);
  EnemyExplosion(t.game, e, smoke, 0);
  if (e.Age == 1) EnemySound(t.game, e, 4);
  if (e.Age == e.IntA - 80 || e.Age == e.IntA - 55 || e.Age == e.IntA - 30) {
    EnemySound(t.game, e, 6);
    e.Colour = kWarningRed;
  }
  e.IntC = std::min(e.IntC + 1, 100);
  MoveAlong(e, e.IntC / 20.0, e.Angle);
  if (e.IntB < e.Age && e.Age < e.IntA && e.Angle != t.AimAngle)
    e.Angle = GradedTurn(e.Angle, t.AimAngle);
}

void MissileDead(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  MoveAlong(e, e.IntC / 20.0, e.Angle);
  ShrinkingWreck(t);
}

// Kind 3: chases the target from above, slowing as it closes in; once level with it
// or below it, it drops away down the screen.
void Helicopter3(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.ParamA = ToByteAngle(e.ParamA + 8);
  ByteAngle heading;
  double speed;
  if (e.Y - t.game.ScrollY >= t.TargetY || t.AimDistance < 1 || t.AimDistance > 1000) {
    heading = 128;
    e.IntA = std::min(e.IntA + 1, 100);
    speed = e.IntA / 20.0;
  } else {
    e.IntA = 0;
    heading = t.AimAngle;
    speed = std::min(t.AimDistance, 550.0) / 200.0;
  }
  e.X += speed * SinTable[heading];
  e.Y -= 0.8 * speed * CosTable[heading];
  e.Angle = 128;
  e.ParamB = static_cast<uint8_t>((e.ParamB + 1) % 16);
}

// Kind 5: hovers down slowly and, after 150 ticks, fires a ring of eight shots every
// IntC ticks.
void Helicopter5(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.ParamA = ToByteAngle(e.ParamA + 8);
  if (e.Age > 150 && e.Age % AtLeastOne(e.IntC) == 0)
    for (int32_t k = 0; k < 8; ++k) FirePlain(t.game, ToByteAngle(t.AimAngle + 32 * k), e.X, e.Y, 10, 0, 2);
  e.Y += 0.1;
}

// Kind 8: a plane diving down the screen, faster and faster.
void Plane(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age == 1) EnemySound(t.game, e, 4);
  e.Y += e.IntC / 10.0;
  e.IntC = std::min(e.IntC + 1, 150);
}

// Kind 9: a flapping bat dropping shots straight down, one in IntC ticks (every tick
// with IntC 0 or 1).
void Bat(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Every(e, 8)) {
    static constexpr uint8_t kWingFrames[6] = {0, 1, 2, 3, 2, 1};
    e.ParamA = static_cast<uint8_t>((e.ParamA + 1) % 6);
    e.ParamB = kWingFrames[e.ParamA];
  }
  e.Y += 0.5;
  if (Random(e.IntC) == 0) FirePlain(t.game, 128, e.X, e.Y, 14, 0, 3);
}

// Kind 12: fires once on waking, then swings from side to side, firing at the ends of
// each swing.
void Helicopter12(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.ParamA = ToByteAngle(e.ParamA + 8);
  if (e.Age == e.IntA) FirePlain(t.game, e.Angle, e.X, e.Y, 10, 0, 5);
  if (Awake(e)) {
    e.X += 4 * SinTable[e.ParamB];
    e.Angle = ToByteAngle(Round(16 * SinTable[ToByteAngle(e.ParamB + 1)]) - 128);
    const uint8_t was = e.ParamB;
    e.ParamB = ToByteAngle(e.ParamB + 1);
    if (was == 63 || was == 73 || was == 191 || was == 201)
      FirePlain(t.game, e.Angle, e.X, e.Y + 1, 10, 0, 8);
  }
  e.Y += 1;
}

// Kind 16: rises from the ground, pulses, drifts; bursts into sixteen shots when shot.
void FloatingBomb(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.Height = RiseHeight(e);
  e.IntB = AddWrapped(e.IntB, e.IntC);
  // Schedule values may be anything: negate and offset in 64 bits.
  if (e.IntB >= 128 || e.IntB <= 0) e.IntC = AddWrapped(0, -int64_t{e.IntC});
  e.ParamA = ToByteAngle(int64_t{e.IntB} - 128);
  if (Awake(e)) {
    MoveAlong(e, (10 + Random(10)) / 50.0, e.Angle);
    e.Solid = true;
    e.Shootable = true;
  }
}

void FloatingBombDead(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age == 1)
    for (int32_t k = 0; k < 16; ++k) FirePlain(t.game, ToByteAngle(16 * k), e.X, e.Y, 0, 0, 2);
  if (Every(e, 4)) Burst(t.game, e, 512, 256);
  if (e.Age > 16) Leave(e);
}

// Kind 17: a big plane taxiing on the ground, turning onto the runway; far below the
// view it comes back as a fast climb-out across the whole screen.
void BigPlane(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Height == 256 && e.Age == e.IntA + 120) EnemySound(t.game, e, 4);
  if (Awake(e)) {
    e.IntB = std::min(e.IntB + 1, 500);
    MoveAlong(e, e.Angle == 160 ? e.IntB / 25.0 : e.IntB / 200.0, e.ParamB);
  }
  if (e.Age > e.IntA + 300) {
    if (Every(e, 4) && e.ParamB > 128) {
      e.Angle = ToByteAngle(e.Angle - 1);
      e.ParamB = ToByteAngle(e.ParamB - 1);
    }
    if (e.Y - t.game.ScrollY > 800) {
      e.Height = 256;
      e.Age = e.IntA;
      e.X = 352;
      e.Angle = 160;
      e.ParamB = 0;
      e.IntB = 0;
    }
  }
}

void BigPlaneDead(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Every(e, 10) && e.Age < 48) Burst(t.game, e, 1024, 1024);
}

// Kind 18: rises, then swings its course round to straight down and speeds up,
// firing along its heading.
void Helicopter18(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.Height = RiseHeight(e);
  if (Awake(e)) {
    if (Every(e, 2)) {
      e.ParamB = ToByteAngle(e.ParamB + e.IntD);
      if (e.ParamB >= 127 && e.ParamB <= 129) e.ParamB = 128;
    }
    if (Every(e, 4) && e.Age > int64_t{e.IntA} + 100) e.Angle = ToByteAngle(e.Angle + e.IntD);
    e.IntB = std::min(e.IntB + 1, 200);
    if (Random(50) == 0) FirePlain(t.game, e.Angle, e.X, e.Y, 40, 0, 7);
    e.Solid = true;
    e.Shootable = true;
  }
  MoveAlong(e, e.IntB / 35.0, e.ParamB);
  e.IntC = std::min(e.IntC + 1, 400);
  e.ParamA = ToByteAngle(e.ParamA + e.IntC / 50);
}

// Kind 24: drifts down until IntA, then fires one spinning bullet near the target and
// darts off to one side.
void Spinner(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age == e.IntA) {
    e.IntB = 400 + Random(300);
    const int32_t spread = Random(64) - 32;
    Enemy_AddBullet(t.game, ToByteAngle(t.AimAngle + spread), t.game.sn("bullet2"), e.X, e.Y, 0, 0, 4);
    EnemyRecord& self = t.Self();
    if (Random(2) == 0) self.Angle = ToByteAngle(22 + Random(64));
    else self.Angle = ToByteAngle(Random(64) - 86);
  }
  EnemyRecord& s = t.Self();
  MoveAlong(s, s.IntB / 100, s.Angle);
  if (Every(s, 2)) {
    s.IntD += s.IntE;
    if (s.IntD > 12) s.IntD = 0;
    if (s.IntD < 0) s.IntD = 12;
    s.ParamC = static_cast<uint8_t>(s.IntD);
  }
}

// Kind 29: a bobbing, glowing mine drifting at random.
void Mine(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.IntC = ((e.IntC + 4) % 512 + 512) % 512;
  const int32_t w = e.IntC < 256 ? e.IntC : 511 - e.IntC;
  int32_t glow = w;
  if (e.ParamC & 2) glow |= w << 8;
  if (e.ParamC & 4) glow |= (w / 2) << 8;
  e.IntB = glow;
  if (Every(e, 2)) e.ParamB = ToByteAngle(e.ParamB + Random(3));
  e.Height = Round(32 * CosTable[e.ParamB]) + 256;
  if (Random(3) == 0) e.Angle = ToByteAngle(e.Angle + Random(5) - 2);
  MoveAlong(e, Random(10) / 200.0, e.Angle);
}

// Kind 30: a robot that stands up from the ground and then walks down the screen.
void Robot(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Awake(e) && e.Height < 256) e.Height += 1;
  if (e.Height == 256) e.IntB = std::min(e.IntB + 1, 200);
  e.Y += e.IntB / 25.0;
  e.ParamA = e.Height <= 160 ? 0 : (e.Height <= 192 ? 1 : (e.Height <= 224 ? 2 : 3));
}

// Kind 31: flies straight at 4 pixels per tick; once awake it turns by ParamC per
// tick until it heads along ParamB.
void Loopy(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (Awake(e) && e.Angle != e.ParamB) e.Angle = ToByteAngle(e.Angle + e.ParamC);
  MoveAlong(e, 4, e.Angle);
}

// Kind 38: an alien that crawls, then lifts off and homes in on the target.
void Alien(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.IntC <= 2999) e.IntC += 1;
  if (e.IntC > 149) {
    if (Every(e, 8) && e.ParamA < 4) e.ParamA += 1;
    if (e.ParamA > 0 && e.Height < 256) e.Height += 1;
  }
  MoveAlong(e, e.IntC / 300.0, e.Angle);
  if (e.Height >= 129) e.Angle = TurnOneStep(e.Angle, static_cast<ByteAngle>(t.AimAngle & 0xE0));
}

// Kind 39: a small goose hovering in from the side, then diving away.
void SmallGoose(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age < e.IntA) {
    e.X += e.IntB * 0.2;
    e.Y += 0.3;
  } else {
    e.Y += 6;
  }
  if (e.Age == e.IntA) EnemySound(t.game, e, 5);
  e.ParamC = ToByteAngle(e.ParamC + 12);
}

void SmallGooseDead(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age < 48 && Every(e, 8)) Burst(t.game, e, 512, 512);
  EndWhenAgeReaches(e, 48);
}

// Kind 41: a float plane bobbing on the water until IntD, then taking off down the
// screen, dropping sea mines.
void FloatPlane(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  if (e.Age < e.IntD) {
    if (Random(3) == 0) e.Angle = ToByteAngle(e.Angle + Random(5) - 2);
    MoveAlong(e, Random(10) / 200.0, e.Angle);
    return;
  }
  if (e.Height < 256) e.Height += 1;
  e.IntA = AddWrapped(e.IntA, 2);
  MoveAlong(e, e.IntA / 200.0, 128);
  if (Random(100) == 0) {
    // The mine falls from the plane's height; one hit sinks it.
    const double x = e.X;
    const double y = e.Y - 24;
    Enemy_Add(t.game, Round(x), Round(y), 0, 42, 0, 0, 0, e.Height, 0, 0, 1);
  }
}

// Kind 42: a sea mine falling ever faster; it sinks (dies) when it hits the water.
void SeaMine(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.Height -= Round((e.IntB + 1) / 25.0);
  e.IntB += 1;
  e.Y += 0.3;
  if (e.Height < 0) e.HitPoints = 0;
}

// Kind 45: a lava bomb thrown out of a lava source, falling back to the ground.
void LavaBomb(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.Height -= 2;
  MoveAlong(e, 1.5, e.ParamA);
  e.Angle = ToByteAngle(e.Angle + e.ParamC);
  if (e.Height <= 0) e.HitPoints = 0;
}

// Kind 97: a flier launched by the big tank: it rises out of the tank, brightens, and
// homes in on the target.
void BigTankFlier(EnemyTick& t) {
  EnemyRecord& e = t.Self();
  e.Height = std::min(e.Height + 8, 256);
  if (e.Height == 256) {
    e.IntC = std::min(e.IntC + 1, 1000);
    e.Shootable = true;
  }
  e.IntD = std::min(e.IntD + 8, 255);
  e.ParamC = static_cast<uint8_t>(e.IntD);
  MoveAlong(e, e.IntC / 100.0, e.Angle);
  if (e.Height >= 129) e.Angle = TurnOneStep(e.Angle, static_cast<ByteAngle>(t.AimAngle & 0xE0));
}

}  // namespace

// Kinds that never look at the target are registered with Aims false.
void RegisterAircraftBehaviours(EnemyBehaviourTable& table) {
  table[0] = {Helicopter0, SmallWreck};
  table[2] = {Missile, MissileDead};
  table[3] = {Helicopter3, SmallWreck};
  table[5] = {Helicopter5, SmallWreck};
  table[8] = {Plane, SinkingWreck, false};
  table[9] = {Bat, SmallWreck, false};
  table[12] = {Helicopter12, SmallWreck, false};
  table[16] = {FloatingBomb, FloatingBombDead, false};
  table[17] = {BigPlane, BigPlaneDead, false};
  table[18] = {Helicopter18, MediumWreck, false};
  table[24] = {Spinner, MediumWreck};
  table[29] = {Mine, LowWreck, false};
  table[30] = {Robot, MediumWreck, false};
  table[31] = {Loopy, SinkingWreck, false};
  table[38] = {Alien, ShrinkingWreck};
  table[39] = {SmallGoose, SmallGooseDead, false};
  table[41] = {FloatPlane, LowWreck, false};
  table[42] = {SeaMine, LowWreck, false};
  table[45] = {LavaBomb, LowWreck, false};
  table[97] = {BigTankFlier, ShrinkingWreck};
}

}  // namespace tarq
