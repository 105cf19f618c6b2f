#include "game/playing.h"

#include "game/section_start.h"

#include <iterator>

#include "game/hiscores.h"
#include "game/menus.h"

namespace tarq {

namespace {

// Each tick an enemy's hit tint moves one step back towards white.
uint32_t FadeEnemyTint(uint32_t c) {
  static constexpr uint32_t kSteps[] = {0x4040FF, 0x5050FF, 0x6060FF, 0x7070FF,
                                        0x8080FF, 0x9090FF, 0xA0A0FF, 0xB0B0FF,
                                        0xC0C0FF, 0xD0D0FF, 0xE0E0FF, 0xFFFFFF};
  if (c == kSteps[std::size(kSteps) - 1]) return c;  // most enemies: untinted, nothing to fade
  for (size_t i = 0; i + 1 < std::size(kSteps); ++i)
    if (c == kSteps[i]) return kSteps[i + 1];
  return c;
}

}  // namespace

void ClearField(Game& game) {
  game.Explosions.clear();
  game.PlayerBullets.clear();
  game.EnemyBullets.clear();
  game.EnemyList.clear();
}

void EndRun(Game& game) {
  ResetTitle(game);
  ClearField(game);
  DoHiScores(game, kScreenScores);
}

void StartRun(Game& game, int32_t player) {
  JoinPlayer(game.Players[static_cast<size_t>(player)]);
  game.NukeX = 0;
  game.NukeY = 0;
  game.NukeTimer = -1;
  game.ScrollY = kMaxScrollY;
  RewindSchedule(game);
  ApplyStartSection(game, game.StartSection);
  game.LinkSpeeds.fill(0);
  game.ScrollHold = 0;
  game.InGameMenuOpen = false;
  game.Paused = false;
  game.InGameMenuSlide = 0;
  game.ScreenState = kScreenPlaying;
}

void PlayingTick(Game& game) {
  // 1. The in-game menu. Leaving the field through it (QUIT TO TITLE, QUIT TO WINDOWS)
  // ends the tick here: no one joins and nothing moves or spawns on the way out.
  InGameMenuTick(game);
  if (game.ScreenState != kScreenPlaying || game.QuitRequested) return;
  // 2. Score roll, one player per tick.
  RollScoreText(game.Players[static_cast<size_t>(game.TickCount % 2)]);
  // 3. Enemy hit tints fade, also while paused.
  for (EnemyRecord& e : game.EnemyList) e.Colour = FadeEnemyTint(e.Colour);
  // 4. Player bullets animate.
  if (!game.Paused)
    for (PlayerBullet& b : game.PlayerBullets) b.Pattern = 1 - b.Pattern;
  // 5. Players.
  for (int32_t p = 0; p < 2; ++p)
    if (game.Players[static_cast<size_t>(p)].Active) UpdatePlayer(game, p);
  // Once the last player is out the run is over: a player still holding Fire must not
  // rejoin on the way to the high scores (joining resets the score that is yet to be
  // entered in the table).
  if (game.ScreenState != kScreenPlaying) return;
  // 6. Joining: one player per tick, player 2 winning a tie; also while paused.
  int32_t joining = -1;
  if (!game.Players[0].Active && game.Controls[0].FireHeld) joining = 0;
  if (!game.Players[1].Active && game.Controls[1].FireHeld) joining = 1;
  if (joining >= 0) JoinPlayer(game.Players[static_cast<size_t>(joining)]);
  // 7. The scroll moves every second unpaused tick.
  if (!game.Paused) {
    game.ScrollTick = static_cast<uint8_t>(game.ScrollTick + 1);
    if (game.ScrollTick % 2 == 0) {
      for (PlayerRecord& p : game.Players) p.BodyPattern = 1 - p.BodyPattern;
      ScrollStep(game);
      Enemy_AnimateBullets(game);
    }
  }
  // 8. Movers.
  if (!game.Paused) {
    Player_MoveBullets(game);
    Enemy_MoveBullets(game);
    Explosion_Process(game);
    Flare_Process(game);
    Enemy_Process(game);
    CheckEnemies(game);
  }
}

}  // namespace tarq
