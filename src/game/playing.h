#pragma once
#include "game/game.h"

namespace tarq {

// Title screen: Fire starts a run for the player who pressed it.
void TitleTick(Game& game);
// The playing screen: players, scroll and movers.
void PlayingTick(Game& game);

// "START GAME": `player` joins and the run starts from the bottom of the map; the other
// player may join later with Fire.
void StartRun(Game& game, int32_t player);

// The last active player is out: empty the field and go on to the high scores.
void EndRun(Game& game);

// How far the in-game menu is shown moves one step towards open or closed.
void SlideInGameMenu(Game& game);

// Puts the title back to its first state (logo animation, cursor, screen ticks).
void ResetTitle(Game& game);
// The title logo's fall, bounce and landing (the landing starts the title theme's
// entry, the flash behind the logo and a new colour backdrop).
void MoveTitleLogo(Game& game);
// The flash behind the landed logo grows, then fades.
void TitleNukeFlash(Game& game);

// Empties the explosion, player-bullet, enemy-bullet and enemy lists (flares finish on
// their own).
void ClearField(Game& game);

}  // namespace tarq
