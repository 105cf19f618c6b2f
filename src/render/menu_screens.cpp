#include "render/frame.h"
#include "render/screens.h"

namespace tarq {

void DrawBlankScreen(FrameCanvas& canvas) {
  canvas.BeginScene();
  canvas.Clear(0);
  canvas.EndScene();
  canvas.Present();
}

void DrawTitleScreen(const Game&, FrameCanvas& canvas) { DrawBlankScreen(canvas); }
void DrawSelectScreen(const Game&, FrameCanvas& canvas) { DrawBlankScreen(canvas); }
void DrawOptionsScreen(const Game&, FrameCanvas& canvas) { DrawBlankScreen(canvas); }
void DrawIngameMenu(const Game&, FrameCanvas&) {}

}  // namespace tarq
