#pragma once
#include "game/game.h"

namespace tarq {

// Title screen: Fire starts a run for the player who pressed it.
void TitleTick(Game& game);
// The playing screen: players, scroll and movers.
void PlayingTick(Game& game);

}  // namespace tarq
