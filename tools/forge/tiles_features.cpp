// Landmarks and scatter that make each section its own place: surf, reefs, buoys,
// boats, ships and an oil platform at sea; cranes, container stacks, tank farms and a
// dry dock in the harbour; roofs, pipes, pads, radar and fences in the tech base;
// crystals, pools, growths and ruins in the alien zone; and smaller things for the
// country, the desert, the airbase, the badlands and the capital. All lit from the
// top-left with shadows falling to the bottom-right, in the shared palette.
//
// Single tiles are drawn inside their own 64 pixels (no seams to match). Larger things
// are painted whole and cut into tiles like the set pieces, recorded as pieces named
// "feat_<name>" for the level plan.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tiles_catalogue.h"

namespace tarq::forge {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr char kFree[] = "0000000000000000";
constexpr int kFirstFeature = 296;  // single tiles from here, multi-tile ones after them

using Paint = std::function<void(cairo_t*)>;

PatternPixels Drawn(const Paint& draw) {
  Canvas canvas(kTileSize, kTileSize);
  draw(canvas.cr());
  return canvas.Pixels();
}

void Rect(cairo_t* cr, double x, double y, double w, double h, Rgb c, double a = 1.0) {
  cairo_rectangle(cr, x, y, w, h);
  SetColour(cr, c, a);
  cairo_fill(cr);
}

// A raised box: its shadow toward the bottom-right, then the lit top with an outline.
void Block(cairo_t* cr, double x, double y, double w, double h, Rgb c, double shadow = 4) {
  Rect(cr, x + shadow, y + shadow, w, h, pal::kInk, 0.45);
  cairo_rectangle(cr, x, y, w, h);
  FillLit(cr, c, 0.3);
  Outline(cr, Shade(c, -0.5), 1.0);
}

void Disc(cairo_t* cr, double x, double y, double r, Rgb c, double a = 1.0) {
  EllipsePath(cr, x, y, r, r);
  SetColour(cr, c, a);
  cairo_fill(cr);
}

// A lit ball or drum seen from above, with its shadow.
void Dome(cairo_t* cr, double x, double y, double r, Rgb c, double shadow = 3) {
  Disc(cr, x + shadow, y + shadow, r, pal::kInk, 0.4);
  EllipsePath(cr, x, y, r, r);
  FillDome(cr, c, x, y, r, 0.45);
  Outline(cr, Shade(c, -0.5), 0.8);
}

void Hazard(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  Rect(cr, x, y, w, h, pal::kWarnYellow);
  SetColour(cr, pal::kInk);
  for (double s = x - h; s < x + w; s += 8) {
    PolygonPath(cr, {s, y + h, s + h, y, s + h + 4, y, s + 4, y + h});
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

// ---- At sea --------------------------------------------------------------------------

// White horses: short curved streaks of foam with a darker trough under each.
PatternPixels PaintSurf(int variant) {
  return Drawn([variant](cairo_t* cr) {
    ArtRandom rnd(1400u + uint32_t(variant) * 7u);
    const int count = 2 + variant % 3;
    for (int i = 0; i < count; ++i) {
      const double x = rnd.Range(10, 44), y = rnd.Range(10, 54), len = rnd.Range(8, 18);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_move_to(cr, x, y + 1.5);
      cairo_curve_to(cr, x + len * 0.3, y - 1.5, x + len * 0.7, y - 1.5, x + len, y + 1.5);
      SetColour(cr, Shade(pal::kWater, -0.35), 0.45);
      cairo_set_line_width(cr, 2.5);
      cairo_stroke(cr);
      cairo_move_to(cr, x, y);
      cairo_curve_to(cr, x + len * 0.3, y - 3, x + len * 0.7, y - 3, x + len, y);
      SetColour(cr, pal::kFoam, 0.8);
      cairo_set_line_width(cr, 1.6);
      cairo_stroke(cr);
      for (int k = 0; k < 3; ++k) Disc(cr, x + rnd.Range(0, len), y + rnd.Range(-4, 1), 0.8, pal::kFoam, 0.6);
    }
  });
}

// A reef: coral heads and rocks awash, ringed by surf and paler water.
PatternPixels PaintReef(int variant) {
  return Drawn([variant](cairo_t* cr) {
    ArtRandom rnd(1500u + uint32_t(variant) * 11u);
    FillRadialDisc(cr, 32, 32, 0, 30,
                   {{0, 0.55, 0.75, 0.70, 0.55}, {0.7, 0.40, 0.65, 0.70, 0.3}, {1, 0.3, 0.6, 0.7, 0}});
    const int heads = 4 + variant * 2;
    for (int i = 0; i < heads; ++i) {
      const double a = rnd.Range(0, 2 * kPi), d = rnd.Range(0, 16);
      const double x = 32 + std::cos(a) * d, y = 32 + std::sin(a) * d, r = rnd.Range(3, 7);
      Disc(cr, x, y, r + 2.5, pal::kFoam, 0.45);
    }
    ArtRandom again(1500u + uint32_t(variant) * 11u);
    for (int i = 0; i < heads; ++i) {
      const double a = again.Range(0, 2 * kPi), d = again.Range(0, 16);
      const double x = 32 + std::cos(a) * d, y = 32 + std::sin(a) * d, r = again.Range(3, 7);
      const Rgb c = i % 3 == 0 ? Hex(0xC8806A) : (i % 3 == 1 ? Hex(0x8A7A62) : Hex(0xB09A70));
      EllipsePath(cr, x, y, r, r * 0.8);
      FillDome(cr, c, x, y, r, 0.5);
      cairo_new_path(cr);
    }
  });
}

// A channel buoy: red or green, with its ripple ring and a short shadow.
PatternPixels PaintBuoy(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const double x = 30, y = 30;
    EllipsePath(cr, x, y, 11, 11);
    SetColour(cr, pal::kFoam, 0.5);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    Dome(cr, x, y, 6, variant == 0 ? pal::kWarnRed : Hex(0x3C9A4A), 4);
    Disc(cr, x - 1, y - 1, 1.8, pal::kFlameWhite, 0.9);
  });
}

// Small craft: a fishing boat and a launch, bows up the map, wake trailing south.
PatternPixels PaintBoat(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const Rgb hull = variant == 0 ? Hex(0x3A5E8A) : (variant == 1 ? pal::kPlayerHull : Hex(0xA04A32));
    const double x = 30 + variant * 2, top = 8, len = variant == 1 ? 30 : 38, half = variant == 1 ? 6 : 8;
    // Wake: a pale V opening behind the stern.
    cairo_move_to(cr, x - half + 2, top + len);
    cairo_line_to(cr, x - half - 8, 62);
    cairo_line_to(cr, x + half + 8, 62);
    cairo_line_to(cr, x + half - 2, top + len);
    cairo_close_path(cr);
    cairo_pattern_t* wake = cairo_pattern_create_linear(0, top + len, 0, 62);
    cairo_pattern_add_color_stop_rgba(wake, 0, pal::kFoam.r, pal::kFoam.g, pal::kFoam.b, 0.5);
    cairo_pattern_add_color_stop_rgba(wake, 1, pal::kFoam.r, pal::kFoam.g, pal::kFoam.b, 0.0);
    cairo_set_source(cr, wake);
    cairo_fill(cr);
    cairo_pattern_destroy(wake);
    auto hull_path = [&](double dx, double dy) {
      cairo_move_to(cr, x + dx, top + dy);
      cairo_curve_to(cr, x + half + dx, top + 8 + dy, x + half + dx, top + len * 0.5 + dy, x + half + dx, top + len + dy);
      cairo_line_to(cr, x - half + dx, top + len + dy);
      cairo_curve_to(cr, x - half + dx, top + len * 0.5 + dy, x - half + dx, top + 8 + dy, x + dx, top + dy);
      cairo_close_path(cr);
    };
    hull_path(3, 3);
    SetColour(cr, pal::kInk, 0.4);
    cairo_fill(cr);
    hull_path(0, 0);
    FillCylinder(cr, hull, false, 0.35);
    Outline(cr, Shade(hull, -0.5), 1.0);
    Block(cr, x - half + 3, top + len * 0.45, half * 2 - 6, len * 0.3, variant == 1 ? pal::kGlass : pal::kPlayerHull, 2);
    if (variant != 1) Rect(cr, x - 1, top + 6, 2, len * 0.35, pal::kGunmetal);  // boom / mast
  });
}

