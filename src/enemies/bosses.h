#pragma once
// What the set-piece fights share: holding the map's scroll, the fortress beams, the
// nuke a dying boss sets off and its long explosion chain. Used by the bosses_*.cpp
// files only.
#include <cstdint>

#include "core/angles.h"
#include "enemies/enemy_kinds.h"

namespace tarq {

struct Game;
struct EnemyRecord;

// Boss kinds.
constexpr int32_t kKindGooseLeader = 7;
constexpr int32_t kKindGooseTail = 13;   // the rotor parts, fore and aft
constexpr int32_t kKindGooseWing = 14;   // the wing parts, left and right
constexpr int32_t kKindFortress = 101;
constexpr int32_t kKindCitadel = 102;
constexpr int32_t kKindCitadelCannon = 103;
constexpr int32_t kKindPlatform = 104;
constexpr int32_t kKindFinalBoss = 105;

// The map stops here for good once the final boss is reached.
constexpr int32_t kFinalBossScrollY = 126272;

// The scroll hold is a count of reasons. A boss adds one and remembers it; releasing
// takes back only a hold this record raised, so a boss that dies without having held
// the map (or a second release) can never drive the count below zero and freeze it.
void RaiseScrollHold(Game& game, EnemyRecord& e);
void ReleaseScrollHold(Game& game, EnemyRecord& e);

// Heading and distance of the way from a point offset (dx, dy) = from - to, aimed as
// enemies aim at a player (offsets rounded, full byte resolution).
struct Bearing {
  ByteAngle Heading = 128;
  double Distance = 0.01;
};
Bearing BearingOf(double dx, double dy);

// A fortress beam pulse burns every active player standing in the 32-pixel band under
// the gun, below the top of the screen, unshielded and low enough to be reached.
void BurnPlayersUnderBeam(Game& game, const EnemyRecord& e);

// The nuke, set off at a dying boss: the flash, every shootable enemy 50 hit points
// down, every enemy bullet gone, the big bang.
void StartNukeAtBoss(Game& game, const EnemyRecord& e);

// Every 16th tick of a big boss's death: one large explosion somewhere over its hull
// and a bang.
void BigBossDeathBlast(Game& game, const EnemyRecord& e);

// Explosion at a map point (converted to the screen, as explosions are placed).
void ExplosionAtMap(Game& game, double x, double y, int32_t scale, int32_t delay);

void RegisterGooseBehaviours(EnemyBehaviourTable& table);
void RegisterFortressBehaviours(EnemyBehaviourTable& table);
void RegisterPlatformBehaviours(EnemyBehaviourTable& table);
void RegisterFinalBossBehaviours(EnemyBehaviourTable& table);

}  // namespace tarq
