// Decals and overlays on the 64-pixel grid: roads, rails and their tunnels and
// bridges, roofs, craters, harbour clutter and gun pits. Decals (layers 1 and 2) are
// alpha pictures laid on the ground; overlays (layers 3 and 4) cover ground units.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tiles_catalogue.h"

namespace tarq::forge {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr char kFree[] = "0000000000000000";

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

uint32_t Pack(Rgb c, double alpha) {
  auto ch = [](double v) { return uint32_t(std::lround(Clamp01(v) * 255.0)); };
  const uint32_t a = ch(alpha);
  if (a == 0) return 0;
  return (a << 24) | (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

// Asphalt: dark, fine-grained, repeats every tile.
Rgb AsphaltAt(int x, int y) {
  const double n = PeriodicFbm(x / 8.0, y / 8.0, 8, 8, 2, 1101);
  const double s = HashUnit(x & 63, y & 63, 1102);
  return Shade(pal::kAsphalt, (n - 0.5) * 0.15 + (s - 0.5) * 0.1);
}

// Renders `shape` as a coverage mask and fills it with a per-pixel texture.
PatternPixels Textured(const std::function<void(cairo_t*)>& shape,
                       const std::function<Rgb(int, int)>& texture) {
  Canvas mask(kTileSize, kTileSize);
  SetColour(mask.cr(), pal::kWhite);
  shape(mask.cr());
  cairo_fill(mask.cr());
  PatternPixels m = mask.Pixels();
  PatternPixels out = m;
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) {
      const size_t i = size_t(y) * kTileSize + x;
      const double a = (m.pixels[i] >> 24) / 255.0;
      out.pixels[i] = Pack(texture(x, y), a);
    }
  }
  return out;
}

// Draws more on top of a finished picture.
PatternPixels Over(const PatternPixels& base, const std::function<void(cairo_t*)>& draw) {
  Canvas canvas(kTileSize, kTileSize);
  cairo_surface_t* s = SurfaceFromPixels(base);
  cairo_set_source_surface(canvas.cr(), s, 0, 0);
  cairo_paint(canvas.cr());
  cairo_surface_destroy(s);
  draw(canvas.cr());
  return canvas.Pixels();
}

PatternPixels Drawn(const std::function<void(cairo_t*)>& draw) {
  Canvas canvas(kTileSize, kTileSize);
  draw(canvas.cr());
  return canvas.Pixels();
}

// ---- Roads -------------------------------------------------------------------------

constexpr double kRoadHalf = 13;

void RoadShape(cairo_t* cr, int links) {
  const double a = 32 - kRoadHalf, b = 32 + kRoadHalf;
  if (__builtin_popcount(unsigned(links)) == 1) {
    cairo_arc(cr, 32, 32, kRoadHalf, 0, 2 * kPi);  // a dead end is rounded
    cairo_close_path(cr);
  } else {
    cairo_rectangle(cr, a, a, b - a, b - a);
  }
  if (links & kLinkN) cairo_rectangle(cr, a, 0, b - a, 32);
  if (links & kLinkS) cairo_rectangle(cr, a, 32, b - a, 32);
  if (links & kLinkW) cairo_rectangle(cr, 0, a, 32, b - a);
  if (links & kLinkE) cairo_rectangle(cr, 32, a, 32, b - a);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

PatternPixels PaintRoad(int links) {
  PatternPixels road = Textured([links](cairo_t* cr) { RoadShape(cr, links); }, AsphaltAt);
  return Over(road, [links](cairo_t* cr) {
    const double a = 32 - kRoadHalf, b = 32 + kRoadHalf;
    // Pale kerb lines on the road's sides (light from the top-left: the left and top
    // kerbs are brighter).
    auto kerb = [cr](double x0, double y0, double x1, double y1, double light) {
      cairo_move_to(cr, x0, y0);
      cairo_line_to(cr, x1, y1);
      SetColour(cr, Shade(pal::kConcrete, light), 0.9);
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
    };
    const bool straight_ns = links == (kLinkN | kLinkS), straight_ew = links == (kLinkE | kLinkW);
    if (!(links & kLinkW)) kerb(a + 1, (links & kLinkN) ? 0 : a, a + 1, (links & kLinkS) ? 64 : b, 0.1);
    if (!(links & kLinkE)) kerb(b - 1, (links & kLinkN) ? 0 : a, b - 1, (links & kLinkS) ? 64 : b, -0.2);
    if (!(links & kLinkN)) kerb((links & kLinkW) ? 0 : a, a + 1, (links & kLinkE) ? 64 : b, a + 1, 0.1);
    if (!(links & kLinkS)) kerb((links & kLinkW) ? 0 : a, b - 1, (links & kLinkE) ? 64 : b, b - 1, -0.2);
    // Dashed centre line on straight roads; dashes repeat every tile.
    SetColour(cr, Hex(0xE8E4D0), 0.85);
    if (straight_ns) {
      cairo_rectangle(cr, 31, 4, 2, 20);
      cairo_rectangle(cr, 31, 36, 2, 20);
      cairo_fill(cr);
    } else if (straight_ew) {
      cairo_rectangle(cr, 4, 31, 20, 2);
      cairo_rectangle(cr, 36, 31, 20, 2);
      cairo_fill(cr);
    }
  });
}

// ---- Rails -------------------------------------------------------------------------

void DrawTrack(cairo_t* cr, bool ballast) {
  if (ballast) {
    for (int x = 0; x < 64; x += 2) {  // gravel bed
      for (int y = 20; y < 44; y += 2) {
        const double s = HashUnit(x, y, 1201);
        cairo_rectangle(cr, x, y, 2, 2);
        SetColour(cr, Mix(Hex(0x7A7268), Hex(0x9A9084), s), (y == 20 || y == 42) ? 0.6 : 1.0);
        cairo_fill(cr);
      }
    }
  }
  for (int x = 2; x < 64; x += 8) {  // sleepers
    cairo_rectangle(cr, x, 22, 4, 20);
    FillLit(cr, Hex(0x5A4230), 0.3);
    cairo_new_path(cr);
  }
  for (double y : {26.0, 37.0}) {  // rails: steel with a bright top edge
    cairo_rectangle(cr, 0, y, 64, 2.5);
    SetColour(cr, pal::kGunmetal);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, y, 64, 1);
    SetColour(cr, pal::kSteelLight);
    cairo_fill(cr);
  }
}

PatternPixels PaintRail() {
  return Drawn([](cairo_t* cr) { DrawTrack(cr, true); });
}

PatternPixels PaintRailBridge() {
  return Drawn([](cairo_t* cr) {
    cairo_rectangle(cr, 0, 44, 64, 6);  // shadow on the water
    SetColour(cr, pal::kInk, 0.4);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 18, 64, 28);  // deck
    FillLit(cr, Hex(0x5E5348), 0.25);
    cairo_new_path(cr);
    for (double y : {16.0, 44.0}) {  // girders
      cairo_rectangle(cr, 0, y, 64, 4);
      FillLit(cr, pal::kRust, 0.3);
      cairo_new_path(cr);
      for (int x = 0; x < 64; x += 16) {
        cairo_rectangle(cr, x + 1, y + 1, 2, 2);
        SetColour(cr, pal::kInk, 0.6);
        cairo_fill(cr);
      }
    }
    DrawTrack(cr, false);
  });
}

