#include "game/game.h"

#include "audio/game_audio.h"
#include "game/playing.h"

namespace tarq {

void Game::Sound(int32_t sample, int32_t x, double rate) {
  if (Audio) Audio->Sound(sample, x, rate, SoundVolume);
}
void Game::MusicPlay(int32_t track, int32_t order, int32_t row) {
  if (Audio) Audio->MusicPlay(track, order, row);
}
void Game::MusicTick() {
  if (Audio) Audio->MusicStep(TickCount, MusicVolume);
}

namespace {

// Intro (sponsor screen): starts the title music on its first shown tick and gives way
// to the title after 613 ticks. No key skips it.
void IntroTick(Game& game) {
  if (game.ScreenTicks == 1) game.MusicPlay(0, 0, 0);
  game.ScreenTicks += 1;
  if (game.ScreenTicks > 612) {
    game.ScreenTicks = 0;
    game.ScreenState = kScreenTitle;
  }
}

// Screens whose logic arrives with the menus and high-score work. Until then they
// hold still: nothing leaves them, so a stray ScreenState cannot run other rules.
void ControlOptionsTick(Game&) {}
void GameOptionsTick(Game&) {}
void ScoreTableTick(Game&) {}
void NameEntryTick(Game&) {}
void CompletionTick(Game&) {}

}  // namespace

void Timer1Process(Game& game) {
  game.TickCount += 1;
  game.MusicTick();
  if (game.Input) DoControls(*game.Input, game.ControlBindings, game.Controls, game.Mouse);
  switch (game.ScreenState) {
    case kScreenTitle: TitleTick(game); break;
    case kScreenPlaying: PlayingTick(game); break;
    case kScreenControlOptions: ControlOptionsTick(game); break;
    case kScreenGameOptions: GameOptionsTick(game); break;
    case kScreenScores: ScoreTableTick(game); break;
    case kScreenNameEntry: NameEntryTick(game); break;
    case kScreenCompletion: CompletionTick(game); break;
    case kScreenIntro: IntroTick(game); break;
    default: break;  // an unknown screen runs no logic
  }
}

}  // namespace tarq
