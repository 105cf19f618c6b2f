#include "render/frame.h"
#include "render/screens.h"

namespace tarq {

void DrawScores(const Game&, FrameCanvas& canvas, int32_t) { DrawBlankScreen(canvas); }
void DrawGameOver(const Game&, FrameCanvas& canvas) { DrawBlankScreen(canvas); }
void DrawSponsors(const Game&, FrameCanvas& canvas) { DrawBlankScreen(canvas); }

}  // namespace tarq
