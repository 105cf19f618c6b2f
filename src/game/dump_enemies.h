#pragma once
// The enemy side of the headless dump: every enemy record and enemy bullet with every
// field under its own name, the schedule's progress and the remaining playing-field
// values (GooseLeader, NukeX, NukeY, ScrollTick, InGameMenuSlide).
#include "game/dump.h"

namespace tarq {

void DumpEnemies(const Game& game, JsonWriter& w);

}  // namespace tarq
