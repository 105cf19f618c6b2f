#include "game/menus.h"

#include "audio/game_audio.h"
#include "core/numeric.h"
#include "game/playing.h"

namespace tarq {

namespace {

constexpr int32_t kLeftAltScanCode = 0x38;
constexpr int32_t kRightAltScanCode = 0xB8;

// Up and Down move a cursor that wraps around over 0 .. last.
void MoveWrapping(int32_t& cursor, const ControlState& c, int32_t last) {
  if (c.UpPressed) cursor -= 1;
  if (c.DownPressed) cursor += 1;
  if (cursor < 0) cursor = last;
  if (cursor > last) cursor = 0;
}

// A menu change made with Fire: the new screen, its highlighted item, and the Fire
// press used up so that nothing later in this tick acts on it again.
void LeaveMenu(Game& game, ControlState& c, int32_t screen, int32_t cursor) {
  game.MenuCursor = cursor;
  game.ScreenState = screen;
  c.FirePressed = 0;
  game.NukeTimer = -1;
}

// The music's spectrum and the current track's texts for the in-game menu's display.
void FetchSpectrum(Game& game) {
  static_assert(kSpectrumDataSize >= kSpectrumValues, "room for the whole spectrum request");
  if (game.Audio) game.Audio->FetchSpectrum(game.SpectrumData.data(), game.SpectrumData.size());
}

void UpdateNowPlaying(Game& game) {
  const TrackText* text = game.Audio ? game.Audio->CurrentTrackInfo() : nullptr;
  const int32_t track = text ? game.Audio->CurrentTrack : -1;
  if (track == game.NowPlaying.Track) return;
  game.NowPlaying.Track = track;
  game.NowPlaying.Title = text ? text->Title : std::string();
  game.NowPlaying.Line1 = text ? text->Line1 : std::string();
  game.NowPlaying.Line2 = text ? text->Line2 : std::string();
}

void QuitToTitle(Game& game) {
  ResetTitle(game);
  ClearField(game);
  for (PlayerRecord& p : game.Players) p.Active = false;
  game.ScreenState = kScreenTitle;
  // A Fire still held must not start a run on the title: the press is used up here
  // and the held button gives no new press until it is let go.
  for (ControlState& c : game.Controls) c.FirePressed = 0;
}

// Held Left lowers and held Right raises a volume by one on even ticks.
void StepVolume(const Game& game, const ControlState& c, int32_t& volume) {
  if (game.TickCount % 2 != 0) return;
  if (c.LeftHeld) volume -= 1;
  if (c.RightHeld) volume += 1;
}

}  // namespace

bool MenuEnterHeld(const Game& game) {
  if (game.Input == nullptr) return false;
  const TInputDevices& in = *game.Input;
  return in.KeyDown(kEnterScanCode) && !in.KeyDown(kLeftAltScanCode) &&
         !in.KeyDown(kRightAltScanCode);
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

void TitleTick(Game& game) {
  game.Players[0].Active = false;
  game.Players[1].Active = false;
  game.ScreenTicks += 1;
  MoveTitleLogo(game);
  ProcessPlasma(game.Plasma);
  TitleNukeFlash(game);
  for (int32_t p = 0; p < 2; ++p) {
    ControlState& c = game.Controls[static_cast<size_t>(p)];
    if (c.UpPressed) game.MenuCursor -= 1;
    if (c.DownPressed) game.MenuCursor += 1;
    game.MenuCursor = Clamp(game.MenuCursor, 0, 2);
    if (!c.FirePressed) continue;
    if (game.MenuCursor == kTitleOptions) {
      game.MenuCursor = 0;
      game.ScreenState = kScreenGameOptions;
      c.FirePressed = 0;
    } else if (game.MenuCursor == kTitleExit) {
      game.QuitRequested = true;
    } else {
      // START GAME, also while the logo is still falling. Both players pressing on one
      // tick both join: the start runs for player 1 and again for player 2.
      StartRun(game, p);
    }
  }
}

void GameOptionsTick(Game& game) {
  game.ScreenTicks += 1;
  ProcessPlasma(game.Plasma);
  for (ControlState& c : game.Controls) {
    MoveWrapping(game.MenuCursor, c, kOptionsReturn);
    if (!c.FirePressed) continue;
    switch (game.MenuCursor) {
      case kOptionsStartup: game.ShowOptionsAtStart = !game.ShowOptionsAtStart; break;
      case kOptionsControls: LeaveMenu(game, c, kScreenControlOptions, 0); break;
      case kOptionsReturn: LeaveMenu(game, c, kScreenTitle, kTitleOptions); break;
      default: break;  // both players always fly the helicopter
    }
  }
}

void ControlOptionsTick(Game& game) {
  game.ScreenTicks += 1;
  ProcessPlasma(game.Plasma);
  for (ControlState& c : game.Controls) {
    MoveWrapping(game.MenuCursor, c, kControlsReturn);
    if (c.FirePressed && game.MenuCursor == kControlsReturn)
      LeaveMenu(game, c, kScreenGameOptions, kOptionsStartup);
  }
  // Enter held on a binding starts its redefinition; the prompt blocks this tick until
  // the player has pressed and released the new input. Only while the list is still
  // shown: leaving it with Fire puts the cursor on an item of the other menu.
  if (game.ScreenState == kScreenControlOptions && game.MenuCursor != kControlsReturn &&
      game.Prompt != nullptr && MenuEnterHeld(game))
    game.Prompt->Redefine(game, game.MenuCursor);
}

void InGameMenuTick(Game& game) {
  const bool enterHeld = MenuEnterHeld(game);
  // Switching the display mode takes one press of Enter, not every tick it is held.
  bool enterPressed = enterHeld && !game.InGameMenuEnterLatch;
  game.InGameMenuEnterLatch = enterHeld;

  if (!game.InGameMenuOpen) {
    game.InGameMenuSlide -= (100 - game.InGameMenuSlide) / 10 + 1;
    if (game.InGameMenuSlide < 0) game.InGameMenuSlide = 0;
  }
  UpdateNowPlaying(game);
  if (game.InGameMenuSlide > 0) FetchSpectrum(game);
  if (!game.InGameMenuOpen) return;
  game.InGameMenuSlide += (100 - game.InGameMenuSlide) / 10 + 1;
  if (game.InGameMenuSlide > 100) game.InGameMenuSlide = 100;

  for (ControlState& c : game.Controls) {
    MoveWrapping(game.InGameMenuCursor, c, kInGameQuitToWindows);
    const bool chosen = c.FirePressed || enterHeld;
    switch (game.InGameMenuCursor) {
      case kInGameReturn:
        if (chosen) {
          game.InGameMenuOpen = false;
          game.Paused = false;
        }
        break;
      case kInGameSwitchScreen:
        if (c.FirePressed || enterPressed) {
          // Two presses on one tick switch there and back, as two separate ones would.
          game.SwitchScreenRequested = !game.SwitchScreenRequested;
          enterPressed = false;
        }
        break;
      case kInGameSoundVolume: StepVolume(game, c, game.SoundVolume); break;
      case kInGameMusicVolume: StepVolume(game, c, game.MusicVolume); break;
      case kInGameQuitToTitle:
        if (chosen) QuitToTitle(game);
        break;
      case kInGameQuitToWindows:
        if (chosen) game.QuitRequested = true;
        break;
      default: break;
    }
    game.SoundVolume = Clamp(game.SoundVolume, 0, 100);
    game.MusicVolume = Clamp(game.MusicVolume, 0, 100);
  }
}

}  // namespace tarq
