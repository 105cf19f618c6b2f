#pragma once
// The tick logic of the screens after a run: the score table (ScreenState 4) and the
// completion screen (6). Name entry (5) lives with the high scores (hiscores.h).
#include "game/game.h"

namespace tarq {

// The score table: shown for 1000 ticks; Fire cuts it short, leaving on the next tick.
void ScoreTableTick(Game& game);

// The completion screen: Fire goes on to name entry when a score qualifies, otherwise
// straight to the title.
void CompletionTick(Game& game);

}  // namespace tarq
