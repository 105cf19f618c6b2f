#pragma once
// The full-screen menus and end screens, and the in-game menu's items. Each screen
// routine draws a complete frame (BeginScene, Clear, drawing, EndScene, Present);
// DrawIngameMenu draws into the in-game frame under way.
//   menu_screens.cpp  title, game options, control options, in-game menu
//   end_screens.cpp   score table, completion screen, sponsor screen
#include <cstdint>

namespace tarq {

struct Game;
class FrameCanvas;

void DrawTitleScreen(const Game& game, FrameCanvas& canvas);
// The game options screen (ScreenState 3).
void DrawSelectScreen(const Game& game, FrameCanvas& canvas);
// The control options screen (ScreenState 2).
void DrawOptionsScreen(const Game& game, FrameCanvas& canvas);
void DrawIngameMenu(const Game& game, FrameCanvas& canvas);

// The high-score table; the entry at `rank` is being named (-1: none).
void DrawScores(const Game& game, FrameCanvas& canvas, int32_t rank);
// The completion screen.
void DrawGameOver(const Game& game, FrameCanvas& canvas);
// The opening sponsor screen (ScreenState 7).
void DrawSponsors(const Game& game, FrameCanvas& canvas);

// A frame cleared to black: what a screen without drawing of its own shows.
void DrawBlankScreen(FrameCanvas& canvas);

// The height of one bar of the in-game menu's spectrum display for a spectrum value,
// the music volume (0 .. 100) and the menu's slide (0 .. 100).
int32_t SpectrumBarHeight(float value, int32_t musicVolume, int32_t slide);

}  // namespace tarq