// A cargo ship, bows north: hull with hatches or containers, bridge aft, long wake.
void PaintShip(cairo_t* cr, int variant) {
  const double x = 64, top = 10, len = 150, half = 22;
  const Rgb hull = variant == 0 ? Hex(0x6A3A30) : (variant == 1 ? Hex(0x2E4A66) : Hex(0x4A5A4A));
  cairo_move_to(cr, x - half + 4, top + len);
  cairo_line_to(cr, x - half - 26, 192);
  cairo_line_to(cr, x + half + 26, 192);
  cairo_line_to(cr, x + half - 4, top + len);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, top + len, 0, 192);
  cairo_pattern_add_color_stop_rgba(g, 0, pal::kFoam.r, pal::kFoam.g, pal::kFoam.b, 0.55);
  cairo_pattern_add_color_stop_rgba(g, 1, pal::kFoam.r, pal::kFoam.g, pal::kFoam.b, 0.0);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  auto hull_path = [&](double d) {
    cairo_move_to(cr, x + d, top + d);
    cairo_curve_to(cr, x + half + d, top + 24 + d, x + half + d, top + 40 + d, x + half + d, top + len - 6 + d);
    cairo_curve_to(cr, x + half + d, top + len + d, x - half + d, top + len + d, x - half + d, top + len - 6 + d);
    cairo_curve_to(cr, x - half + d, top + 40 + d, x - half + d, top + 24 + d, x + d, top + d);
    cairo_close_path(cr);
  };
  for (double d : {-6.0, 0.0}) {  // bow wave either side
    cairo_move_to(cr, x + d * 0.5, top - 2);
    cairo_line_to(cr, x - half - 10, top + 50);
    cairo_move_to(cr, x - d * 0.5, top - 2);
    cairo_line_to(cr, x + half + 10, top + 50);
  }
  SetColour(cr, pal::kFoam, 0.5);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  hull_path(5);
  SetColour(cr, pal::kInk, 0.4);
  cairo_fill(cr);
  hull_path(0);
  FillCylinder(cr, hull, false, 0.35);
  Outline(cr, pal::kInk, 1.2);
  // Deck.
  cairo_rectangle(cr, x - half + 4, top + 26, 2 * half - 8, len - 40);
  SetColour(cr, Hex(0x8A6E5A));
  cairo_fill(cr);
  static const Rgb kBoxes[] = {Hex(0xB04A30), Hex(0x3A6A9A), Hex(0x5A8A4A), Hex(0xC89A38), Hex(0x8A8A8A)};
  for (int i = 0; i < 5; ++i) {
    const double y = top + 30 + i * 18;
    if (variant == 2) {  // a tanker: pipes along the deck instead of holds
      Rect(cr, x - 2, y, 4, 16, pal::kGunmetal);
      Dome(cr, x, y + 8, 4, pal::kSteel, 1);
    } else if (variant == 1) {  // containers
      for (int k = 0; k < 3; ++k) Block(cr, x - half + 6 + k * 12, y, 11, 15, kBoxes[(i * 3 + k) % 5], 1.5);
    } else {  // hatch covers
      Block(cr, x - half + 7, y, 2 * half - 14, 14, Hex(0x5A6A50), 1.5);
    }
  }
  Block(cr, x - half + 5, top + len - 30, 2 * half - 10, 20, pal::kPlayerHull, 3);  // bridge
  Rect(cr, x - half + 8, top + len - 28, 2 * half - 16, 3, pal::kGlass);
  Dome(cr, x, top + len - 14, 4, pal::kSteelLight, 2);  // funnel
}

// A wreck lying across a reef: broken hull, rust, a mast trailing in the water.
void PaintWreck(cairo_t* cr) {
  FillRadialDisc(cr, 64, 32, 0, 46, {{0, 0.5, 0.7, 0.68, 0.5}, {1, 0.3, 0.6, 0.7, 0}});
  cairo_save(cr);
  cairo_translate(cr, 64, 32);
  cairo_rotate(cr, -0.35);
  auto hull = [&](double d) {
    cairo_move_to(cr, -50 + d, -9 + d);
    cairo_line_to(cr, 30 + d, -12 + d);
    cairo_curve_to(cr, 46 + d, -8 + d, 46 + d, 8 + d, 30 + d, 12 + d);
    cairo_line_to(cr, -44 + d, 10 + d);
    cairo_line_to(cr, -36 + d, 0 + d);
    cairo_close_path(cr);
  };
  hull(4);
  SetColour(cr, pal::kInk, 0.45);
  cairo_fill(cr);
  hull(0);
  FillCylinder(cr, pal::kRust, true, 0.4);
  Outline(cr, pal::kInk, 1.2);
  for (int i = 0; i < 4; ++i) Rect(cr, -30 + i * 15, -6, 10, 12, Shade(pal::kRust, -0.55));  // open holds
  Rect(cr, -62, -1, 24, 2, pal::kGunmetal);  // fallen mast
  for (int i = 0; i < 6; ++i) Disc(cr, -44 + i * 16, (i % 2) ? 11 : -11, 2.5, pal::kFoam, 0.6);
  cairo_restore(cr);
}

// The oil platform: legs in the water, deck with a helipad, derrick and a flare boom.
void PlatformGround(cairo_t* cr) {
  for (double x : {24.0, 104.0})
    for (double y : {24.0, 104.0}) {
      EllipsePath(cr, x + 10, y + 10, 11, 11);
      SetColour(cr, pal::kInk, 0.35);
      cairo_fill(cr);
      EllipsePath(cr, x, y, 9, 9);
      SetColour(cr, pal::kFoam, 0.55);
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
    }
}

