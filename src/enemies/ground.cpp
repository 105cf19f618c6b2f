// Units on the ground that drive: tanks and jeeps laying tracks, trains, rail
// launchers, ground spitters, missile tanks and the big tank. Positions are map
// pixels; each behaviour runs once per tick from Enemy_Tick.
#include <algorithm>
#include <cmath>

#include "enemies/enemy_kinds.h"
#include "enemies/enemy_bullets.h"
#include "enemies/ground_family.h"

namespace tarq {

namespace {

using ground::CraterWreck;
using ground::MapPixel;
using ground::SmallWreckBlasts;
using ground::StepTowardZero;

constexpr int32_t kKindTrackMark = 89;
constexpr int32_t kKindBigTankFlier = 97;

// A tank or jeep leaves a track mark each time it has driven more than 63 pixels from
// the last one, turned by TrackSide (the marks of a reversing vehicle face the other
// way).
void LayTracks(EnemyTick& tick, const char* image) {
  const EnemyRecord& e = tick.Self();
  const double dx = e.X - e.IntD;
  const double dy = e.Y - e.IntE;
  if (dx * dx + dy * dy <= 63.0 * 63.0) return;
  const int32_t x = MapPixel(e.X);
  const int32_t y = MapPixel(e.Y);
  const auto heading = static_cast<ByteAngle>(e.Angle + e.TrackSide);
  Enemy_Add(tick.game, x, y, heading, kKindTrackMark, 1, 0, 0, tick.game.sn(image), 0, 0, 1);
  EnemyRecord& self = tick.Self();
  self.IntD = x;
  self.IntE = y;
}

// --- Kind 1: tank --------------------------------------------------------------------
// IntB is the speed in tenths of a pixel; after IntC ticks it slows to a stop. Once
// awake, the turret (ParamA) swings toward the target and fires now and then when on it.
void TankAlive(EnemyTick& tick) {
  LayTracks(tick, "tanktracks");
  EnemyRecord& e = tick.Self();
  if (e.IntC != 0 && e.IntC < e.Age && e.Age % 16 == 0) e.IntB = StepTowardZero(e.IntB);
  MoveAlong(e, e.IntB / 10.0, e.Angle);
  if (!Awake(e)) return;
  if (e.Age % 2 == 0) e.ParamA = TurnOneStep(e.ParamA, tick.AimAngle);
  if (e.ParamA == tick.AimAngle && Random(256) == 0)
    FirePlain(tick.game, e.ParamA, e.X, e.Y, 40, 0, 3);
}

// A wrecked tank or jeep burns for a while and stays as a crater until it scrolls away.
void WreckStays(EnemyTick& tick) { SmallWreckBlasts(tick.game, tick.Self()); }

// --- Kinds 10 and 11: trains -----------------------------------------------------------
// The engine publishes its speed in LinkSpeeds[IntA]; each carriage copies the slot in
// front of it (IntA) into its own (IntB), so the whole train runs at the engine's speed
// and slows with it once it is destroyed. Slots outside the table are neither read (they
// count as 0) nor written.
int32_t* LinkSlot(Game& game, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(game.LinkSpeeds.size())) return nullptr;
  return &game.LinkSpeeds[static_cast<size_t>(index)];
}

int32_t ReadLink(Game& game, int32_t index) {
  const int32_t* slot = LinkSlot(game, index);
  return slot ? *slot : 0;
}

void WriteLink(Game& game, int32_t index, int32_t value) {
  if (int32_t* slot = LinkSlot(game, index)) *slot = value;
}

// Trains run across the screen: to the right when Angle is 0.
void MoveSideways(EnemyRecord& e, double distance) {
  e.X += distance * CosTable[e.Angle];
  e.Y += distance * SinTable[e.Angle];
}

void EngineAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  WriteLink(tick.game, e.IntA, e.IntB);
  MoveSideways(e, e.IntB / 10.0);
}

void EngineDead(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  SmallWreckBlasts(tick.game, e);
  if (e.Age % 32 != 0) return;
  e.IntB = StepTowardZero(e.IntB);
  WriteLink(tick.game, e.IntA, e.IntB);
}

void CarriageAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  const int32_t speed = ReadLink(tick.game, e.IntA);
  WriteLink(tick.game, e.IntB, speed);
  MoveSideways(e, speed / 10.0);
}

void CarriageDead(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  SmallWreckBlasts(tick.game, e);
  if (e.Age % 32 != 0) return;
  WriteLink(tick.game, e.IntB, StepTowardZero(ReadLink(tick.game, e.IntB)));
}

