// The bosses: the first fortress's gun and doors, the second fortress and its cannon,
// the sliding gun platform and the final boss with its corner pods and pylon.
#include <algorithm>
#include <cmath>

#include "sprites_common.h"

namespace tarq::forge {

namespace {

void Fill(cairo_t* cr, Rgb c, double strength = 0.35) {
  FillLit(cr, c, strength);
  Outline(cr, Shade(c, -0.6), 1.0);
}

void Barrel(cairo_t* cr, double x, double y0, double y1, double width) {
  RoundedRect(cr, x - width / 2, y0, width, y1 - y0, width * 0.3);
  FillCylinder(cr, pal::kGunmetal, false, 0.55);
  Outline(cr, pal::kInk, 1.0);
}

void Glow(cairo_t* cr, double x, double y, double r, Rgb c) {
  cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, r);
  cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 0.9, 1);
  cairo_pattern_add_color_stop_rgba(g, 0.35, c.r, c.g, c.b, 1);
  cairo_pattern_add_color_stop_rgba(g, 1, c.r * 0.4, c.g * 0.4, c.b * 0.4, 1);
  cairo_set_source(cr, g);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

const Rgb kBossArmour = Hex(0x9AA094);
const Rgb kBossDark = Hex(0x6C7268);

void AddFortressOne(SpriteList& out) {
  // The fortress gun, barrel down; its beam leaves 206 px below the pattern's top, so
  // the muzzle's emitter sits there (the pattern is 208 tall).
  out.push_back(PaintSprite("boss1gun", 64, 208, 1, [](cairo_t* cr, int) {
    Barrel(cr, 32, 96, 192, 18);
    for (int k = 0; k < 3; ++k) {
      RoundedRect(cr, 21, 120 + k * 22, 22, 6, 2);
      Fill(cr, kBossDark);
    }
    RoundedRect(cr, 19, 186, 26, 16, 3);  // muzzle block
    Fill(cr, kBossDark);
    EllipsePath(cr, 32, 203, 7, 4);
    Glow(cr, 32, 203, 6, pal::kFlameOrange);
    // The housing.
    RoundedRect(cr, 4, 4, 56, 104, 10);
    Fill(cr, kBossArmour, 0.4);
    RoundedRect(cr, 12, 14, 40, 60, 6);
    Fill(cr, Shade(kBossArmour, 0.1));
    for (int k = 0; k < 4; ++k) PanelLine(cr, 14, 24 + k * 13, 50, 24 + k * 13, kBossArmour);
    RoundedRect(cr, 20, 80, 24, 20, 4);
    Fill(cr, kBossDark);
    Rivets(cr, {9, 9, 55, 9, 9, 103, 55, 103, 9, 56, 55, 56}, kBossArmour, 1.3);
  }));
  // Blast doors that slide up to let the missile tanks out; 0 left, 1 right.
  out.push_back(PaintSprite("boss1doors", 72, 136, 2, [](cairo_t* cr, int f) {
    cairo_rectangle(cr, 0, 0, 72, 136);
    FillLit(cr, kBossArmour, 0.25);
    cairo_new_path(cr);
    for (int k = 0; k < 3; ++k) {
      RoundedRect(cr, 6 + (f == 0 ? 0 : 4), 8 + k * 36, 56, 28, 3);
      FillLit(cr, Shade(kBossArmour, -0.08), 0.3);
      Outline(cr, kBossDark, 1.0);
      PolygonPath(cr, {12.0 + (f == 0 ? 0 : 4), 12.0 + k * 36, 56.0 + (f == 0 ? 0 : 4), 32.0 + k * 36,
                       54.0 + (f == 0 ? 0 : 4), 34.0 + k * 36, 10.0 + (f == 0 ? 0 : 4), 14.0 + k * 36});
      SetColour(cr, kBossDark, 0.5);
      cairo_fill(cr);
    }
    // Hazard stripes along the bottom edge.
    cairo_save(cr);
    cairo_rectangle(cr, 0, 120, 72, 14);
    cairo_clip(cr);
    SetColour(cr, pal::kWarnYellow);
    cairo_paint(cr);
    SetColour(cr, pal::kInk);
    for (int k = -3; k < 10; ++k) {
      PolygonPath(cr, {k * 12.0, 134, k * 12.0 + 6, 134, k * 12.0 + 20, 120, k * 12.0 + 14, 120});
      cairo_fill(cr);
    }
    cairo_restore(cr);
    cairo_rectangle(cr, 0.5, 0.5, 71, 133);
    Outline(cr, pal::kInk, 1.0, 1.0);
  }, 0.05));
}

// Second fortress: an armoured bunker whose iris opens over eight frames (0-3 in
// boss2a, 4-7 in boss2b); only fully open (7) shows the vulnerable core. The beam
// leaves at pattern row 96 on column 63.
void PaintFortressTwo(cairo_t* cr, int frame) {
  std::vector<double> oct;
  for (int k = 0; k < 8; ++k) {
    oct.push_back(64 + 60 * std::cos(k * M_PI / 4 + M_PI / 8));
    oct.push_back(64 + 60 * std::sin(k * M_PI / 4 + M_PI / 8));
  }
  PolygonPath(cr, oct);
  Fill(cr, kBossArmour, 0.4);
  for (int k = 0; k < 8; ++k) {
    const double a = k * M_PI / 4 + M_PI / 8;
    PanelLine(cr, 64 + 34 * std::cos(a), 64 + 34 * std::sin(a), 64 + 58 * std::cos(a), 64 + 58 * std::sin(a),
              kBossArmour);
  }
  // Beam emitter below the iris.
  RoundedRect(cr, 55, 86, 16, 14, 3);
  Fill(cr, kBossDark);
  Glow(cr, 63, 96, 4, pal::kFlameOrange);
  // The iris: a ring of blades retracting as the frames advance.
  EllipsePath(cr, 64, 56, 30, 30);
  Fill(cr, kBossDark, 0.4);
  Glow(cr, 64, 56, 24, Hex(0xFF3020));
  const double open = frame / 7.0;
  for (int k = 0; k < 6; ++k) {
    cairo_save(cr);
    EllipsePath(cr, 64, 56, 26, 26);
    cairo_clip(cr);
    cairo_translate(cr, 64, 56);
    cairo_rotate(cr, k * M_PI / 3 + open * 0.9);
    const double reach = 26 * (1 - open);
    PolygonPath(cr, {-4, -27, 30, -27, 30, 6 - 24 * open, -4 + reach * 0.2, -reach * 0.9 + 0.0});
    FillLit(cr, Shade(kBossArmour, -0.05 * (k % 2)), 0.35);
    Outline(cr, pal::kInk, 0.8);
    cairo_restore(cr);
  }
  EllipsePath(cr, 64, 56, 27, 27);
  Outline(cr, pal::kInk, 1.6, 1.0);
  Rivets(cr, {64, 10, 104, 30, 104, 84, 24, 30, 24, 84}, kBossArmour, 1.4);
}

void AddFortressTwo(SpriteList& out) {
  out.push_back(PaintSprite("boss2a", 128, 128, 4, [](cairo_t* cr, int i) { PaintFortressTwo(cr, i); }));
  out.push_back(PaintSprite("boss2b", 128, 128, 4, [](cairo_t* cr, int i) { PaintFortressTwo(cr, i + 4); }));
  // The fortress cannon: fires aimed shots from 10 px below its centre.
  out.push_back(PaintSprite("boss2cannon", 40, 42, 1, [](cairo_t* cr, int) {
    Barrel(cr, 20, 20, 38, 7);
    EllipsePath(cr, 20, 19, 15, 15);
    FillDome(cr, kBossArmour, 20, 19, 15);
    Outline(cr, pal::kInk, 1.0);
    RoundedRect(cr, 13, 12, 14, 12, 3);
    Fill(cr, kBossDark);
    EllipsePath(cr, 20, 31, 2.5, 2);
    SetColour(cr, pal::kInk);
    cairo_fill(cr);
  }));
}

void AddPlatform(SpriteList& out) {
  // Sliding gun platform; its guns fire from (26, 109) and (102, 109).
  out.push_back(PaintSprite("boss3", 128, 128, 1, [](cairo_t* cr, int) {
    for (int s = -1; s <= 1; s += 2) Barrel(cr, 64 + s * 38, 80, 110, 10);
    PolygonPath(cr, {20, 14, 108, 14, 124, 40, 124, 86, 108, 96, 20, 96, 4, 86, 4, 40});
    Fill(cr, kBossArmour, 0.4);
    for (int s = -1; s <= 1; s += 2) {
      EllipsePath(cr, 64 + s * 38, 70, 16, 16);
      FillDome(cr, Hex(0xB0B6A8), 64 + s * 38, 70, 16);
      Outline(cr, pal::kInk, 1.0);
      RoundedRect(cr, 64 + s * 38 - 6, 64, 12, 12, 3);
      Fill(cr, kBossDark);
    }
    RoundedRect(cr, 46, 24, 36, 44, 6);
    Fill(cr, kBossDark);
    Glow(cr, 64, 46, 8, Hex(0xFF5030));
    for (int k = 0; k < 5; ++k) PanelLine(cr, 10 + k * 27, 18, 10 + k * 27, 34, kBossArmour);
    Rivets(cr, {12, 44, 116, 44, 12, 84, 116, 84, 40, 90, 88, 90}, kBossArmour, 1.3);
  }));
}

void PaintFinalBody(cairo_t* cr) {
  // 192 x 192, centred on the boss.
  std::vector<double> shape;
  for (int k = 0; k < 8; ++k) {
    const double a = k * M_PI / 4 + M_PI / 8;
    shape.push_back(96 + 92 * std::cos(a));
    shape.push_back(96 + 92 * std::sin(a));
  }
  PolygonPath(cr, shape);
  Fill(cr, Hex(0x8E9AA0), 0.4);
  for (int k = 0; k < 4; ++k) {  // armour wings
    cairo_save(cr);
    cairo_translate(cr, 96, 96);
    cairo_rotate(cr, k * M_PI / 2);
    PolygonPath(cr, {-22, -88, 22, -88, 34, -50, -34, -50});
    Fill(cr, Hex(0x7A868C), 0.4);
    for (int j = 0; j < 3; ++j) PanelLine(cr, -20 + j * 20, -84, -26 + j * 26, -54, Hex(0x7A868C));
    cairo_restore(cr);
  }
  EllipsePath(cr, 96, 96, 52, 52);
  Fill(cr, Hex(0xA8B2B6), 0.45);
  EllipsePath(cr, 96, 96, 36, 36);
  Fill(cr, Hex(0x5E686E), 0.4);
  Glow(cr, 96, 96, 26, Hex(0xFF3828));
  EllipsePath(cr, 96, 96, 26, 26);
  Outline(cr, pal::kInk, 1.5, 1.0);
  for (int k = 0; k < 12; ++k) {
    const double a = k * M_PI / 6;
    Rivets(cr, {96 + 45 * std::cos(a), 96 + 45 * std::sin(a)}, Hex(0xA8B2B6), 1.6);
  }
}

void PaintCornerPod(cairo_t* cr) {
  // Symmetric: drawn unmirrored at all four corners.
  for (int s = -1; s <= 1; s += 2) Barrel(cr, 32 + s * 9, 30, 60, 6);
  EllipsePath(cr, 32, 30, 24, 24);
  FillDome(cr, Hex(0xA0AAAE), 32, 30, 24, 0.5);
  Outline(cr, pal::kInk, 1.2);
  EllipsePath(cr, 32, 30, 12, 12);
  Fill(cr, Hex(0x5E686E));
  Glow(cr, 32, 30, 6, Hex(0xFFA030));
}

void AddFinalBoss(SpriteList& out) {
  // One 256 x 256 texture of 64 x 64 patterns, four per row: the body block is the
  // top-left 3 x 3 (patterns 0-2, 4-6, 8-10) and pattern 12 the corner pod.
  Canvas body(192, 192);
  PaintFinalBody(body.cr());
  PatternPixels body_pixels = body.Pixels();
  AddGrain(body_pixels, SeedFor("boss4"), 0.06);
  ZeroTransparent(body_pixels);
  Canvas pod(64, 64);
  PaintCornerPod(pod.cr());
  PatternPixels pod_pixels = pod.Pixels();
  AddGrain(pod_pixels, SeedFor("boss4", 12), 0.06);
  ZeroTransparent(pod_pixels);

  Sprite boss;
  boss.name = "boss4";
  boss.pattern_width = boss.pattern_height = 64;
  boss.options.force_texture_width = 256;
  boss.options.force_texture_height = 256;
  PatternPixels blank;
  blank.width = blank.height = 64;
  blank.pixels.assign(64 * 64, 0);
  for (int slot = 0; slot < 16; ++slot) {
    const int col = slot % 4, row = slot / 4;
    if (col < 3 && row < 3) boss.patterns.push_back(Crop(body_pixels, col * 64, row * 64, 64, 64));
    else if (slot == 12) boss.patterns.push_back(pod_pixels);
    else boss.patterns.push_back(blank);
  }
  out.push_back(std::move(boss));

  // The pylon from the top of the screen down to the body.
  out.push_back(PaintSprite("boss4x1", 58, 48, 1, [](cairo_t* cr, int) {
    for (int s = -1; s <= 1; s += 2) {
      RoundedRect(cr, 29 + s * 20 - 5, -2, 10, 52, 2);
      FillCylinder(cr, Hex(0x8E9AA0), false, 0.5);
      Outline(cr, pal::kInk, 1.0);
    }
    cairo_set_line_width(cr, 3);
    SetColour(cr, Hex(0x5E686E));
    for (int k = 0; k < 3; ++k) {
      cairo_move_to(cr, 12, k * 16 + 2);
      cairo_line_to(cr, 46, k * 16 + 14);
      cairo_move_to(cr, 46, k * 16 + 2);
      cairo_line_to(cr, 12, k * 16 + 14);
    }
    cairo_stroke(cr);
    RoundedRect(cr, 24, -2, 10, 52, 3);
    FillCylinder(cr, Hex(0xC0A040), false, 0.5);  // hydraulic ram
    Outline(cr, pal::kInk, 0.9);
  }));
}

}  // namespace

void AddBossSprites(SpriteList& out) {
  AddFortressOne(out);
  AddFortressTwo(out);
  AddPlatform(out);
  AddFinalBoss(out);
}

}  // namespace tarq::forge
