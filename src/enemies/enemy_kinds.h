#pragma once
// The behaviour dispatch: one small function per enemy kind, reached through one table
// indexed by kind. Each family of kinds registers its functions from its own file:
//   aircraft.cpp      helicopters, planes, bats, missiles, mines and other fliers
//   pickups.cpp       power-ups, the shield pick-up and its holder, the music cue
//   ground.cpp        tanks, jeeps, trains, guns and other units on the ground
//   sea.cpp           water things, splashes, hovercraft and what they drop
//   installations.cpp launchers, doors, domes, lava sources and other fixed works
//   bosses.cpp        the goose formation, the fortresses, the platform, the final boss
// A kind with no entry stays where it is on the map.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/angles.h"
#include "enemies/enemies.h"

namespace tarq {

struct Game;

// The direction toward the target (low three bits clear), worked out from the target's
// offset when a behaviour first reads it: its arc cosine is the dearest step of the
// walk, and many kinds look at it only now and then. Reads as a ByteAngle.
class AimDirection {
 public:
  AimDirection() = default;
  AimDirection(ByteAngle angle) : angle_(angle) {}  // implicit: set and read like a plain angle
  // The target lies (dx, dy) away (rounded screen pixels), d = their length (never 0).
  void Defer(double dx, double dy, double d) {
    dx_ = dx;
    dy_ = dy;
    d_ = d;
    pending_ = true;
  }
  operator ByteAngle() const {
    if (pending_) {
      angle_ = Resolve(dx_, dy_, d_);
      pending_ = false;
    }
    return angle_;
  }

 private:
  static ByteAngle Resolve(double dx, double dy, double d);
  mutable ByteAngle angle_ = 128;
  mutable bool pending_ = false;
  double dx_ = 0.0, dy_ = 0.0, d_ = 1.0;
};

// What every behaviour knows about its record and its target before it runs.
struct EnemyTick {
  Game& game;
  // The record's place in EnemyList. Launching (Enemy_Add) may move the list in
  // memory, so re-read the record through Self() after every launch.
  size_t Index;
  bool HasTarget = false;
  int32_t Target = -1;      // target player (0 or 1), -1 without one
  AimDirection AimAngle = 128;  // toward the target, low three bits clear; 128 without one
  double AimDistance = 1e11;
  double TargetY = 0.0;     // the target player's screen y

  EnemyRecord& Self() const;
};

using EnemyBehaviour = void (*)(EnemyTick& tick);

// A kind's two behaviours: while alive, and the death sequence while Dead.
struct EnemyKindBehaviour {
  EnemyBehaviour Alive = nullptr;
  EnemyBehaviour Dead = nullptr;
  // False for kinds whose living behaviour never reads the target or aim: the walk then
  // skips working them out (death sequences never aim).
  bool Aims = true;
};

using EnemyBehaviourTable = std::array<EnemyKindBehaviour, 256>;

// The table, filled once from the family registrations below.
const EnemyBehaviourTable& EnemyBehaviours();

void RegisterAircraftBehaviours(EnemyBehaviourTable& table);
void RegisterPickupBehaviours(EnemyBehaviourTable& table);
void RegisterGroundBehaviours(EnemyBehaviourTable& table);
void RegisterSeaBehaviours(EnemyBehaviourTable& table);
void RegisterInstallationBehaviours(EnemyBehaviourTable& table);
void RegisterBossBehaviours(EnemyBehaviourTable& table);

// Fills the target player, AimAngle, AimDistance and TargetY of `tick` for record `e`.
void AimAtTarget(const Game& game, const EnemyRecord& e, EnemyTick& tick);

// Enemy_Tick: every record's behaviour for this tick, in list order. The record count is
// taken when the walk starts, so a record launched during the walk waits for the next.
void Enemy_Tick(Game& game);

}  // namespace tarq
