#pragma once
// The menus' logic: the title with its falling logo, the game options, the control
// options (with the start of the key-redefinition prompt) and the in-game menu that
// slides over the playing field. Every handler examines player 1's controls and then
// player 2's with the same rules, so both players steer one cursor. "Up", "Down" and
// "Fire" are the once-per-press edges, "Left" and "Right" the held states.
#include <cstdint>

#include "game/game.h"

namespace tarq {

// Title items (MenuCursor 0 .. 2).
enum : int32_t { kTitleStart = 0, kTitleOptions = 1, kTitleExit = 2 };
// Game options items (0 .. 4); the two vehicle items take no action.
enum : int32_t {
  kOptionsVehicle1 = 0,
  kOptionsVehicle2 = 1,
  kOptionsStartup = 2,
  kOptionsControls = 3,
  kOptionsReturn = 4,
};
// Control options: items 0 .. 15 are the configurable bindings, 16 returns.
constexpr int32_t kControlsReturn = 16;
// In-game menu items (InGameMenuCursor 0 .. 5).
enum : int32_t {
  kInGameReturn = 0,
  kInGameSwitchScreen = 1,
  kInGameSoundVolume = 2,
  kInGameMusicVolume = 3,
  kInGameQuitToTitle = 4,
  kInGameQuitToWindows = 5,
};

// The keyboard's Enter key (held), which also selects in the in-game menu and starts
// a key redefinition on the control options screen.
constexpr int32_t kEnterScanCode = 0x1C;

// Puts the title back to its first state: the logo above the screen, ready to fall,
// the cursor on START GAME and the screen's tick count at 0.
void ResetTitle(Game& game);
// The title logo's fall, bounce and landing (the landing starts the title theme's
// entry, the flash behind the logo and a new colour backdrop).
void MoveTitleLogo(Game& game);
// The flash behind the landed logo grows, then fades.
void TitleNukeFlash(Game& game);

// ScreenState 0: the logo, the backdrop, the flash and the menu START GAME, OPTIONS,
// EXIT. START GAME works at once, also while the logo is still falling.
void TitleTick(Game& game);
// ScreenState 3: PLAYER 1 VEHICLE, PLAYER 2 VEHICLE, STARTUP OPTIONS, CONTROL OPTIONS,
// RETURN TO MAIN MENU.
void GameOptionsTick(Game& game);
// ScreenState 2: the sixteen bindings and RETURN TO PREVIOUS MENU. Enter held on a
// binding runs the blocking redefinition prompt inside this tick.
void ControlOptionsTick(Game& game);

// The first step of the playing tick: the slide, the spectrum and the track's texts
// for the display, and, while the menu is open, its items. The slide opens fast at
// first and slows down (0 to 100 in 27 ticks); it closes slowly at first and speeds
// up (100 to 0 in 30 ticks).
void InGameMenuTick(Game& game);

// Whether the menus see the Enter key held: the keyboard's Enter without Alt (Alt+Enter
// belongs to the window, which switches the display mode with it).
bool MenuEnterHeld(const Game& game);

}  // namespace tarq