void PlatformOverlay(cairo_t* cr) {
  Block(cr, 14, 18, 100, 92, pal::kSteel, 10);
  for (double x = 18; x < 112; x += 8) Rect(cr, x, 20, 1, 88, pal::kGunmetal, 0.5);
  // Helipad on the north-west corner.
  Block(cr, 18, 22, 44, 40, pal::kConcreteDark, 3);
  EllipsePath(cr, 40, 42, 15, 15);
  SetColour(cr, pal::kWarnYellow);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  Rect(cr, 33, 35, 3, 14, pal::kWhite);
  Rect(cr, 44, 35, 3, 14, pal::kWhite);
  Rect(cr, 33, 41, 14, 3, pal::kWhite);
  // Derrick: a lattice tower.
  Block(cr, 72, 26, 34, 34, Shade(pal::kWarnRed, -0.1), 8);
  cairo_move_to(cr, 72, 26);
  cairo_line_to(cr, 106, 60);
  cairo_move_to(cr, 106, 26);
  cairo_line_to(cr, 72, 60);
  SetColour(cr, pal::kInk, 0.8);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  // Storage drums and the accommodation block.
  for (int i = 0; i < 3; ++i) Dome(cr, 28 + i * 14, 84, 6, pal::kOliveLight, 2);
  Block(cr, 70, 70, 38, 32, pal::kPlayerHull, 4);
  for (int i = 0; i < 4; ++i) Rect(cr, 74 + i * 8, 74, 4, 3, pal::kGlass);
  // Flare boom reaching east with its flame.
  Rect(cr, 112, 44, 8, 4, pal::kGunmetal);
  FillRadialDisc(cr, 120, 46, 0, 5,
                 {{0, 1, 0.97, 0.85, 1}, {0.5, 1, 0.7, 0.2, 0.9}, {1, 0.8, 0.2, 0.05, 0}});
}

// ---- Harbour ---------------------------------------------------------------------------

const Rgb kBoxColours[] = {Hex(0xB04A30), Hex(0x3A6A9A), Hex(0x5A8A4A), Hex(0xC89A38), Hex(0x8A8A8A),
                           Hex(0x7A3A6A), Hex(0xD0D0C8), Hex(0x2E7A7A)};

// Container stacks: rows of boxes lying east-west or north-south, some bays empty.
PatternPixels PaintContainerStack(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const bool across = variant % 2 == 0;
    ArtRandom rnd(1600u + uint32_t(variant));
    for (int i = 0; i < 4; ++i) {
      if (variant >= 4 && i == 1 + variant % 3) continue;  // an empty bay
      const Rgb c = kBoxColours[rnd.Below(8)];
      const double a = 4 + i * 15;
      if (across) Block(cr, 5, a, 54, 12, c, 2);
      else Block(cr, a, 5, 12, 54, c, 2);
      for (int k = 0; k < 12; ++k) {
        if (across) Rect(cr, 7 + k * 4.3, a + 1, 1, 10, Shade(c, -0.3), 0.7);
        else Rect(cr, a + 1, 7 + k * 4.3, 10, 1, Shade(c, -0.3), 0.7);
      }
    }
  });
}

// Painted yard marks on concrete: bay lines, a manhole, oil, a number.
PatternPixels PaintYardMark(int variant) {
  return Drawn([variant](cairo_t* cr) {
    switch (variant) {
      case 0:
        for (int i = 0; i < 4; ++i) Rect(cr, 4 + i * 16, 6, 2, 52, pal::kWarnYellow, 0.7);
        break;
      case 1:
        Disc(cr, 26, 30, 7, pal::kGunmetal);
        Disc(cr, 26, 30, 5, Shade(pal::kGunmetal, -0.2));
        for (int i = -1; i <= 1; ++i) Rect(cr, 22, 30 + i * 3, 8, 1, pal::kInk, 0.7);
        EllipsePath(cr, 44, 44, 9, 6);
        SetColour(cr, pal::kInk, 0.25);
        cairo_fill(cr);
        break;
      case 2:
        Hazard(cr, 4, 26, 56, 8);
        break;
      default:
        cairo_rectangle(cr, 14, 14, 36, 36);
        SetColour(cr, Hex(0xE8E4D0), 0.75);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        Rect(cr, 24, 22, 4, 20, Hex(0xE8E4D0), 0.75);
        Rect(cr, 34, 22, 8, 4, Hex(0xE8E4D0), 0.75);
        Rect(cr, 38, 22, 4, 20, Hex(0xE8E4D0), 0.75);
        break;
    }
  });
}

// A dock crane on its rails, jib reaching over the water (south).
void PaintCrane(cairo_t* cr) {
  // Portal legs and the machinery house.
  Block(cr, 6, 20, 52, 10, pal::kWarnYellow, 6);
  Block(cr, 6, 52, 52, 10, pal::kWarnYellow, 6);
  Block(cr, 16, 24, 32, 34, Shade(pal::kWarnYellow, -0.1), 8);
  Rect(cr, 20, 28, 24, 4, pal::kGlass);
  // The jib: a lattice boom running south over the quay edge.
  cairo_rectangle(cr, 27 + 8, 58 + 8, 10, 64);
  SetColour(cr, pal::kInk, 0.35);
  cairo_fill(cr);
  cairo_rectangle(cr, 27, 58, 10, 64);
  FillLit(cr, pal::kWarnYellow, 0.3);
  Outline(cr, Shade(pal::kWarnYellow, -0.6), 1);
  for (double y = 58; y < 120; y += 8) {
    cairo_move_to(cr, 27, y);
    cairo_line_to(cr, 37, y + 8);
  }
  SetColour(cr, Shade(pal::kWarnYellow, -0.6));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  Rect(cr, 29, 118, 6, 6, pal::kGunmetal);  // hook block
}

// Four fuel tanks in a bunded yard, with their pipes.
void PaintTankFarm(cairo_t* cr) {
  cairo_rectangle(cr, 6, 6, 116, 116);
  SetColour(cr, Shade(pal::kConcrete, -0.1));
  cairo_fill_preserve(cr);
  Outline(cr, pal::kConcreteDark, 3);
  Rect(cr, 62, 10, 4, 108, pal::kGunmetal);
  Rect(cr, 10, 62, 108, 4, pal::kGunmetal);
  for (double x : {36.0, 92.0})
    for (double y : {36.0, 92.0}) {
      Dome(cr, x, y, 24, (x + y) == 128 ? pal::kSteelLight : Hex(0xD8D4C4), 6);
      EllipsePath(cr, x, y, 15, 15);
      SetColour(cr, pal::kSteel, 0.6);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      Disc(cr, x, y, 3, pal::kGunmetal);
    }
}

// A dry dock: a stepped pit with a ship on blocks, gates at the south (water) end.
void PaintDryDock(cairo_t* cr) {
  const double w = 128, h = 256;
  cairo_rectangle(cr, 8, 8, w - 16, h - 16);
  SetColour(cr, pal::kConcreteDark);
  cairo_fill(cr);
  for (int i = 0; i < 3; ++i) {  // steps down
    cairo_rectangle(cr, 12 + i * 5, 12 + i * 5, w - 24 - i * 10, h - 24 - i * 10);
    SetColour(cr, Shade(pal::kConcreteDark, -0.15 * (i + 1)));
    cairo_fill(cr);
  }
  for (double y = 40; y < h - 30; y += 20) Rect(cr, 56, y, 16, 6, Hex(0x5A4230));  // keel blocks
  cairo_save(cr);
  cairo_translate(cr, 0, 0);
  auto hull = [&](double d) {
    cairo_move_to(cr, 64 + d, 30 + d);
    cairo_curve_to(cr, 92 + d, 60 + d, 90 + d, 190 + d, 88 + d, 220 + d);
    cairo_line_to(cr, 40 + d, 220 + d);
    cairo_curve_to(cr, 38 + d, 190 + d, 36 + d, 60 + d, 64 + d, 30 + d);
    cairo_close_path(cr);
  };
  hull(6);
  SetColour(cr, pal::kInk, 0.5);
  cairo_fill(cr);
  hull(0);
  FillCylinder(cr, Hex(0x7A4A3A), false, 0.4);
  Outline(cr, pal::kInk, 1.2);
  Rect(cr, 50, 70, 28, 110, Hex(0x9A8A7A));
  for (int i = 0; i < 5; ++i) Rect(cr, 52, 74 + i * 21, 24, 16, Shade(pal::kRust, -0.2));
  cairo_restore(cr);
  Block(cr, 10, h - 16, w - 20, 10, pal::kSteel, 3);  // the gate
  Hazard(cr, 8, 2, w - 16, 5);
}

