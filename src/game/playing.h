#pragma once
#include "game/game.h"

namespace tarq {

// The playing screen: players, scroll and movers.
void PlayingTick(Game& game);

// "START GAME": `player` joins and the run starts from the bottom of the map; the other
// player may join later with Fire.
void StartRun(Game& game, int32_t player);

// The last active player is out: empty the field and go on to the high scores.
void EndRun(Game& game);

// Empties the explosion, player-bullet, enemy-bullet and enemy lists (flares finish on
// their own).
void ClearField(Game& game);

}  // namespace tarq
