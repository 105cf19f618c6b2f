#pragma once
// The moves every enemy kind is built from: flying along a heading, turning, waking up,
// exploding, firing and launching, and the ways a death sequence ends. Behaviours of
// all families use these so that the same rule reads the same everywhere.
#include <climits>
#include <cstdint>

#include "core/angles.h"
#include "enemies/enemies.h"

namespace tarq {

struct Game;

// Moves the record `distance` pixels along `heading` (0 up, 64 right):
// X += d sin, Y -= d cos.
void MoveAlong(EnemyRecord& e, double distance, ByteAngle heading);

// One step toward `wanted`, the shorter way round; on a tie counter-clockwise.
ByteAngle TurnOneStep(ByteAngle angle, ByteAngle wanted);

// The missiles' turn toward `aim`: 1 step when the plain difference of the two byte
// values (not taken around the circle) is below 33, 2 below 49, else 5; the direction
// is the shorter way round as for TurnOneStep.
ByteAngle GradedTurn(ByteAngle angle, ByteAngle aim);

// 32-bit arithmetic that wraps instead of overflowing: schedule values may be anything
// a 32-bit field holds, and sums built from them must stay defined.
constexpr int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
constexpr int32_t AddWrapped(int32_t a, int64_t b) { return Wrap32(int64_t{a} + b); }

// Hit points never go below this floor, however often a wreck is hit or nuked (a
// record this low is long dead; the floor only keeps the arithmetic in range).
constexpr int32_t kLowestHitPoints = INT32_MIN / 2;
inline void Damage(EnemyRecord& e, int32_t points) {
  const int64_t left = int64_t{e.HitPoints} - points;
  e.HitPoints = left < kLowestHitPoints ? kLowestHitPoints : static_cast<int32_t>(left);
}

// Most kinds wait IntA ticks after creation before they move or fire.
inline bool Awake(const EnemyRecord& e) { return e.Age > e.IntA; }

// An explosion at the record's screen position (X, Y rounded, minus the scroll).
void EnemyExplosion(Game& game, const EnemyRecord& e, int32_t scale, int32_t delay);

// A sound panned at the record's map x (rounded).
void EnemySound(Game& game, const EnemyRecord& e, int32_t sample, double rate = 100.0);

// The homing missile many kinds launch: kind 2 with hit points 1, IntB 50 and every
// other value 0 (its flight time is drawn when it is created).
void LaunchMissile(Game& game, double x, double y, ByteAngle angle);

// A plain enemy bullet (image index 1) from (x, y) with the muzzle offsets.
void FirePlain(Game& game, ByteAngle angle, double x, double y, double forward, double side,
               double speed);

// Ends a death sequence: the record drops far below the view and is removed by the
// enemy update on the same tick.
void Leave(EnemyRecord& e);

// end9, end25, end48, end65: leaves once Age reaches `age` (9, 25, 48 or 65).
void EndWhenAgeReaches(EnemyRecord& e, int32_t age);

// The sinking wreck: Y += IntC / 7.5 every tick, leaving when Age reaches 31.
void Sink(EnemyRecord& e);

// The nuke going off at a map position (a shield pick-up or a boss): the blast starts
// there, every shootable enemy that is not a pick-up loses 50 hit points, all enemy
// bullets are gone and the big explosion sounds (sample 9 panned at `pan`).
void StartNukeAt(Game& game, int32_t mapX, int32_t mapY, int32_t pan);

}  // namespace tarq