// ---- Tech base --------------------------------------------------------------------------

// Flat roofs of works buildings, each with its fittings: vents, fans, skylights.
PatternPixels PaintRoof(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const Rgb roofs[] = {Hex(0x7A828A), Hex(0x8C8478), Hex(0x6A7680), Hex(0x9AA0A0)};
    const Rgb c = roofs[variant % 4];
    Block(cr, 5, 5, 52, 52, c, 6);
    Rect(cr, 5, 5, 52, 2, Shade(c, 0.3));
    switch (variant % 4) {
      case 0:  // two fans
        for (double x : {20.0, 42.0}) {
          Dome(cr, x, 22, 8, pal::kSteel, 2);
          for (int k = 0; k < 4; ++k) {
            cairo_move_to(cr, x, 22);
            cairo_line_to(cr, x + 7 * std::cos(k * kPi / 2 + 0.4), 22 + 7 * std::sin(k * kPi / 2 + 0.4));
          }
          SetColour(cr, pal::kInk);
          cairo_set_line_width(cr, 1.5);
          cairo_stroke(cr);
        }
        Block(cr, 12, 38, 36, 12, pal::kTechDark, 2);
        break;
      case 1:  // skylights
        for (int i = 0; i < 3; ++i) {
          Rect(cr, 12 + i * 14, 12, 9, 38, pal::kGlass);
          Rect(cr, 12 + i * 14, 12, 3, 38, pal::kGlassLight, 0.7);
        }
        break;
      case 2:  // vent stacks
        for (int i = 0; i < 4; ++i) Dome(cr, 16 + (i % 2) * 26, 18 + (i / 2) * 24, 5, pal::kGunmetal, 3);
        Rect(cr, 10, 30, 42, 3, pal::kTechDark);
        break;
      default:  // plant room with a grille
        Block(cr, 14, 14, 30, 22, pal::kTechPanel, 3);
        for (int i = 0; i < 5; ++i) Rect(cr, 16, 17 + i * 4, 26, 2, pal::kInk, 0.8);
        Rect(cr, 10, 44, 40, 4, pal::kWarnRed, 0.8);
        break;
    }
  });
}

// Pipes on racks: straight runs east-west or north-south, and a bend.
PatternPixels PaintPipes(int variant) {
  return Drawn([variant](cairo_t* cr) {
    // Two pipes between end blocks, clamped to sleepers; the run stays inside the tile.
    auto run = [&](bool across) {
      for (int i = 0; i < 2; ++i) {
        const double a = 22 + i * 12;
        if (across) {
          Rect(cr, 8, a + 3, 48, 8, pal::kInk, 0.35);
          cairo_rectangle(cr, 8, a, 48, 8);
          FillCylinder(cr, i ? pal::kSteel : Hex(0xA0785A), true, 0.45);
          cairo_new_path(cr);
          for (double x = 16; x < 56; x += 14) Rect(cr, x, a - 1, 3, 10, pal::kGunmetal);
        } else {
          Rect(cr, a + 3, 8, 8, 48, pal::kInk, 0.35);
          cairo_rectangle(cr, a, 8, 8, 48);
          FillCylinder(cr, i ? pal::kSteel : Hex(0xA0785A), false, 0.45);
          cairo_new_path(cr);
          for (double y = 16; y < 56; y += 14) Rect(cr, a - 1, y, 10, 3, pal::kGunmetal);
        }
      }
      if (across) {
        Block(cr, 3, 18, 8, 28, pal::kTechPanel, 2);
        Block(cr, 53, 18, 8, 28, pal::kTechPanel, 2);
      } else {
        Block(cr, 18, 3, 28, 8, pal::kTechPanel, 2);
        Block(cr, 18, 53, 28, 8, pal::kTechPanel, 2);
      }
    };
    if (variant == 0) run(true);
    else if (variant == 1) run(false);
    else {  // a valve station
      run(true);
      Block(cr, 22, 16, 20, 34, pal::kTechPanel, 3);
      Disc(cr, 32, 26, 5, pal::kWarnRed);
      Disc(cr, 32, 40, 5, pal::kWarnRed);
    }
  });
}

// A radar dish on a plinth (overlay), tipped toward the north-west.
PatternPixels PaintRadar(int variant) {
  return Drawn([variant](cairo_t* cr) {
    Block(cr, 20, 24, 24, 24, pal::kConcreteDark, 3);
    cairo_save(cr);
    cairo_translate(cr, 30, 32);
    cairo_rotate(cr, variant == 0 ? -0.6 : 0.9);
    EllipsePath(cr, 6, 6, 22, 15);
    SetColour(cr, pal::kInk, 0.4);
    cairo_fill(cr);
    EllipsePath(cr, 0, 0, 22, 15);
    FillDome(cr, pal::kSteelLight, 6, 4, 22, -0.35);  // a bowl: dark on the lit side
    Outline(cr, pal::kGunmetal, 1.2);
    Rect(cr, -1, -1, 14, 2, pal::kGunmetal);
    Disc(cr, 13, 0, 2.5, pal::kWarnRed);
    cairo_restore(cr);
  });
}

// A chain-link fence with posts, east-west or north-south, and a lit strip.
PatternPixels PaintFence(bool across) {
  return Drawn([across](cairo_t* cr) {
    const double a = 30;
    if (across) {
      Rect(cr, 6, a + 2, 52, 2, pal::kInk, 0.3);
      Rect(cr, 6, a - 1, 52, 2, pal::kSteelLight, 0.8);
      Hazard(cr, 22, a + 6, 20, 4);  // a gate sign
    } else {
      Rect(cr, a + 2, 6, 2, 52, pal::kInk, 0.3);
      Rect(cr, a - 1, 6, 2, 52, pal::kSteelLight, 0.8);
      Hazard(cr, a + 6, 22, 4, 20);
    }
    for (double t = 6; t <= 58; t += 13) {
      if (across) Dome(cr, t, a, 2.2, pal::kSteel, 2);
      else Dome(cr, a, t, 2.2, pal::kSteel, 2);
    }
  });
}

PatternPixels PaintLightStrip(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const Rgb glow = variant == 0 ? pal::kAlienGlow : (variant == 1 ? pal::kWarnYellow : Hex(0x80C8FF));
    for (int i = 0; i < 6; ++i) {
      const double x = variant == 1 ? 8 + i * 9.6 : 30, y = variant == 1 ? 30 : 8 + i * 9.6;
      FillRadialDisc(cr, x, y, 0, 6, {{0, glow.r, glow.g, glow.b, 0.9}, {1, glow.r, glow.g, glow.b, 0}});
      Disc(cr, x, y, 1.8, pal::kFlameWhite);
    }
  });
}

