#include "game/game.h"

namespace tarq {

void Game::Sound(int32_t, int32_t, int32_t) {}
void Game::MusicPlay(int32_t, int32_t, int32_t) {}

void Timer1Process(Game& game) {
  game.TickCount += 1;
  if (game.ScreenState == kScreenIntro) {
    game.ScreenTicks += 1;
    if (game.ScreenTicks > 612) {
      game.ScreenState = kScreenTitle;
      game.ScreenTicks = 0;
    }
  }
}

}  // namespace tarq
