#include "game/playing.h"

#include <iterator>

namespace tarq {

namespace {

// Each tick an enemy's hit tint moves one step back towards white.
uint32_t FadeEnemyTint(uint32_t c) {
  static constexpr uint32_t kSteps[] = {0x4040FF, 0x5050FF, 0x6060FF, 0x7070FF,
                                        0x8080FF, 0x9090FF, 0xA0A0FF, 0xB0B0FF,
                                        0xC0C0FF, 0xD0D0FF, 0xE0E0FF, 0xFFFFFF};
  for (size_t i = 0; i + 1 < std::size(kSteps); ++i)
    if (c == kSteps[i]) return kSteps[i + 1];
  return c;
}

}  // namespace

void SlideInGameMenu(Game& game) {
  // Opening is fast at first and slows down; closing starts slowly and speeds up.
  if (!game.InGameMenuOpen) {
    game.InGameMenuSlide -= (100 - game.InGameMenuSlide) / 10 + 1;
    if (game.InGameMenuSlide < 0) game.InGameMenuSlide = 0;
  } else {
    game.InGameMenuSlide += (100 - game.InGameMenuSlide) / 10 + 1;
    if (game.InGameMenuSlide > 100) game.InGameMenuSlide = 100;
  }
}

void ResetTitle(Game& game) {
  game.TitleLogoY = -256.0;
  game.TitleLogoSpeed = 20.0;
  game.TitleLogoPhase = 100;
  game.MenuCursor = 0;
  game.ScreenTicks = 0;
}

void MoveTitleLogo(Game& game) {
  if (game.TitleLogoPhase < 200) game.TitleLogoPhase += 2;
  const auto a = static_cast<ByteAngle>(game.TitleLogoPhase * 128 / 200);
  game.TitleLogoY -= game.TitleLogoSpeed * CosTable[a];
  // The bounce: back up with 70 percent of the speed.
  if (game.TitleLogoY > 224) {
    game.TitleLogoY = 224;
    game.TitleLogoPhase = 0;
    game.TitleLogoSpeed *= 0.7;
    game.Sound(3, 352, 100);
  }
  // The landing, on the way down after the bounce: the title theme's big entry, a
  // flash behind the logo and a fresh colour backdrop.
  if (game.TitleLogoY > 64 && game.TitleLogoPhase > 100 && game.TitleLogoSpeed < 20) {
    game.MusicPlay(0, 7, 0);
    game.TitleLogoY = 64;
    game.TitleLogoSpeed = 0;
    game.NukeX = 320;
    game.NukeY = 192;
    game.NukeTimer = 1;
    game.NukeBrightness = 255;
    game.Sound(9, 320, 100);
    game.Sound(1, 0, 101);
    game.Sound(1, 703, 99);
    SeedPlasma(game.Plasma);
  }
}

void TitleNukeFlash(Game& game) {
  if (game.NukeTimer <= 0) return;
  game.NukeTimer += game.NukeTimer < 16384 ? 1024 : 512;
  if (game.NukeTimer > 16383 && (game.NukeTimer - 1) % 512 == 0) game.NukeBrightness -= 1;
  if (game.NukeBrightness < 1) game.NukeTimer = -1;
}

void ClearField(Game& game) {
  game.Explosions.clear();
  game.PlayerBullets.clear();
  game.EnemyBullets.clear();
  game.EnemyList.clear();
}

void DoHiScores(Game& game, int32_t nextScreen) {
  game.ScreenTicks = 0;
  game.ScreenState = nextScreen;
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
  game.LinkSpeeds.fill(0);
  game.ScrollHold = 0;
  game.InGameMenuOpen = false;
  game.Paused = false;
  game.InGameMenuSlide = 0;
  game.ScreenState = kScreenPlaying;
}

void TitleTick(Game& game) {
  game.Players[0].Active = false;
  game.Players[1].Active = false;
  game.ScreenTicks += 1;
  MoveTitleLogo(game);
  ProcessPlasma(game.Plasma);
  TitleNukeFlash(game);
  // Until the title menu arrives, Fire acts as "START GAME" for whoever pressed it; both
  // pressing on one tick both join.
  for (int32_t p = 0; p < 2; ++p)
    if (game.Controls[static_cast<size_t>(p)].FirePressed) StartRun(game, p);
}

void PlayingTick(Game& game) {
  // 1. The in-game menu: until its items arrive, only its slide in and out.
  SlideInGameMenu(game);
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