PatternPixels PaintLevelCrossing() {
  PatternPixels road = PaintRoad(kLinkN | kLinkS);
  return Over(road, [](cairo_t* cr) {
    DrawTrack(cr, false);
    cairo_rectangle(cr, 19, 28.5, 26, 8.5);  // planks between the rails
    SetColour(cr, Hex(0x6A5A48));
    cairo_fill(cr);
    for (double x : {16.0, 46.0}) {  // barrier posts, striped
      cairo_rectangle(cr, x, 14, 3, 6);
      SetColour(cr, pal::kWarnRed);
      cairo_fill(cr);
      cairo_rectangle(cr, x, 44, 3, 6);
      cairo_fill(cr);
    }
  });
}

// A grassy hill with a concrete portal; the track runs into it. The portal faces
// right (the hill is on the left) unless mirrored.
PatternPixels PaintTunnel(bool faces_left) {
  PatternPixels p = Drawn([](cairo_t* cr) {
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 30, 0);
    cairo_curve_to(cr, 44, 6, 40, 16, 38, 22);
    cairo_line_to(cr, 38, 42);
    cairo_curve_to(cr, 42, 50, 46, 58, 34, 64);
    cairo_line_to(cr, 0, 64);
    cairo_close_path(cr);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    FillLit(cr, pal::kGrassDark, 0.35);
    cairo_new_path(cr);
    for (int i = 0; i < 9; ++i) {  // shrubs on the hill
      const double x = 4 + (i * 11) % 28, y = 4 + (i * 23) % 56;
      EllipsePath(cr, x, y, 5, 5);
      FillDome(cr, pal::kForest, x, y, 5, 0.5);
      cairo_new_path(cr);
    }
    cairo_restore(cr);
    RoundedRect(cr, 26, 14, 14, 36, 3);  // portal frame
    FillLit(cr, pal::kConcrete, 0.35);
    Outline(cr, pal::kConcreteDark, 1);
    cairo_rectangle(cr, 33, 19, 7, 26);  // the dark mouth
    SetColour(cr, pal::kInk);
    cairo_fill(cr);
  });
  if (!faces_left) return p;
  PatternPixels m = p;
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) m.pixels[size_t(y) * 64 + x] = p.pixels[size_t(y) * 64 + 63 - x];
  }
  return m;
}

