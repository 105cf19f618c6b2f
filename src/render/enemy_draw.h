#pragma once
// Enemy drawing: Enemy_Draw walks the enemy list once per pass and hands each record to
// its kind's drawer, one small function per kind reached through one table. Each family
// registers its drawers from its own file (enemy_draw_aircraft.cpp, _pickups, _ground,
// _sea, _installations, _bosses), mirroring the behaviour families in src/enemies.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tarq {

struct Game;
struct EnemyRecord;
class FrameCanvas;

// The four passes, in the order the in-game frame calls them.
enum class EnemyPass : uint8_t {
  Wrecks,   // after the ground map layers: craters, track marks
  Shadows,  // after the players' shadows
  Ground,   // ground units, below the overlay map layers
  Air,      // above the overlay layers: aircraft, emplacements, bosses, pick-ups
};

// One record being drawn, with the values every kind's drawing derives from it.
struct EnemyDrawContext {
  const Game& game;
  FrameCanvas& canvas;
  EnemyPass Pass;
  const EnemyRecord& E;
  size_t Index;  // the record's place in EnemyList
  int32_t X = 0;  // screen centre: nearest(X) - ScrollX
  int32_t Y = 0;  // screen centre: nearest(Y) - ScrollY
  int32_t H = 0;  // Angle
  int32_t Q = 0;  // Angle - 64 wrapped into 0 .. 255
  int32_t S = 0;  // Height div 6: the shadow's offset right and down
};

using EnemyDrawer = void (*)(EnemyDrawContext& ctx);
using EnemyDrawTable = std::array<EnemyDrawer, 256>;

// The table, filled once from the family registrations below.
const EnemyDrawTable& EnemyDrawers();

void RegisterAircraftDrawers(EnemyDrawTable& table);
void RegisterPickupDrawers(EnemyDrawTable& table);
void RegisterGroundDrawers(EnemyDrawTable& table);
void RegisterSeaDrawers(EnemyDrawTable& table);
void RegisterInstallationDrawers(EnemyDrawTable& table);
void RegisterBossDrawers(EnemyDrawTable& table);

// One pass over the whole list. Also recomputes GooseLeader (the last kind-7 record).
void Enemy_Draw(Game& game, FrameCanvas& canvas, EnemyPass pass);
// GooseLeader as a drawn frame leaves it: the list index of the last kind-7 record, -1
// none. A frame that is not drawn (headless) places it too, as it places ScrollX, so
// the ticks after it run as they do in the window.
void FindGooseLeader(Game& game);

}  // namespace tarq