// A floor grate: dark slots in a steel frame.
PatternPixels PaintGrate(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const double s = variant == 0 ? 36 : 24;
    const double x = 32 - s / 2, y = 32 - s / 2;
    cairo_rectangle(cr, x, y, s, s);
    FillLit(cr, pal::kSteel, 0.3);
    Outline(cr, pal::kTechDark, 1.2);
    for (double k = y + 4; k < y + s - 3; k += 4) Rect(cr, x + 3, k, s - 6, 2, pal::kInk, 0.85);
  });
}

// A landing pad: ringed circle with the H, lamps round it.
void PaintPad(cairo_t* cr) {
  cairo_rectangle(cr, 6, 6, 116, 116);
  FillLit(cr, pal::kConcreteDark, 0.2);
  Outline(cr, pal::kInk, 1);
  EllipsePath(cr, 64, 64, 48, 48);
  SetColour(cr, pal::kAsphalt);
  cairo_fill(cr);
  EllipsePath(cr, 64, 64, 44, 44);
  SetColour(cr, pal::kWarnYellow, 0.9);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  Rect(cr, 48, 42, 8, 44, pal::kWhite, 0.9);
  Rect(cr, 72, 42, 8, 44, pal::kWhite, 0.9);
  Rect(cr, 48, 60, 32, 8, pal::kWhite, 0.9);
  for (int i = 0; i < 8; ++i) {
    const double a = i * kPi / 4;
    FillRadialDisc(cr, 64 + std::cos(a) * 54, 64 + std::sin(a) * 54, 0, 5,
                   {{0, 0.6, 1, 0.75, 1}, {1, 0.6, 1, 0.75, 0}});
  }
}

// ---- Alien zone -------------------------------------------------------------------------

// A cluster of crystals: faceted shards lit on their upper-left faces, glowing cores.
PatternPixels PaintCrystals(int variant) {
  return Drawn([variant](cairo_t* cr) {
    ArtRandom rnd(1700u + uint32_t(variant) * 5u);
    const Rgb tints[] = {pal::kAlienTeal, pal::kAlienViolet, Hex(0x8CE0FF), Hex(0xC890E0)};
    const Rgb tint = tints[variant % 4];
    FillRadialDisc(cr, 32, 36, 0, 28, {{0, tint.r, tint.g, tint.b, 0.6}, {1, tint.r, tint.g, tint.b, 0}});
    const int shards = 5 + variant % 3;
    for (int i = 0; i < shards; ++i) {
      const double x = rnd.Range(20, 44), y = rnd.Range(30, 50);
      const double a = rnd.Range(-kPi * 0.8, -kPi * 0.2), len = rnd.Range(16, 27), w = rnd.Range(4, 7);
      const double tx = x + std::cos(a) * len, ty = y + std::sin(a) * len;
      const double nx = -std::sin(a) * w, ny = std::cos(a) * w;
      // Shadow, then the two faces.
      PolygonPath(cr, {x + nx + 4, y + ny + 4, tx + 4 + len * 0.3, ty + 4 + len * 0.5, x - nx + 4, y - ny + 4});
      SetColour(cr, pal::kInk, 0.35);
      cairo_fill(cr);
      PolygonPath(cr, {x + nx, y + ny, tx, ty, x, y});
      SetColour(cr, Shade(tint, -0.25));
      cairo_fill(cr);
      PolygonPath(cr, {x - nx, y - ny, tx, ty, x, y});
      SetColour(cr, Shade(tint, 0.35));
      cairo_fill(cr);
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, tx, ty);
      SetColour(cr, pal::kWhite, 0.7);
      cairo_set_line_width(cr, 0.8);
      cairo_stroke(cr);
    }
  });
}

// A glowing pool: a still, luminous liquid in a dark rim.
PatternPixels PaintPool(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const Rgb glow = variant == 0 ? pal::kAlienGlow : (variant == 1 ? Hex(0xC890FF) : Hex(0x60E0FF));
    ArtRandom rnd(1800u + uint32_t(variant));
    std::vector<double> rim;
    for (int i = 0; i < 12; ++i) {
      const double a = i * kPi / 6, r = rnd.Range(17, 24);
      rim.push_back(32 + std::cos(a) * r * 1.05);
      rim.push_back(32 + std::sin(a) * r * 0.85);
    }
    PolygonPath(cr, rim);
    SetColour(cr, Shade(pal::kAlienViolet, -0.7));
    cairo_fill_preserve(cr);
    Outline(cr, Shade(pal::kAlienViolet, -0.3), 2.5);
    cairo_save(cr);
    cairo_translate(cr, 32, 32);
    cairo_scale(cr, 0.8, 0.8);
    cairo_translate(cr, -32, -32);
    PolygonPath(cr, rim);
    cairo_restore(cr);
    cairo_pattern_t* g = cairo_pattern_create_radial(30, 30, 1, 32, 32, 22);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgb(g, 0.35, glow.r, glow.g, glow.b);
    cairo_pattern_add_color_stop_rgb(g, 1, glow.r * 0.4, glow.g * 0.4, glow.b * 0.5);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (int i = 0; i < 3; ++i) Disc(cr, rnd.Range(24, 40), rnd.Range(24, 40), 1.5, pal::kWhite, 0.8);
  });
}

// Organic growths: veined tendrils and clusters of pods spreading over the ground.
PatternPixels PaintGrowth(int variant) {
  return Drawn([variant](cairo_t* cr) {
    ArtRandom rnd(1900u + uint32_t(variant) * 3u);
    const Rgb flesh = variant % 2 ? Hex(0xB06A8A) : Hex(0x7A9A5A);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 5; ++i) {  // tendrils from the middle
      const double a = rnd.Range(0, 2 * kPi), len = rnd.Range(14, 24);
      cairo_move_to(cr, 32, 32);
      cairo_curve_to(cr, 32 + std::cos(a + 0.6) * len * 0.5, 32 + std::sin(a + 0.6) * len * 0.5,
                     32 + std::cos(a - 0.4) * len * 0.8, 32 + std::sin(a - 0.4) * len * 0.8,
                     32 + std::cos(a) * len, 32 + std::sin(a) * len);
      SetColour(cr, Shade(flesh, -0.4), 0.9);
      cairo_set_line_width(cr, 4);
      cairo_stroke_preserve(cr);
      SetColour(cr, Shade(flesh, 0.2), 0.9);
      cairo_set_line_width(cr, 1.5);
      cairo_stroke(cr);
    }
    const int pods = 3 + variant;
    for (int i = 0; i < pods; ++i) {
      const double x = rnd.Range(20, 44), y = rnd.Range(20, 44), r = rnd.Range(3, 7);
      Dome(cr, x, y, r, flesh, 2);
      Disc(cr, x - r * 0.3, y - r * 0.3, r * 0.3, pal::kAlienGlow, 0.8);
    }
  });
}