// A road bridge deck with railings and its shadow (overlay). Across = east-west.
PatternPixels PaintBridge(bool across) {
  PatternPixels p = Drawn([](cairo_t* cr) {
    cairo_rectangle(cr, 0, 48, 64, 6);
    SetColour(cr, pal::kInk, 0.35);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 16, 64, 32);
    FillLit(cr, pal::kConcrete, 0.2);
    cairo_new_path(cr);
    cairo_rectangle(cr, 0, 19, 64, 26);
    SetColour(cr, pal::kAsphalt);
    cairo_fill(cr);
    for (double y : {16.0, 45.0}) {
      cairo_rectangle(cr, 0, y, 64, 3);
      SetColour(cr, pal::kSteelLight);
      cairo_fill(cr);
      for (int x = 2; x < 64; x += 8) {
        cairo_rectangle(cr, x, y, 2, 3);
        SetColour(cr, pal::kGunmetal);
        cairo_fill(cr);
      }
    }
    cairo_rectangle(cr, 4, 31, 20, 2);
    cairo_rectangle(cr, 36, 31, 20, 2);
    SetColour(cr, Hex(0xE8E4D0), 0.85);
    cairo_fill(cr);
  });
  if (across) return p;
  // North-south: the same deck turned; its shadow then falls to the right.
  PatternPixels r = p;
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) r.pixels[size_t(y) * 64 + x] = p.pixels[size_t(x) * 64 + y];
  }
  return r;
}

// ---- Buildings and clutter -----------------------------------------------------------

