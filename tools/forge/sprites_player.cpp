// The player's helicopter, its rotor, bullets, the HUD icons, power-ups and shield.
#include <algorithm>
#include <cmath>

#include "sprites_common.h"

namespace tarq::forge {

namespace {

double SmoothStep(double e0, double e1, double v) {
  const double t = std::clamp((v - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// The player's gunship, nose toward +x, rotor mast 8 px ahead of the centre. Light
// in value: the game tints it (player colour, red when hit).
void PaintPlayerHeli(cairo_t* cr, int phase) {
  HeliLook look;
  look.hull = pal::kPlayerHull;
  look.accent = Hex(0xB8B6A8);
  look.length = 60;
  look.nose_x = 62;
  look.hub_x = 40;
  look.body_width = 22;
  look.stub_wings = true;
  look.wing_span = 30;
  look.pods = true;
  look.phase = phase;
  look.stripe = true;
  PaintHelicopter(cr, look);
}

// A blurred rotor disc for the darkening blend: black outside, faint grey disc and a
// few brighter blade streaks, never brighter than 0x90, so it shades but never blots out.
Rgba RotorPixel(double x, double y) {
  const double dx = x - 32, dy = y - 32, d = std::sqrt(dx * dx + dy * dy);
  if (d >= 30.5) return {};
  const double ang = std::atan2(dy, dx);
  const double disc = 0.17 * (1 - SmoothStep(27.5, 30.5, d)) * (0.6 + 0.4 * SmoothStep(3, 12, d));
  // Four blades with motion blur trailing behind each (clockwise spin).
  double blades = 0;
  for (int k = 0; k < 4; ++k) {
    double a = std::remainder(ang - k * M_PI / 2, 2 * M_PI);
    if (a < 0) a += 2 * M_PI;  // 0 at the blade, growing behind it
    const double trail = std::exp(-a / 0.55);
    blades += trail * SmoothStep(4, 8, d) * (1 - SmoothStep(26, 30.5, d));
  }
  const double tip_ring = 0.08 * std::exp(-std::pow((d - 28.5) / 1.2, 2));
  const double hub = 0.5 * (1 - SmoothStep(2.5, 4.0, d));
  const double v = std::min(0x90 / 255.0, disc + 0.3 * blades + tip_ring + hub);
  return {v, v, v, v};
}

// A life icon for the HUD: a small helicopter outline glowing on black (drawn
// additively), at most 26 px wide.
void PaintLifeIcon(cairo_t* cr, int player) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  const Rgb glow = player == 0 ? Hex(0x9CD8FF) : Hex(0xFFC870);
  cairo_translate(cr, 16, 8);
  // Rotor bar, body and tail, seen from above with the nose up.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int pass = 0; pass < 2; ++pass) {
    const Rgb c = pass == 0 ? Scale(glow, 0.45) : glow;
    const double wide = pass == 0 ? 2.6 : 1.2;
    SetColour(cr, c);
    cairo_set_line_width(cr, wide);
    cairo_move_to(cr, -11, -3.5);
    cairo_line_to(cr, 11, -3.5);
    cairo_stroke(cr);
    cairo_move_to(cr, 0, 2);
    cairo_line_to(cr, 0, 7);
    cairo_stroke(cr);
    EllipsePath(cr, 0, -1.5, 3.2 + wide * 0.3, 4.6 + wide * 0.3);
    cairo_fill(cr);
    cairo_move_to(cr, -3, 6.5);
    cairo_line_to(cr, 3, 6.5);
    cairo_stroke(cr);
  }
}

// Power-ups share one round outline (the shadow is pattern 0 for every sub-kind).
void PaintPowerup(cairo_t* cr, int kind) {
  static const Rgb colours[9] = {Hex(0xE8E8F0), Hex(0xF07830), Hex(0x50B0F0), Hex(0xF0D040),
                                 Hex(0xF0E020), Hex(0x60D060), Hex(0x70A0F0), Hex(0xB0A0C0),
                                 Hex(0xFFFFFF)};
  const Rgb c = colours[kind];
  const double cx = 16, cy = 16;
  // Metal rim and coloured face.
  EllipsePath(cr, cx, cy, 13.5, 13.5);
  FillDome(cr, kind == 8 ? Hex(0xFFFFFF) : pal::kSteelLight, cx, cy, 13.5, 0.5);
  Outline(cr, pal::kInk, 1.2);
  EllipsePath(cr, cx, cy, 10.5, 10.5);
  if (kind == 4) {
    // The nuke: also the HUD nuke-stock icon (added as light), so a bright face.
    FillDome(cr, Hex(0xF8E040), cx, cy, 10.5, 0.3);
  } else {
    FillDome(cr, c, cx, cy, 10.5, 0.45);
  }
  cairo_new_path(cr);
  if (kind == 8) return;  // the blink frame: a blank bright disc

  const Rgb ink = kind == 4 ? Hex(0x201808) : Shade(c, -0.75);
  SetColour(cr, ink);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, 2.2);
  switch (kind) {
    case 0:  // invulnerability: a star
      for (int k = 0; k < 10; ++k) {
        const double a = -M_PI / 2 + k * M_PI / 5, r = (k % 2) ? 3.2 : 7.5;
        if (k == 0) cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
      }
      cairo_close_path(cr);
      cairo_fill(cr);
      break;
    case 1:  // weapon level: an arrow up
      PolygonPath(cr, {cx, cy - 8, cx + 6.5, cy - 1, cx + 2.5, cy - 1, cx + 2.5, cy + 7, cx - 2.5, cy + 7,
                       cx - 2.5, cy - 1, cx - 6.5, cy - 1});
      cairo_fill(cr);
      break;
    case 2:  // spread: three shots fanning out
      for (int k = -1; k <= 1; ++k) {
        cairo_move_to(cr, cx, cy + 7);
        cairo_line_to(cr, cx + k * 6.5, cy - 6.5);
        cairo_stroke(cr);
      }
      break;
    case 3:  // fire rate: double chevrons
      for (int k = 0; k < 2; ++k) {
        cairo_move_to(cr, cx - 6, cy + 1 + k * 5 - 2);
        cairo_line_to(cr, cx, cy - 5 + k * 5 - 2);
        cairo_line_to(cr, cx + 6, cy + 1 + k * 5 - 2);
        cairo_stroke(cr);
      }
      break;
    case 4:  // nuke: the trefoil
      for (int k = 0; k < 3; ++k) {
        const double a = -M_PI / 2 + k * 2 * M_PI / 3;
        cairo_move_to(cr, cx, cy);
        cairo_arc(cr, cx, cy, 8.5, a - 0.52, a + 0.52);
        cairo_close_path(cr);
        cairo_fill(cr);
      }
      EllipsePath(cr, cx, cy, 2.6, 2.6);
      SetColour(cr, Hex(0xF8E040));
      cairo_fill(cr);
      EllipsePath(cr, cx, cy, 1.6, 1.6);
      SetColour(cr, ink);
      cairo_fill(cr);
      break;
    case 5:  // extra life: a small helicopter from above, rotor crossed over it
      EllipsePath(cr, cx, cy + 1, 3.2, 5.2);
      cairo_fill(cr);
      cairo_move_to(cr, cx, cy + 5);
      cairo_line_to(cr, cx, cy + 9);
      cairo_stroke(cr);
      cairo_set_line_width(cr, 1.6);
      cairo_move_to(cr, cx - 7, cy - 6);
      cairo_line_to(cr, cx + 7, cy + 6);
      cairo_move_to(cr, cx + 7, cy - 6);
      cairo_line_to(cr, cx - 7, cy + 6);
      cairo_stroke(cr);
      break;
    case 6:  // armour: a shield
      cairo_move_to(cr, cx, cy - 8);
      cairo_line_to(cr, cx + 6.5, cy - 5.5);
      cairo_curve_to(cr, cx + 6.5, cy + 2, cx + 3, cy + 6, cx, cy + 8);
      cairo_curve_to(cr, cx - 3, cy + 6, cx - 6.5, cy + 2, cx - 6.5, cy - 5.5);
      cairo_close_path(cr);
      cairo_fill(cr);
      break;
    default:  // 7 is never rolled: a question mark
      cairo_arc(cr, cx, cy - 3, 4, M_PI, 0.4 * M_PI);
      cairo_line_to(cr, cx, cy + 3);
      cairo_stroke(cr);
      EllipsePath(cr, cx, cy + 6.8, 1.4, 1.4);
      cairo_fill(cr);
      break;
  }
  // Glint on the rim (top-left light).
  cairo_arc(cr, cx, cy, 12, 1.05 * M_PI, 1.45 * M_PI);
  SetColour(cr, pal::kWhite, 0.8);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

}  // namespace

void AddPlayerSprites(SpriteList& out) {
  out.push_back(PaintSprite("heli2", 64, 64, 2, [](cairo_t* cr, int i) { PaintPlayerHeli(cr, i); }));
  out.push_back(PixelSprite("rotors1", 64, 64, 1, [](double x, double y, int) { return RotorPixel(x, y); }));

  // A tracer round facing right: hot core, orange fringe; the two patterns flicker.
  out.push_back(PixelSprite("playerbullet", 32, 16, 2, [](double x, double y, int i) {
    const double head = 26 + i;
    const double dy = (y - 8) / (2.6 + 0.4 * i);
    const double along = x <= head ? std::clamp((x - 6) / (head - 6), 0.0, 1.0)
                                   : std::max(0.0, 1 - (x - head) / 3.0);
    const double a = std::exp(-dy * dy) * along;
    if (a < 0.01) return Rgba{};
    const Rgb c = Mix(Hex(0xFF8A20), Hex(0xFFFCE0), std::exp(-dy * dy * 3) * along);
    return Rgba{c.r, c.g, c.b, std::min(1.0, a * 1.2)};
  }));

  out.push_back(PaintSprite("lives1", 32, 16, 2, [](cairo_t* cr, int i) { PaintLifeIcon(cr, i); }, 0.0));
  out.push_back(PaintSprite("powerups", 32, 32, 9, [](cairo_t* cr, int i) { PaintPowerup(cr, i); }, 0.03));

  // The armour bubble: white light, soft alpha, brightest at the rim. Point-symmetric,
  // so it looks the same turned half a circle.
  out.push_back(PixelSprite("shield", 64, 64, 1, [](double x, double y, int) {
    const double dx = x - 32, dy = y - 32, d = std::sqrt(dx * dx + dy * dy);
    if (d >= 31.5) return Rgba{};
    const double ang = std::atan2(dy, dx);
    const double rim = std::exp(-std::pow((d - 27.5) / 2.6, 2));
    const double inner = 0.16 * SmoothStep(6, 27, d);
    const double shimmer = 0.25 * std::pow(std::abs(std::sin(ang * 3 + d * 0.15)), 8) * SmoothStep(14, 26, d);
    const double a = std::min(1.0, rim * 0.9 + inner + shimmer) * (1 - SmoothStep(30, 31.5, d));
    const Rgb c = Mix(Hex(0xD8F0FF), Hex(0xFFFFFF), rim);
    return Rgba{c.r, c.g, c.b, a};
  }));
}

}  // namespace tarq::forge