// Ruins of an older structure: broken wall stubs and fallen blocks.
PatternPixels PaintRuin(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const Rgb stone = Mix(pal::kAlienViolet, pal::kConcrete, 0.55);
    ArtRandom rnd(2000u + uint32_t(variant));
    if (variant % 2 == 0) {  // a corner of walls
      Block(cr, 8, 10, 44, 8, stone, 5);
      Block(cr, 8, 18, 8, 34, stone, 5);
      Rect(cr, 30, 10, 7, 8, Shade(stone, -0.5));  // a breach
    } else {  // a ring of standing stones
      for (int i = 0; i < 7; ++i) {
        const double a = i * 2 * kPi / 7;
        Block(cr, 28 + std::cos(a) * 20, 28 + std::sin(a) * 18, 8, 8, stone, 4);
      }
      Dome(cr, 32, 32, 5, pal::kAlienTeal, 2);
    }
    for (int i = 0; i < 4; ++i) Block(cr, rnd.Range(20, 50), rnd.Range(26, 52), 5, 4, Shade(stone, -0.1), 2);
  });
}

// ---- Country, desert, airbase, badlands, capital -----------------------------------------

// Farm buildings: a barn and a silo, hay bales in a row.
PatternPixels PaintFarm(int variant) {
  return Drawn([variant](cairo_t* cr) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GOOD);
    if (variant == 0) {
      Block(cr, 8, 10, 30, 40, Hex(0xA04030), 5);  // barn
      Rect(cr, 8, 29, 30, 2, Shade(Hex(0xA04030), -0.5));
      Dome(cr, 50, 20, 8, pal::kSteelLight, 4);  // silo
    } else {
      for (int i = 0; i < 5; ++i) Dome(cr, 12 + i * 10, 20 + (i % 2) * 4, 4, Hex(0xD8C060), 2);  // bales
      for (int i = 0; i < 4; ++i) Dome(cr, 16 + i * 11, 44, 4, Hex(0xC8B050), 2);
    }
  });
}

// Orchard: trees in rows.
PatternPixels PaintOrchard(int variant) {
  return Drawn([variant](cairo_t* cr) {
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const double cx = 10 + x * 14 + (y % 2) * (variant ? 3 : 0), cy = 10 + y * 14;
        Dome(cr, cx, cy, 5.5, variant ? Hex(0x6A9A40) : Hex(0x4E7A34), 3);
        if (variant && (x + y) % 2) Disc(cr, cx + 1, cy - 1, 1.2, pal::kWarnRed);
      }
  });
}

// A palm seen from above: fronds radiating from the crown.
PatternPixels PaintPalm(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const double x = 30 + variant * 4, y = 30;
    const int fronds = 7 + variant;
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 0; i < fronds; ++i) {
        const double a = i * 2 * kPi / fronds + variant * 0.3;
        const double ex = x + std::cos(a) * 20, ey = y + std::sin(a) * 20;
        const double off = pass == 0 ? 5 : 0;
        cairo_move_to(cr, x + off, y + off);
        cairo_curve_to(cr, x + std::cos(a + 0.3) * 10 + off, y + std::sin(a + 0.3) * 10 + off,
                       ex + off, ey + off, ex + off, ey + off);
        SetColour(cr, pass == 0 ? pal::kInk : Mix(pal::kOlive, pal::kGrass, 0.5), pass == 0 ? 0.35 : 1.0);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
      }
    }
    Dome(cr, x, y, 3.5, pal::kCamoBrown, 1);
  });
}

// A crescent dune: the long windward back lit from the top-left, the steep slip face
// inside the horns in shadow. Three sizes and turns.
PatternPixels PaintDune(int variant) {
  return Drawn([variant](cairo_t* cr) {
    cairo_translate(cr, 32, 32);
    cairo_rotate(cr, (variant - 1) * 0.35);
    const double s = 0.8 + 0.15 * variant;
    cairo_scale(cr, s, s);
    // Back of the dune: a broad lens, soft at its outer edge.
    cairo_move_to(cr, -26, 8);
    cairo_curve_to(cr, -20, -22, 20, -22, 26, 8);
    cairo_curve_to(cr, 14, -4, -14, -4, -26, 8);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(-10, -20, 10, 4);
    const Rgb hi = Shade(pal::kDesert, 0.28), lo = Shade(pal::kDesert, -0.05);
    cairo_pattern_add_color_stop_rgba(g, 0, hi.r, hi.g, hi.b, 0.85);
    cairo_pattern_add_color_stop_rgba(g, 1, lo.r, lo.g, lo.b, 0.6);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Slip face: the shaded hollow between the horns.
    cairo_move_to(cr, -26, 8);
    cairo_curve_to(cr, -14, -4, 14, -4, 26, 8);
    cairo_curve_to(cr, 12, 6, -12, 6, -26, 8);
    cairo_close_path(cr);
    SetColour(cr, Shade(pal::kDesert, -0.38), 0.75);
    cairo_fill(cr);
    // The sharp crest line.
    cairo_move_to(cr, -26, 8);
    cairo_curve_to(cr, -14, -4, 14, -4, 26, 8);
    SetColour(cr, Shade(pal::kDesert, 0.45), 0.9);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  });
}

// ---- Volcanic fields ---------------------------------------------------------------------

// A fumarole: a glowing fissure with a plume of steam drifting to the north-west.
PatternPixels PaintVent(int variant) {
  return Drawn([variant](cairo_t* cr) {
    ArtRandom rnd(2300u + uint32_t(variant));
    std::vector<double> crack;
    double x = 6, y = 44 + variant * 4;
    cairo_move_to(cr, x, y);
    for (int i = 0; i < 7; ++i) {
      x += rnd.Range(5, 7);
      y = std::clamp(y + rnd.Range(-7, 3), 14.0, 52.0);
      cairo_line_to(cr, x, y);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_path_t* path = cairo_copy_path(cr);
    SetColour(cr, pal::kScorch, 0.9);
    cairo_set_line_width(cr, 9);
    cairo_stroke(cr);
    cairo_append_path(cr, path);
    SetColour(cr, pal::kLava);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_append_path(cr, path);
    SetColour(cr, pal::kFlameYellow);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    cairo_path_destroy(path);
    for (int i = 0; i < 3; ++i) {  // steam
      const double sx = 32 - i * 7, sy = 34 - i * 8, r = 9 + i * 3;
      FillRadialDisc(cr, sx, sy, 0, r, {{0, 0.92, 0.92, 0.9, 0.7 - i * 0.15}, {1, 0.92, 0.92, 0.9, 0}});
    }
  });
}

// A cinder cone: a steep heap of ash with a glowing crater, lit from the top-left.
PatternPixels PaintCone(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const double r = 20 + variant * 5;
    Disc(cr, 35, 35, r, pal::kInk, 0.4);
    EllipsePath(cr, 32, 32, r, r);
    FillDome(cr, Mix(pal::kVolcanic, pal::kRust, 0.25), 32, 32, r, 0.4);
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {  // gullies down the flanks
      const double a = i * kPi / 5 + variant;
      cairo_move_to(cr, 32 + std::cos(a) * r * 0.35, 32 + std::sin(a) * r * 0.35);
      cairo_line_to(cr, 32 + std::cos(a) * r * 0.95, 32 + std::sin(a) * r * 0.95);
    }
    SetColour(cr, pal::kScorch, 0.5);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    EllipsePath(cr, 32, 32, r * 0.32, r * 0.32);
    SetColour(cr, pal::kScorch);
    cairo_fill(cr);
    FillRadialDisc(cr, 33, 33, 0, r * 0.26,
                   {{0, 1, 0.85, 0.4, 1}, {0.6, 1, 0.45, 0.1, 0.9}, {1, 0.6, 0.15, 0.05, 0.6}});
  });
}

