#include "game/end_screens.h"

#include "game/hiscores.h"

namespace tarq {

namespace {

// Either player's Fire press; both presses are used up so the next screen does not
// act on them as well.
bool TakeFire(Game& game) {
  const bool fired = game.Controls[0].FirePressed || game.Controls[1].FirePressed;
  if (fired) {
    game.Controls[0].FirePressed = 0;
    game.Controls[1].FirePressed = 0;
  }
  return fired;
}

}  // namespace

void ScoreTableTick(Game& game) {
  game.ScreenTicks += 1;
  ProcessPlasma(game.Plasma);
  if (TakeFire(game)) game.ScreenTicks = 1000;
  if (game.ScreenTicks > 1000) {
    game.ScreenTicks = 0;
    game.ScreenState = kScreenTitle;
  }
}

void CompletionTick(Game& game) {
  game.ScreenTicks += 1;
  if (!TakeFire(game)) return;
  // The players stay in the run and the field is left as it is; the title screen
  // makes both players inactive.
  game.TypedKey = 8;
  DoHiScores(game, kScreenTitle);
}

}  // namespace tarq
