// The title, game options and control options screens, the colour-cell backdrop behind
// them, and the in-game menu that slides over the playing field.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/numeric.h"
#include "game/game.h"
#include "game/menus.h"
#include "render/frame.h"
#include "render/screens.h"

namespace tarq {

namespace {

constexpr uint32_t kHighlighted = 0xFFFFFF;
constexpr uint32_t kDimmed = 0x999999;
constexpr uint32_t kValueColour = 0xE0E0E0;
constexpr uint32_t kHeadingColour = 0xFFE0E0;

uint32_t Rgb(int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(r) + 256u * static_cast<uint32_t>(g) +
         65536u * static_cast<uint32_t>(b);
}

// The level 0 .. 255 a cell phase shows: it rises over phases 0 .. 255 and falls back
// over 256 .. 511.
int32_t CellLevel(double phase) {
  int32_t p = std::min(Round(phase), 511);
  if (p > 255) p = 511 - p;
  return std::max(p, 0);
}

enum class Backdrop { kTitle, kOptions };

// Glowing cells in 8 rows of 11, each coloured by its three phases.
void DrawBackdrop(const Game& game, FrameCanvas& canvas, Backdrop variant) {
  const ImageRef nuke = ImageRef::Sprite(canvas.SpriteIndex("nuke"));
  for (int32_t i = 0; i < kPlasmaRows; ++i) {
    for (int32_t j = 0; j < kPlasmaColumns; ++j) {
      const auto row = static_cast<size_t>(i);
      const auto col = static_cast<size_t>(j);
      const int32_t r = CellLevel(game.Plasma[0][row][col].Phase);
      const int32_t g = CellLevel(game.Plasma[1][row][col].Phase);
      const int32_t b = CellLevel(game.Plasma[2][row][col].Phase);
      uint32_t colour = 0;
      int32_t scale = 256;
      if (variant == Backdrop::kTitle) {
        const int32_t green = g * 4 / 3;
        colour = Rgb(r / 4, std::min(green, 192), b / 2);
        scale = 3 * green + 256;  // from the unclamped green
      } else {
        const int32_t green = std::min(g, 192) / 2;
        colour = Rgb(r / 8, green, b / 4);
        scale = 4 * green + 256;
      }
      canvas.DrawImageRotatedColored(nuke, 64 * j, 68 * i, 0, scale, colour, 0, kEffectSquareAdd);
    }
  }
}

// The three pieces of the logo, 256 pixels apart.
void DrawLogo(FrameCanvas& canvas, int32_t y, const uint32_t* dimColour) {
  static const char* const kPieces[] = {"title1", "title2", "title3"};
  for (int32_t k = 0; k < 3; ++k) {
    const ImageRef piece = ImageRef::Sprite(canvas.SpriteIndex(kPieces[k]));
    if (dimColour != nullptr) {
      canvas.DrawImageColored(piece, 32 + 256 * k, y, *dimColour, 0, kEffectAlpha);
    } else {
      canvas.DrawImage(piece, 32 + 256 * k, y, 0, kEffectAlpha);
    }
  }
}

// Options items: the highlighted one larger and white, the others smaller and grey.
uint32_t ItemColour(bool on) { return on ? kHighlighted : kDimmed; }
int32_t ItemScale(bool on) { return on ? 150 : 128; }

void DrawOptionsBackground(const Game& game, FrameCanvas& canvas) {
  canvas.BeginScene();
  canvas.Clear(0);
  DrawBackdrop(game, canvas, Backdrop::kOptions);
  static constexpr uint32_t kDimLogo = 0x1F3F1F;
  DrawLogo(canvas, 64, &kDimLogo);
}

std::string Upper(std::string text) {
  for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return text;
}

// One volume bar of the in-game menu: two end caps and the level strip, the strip drawn
// again a pixel taller at each edge while its item is highlighted. The image lies
// sideways on the quads.
void DrawVolumeBar(FrameCanvas& canvas, ImageRef bar, int32_t x0, int32_t y, int32_t v,
                   bool highlighted) {
  canvas.DrawQuad(bar, x0 - 105, y - 36, x0 - 105, y - 18, x0 - 100, y - 18, x0 - 100, y - 36, 0,
                  kEffectAlphaAdd);
  canvas.DrawQuad(bar, x0 + 100, y - 36, x0 + 100, y - 18, x0 + 105, y - 18, x0 + 105, y - 36, 0,
                  kEffectAlphaAdd);
  const int32_t end = x0 - 100 + 2 * v;
  canvas.DrawQuad(bar, end, y - 33, end, y - 21, x0 - 100, y - 21, x0 - 100, y - 33, 0,
                  kEffectAlphaAdd);
  if (highlighted)
    canvas.DrawQuad(bar, end, y - 34, end, y - 20, x0 - 100, y - 20, x0 - 100, y - 34, 0,
                    kEffectAlphaAdd);
}

// The spectrum display: 65 bars per channel rising from the bottom edge and hanging
// from the top, shrinking with the music volume and the slide.
void DrawSpectrum(const Game& game, FrameCanvas& canvas, int32_t slide) {
  const ImageRef bar = ImageRef::Sprite(canvas.SpriteIndex("bar3"));
  for (int32_t channel = 0; channel < 2; ++channel) {
    for (int32_t k = 0; k < 65; ++k) {
      const int32_t t = SpectrumBarHeight(game.SpectrumData[static_cast<size_t>(4 + channel + 2 * k)],
                                           game.MusicVolume, slide);
      const int32_t x = channel == 0 ? 5 * k : 635 - 5 * k;
      canvas.DrawQuad(bar, x, 480 - t, x + 10, 480 - t, x + 10, 480, x, 480, 5, kEffectAlphaAdd);
      canvas.DrawQuad(bar, x, t, x + 10, t, x + 10, 0, x, 0, 5, kEffectAlphaAdd);
    }
  }
}

// The current track's title and credit lines, sliding in from both sides.
void DrawNowPlaying(const NowPlayingText& now, FrameCanvas& canvas, int32_t slide) {
  const int32_t c2 = (100 - slide) * 5;
  const int32_t xr2 = 320 + c2;
  const int32_t xl2 = 320 - c2;
  const std::string heading = "- CURRENTLY PLAYING -";
  canvas.Center(heading, xr2 - 2, 40, 0x207F7F, 192);
  canvas.Center(heading, xl2 + 2, 40, 0x207F7F, 192);
  canvas.Center(heading, xr2, 40, 0x40FFFF, 192);
  const std::string* fields[] = {&now.Title, &now.Line1, &now.Line2};
  for (int32_t k = 0; k < 3; ++k) {
    const std::string text = Upper(*fields[k]);
    const int32_t y = 60 + 15 * k;
    canvas.Center(text, xr2 - 1, y, 0x7F7F, 128);
    canvas.Center(text, xl2 + 1, y, 0x7F7F, 128);
    canvas.Center(text, k == 1 ? xr2 : xl2, y, 0x7FFFFF, 128);
  }
}

}  // namespace

int32_t SpectrumBarHeight(float value, int32_t musicVolume, int32_t slide) {
  // The sine of the scaled magnitude, not a linear scale: the bar rises to full height
  // at a quarter turn and falls back towards half a turn.
  const double scaled = std::fabs(static_cast<double>(value)) * 2048.0;
  const int32_t n = scaled < 255.0 ? static_cast<int32_t>(scaled) : 255;  // NaN: 255
  const int32_t height = std::abs(Round(256.0 * SinTable[static_cast<size_t>(n)]));
  return height * musicVolume / 100 * slide / 100;
}

void DrawBlankScreen(FrameCanvas& canvas) {
  canvas.BeginScene();
  canvas.Clear(0);
  canvas.EndScene();
  canvas.Present();
}

void DrawTitleScreen(const Game& game, FrameCanvas& canvas) {
  canvas.BeginScene();
  canvas.Clear(0);
  if (game.ScreenTicks > 150) DrawBackdrop(game, canvas, Backdrop::kTitle);
  DrawLogo(canvas, Round(game.TitleLogoY), nullptr);
  // The menu appears once the logo has landed.
  if (game.TitleLogoSpeed == 0.0 && game.ScreenTicks > 200) {
    static const char* const kItems[] = {"START GAME", "OPTIONS", "EXIT"};
    for (int32_t k = 0; k < 3; ++k) {
      const bool on = k == game.MenuCursor;
      canvas.Center(kItems[k], 320, 360 + 30 * k, on ? kHighlighted : kDimmed, on ? 300 : 256);
    }
  }
  if (game.NukeTimer > 0) {
    // The flash behind the landed logo, placed on the screen itself (no scroll here).
    const int32_t z = std::min(game.NukeTimer, 16384);
    const int32_t b = game.NukeBrightness;
    const int32_t q = 3 * b / 4;
    const ImageRef nuke = ImageRef::Sprite(canvas.SpriteIndex("nuke"));
    canvas.DrawImageRotatedColored(nuke, game.NukeX, game.NukeY, 0, z, Rgb(b, q, q), 0, kEffectAdd);
    canvas.DrawImageRotatedColored(nuke, game.NukeX, game.NukeY, 0, z / 4, Rgb(b, b, q), 0,
                                   kEffectAdd);
  }
  canvas.EndScene();
  canvas.Present();
}

void DrawSelectScreen(const Game& game, FrameCanvas& canvas) {
  DrawOptionsBackground(game, canvas);
  canvas.Center("GAME OPTIONS", 320, 25, kHeadingColour, 256);
  static const char* const kLabels[] = {"PLAYER 1 VEHICLE", "PLAYER 2 VEHICLE", "STARTUP OPTIONS"};
  for (int32_t k = 0; k < 3; ++k) {
    const bool on = k == game.MenuCursor;
    canvas.Right(kLabels[k], 180, 70 + 18 * k, ItemColour(on), ItemScale(on));
  }
  canvas.Lft("Helicopter", 205, 70, kValueColour, 256);
  canvas.Lft("Helicopter", 205, 88, kValueColour, 256);
  canvas.Lft(game.ShowOptionsAtStart ? "Show" : "Don't Show", 205, 106, kValueColour, 256);
  const bool controls = game.MenuCursor == kOptionsControls;
  const bool back = game.MenuCursor == kOptionsReturn;
  canvas.Center("CONTROL OPTIONS", 320, 358, ItemColour(controls), ItemScale(controls));
  canvas.Center("RETURN TO MAIN MENU", 320, 412, ItemColour(back), ItemScale(back));
  canvas.EndScene();
  canvas.Present();
}

void DrawOptionsScreen(const Game& game, FrameCanvas& canvas) {
  DrawOptionsBackground(game, canvas);
  canvas.Center("PRESS ENTER TO REDEFINE KEY", 320, 25, kHeadingColour, 256);
  static const char* const kNames[] = {"UP", "DOWN", "LEFT", "RIGHT", "FIRE", "JUMP", "NUKE", "PAUSE"};
  const auto& controls = ConfigurableControls();
  auto labels = [&](int32_t p) {
    for (int32_t k = 0; k < 8; ++k) {
      const bool on = 8 * p + k == game.MenuCursor;
      const std::string label = "PLAYER " + std::to_string(p + 1) + " " + kNames[k];
      canvas.Right(label, 150, (p == 0 ? 70 : 240) + 18 * k, ItemColour(on), ItemScale(on));
    }
  };
  auto values = [&](int32_t p) {
    for (int32_t k = 0; k < 8; ++k) {
      const ConfigurableControl& c = controls[static_cast<size_t>(8 * p + k)];
      const std::string& binding =
          game.ControlBindings[static_cast<size_t>(c.player)][static_cast<size_t>(c.control)];
      canvas.Lft(DecodeControl(binding), 175, (p == 0 ? 70 : 240) + 18 * k, kValueColour, 256);
    }
  };
  labels(0);
  values(0);
  labels(1);
  const bool back = game.MenuCursor == kControlsReturn;
  canvas.Center("RETURN TO PREVIOUS MENU", 320, 420, ItemColour(back), ItemScale(back));
  values(1);
  canvas.EndScene();
  canvas.Present();
}

void DrawIngameMenu(const Game& game, FrameCanvas& canvas) {
  const int32_t slide = game.InGameMenuSlide;
  if (slide <= 0) return;
  // The highlighted item sways by up to 3 pixels, one cycle every 16 ticks.
  const int32_t wobble = Round(3 * SinTable[static_cast<size_t>(16 * (game.TickCount % 16))]);
  // Items slide in alternately from the right and from the left.
  const int32_t c = (100 - slide) * 6;
  const int32_t xr = 320 + c;
  const int32_t xl = 320 - c;
  const ImageRef bar = ImageRef::Sprite(canvas.SpriteIndex("bar1"));
  auto item = [&](int32_t index, const std::string& text, int32_t x, int32_t y) {
    if (index == game.InGameMenuCursor) {
      canvas.Center(text, x + wobble, y, 0xFFFFFF, 256);
    } else {
      canvas.Center(text, x, y, 0xC0C0C0, 192);
    }
  };
  item(kInGameReturn, "RETURN TO GAME", xr, 160);
  item(kInGameSwitchScreen,
       std::string("SWITCH TO ") + (game.FullScreen ? "WINDOWED" : "FULLSCREEN"), xl, 185);
  item(kInGameSoundVolume, "SOUND VOLUME", xr, 210);
  DrawVolumeBar(canvas, bar, xr, 260, game.SoundVolume,
                game.InGameMenuCursor == kInGameSoundVolume);
  item(kInGameMusicVolume, "MUSIC VOLUME", xl, 260);
  DrawVolumeBar(canvas, bar, xl, 310, game.MusicVolume,
                game.InGameMenuCursor == kInGameMusicVolume);
  item(kInGameQuitToTitle, "QUIT TO TITLE", xr, 310);
  item(kInGameQuitToWindows, "QUIT TO WINDOWS", xl, 347);
  DrawSpectrum(game, canvas, slide);
  if (game.NowPlaying.Track >= 0) DrawNowPlaying(game.NowPlaying, canvas, slide);
}

}  // namespace tarq