// Cooled lava: a black crust with glowing seams.
PatternPixels PaintCrust(int variant) {
  return Drawn([variant](cairo_t* cr) {
    ArtRandom rnd(2400u + uint32_t(variant));
    std::vector<double> outline;
    for (int i = 0; i < 10; ++i) {
      const double a = i * kPi / 5, rr = rnd.Range(18, 26);
      outline.push_back(32 + std::cos(a) * rr);
      outline.push_back(32 + std::sin(a) * rr * 0.8);
    }
    PolygonPath(cr, outline);
    FillLit(cr, Shade(pal::kScorch, 0.1), 0.25);
    cairo_new_path(cr);
    for (int i = 0; i < 5; ++i) {
      cairo_move_to(cr, 32, 32);
      const double a = rnd.Range(0, 2 * kPi);
      cairo_line_to(cr, 32 + std::cos(a) * rnd.Range(8, 16), 32 + std::sin(a) * rnd.Range(6, 14));
    }
    SetColour(cr, pal::kFlameOrange, 0.9);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  });
}

// Scrub and boulders of the dry lands.
PatternPixels PaintScrub(int variant) {
  return Drawn([variant](cairo_t* cr) {
    ArtRandom rnd(2100u + uint32_t(variant));
    for (int i = 0; i < 4 + variant; ++i) {
      const double x = rnd.Range(10, 54), y = rnd.Range(10, 54);
      if (i % 2) Dome(cr, x, y, rnd.Range(3, 6), Shade(pal::kKhaki, -0.25), 2);
      else Dome(cr, x, y, rnd.Range(3, 5), pal::kOliveDark, 2);
    }
  });
}

// A fuel bowser park, sandbagged aircraft revetment and apron markings for the airbase.
PatternPixels PaintApronMark(int variant) {
  return Drawn([variant](cairo_t* cr) {
    if (variant == 0) {  // a parking spot: T mark and a circle
      EllipsePath(cr, 32, 32, 20, 20);
      SetColour(cr, pal::kWarnYellow, 0.8);
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
      Rect(cr, 31, 4, 2, 56, pal::kWarnYellow, 0.8);
    } else if (variant == 1) {  // fuel bowsers
      for (int i = 0; i < 3; ++i) {
        Block(cr, 10 + i * 16, 14, 11, 34, pal::kOliveDark, 3);
        Rect(cr, 12 + i * 16, 20, 7, 22, pal::kOlive);
      }
    } else {  // a revetment: U of earth banks
      Block(cr, 6, 8, 8, 48, pal::kDirt, 3);
      Block(cr, 50, 8, 8, 48, pal::kDirt, 3);
      Block(cr, 6, 8, 52, 8, pal::kDirt, 3);
    }
  });
}

// A statue on a plinth and a fountain: city squares.
PatternPixels PaintSquare(int variant) {
  return Drawn([variant](cairo_t* cr) {
    cairo_rectangle(cr, 4, 4, 56, 56);
    SetColour(cr, Hex(0xB8B0A0));
    cairo_fill(cr);
    for (int i = 0; i < 7; ++i) {
      Rect(cr, 4 + i * 8, 4, 1, 56, Hex(0x9A9282), 0.7);
      Rect(cr, 4, 4 + i * 8, 56, 1, Hex(0x9A9282), 0.7);
    }
    if (variant == 0) {
      EllipsePath(cr, 32, 32, 18, 18);
      SetColour(cr, pal::kConcrete);
      cairo_fill(cr);
      EllipsePath(cr, 32, 32, 14, 14);
      SetColour(cr, pal::kWaterLight);
      cairo_fill(cr);
      Dome(cr, 32, 32, 4, pal::kFoam, 1);
    } else {
      Block(cr, 22, 22, 20, 20, pal::kConcreteDark, 4);
      Dome(cr, 32, 32, 6, Hex(0x6A8A78), 3);  // verdigris figure
    }
  });
}

// A big hangar with a curved roof (2 x 2).
void PaintHangar(cairo_t* cr) {
  Rect(cr, 14, 14, 112, 100, pal::kInk, 0.45);
  cairo_rectangle(cr, 6, 6, 112, 100);
  FillCylinder(cr, pal::kAirGrey, true, 0.45);
  Outline(cr, pal::kAirGreyDark, 1.2);
  for (double x = 12; x < 118; x += 8) Rect(cr, x, 6, 1, 100, pal::kAirGreyDark, 0.5);
  Rect(cr, 6, 106, 112, 14, pal::kAsphalt);  // apron before the doors
  Rect(cr, 20, 104, 84, 4, pal::kGunmetal);  // doors
  Rect(cr, 62, 108, 2, 12, pal::kWarnYellow);
}

// A mesa: a flat-topped butte (3 x 3) standing high over the plain, its cliffs banded
// with strata and falling into a long shadow to the south-east.
void PaintMesa(cairo_t* cr) {
  std::vector<double> top;
  ArtRandom rnd(2200);
  for (int i = 0; i < 18; ++i) {
    const double a = i * 2 * kPi / 18, r = rnd.Range(58, 76);
    top.push_back(92 + std::cos(a) * r);
    top.push_back(88 + std::sin(a) * r * 0.8);
  }
  auto shifted = [&](double d) {
    std::vector<double> v = top;
    for (double& x : v) x += d;
    return v;
  };
  PolygonPath(cr, shifted(16));  // shadow on the plain
  SetColour(cr, pal::kInk, 0.45);
  cairo_fill(cr);
  // Cliff faces: layers of the butte stepping down, darker and redder with depth.
  for (int k = 4; k >= 1; --k) {
    PolygonPath(cr, shifted(k * 3.0));
    SetColour(cr, Shade(Mix(pal::kRust, pal::kKhaki, k % 2 ? 0.1 : 0.35), -0.2 - k * 0.08));
    cairo_fill(cr);
  }
  PolygonPath(cr, top);
  FillLit(cr, Mix(pal::kRust, pal::kKhaki, 0.45), 0.3);
  Outline(cr, Shade(pal::kRust, 0.25), 1.5);
  // Eroded gullies and scrub on the cap.
  for (int i = 0; i < 7; ++i) {
    const double x = rnd.Range(50, 130), y = rnd.Range(50, 120);
    cairo_move_to(cr, x, y);
    cairo_curve_to(cr, x + 6, y + 4, x + 10, y + 2, x + rnd.Range(12, 22), y + rnd.Range(4, 12));
  }
  SetColour(cr, Shade(pal::kRust, -0.3), 0.6);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  for (int i = 0; i < 10; ++i) Dome(cr, rnd.Range(50, 135), rnd.Range(50, 125), rnd.Range(2, 4), pal::kOliveDark, 1.5);
}

