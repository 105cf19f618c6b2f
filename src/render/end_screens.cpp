// The screens after a run and before the first title: the high-score table (also while
// a name is typed), the completion screen and the opening sponsor screen. Each draws a
// whole frame from the game state and changes nothing.
#include <algorithm>
#include <array>
#include <string>

#include "core/numeric.h"
#include "game/game.h"
#include "render/frame.h"
#include "render/screens.h"

namespace tarq {

namespace {

uint32_t Grey(int32_t k) {
  const auto b = static_cast<uint32_t>(k & 0xFF);
  return b | (b << 8) | (b << 16);
}

uint32_t Rgb(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r) + 256u * static_cast<uint32_t>(g) +
         65536u * static_cast<uint32_t>(b);
}

// A cell's colour level 0 .. 255: it rises with the phase and falls back past 255.
int32_t CellLevel(double phase) {
  int32_t p = std::min(Round(phase), 511);
  if (p > 255) p = 511 - p;
  return Clamp(p, 0, 255);
}

// The drifting colour cells behind the table, in the quieter colours of the options
// screens: each cell glows in its three levels and swells with its green.
void DrawCellBackdrop(const Game& game, FrameCanvas& canvas) {
  const ImageRef nuke = ImageRef::Sprite(canvas.SpriteIndex("nuke"));
  for (int32_t i = 0; i < kPlasmaRows; ++i) {
    for (int32_t j = 0; j < kPlasmaColumns; ++j) {
      const auto row = static_cast<size_t>(i);
      const auto col = static_cast<size_t>(j);
      const int32_t r = CellLevel(game.Plasma[0][row][col].Phase);
      const int32_t g = CellLevel(game.Plasma[1][row][col].Phase);
      const int32_t b = CellLevel(game.Plasma[2][row][col].Phase);
      const int32_t green = std::min(g, 192) / 2;
      canvas.DrawImageRotatedColored(nuke, 64 * j, 68 * i, 0, 4 * green + 256,
                                     Rgb(r / 8, green, b / 4), 0, kEffectSquareAdd);
    }
  }
}

// The title logo, dimmed, behind the heading.
void DrawDimmedLogo(FrameCanvas& canvas) {
  constexpr uint32_t kDim = 0x1F3F1F;
  canvas.DrawImageColored(ImageRef::Sprite(canvas.SpriteIndex("title1")), 32, 64, kDim, 0,
                          kEffectAlpha);
  canvas.DrawImageColored(ImageRef::Sprite(canvas.SpriteIndex("title2")), 288, 64, kDim, 0,
                          kEffectAlpha);
  canvas.DrawImageColored(ImageRef::Sprite(canvas.SpriteIndex("title3")), 544, 64, kDim, 0,
                          kEffectAlpha);
}

// Row colours from the top (the best entry) down, brightest first.
constexpr std::array<uint32_t, kHiScoreEntries> kRowColours = {
    0xAFFFAF, 0x9FEE9F, 0x8FDD8F, 0x7FCC7F, 0x6FBB6F, 0x5FAA5F, 0x4F994F};

}  // namespace

void DrawScores(const Game& game, FrameCanvas& canvas, int32_t rank) {
  canvas.BeginScene();
  canvas.Clear(0);
  DrawCellBackdrop(game, canvas);
  DrawDimmedLogo(canvas);
  canvas.Center(game.HiScoreMessage, 320, 25, 0xFFE0E0, 256);
  const std::string header = "NAME" + std::string(84, ' ') + "% COMPLETE";
  canvas.Center(header, 320, 120, 0x55FF55, 128);
  for (int32_t k = 0; k < kHiScoreEntries; ++k) {
    const int32_t index = kHiScoreEntries - 1 - k;
    const HiScoreEntry& entry = game.HiScores[static_cast<size_t>(index)];
    const uint32_t colour = kRowColours[static_cast<size_t>(k)];
    const int32_t y = 150 + 32 * k;
    const std::string score = std::to_string(entry.Score);
    const std::string name = ShownName(entry.Name);
    const int32_t t = canvas.TextWidth(2, score, 256);
    // A long name is cut off where its score begins.
    canvas.SetClipRect(0, 0, 599 - t, 479);
    canvas.Lft2(name, 40, y, colour, 256);
    canvas.SetClipRect(0, 0, 640, 480);
    canvas.Right(score, 600, y, colour, 256);
    if (index == rank) {
      // The text cursor: two pixels after the name, as tall as the row.
      canvas.FillBox(42 + canvas.TextWidth(2, name, 256), y - 16, 4, 32, colour, kEffectCopy);
    }
  }
  canvas.EndScene();
  canvas.Present();
}

void DrawGameOver(const Game& game, FrameCanvas& canvas) {
  struct Line {
    int32_t y;
    const char* text;
  };
  // The story, with a blank half line between its paragraphs.
  static constexpr Line kStory[] = {
      {80, "YOU HAVE OVERCOME AWESOME ODDS"},   {108, "TO STRIKE A FATAL BLOW AGAINST"},
      {136, "THE FORCES OF EVIL THAT SOUGHT"},  {164, "TO ENSLAVE THE FREE WORLD."},
      {206, "HUMANITY CAN LIVE FOREVER IN"},    {234, "PEACE AND HARMONY... SO THEY"},
      {262, "WON'T NEED AN ARMY ANYMORE."},     {304, "YOUR TARQ UNIT IS BEING DISBANDED"},
      {332, "AND YOU ARE NOW UNEMPLOYED."},     {360, "YOUR P45 AND SEVERANCE PAY ARE"},
      {388, "IN THE POST."},
  };
  canvas.BeginScene();
  canvas.Clear(0);
  canvas.Center("CONGRATULATIONS BRAVE WARRIOR!", 320, 24, 0xFFA0A0, 256);
  for (const Line& line : kStory) canvas.Center(line.text, 320, line.y, 0xFFA0FF, 256);
  canvas.Center("* PRESS FIRE *", 320, 444, 0xFFFFFF, 192);
  // The screen opens in white, which fades to show the text over 12 seconds.
  const int32_t a = Clamp(300 - game.ScreenTicks / 3, 0, 255);
  canvas.FillBox(0, 0, 640, 480, Grey(a), kEffectSquareAdd);
  canvas.EndScene();
  canvas.Present();
}

void DrawSponsors(const Game& game, FrameCanvas& canvas) {
  canvas.BeginScene();
  canvas.Clear(0);
  // The studio card shrinks from three times its size, reaching it at tick 512.
  canvas.DrawImageRotatedColored(ImageRef::Sprite(canvas.SpriteIndex("sponsors")), 320, 240, 64,
                                 768 - game.ScreenTicks, 0xFFFFFF, 0, kEffectCopy);
  // Fades in from black, holds from tick 255 to 332, fades out by tick 587.
  int32_t a = game.ScreenTicks;
  if (a > 255) a = 587 - a;
  a = Clamp(a, 0, 255);
  canvas.FillBox(0, 0, 640, 480, Grey(255 - a), kEffectDarken);
  canvas.EndScene();
  canvas.Present();
}

}  // namespace tarq
