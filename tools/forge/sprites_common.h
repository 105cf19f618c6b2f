#pragma once
// The sprite families of the forge share this small kit: a sprite is a named list of
// equally sized patterns; each family file adds its sprites to one list, and
// forge_sprites.cpp orders them into the archive.
#include <functional>
#include <string>
#include <vector>

#include "art.h"

namespace tarq::forge {

struct Sprite {
  std::string name;
  int pattern_width = 0;
  int pattern_height = 0;
  // At least the patterns the game selects; the archive fills its last texture with
  // copies of the last pattern, which draws exactly what clamping would.
  std::vector<PatternPixels> patterns;
  tools::ImageRecordOptions options;  // forced texture sizes where the layout is fixed
};

using SpriteList = std::vector<Sprite>;

// Paints pattern `index` onto a cleared canvas of the pattern's size.
using PatternPainter = std::function<void(cairo_t* cr, int index)>;

// Builds a sprite of `count` patterns by painting each on its own canvas; the result
// has RGB zeroed wherever alpha is zero. grain > 0 adds surface noise to visible pixels.
Sprite PaintSprite(const std::string& name, int width, int height, int count,
                   const PatternPainter& paint, double grain = 0.06);

// Per-pixel painter for glows: returns straight RGBA in 0..1 for pixel centre (x, y).
struct Rgba {
  double r = 0, g = 0, b = 0, a = 0;
};
using PixelPainter = std::function<Rgba(double x, double y, int index)>;
Sprite PixelSprite(const std::string& name, int width, int height, int count,
                   const PixelPainter& paint);

// Seed for a sprite's noise, derived from its name so each sprite has its own grain.
uint32_t SeedFor(const std::string& name, int index = 0);

// ---- Shared vehicle parts (local frame: nose toward +x) -----------------------------

// A helicopter fuselage seen from above with its nose toward +x, the rotor mast at
// (hub_x, cy). Sizes are in pixels; tail rotor blur at the tail's end.
struct HeliLook {
  Rgb hull = pal::kOlive;
  Rgb accent = pal::kOliveDark;
  double length = 56;    // nose to tail tip
  double body_width = 21;
  double hub_x = 40;     // rotor mast
  double cy = 32;
  double nose_x = 60;
  bool stub_wings = false;
  double wing_span = 34;  // tip to tip, when stub_wings
  bool pods = false;      // gun pods at the wing tips
  double bank = 0;        // -1 .. 1: rolls the body toward -y / +y (banking frames)
  int phase = 0;          // animation phase (tail rotor, lights)
  bool stripe = false;    // the player's blue stripe
};
void PaintHelicopter(cairo_t* cr, const HeliLook& look);

// Rivets and panel lines along a line, for mechanical detail.
void PanelLine(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb base);
void Rivets(cairo_t* cr, const std::vector<double>& xy, Rgb base, double r = 0.8);

// Family entry points.
void AddPlayerSprites(SpriteList& out);
void AddEffectSprites(SpriteList& out);
void AddFlyerSprites(SpriteList& out);
void AddGroundSprites(SpriteList& out);
void AddBossSprites(SpriteList& out);
void AddScreenSprites(SpriteList& out);

// Checks names (unique, lower-case, at most 31 characters) and pattern sizes, then
// orders the table: the seven sprites the game addresses by index first, then the rest
// by name. Throws std::runtime_error on a bad list.
SpriteList OrderSprites(SpriteList sprites);

// Every sprite of the archive in table order (the fixed seven first, then by name).
SpriteList BuildAllSprites();

// The 64 x 64 loading picture (only its top-left 64 x 64 is ever shown, stretched).
PatternPixels PaintLoadingPicture();

}  // namespace tarq::forge