// A park with a pond and paths (2 x 2).
void PaintPark(cairo_t* cr) {
  cairo_rectangle(cr, 2, 2, 124, 124);
  SetColour(cr, pal::kGrass);
  cairo_fill(cr);
  cairo_rectangle(cr, 2, 2, 124, 124);
  Outline(cr, pal::kConcrete, 3);
  cairo_move_to(cr, 2, 64);
  cairo_line_to(cr, 126, 64);
  cairo_move_to(cr, 64, 2);
  cairo_line_to(cr, 64, 126);
  SetColour(cr, Hex(0xC8B890));
  cairo_set_line_width(cr, 6);
  cairo_stroke(cr);
  EllipsePath(cr, 64, 64, 20, 16);
  SetColour(cr, pal::kConcrete);
  cairo_fill(cr);
  EllipsePath(cr, 64, 64, 16, 12);
  SetColour(cr, pal::kWaterLight);
  cairo_fill(cr);
  for (double x : {22.0, 42.0, 86.0, 106.0})
    for (double y : {22.0, 42.0, 86.0, 106.0}) Dome(cr, x, y, 7, pal::kForest, 3);
}

// ---- Cutting and registering ---------------------------------------------------------------

struct MultiTile {
  std::string name;
  int cols, rows;
  Paint ground;   // layer 2; may be empty
  Paint overlay;  // layer 3; may be empty
  char overlay_solid;
};

void AddMultiTile(TileCatalogue& cat, const MultiTile& f) {
  PieceGrid grid;
  grid.cols = f.cols;
  grid.rows = f.rows;
  grid.ground.assign(size_t(f.cols) * f.rows, 0);
  grid.overlay.assign(size_t(f.cols) * f.rows, 0);
  for (int layer = 0; layer < 2; ++layer) {
    const Paint& paint = layer == 0 ? f.ground : f.overlay;
    if (!paint) continue;
    Canvas canvas(f.cols * kTileSize, f.rows * kTileSize);
    paint(canvas.cr());
    const PatternPixels whole = canvas.Pixels();
    for (int r = 0; r < f.rows; ++r) {
      for (int c = 0; c < f.cols; ++c) {
        PatternPixels tile = Crop(whole, c * kTileSize, r * kTileSize, kTileSize, kTileSize);
        const std::string solid = SolidityFromCoverage(tile, layer == 1 ? f.overlay_solid : '0');
        const std::string name = "feat_" + f.name + (layer == 0 ? "_g" : "_o") + std::to_string(r) + "_" +
                                 std::to_string(c);
        const int number = cat.AddShared(kFirstFeature, name, solid, std::move(tile));
        (layer == 0 ? grid.ground : grid.overlay)[size_t(r) * f.cols + c] = number;
      }
    }
  }
  cat.AddPiece("feat_" + f.name, std::move(grid));
}

}  // namespace

void AddFeatureTiles(TileCatalogue& cat) {
  auto single = [&cat](const std::string& name, PatternPixels p, char solid_value = '0') {
    const std::string solid = solid_value == '0' ? std::string(kFree) : SolidityFromCoverage(p, solid_value);
    cat.AddNext(kFirstFeature, name, solid, std::move(p));
  };
  // Sea: flat things on the water are free; boats and buoys are low obstacles.
  for (int v = 0; v < 6; ++v) single("surf_" + std::to_string(v), PaintSurf(v));
  for (int v = 0; v < 3; ++v) single("reef_" + std::to_string(v), PaintReef(v), '1');
  for (int v = 0; v < 2; ++v) single("buoy_" + std::to_string(v), PaintBuoy(v));
  for (int v = 0; v < 3; ++v) single("boat_" + std::to_string(v), PaintBoat(v), '1');
  // Harbour.
  for (int v = 0; v < 6; ++v) single("stack_" + std::to_string(v), PaintContainerStack(v), '2');
  for (int v = 0; v < 4; ++v) single("yard_mark_" + std::to_string(v), PaintYardMark(v));
  // Tech base: roofs and dishes stand tall; pipes are low.
  for (int v = 0; v < 4; ++v) single("roof_" + std::to_string(v), PaintRoof(v), '2');
  for (int v = 0; v < 3; ++v) single("pipes_" + std::to_string(v), PaintPipes(v), '1');
  for (int v = 0; v < 2; ++v) single("radar_" + std::to_string(v), PaintRadar(v), '2');
  single("fence_h", PaintFence(true));
  single("fence_v", PaintFence(false));
  for (int v = 0; v < 3; ++v) single("lights_" + std::to_string(v), PaintLightStrip(v));
  for (int v = 0; v < 2; ++v) single("grate_" + std::to_string(v), PaintGrate(v));
  // Alien zone: crystals stand tall, the rest lies on the ground.
  for (int v = 0; v < 4; ++v) single("crystals_" + std::to_string(v), PaintCrystals(v), '1');
  for (int v = 0; v < 3; ++v) single("pool_" + std::to_string(v), PaintPool(v));
  for (int v = 0; v < 4; ++v) single("growth_" + std::to_string(v), PaintGrowth(v));
  for (int v = 0; v < 4; ++v) single("ruin_" + std::to_string(v), PaintRuin(v), '1');
  // Country, desert, airbase, capital.
  for (int v = 0; v < 2; ++v) single("farm_" + std::to_string(v), PaintFarm(v), '1');
  for (int v = 0; v < 2; ++v) single("orchard_" + std::to_string(v), PaintOrchard(v), '1');
  for (int v = 0; v < 2; ++v) single("palm_" + std::to_string(v), PaintPalm(v), '1');
  for (int v = 0; v < 3; ++v) single("dune_" + std::to_string(v), PaintDune(v));
  for (int v = 0; v < 3; ++v) single("scrub_" + std::to_string(v), PaintScrub(v));
  for (int v = 0; v < 2; ++v) single("vent_" + std::to_string(v), PaintVent(v));
  for (int v = 0; v < 2; ++v) single("cone_" + std::to_string(v), PaintCone(v), '1');
  for (int v = 0; v < 2; ++v) single("crust_" + std::to_string(v), PaintCrust(v));
  for (int v = 0; v < 3; ++v) single("apron_" + std::to_string(v), PaintApronMark(v));
  for (int v = 0; v < 2; ++v) single("square_" + std::to_string(v), PaintSquare(v), '1');

  const std::vector<MultiTile> multi = {
      {"ship_0", 2, 3, [](cairo_t* cr) { PaintShip(cr, 0); }, nullptr, '1'},
      {"ship_1", 2, 3, [](cairo_t* cr) { PaintShip(cr, 1); }, nullptr, '1'},
      {"ship_2", 2, 3, [](cairo_t* cr) { PaintShip(cr, 2); }, nullptr, '1'},
      {"wreck", 2, 1, PaintWreck, nullptr, '1'},
      {"platform", 2, 2, PlatformGround, PlatformOverlay, '2'},
      {"crane", 1, 2, nullptr, PaintCrane, '2'},
      {"tank_farm", 2, 2, nullptr, PaintTankFarm, '2'},
      {"dry_dock", 2, 4, PaintDryDock, nullptr, '1'},
      {"pad", 2, 2, PaintPad, nullptr, '1'},
      {"hangar", 2, 2, nullptr, PaintHangar, '2'},
      {"mesa", 3, 3, nullptr, PaintMesa, '2'},
      {"park", 2, 2, PaintPark, nullptr, '1'},
  };
  for (const MultiTile& f : multi) AddMultiTile(cat, f);
}

}  // namespace tarq::forge