// Pitched roof seen from above, light from the top-left. Drawn with hard edges so it
// survives the one-bit colour key of the BMP tiles.
PatternPixels PaintHouse(int variant) {
  static const Rgb kRoofs[4] = {Hex(0xA0503A), Hex(0x7A5A48), Hex(0x8C8C84), Hex(0xB07040)};
  PatternPixels p = Drawn([variant](cairo_t* cr) {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    const bool wide = variant % 2 == 0;
    const double w = wide ? 44 : 30, h = wide ? 30 : 44;
    const double x = 32 - w / 2, y = 32 - h / 2;
    cairo_rectangle(cr, x + 3, y + 3, w, h);  // cast shadow
    SetColour(cr, pal::kInk);
    cairo_fill(cr);
    const Rgb roof = kRoofs[variant];
    if (wide) {
      cairo_rectangle(cr, x, y, w, h / 2);
      SetColour(cr, Shade(roof, 0.18));
      cairo_fill(cr);
      cairo_rectangle(cr, x, y + h / 2, w, h / 2);
      SetColour(cr, Shade(roof, -0.2));
      cairo_fill(cr);
    } else {
      cairo_rectangle(cr, x, y, w / 2, h);
      SetColour(cr, Shade(roof, 0.18));
      cairo_fill(cr);
      cairo_rectangle(cr, x + w / 2, y, w / 2, h);
      SetColour(cr, Shade(roof, -0.2));
      cairo_fill(cr);
    }
    for (int i = 0; i < 6; ++i) {  // tile courses
      SetColour(cr, Shade(roof, -0.35));
      if (wide) cairo_rectangle(cr, x, y + 3 + i * 5, w, 1);
      else cairo_rectangle(cr, x + 3 + i * 5, y, 1, h);
      cairo_fill(cr);
    }
    cairo_rectangle(cr, wide ? x + w - 12 : x + 4, wide ? y + 4 : y + h - 12, 5, 5);  // chimney
    SetColour(cr, Hex(0x6A5A50));
    cairo_fill(cr);
  });
  return p;
}

// Long corrugated roof spanning two tiles; `right` is the eastern half.
PatternPixels PaintWarehouse(bool right) {
  return Drawn([right](cairo_t* cr) {
    const double x0 = right ? -64 : 0;
    cairo_rectangle(cr, x0 + 8 + 4, 10 + 4, 112, 44);
    SetColour(cr, pal::kInk, 0.45);
    cairo_fill(cr);
    cairo_rectangle(cr, x0 + 8, 10, 112, 44);
    FillLit(cr, pal::kSteel, 0.3);
    cairo_new_path(cr);
    for (int i = 0; i < 28; ++i) {  // ribs
      cairo_rectangle(cr, x0 + 10 + i * 4, 10, 1.5, 44);
      SetColour(cr, pal::kSteelLight, 0.5);
      cairo_fill(cr);
    }
    cairo_rectangle(cr, x0 + 8, 31, 112, 2);  // ridge
    SetColour(cr, pal::kGunmetal);
    cairo_fill(cr);
  });
}

PatternPixels PaintCrater(int variant) {
  return Drawn([variant](cairo_t* cr) {
    const double r = variant == 0 ? 18 : 26;
    cairo_pattern_t* g = cairo_pattern_create_radial(32, 32, 0, 32, 32, r + 6);
    cairo_pattern_add_color_stop_rgba(g, 0.0, pal::kScorch.r, pal::kScorch.g, pal::kScorch.b, 0.95);
    cairo_pattern_add_color_stop_rgba(g, 0.6, pal::kScorch.r, pal::kScorch.g, pal::kScorch.b, 0.7);
    cairo_pattern_add_color_stop_rgba(g, 1.0, pal::kScorch.r, pal::kScorch.g, pal::kScorch.b, 0.0);
    cairo_set_source(cr, g);
    cairo_arc(cr, 32, 32, r + 6, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_arc(cr, 32, 32, r * 0.6, 0, 2 * kPi);  // the pit, rim lit from the top-left
    FillDome(cr, Shade(pal::kDirt, -0.5), 36, 36, r * 0.6, -0.4);
    cairo_new_path(cr);
  });
}

PatternPixels PaintContainers(int variant) {
  static const Rgb kColours[] = {Hex(0xB04A30), Hex(0x3A6A9A), Hex(0x5A8A4A), Hex(0xC89A38),
                                 Hex(0x8A8A8A)};
  return Drawn([variant](cairo_t* cr) {
    for (int i = 0; i < 4; ++i) {
      const double y = 4 + i * 15;
      const Rgb c = kColours[(i + variant * 2) % 5];
      cairo_rectangle(cr, 6 + 2, y + 2, 52, 12);
      SetColour(cr, pal::kInk, 0.4);
      cairo_fill(cr);
      cairo_rectangle(cr, 6, y, 52, 12);
      FillLit(cr, c, 0.3);
      cairo_new_path(cr);
      for (int k = 0; k < 12; ++k) {
        cairo_rectangle(cr, 8 + k * 4, y + 1, 1, 10);
        SetColour(cr, Shade(c, -0.3), 0.8);
        cairo_fill(cr);
      }
    }
  });
}

// A ring of sandbags around a gun position; the gun itself is an enemy sprite.
PatternPixels PaintGunPit() {
  return Drawn([](cairo_t* cr) {
    EllipsePath(cr, 32, 32, 18, 18);
    SetColour(cr, pal::kScorch, 0.55);
    cairo_fill(cr);
    for (int i = 0; i < 14; ++i) {
      const double a = i * 2 * kPi / 14;
      const double x = 32 + std::cos(a) * 23, y = 32 + std::sin(a) * 23;
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_rotate(cr, a + kPi / 2);
      EllipsePath(cr, 1.5, 1.5, 6, 3.5);
      SetColour(cr, pal::kInk, 0.4);
      cairo_fill(cr);
      EllipsePath(cr, 0, 0, 6, 3.5);
      FillLit(cr, pal::kKhaki, 0.35);
      Outline(cr, Shade(pal::kKhaki, -0.4), 0.8);
      cairo_restore(cr);
    }
  });
}

// A painted taxi line (yellow) running north-south on tarmac.
PatternPixels PaintTaxiLine() {
  return Drawn([](cairo_t* cr) {
    cairo_rectangle(cr, 30, 0, 4, 64);
    SetColour(cr, pal::kWarnYellow, 0.85);
    cairo_fill(cr);
  });
}

}  // namespace

