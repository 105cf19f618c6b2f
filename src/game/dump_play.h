#pragma once
// The playing field's part of the headless dump: players, scroll, nuke, player
// bullets, explosions and flares, every field under its own name.
#include "game/dump.h"

namespace tarq {

void DumpPlay(const Game& game, JsonWriter& w);

}  // namespace tarq