// --- Kind 22: rail launcher ------------------------------------------------------------
// Rolls along its rail at IntA hundredths of a pixel per tick and fires a homing missile
// to the left every IntB ticks and one to the right 50 ticks out of step.
void RailLauncherAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  e.X += e.IntA / 100.0;
  // A zero interval would launch a pair of missiles every tick and flood the field with
  // them; such a launcher only rolls.
  if (e.IntB == 0 || e.Age < e.IntB) return;
  const double x = e.X;
  const double y = e.Y;
  const bool left = e.Age % e.IntB == 0;
  const bool right = (int64_t{e.Age} - 50) % e.IntB == 0;
  if (left) LaunchMissile(tick.game, x - 32, y, 192);
  if (right) LaunchMissile(tick.game, x + 32, y, 64);
}

// --- Kind 25: enemy jeep ---------------------------------------------------------------
// Drives at IntB tenths of a pixel, slowing by one every 16 ticks once awake; its wheels
// (ParamC) turn every IntB ticks, and now and then it launches a missile ahead.
void JeepAlive(EnemyTick& tick) {
  LayTracks(tick, "jeeptracks");
  EnemyRecord& e = tick.Self();
  // A stopped jeep (IntB 0) keeps its wheels still rather than dividing by zero.
  if (e.IntB != 0 && e.Age % e.IntB == 0) e.ParamC = e.ParamC == 0 ? 1 : 0;
  if (Awake(e) && e.Age % 16 == 0) e.IntB = e.IntB > 0 ? e.IntB - 1 : 0;
  MoveAlong(e, e.IntB / 10.0, e.Angle);
  if (Random(1024) == 0) LaunchMissile(tick.game, e.X, e.Y, e.Angle);
}

// --- Kind 26: ground spitter -----------------------------------------------------------
// Wanders off once awake, speeding up to 2 pixels per tick, and spits at the target.
void SpitterAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (!Awake(e)) return;
  if (e.Age % 8 == 0 && e.IntC < 100) e.IntC += 1;
  MoveAlong(e, e.IntC / 50.0, e.Angle);
  e.Angle = static_cast<ByteAngle>(e.Angle + Random(9) - 4);
  if (int64_t{e.Age} > int64_t{e.IntA} + 100 && Random(100) == 0) {
    const auto angle = static_cast<ByteAngle>(tick.AimAngle + Random(32) - 16);
    Enemy_AddBullet(tick.game, angle, tick.game.sn("bullet2"), e.X, e.Y, 0, 0, 4);
  }
}

void SpitterDead(EnemyTick& tick) { SmallWreckBlasts(tick.game, tick.Self()); }

// --- Kind 90: missile tank -------------------------------------------------------------
// Creeps down the map and can be hit only while moving; every launch halts it for 75
// ticks.
void MissileTankAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  e.IntB = e.IntB > 0 ? e.IntB - 1 : 0;
  e.Shootable = e.IntB == 0;
  if (e.IntB == 0) e.Y += 0.4;
  if (Awake(e) && Random(500) == 0) {
    LaunchMissile(tick.game, e.X, e.Y, 128);
    tick.Self().IntB = 75;
  }
}

void MissileTankDead(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  SmallWreckBlasts(tick.game, e);
  if (e.Age > 23) Leave(e);
}

// --- Kinds 98 and 99: the big tank -----------------------------------------------------
// Kind 98 is its hatch: once awake it opens (ParamA is the frame), lets a flier out at
// the opening's 65th step and closes again, over and over. Kind 99 is the hull.
void BigTankAlive(EnemyTick& tick) {
  EnemyRecord& e = tick.Self();
  if (!Awake(e)) return;
  e.IntB += e.IntC;
  if (e.IntB == 65 && e.IntC != -1) {
    Enemy_Add(tick.game, MapPixel(e.X), MapPixel(e.Y), 128, kKindBigTankFlier, 0, 0, 0, 0, 0, 0,
              5);
  }
  EnemyRecord& self = tick.Self();
  if (self.IntB > 100) self.IntC = -1;
  if (self.IntB == 0 && self.IntC == -1) {
    self.Age = 0;
    self.IntC = 1;
  }
  self.ParamA = static_cast<uint8_t>(std::clamp(self.IntB / 8, 0, 5));
}

void BigTankHullAlive(EnemyTick& tick) { tick.Self().Y += 0.1; }

}  // namespace

// Kinds that never look at a target are registered with Aims false.
void RegisterGroundBehaviours(EnemyBehaviourTable& table) {
  table[1] = {TankAlive, WreckStays};
  table[10] = {EngineAlive, EngineDead, false};
  table[11] = {CarriageAlive, CarriageDead, false};
  table[22] = {RailLauncherAlive, CraterWreck, false};
  table[25] = {JeepAlive, WreckStays, false};
  table[26] = {SpitterAlive, SpitterDead};
  table[90] = {MissileTankAlive, MissileTankDead, false};
  table[98] = {BigTankAlive, nullptr, false};
  table[99] = {BigTankHullAlive, nullptr, false};
}

}  // namespace tarq