void AddDecalTiles(TileCatalogue& cat) {
  // Flat things (roads, rails, marks, craters) are free ground; solidity of the rest is
  // read off the picture: buildings, containers and tunnel hills are high obstacles,
  // bridge decks low ones.
  auto solid = [](const PatternPixels& p, char value) { return SolidityFromCoverage(p, value); };
  for (int links = 1; links <= 15; ++links) cat.Add(240 + links - 1, RoadTileName(links), kFree, PaintRoad(links));
  cat.Add(256, "rail_h", kFree, PaintRail());
  cat.Add(257, "rail_bridge_h", kFree, PaintRailBridge());
  cat.Add(258, "rail_crossing", kFree, PaintLevelCrossing());
  const PatternPixels tunnel_w = PaintTunnel(false), tunnel_e = PaintTunnel(true);
  cat.Add(259, "tunnel_west", solid(tunnel_w, '2'), tunnel_w);
  cat.Add(260, "tunnel_east", solid(tunnel_e, '2'), tunnel_e);
  const PatternPixels bridge_h = PaintBridge(true), bridge_v = PaintBridge(false);
  cat.Add(261, "bridge_h", solid(bridge_h, '1'), bridge_h);
  cat.Add(262, "bridge_v", solid(bridge_v, '1'), bridge_v);
  cat.Add(263, "taxi_line", kFree, PaintTaxiLine());
  // Roofs are BMP tiles with a magenta key: a second picture path the loader handles.
  for (int v = 0; v < 4; ++v) {
    const PatternPixels house = PaintHouse(v);
    cat.Add(264 + v, "house_" + std::to_string(v), solid(house, '2'), house, true);
  }
  const PatternPixels shed_w = PaintWarehouse(false), shed_e = PaintWarehouse(true);
  cat.Add(268, "warehouse_w", solid(shed_w, '2'), shed_w);
  cat.Add(269, "warehouse_e", solid(shed_e, '2'), shed_e);
  cat.Add(270, "crater_0", kFree, PaintCrater(0));
  cat.Add(271, "crater_1", kFree, PaintCrater(1));
  const PatternPixels boxes_0 = PaintContainers(0), boxes_1 = PaintContainers(1);
  cat.Add(272, "containers_0", solid(boxes_0, '2'), boxes_0);
  cat.Add(273, "containers_1", solid(boxes_1, '2'), boxes_1);
  const PatternPixels pit = PaintGunPit();
  cat.Add(274, "gun_pit", solid(pit, '1'), pit);
}

}  // namespace tarq::forge
