// Ground tiles: the opaque base textures of every terrain, the alpha edge tiles that
// blend one terrain over another, the forest canopy and the two animated liquids.
// Every texture repeats every 64 pixels (the liquids every 128), so neighbouring
// tiles of any variant meet without a seam. Relief is lit from the top-left.
#include <algorithm>
#include <cmath>
#include <functional>

#include "tiles_catalogue.h"

namespace tarq::forge {
namespace {

constexpr double kPi = 3.14159265358979323846;

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
double SmoothStep(double a, double b, double v) {
  const double t = Clamp01((v - a) / (b - a));
  return t * t * (3 - 2 * t);
}

uint32_t Pack(Rgb c, double alpha = 1.0) {
  auto ch = [](double v) { return uint32_t(std::lround(Clamp01(v) * 255.0)); };
  const uint32_t a = ch(alpha);
  if (a == 0) return 0;
  return (a << 24) | (ch(c.r) << 16) | (ch(c.g) << 8) | ch(c.b);
}

// Fractal noise repeating every `period` pixels, with lattice cells of `cell` pixels.
double Tiled(double x, double y, int period, double cell, int octaves, uint32_t seed) {
  const int lattice = int(period / cell);
  return PeriodicFbm(x / cell, y / cell, lattice, lattice, octaves, seed);
}

// Fine per-pixel speckle that repeats with the tile.
double Speckle(int x, int y, int period, uint32_t seed) {
  return HashUnit(((x % period) + period) % period, ((y % period) + period) % period, seed);
}

// One terrain's look: height (for light) and colour at a pixel of a 64-pixel period.
struct Surface {
  double height;
  Rgb colour;
};

Surface GrassAt(double x, double y) {
  const double n = Tiled(x, y, 64, 16, 3, 11);
  const double tuft = Tiled(x, y, 64, 4, 2, 12);
  Rgb c = Mix(pal::kGrassDark, pal::kGrass, SmoothStep(0.3, 0.7, n));
  c = Mix(c, Shade(pal::kGrass, 0.12), SmoothStep(0.6, 0.8, tuft) * 0.6);
  return {n * 0.25 + tuft * 0.18, c};
}

Surface SandAt(double x, double y) {
  const double n = Tiled(x, y, 64, 16, 3, 21);
  // Wind ripples: whole waves per tile so they repeat exactly.
  const double ripple = std::sin(2 * kPi * (x * 1 + y * 5) / 64.0 + n * 5.0);
  Rgb c = Mix(Shade(pal::kDesert, -0.1), Shade(pal::kDesert, 0.06), n);
  return {ripple * 0.07 + n * 0.35, c};
}

Surface RockAt(double x, double y) {
  const double n = Tiled(x, y, 64, 16, 4, 31);
  const double fine = Tiled(x, y, 64, 4, 2, 32);
  Rgb c = Mix(pal::kVolcanic, Shade(pal::kSmoke, -0.15), SmoothStep(0.35, 0.75, n));
  return {n * 1.1 + fine * 0.25, c};
}

Surface BadlandAt(double x, double y) {
  const double n = Tiled(x, y, 64, 16, 3, 41);
  const double crack = Tiled(x, y, 64, 8, 2, 42);
  Rgb c = Mix(Shade(pal::kRust, -0.1), Mix(pal::kRust, pal::kKhaki, 0.35), n);
  const double line = 1.0 - SmoothStep(0.0, 0.035, std::fabs(crack - 0.5));
  c = Mix(c, Shade(pal::kRust, -0.55), line * 0.8);
  return {n * 0.8 - line * 0.4, c};
}

Surface ConcreteAt(double x, double y) {
  const double n = Tiled(x, y, 64, 8, 3, 51);
  Rgb c = Mix(Shade(pal::kConcrete, -0.06), Shade(pal::kConcrete, 0.05), n);
  const int ix = int(x), iy = int(y);
  const bool seam = (ix % 32 == 0) || (iy % 32 == 0);
  if (seam) c = Shade(c, -0.22);
  return {n * 0.2 - (seam ? 0.3 : 0.0), c};
}

Surface TechAt(double x, double y) {
  const int ix = ((int(x) % 32) + 32) % 32, iy = ((int(y) % 32) + 32) % 32;
  const double n = Tiled(x, y, 64, 8, 2, 61);
  Rgb c = Mix(Shade(pal::kTechPanel, -0.12), pal::kTechPanel, n * 0.6);
  double h = 0.5;
  if (ix == 0 || iy == 0) {
    c = pal::kTechDark;  // panel seams
    h = 0.0;
  } else if (ix == 1 || iy == 1) {
    h = 1.0;  // bevel catches the light
  } else if (ix == 31 || iy == 31) {
    h = 0.2;
  }
  if ((ix == 4 || ix == 28) && (iy == 4 || iy == 28)) {
    c = Shade(pal::kSteelLight, 0.1);  // rivets
    h = 1.2;
  }
  return {h, c};
}

Surface AlienAt(double x, double y) {
  const double n = Tiled(x, y, 64, 16, 3, 71);
  const double cells = Tiled(x, y, 64, 8, 2, 72);
  Rgb c = Mix(Shade(pal::kAlienViolet, -0.45), Shade(pal::kAlienViolet, -0.2), n);
  const double vein = 1.0 - SmoothStep(0.0, 0.04, std::fabs(cells - 0.5));
  c = Mix(c, pal::kAlienTeal, vein * 0.7);
  return {n * 0.5 + cells * 0.25, c};
}

Surface SurfaceAt(Terrain t, double x, double y) {
  switch (t) {
    case Terrain::Sand: return SandAt(x, y);
    case Terrain::Grass: return GrassAt(x, y);
    case Terrain::Rock: return RockAt(x, y);
    case Terrain::Badland: return BadlandAt(x, y);
    case Terrain::Concrete: return ConcreteAt(x, y);
    case Terrain::Tech: return TechAt(x, y);
    case Terrain::Alien: return AlienAt(x, y);
    default: return GrassAt(x, y);
  }
}

// Colour of a terrain at a pixel, lit from the top-left by its own relief.
Rgb LitTerrain(Terrain t, int x, int y) {
  const Surface here = SurfaceAt(t, x, y);
  const double up_left = SurfaceAt(t, x - 1, y - 1).height;
  const double down_right = SurfaceAt(t, x + 1, y + 1).height;
  const double light = std::clamp((up_left - down_right) * -1.6, -0.35, 0.35);
  Rgb c = Shade(here.colour, light);
  return Shade(c, (Speckle(x, y, 64, 7u + uint32_t(t)) - 0.5) * 0.08);
}

PatternPixels Blank() {
  PatternPixels p;
  p.width = p.height = kTileSize;
  p.pixels.assign(size_t(kTileSize) * kTileSize, 0);
  return p;
}

// A base tile. Variants show a shifted piece of the same texture in their middle,
// faded to the plain texture toward the border, so they break up the 64-pixel repeat
// while meeting every neighbour exactly as the plain tile does.
PatternPixels PaintTerrain(Terrain t, int variant) {
  PatternPixels p = Blank();
  const int shift_x = variant * 23, shift_y = variant * 41;
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) {
      Rgb c = LitTerrain(t, x, y);
      if (variant > 0 && t != Terrain::Tech && t != Terrain::Concrete) {
        const int edge = std::min(std::min(x, 63 - x), std::min(y, 63 - y));
        const double w = SmoothStep(2.0, 14.0, edge);
        if (w > 0) c = Mix(c, LitTerrain(t, x + shift_x, y + shift_y), w);
      }
      p.pixels[size_t(y) * kTileSize + x] = Pack(c);
    }
  }
  return p;
}

// Small details that make the variants differ, kept clear of the tile's border so
// they never cut off at a seam.
void Decorate(PatternPixels& p, Terrain t, int variant) {
  if (variant == 0) return;
  Canvas canvas(kTileSize, kTileSize);
  cairo_t* cr = canvas.cr();
  cairo_surface_t* base = SurfaceFromPixels(p);
  cairo_set_source_surface(cr, base, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(base);
  ArtRandom rnd(uint32_t(t) * 97u + uint32_t(variant) * 13u);
  auto stone = [&](double cx, double cy, double r, Rgb colour) {
    EllipsePath(cr, cx + 1.5, cy + 1.5, r, r * 0.75);  // shadow toward the bottom-right
    SetColour(cr, pal::kInk, 0.35);
    cairo_fill(cr);
    EllipsePath(cr, cx, cy, r, r * 0.75);
    FillDome(cr, colour, cx, cy, r, 0.5);
    cairo_new_path(cr);
  };
  switch (t) {
    case Terrain::Grass:
      if (variant == 1) {  // darker tufts
        for (int i = 0; i < 7; ++i) {
          const double cx = rnd.Range(10, 54), cy = rnd.Range(10, 54);
          EllipsePath(cr, cx, cy, rnd.Range(3, 6), rnd.Range(2, 4));
          SetColour(cr, pal::kGrassDark, 0.6);
          cairo_fill(cr);
        }
      } else if (variant == 2) {  // wild flowers
        for (int i = 0; i < 14; ++i) {
          const double cx = rnd.Range(8, 56), cy = rnd.Range(8, 56);
          EllipsePath(cr, cx, cy, 1.2, 1.2);
          SetColour(cr, i % 3 == 0 ? pal::kWarnYellow : pal::kWhite, 0.85);
          cairo_fill(cr);
        }
      } else {  // a bare patch with a stone
        EllipsePath(cr, 32, 34, 14, 9);
        SetColour(cr, pal::kDirt, 0.55);
        cairo_fill(cr);
        stone(36, 33, 3.5, pal::kSteel);
      }
      break;
    case Terrain::Sand:
    case Terrain::Badland:
    case Terrain::Rock:
      for (int i = 0; i < variant; ++i) {
        stone(rnd.Range(12, 52), rnd.Range(12, 52), rnd.Range(1.8, 4.0 + variant),
              t == Terrain::Rock ? Shade(pal::kSmoke, -0.2) : Shade(pal::kKhaki, -0.15));
      }
      if (t == Terrain::Sand && variant == 3) {  // dry scrub
        for (int i = 0; i < 3; ++i) {
          const double cx = rnd.Range(14, 50), cy = rnd.Range(14, 50);
          EllipsePath(cr, cx, cy, 4, 3);
          SetColour(cr, pal::kOliveDark, 0.8);
          cairo_fill(cr);
        }
      }
      break;
    case Terrain::Concrete:
      // Oil stains and a painted bay mark.
      EllipsePath(cr, rnd.Range(16, 48), rnd.Range(16, 48), rnd.Range(5, 10), rnd.Range(4, 8));
      SetColour(cr, pal::kInk, 0.18);
      cairo_fill(cr);
      if (variant == 2) {
        EllipsePath(cr, 40, 22, 6, 6);
        FillDome(cr, pal::kConcreteDark, 40, 22, 6, -0.3);
        Outline(cr, pal::kGunmetal, 1.0);
      } else if (variant == 3) {
        cairo_rectangle(cr, 22, 22, 20, 20);
        SetColour(cr, pal::kConcreteDark, 0.9);
        cairo_fill(cr);
        for (int i = 0; i < 4; ++i) {
          cairo_rectangle(cr, 24, 25 + i * 4, 16, 1.5);
          SetColour(cr, pal::kInk, 0.6);
          cairo_fill(cr);
        }
      }
      break;
    case Terrain::Tech:
      if (variant == 1) {  // vent grille
        cairo_rectangle(cr, 38, 6, 20, 20);
        SetColour(cr, pal::kTechDark);
        cairo_fill(cr);
        for (int i = 0; i < 5; ++i) {
          cairo_rectangle(cr, 40, 8 + i * 4, 16, 2);
          SetColour(cr, pal::kInk, 0.9);
          cairo_fill(cr);
        }
      } else if (variant == 2) {  // glowing strip
        cairo_rectangle(cr, 6, 44, 20, 3);
        SetColour(cr, pal::kAlienGlow, 0.9);
        cairo_fill(cr);
      } else {  // hatch
        EllipsePath(cr, 16, 16, 9, 9);
        FillDome(cr, pal::kSteel, 16, 16, 9, 0.4);
        Outline(cr, pal::kTechDark, 1.5);
      }
      break;
    case Terrain::Alien:
      for (int i = 0; i < variant - 1; ++i) {  // glowing spore pods
        const double cx = rnd.Range(14, 50), cy = rnd.Range(14, 50), r = rnd.Range(3, 6);
        EllipsePath(cr, cx, cy, r, r);
        FillDome(cr, pal::kAlienTeal, cx, cy, r, 0.6);
        cairo_new_path(cr);
      }
      break;
    default:
      break;
  }
  p = canvas.Pixels();
}

std::string SolidityOf(Terrain t) {
  switch (t) {
    case Terrain::Rock: return "1111111111111111";
    default: return "0000000000000000";
  }
}

// Edge tiles: the terrain where the corner mask (bilinear over the four corners, plus
// a noise that repeats every tile) is above one half. Along a shared tile edge the
// mask depends only on that edge's two corners, so neighbours always agree.
struct EdgeStyle {
  double roughness;  // noise amplitude of the boundary
  double softness;   // width of the alpha ramp
  Rgb rim;           // colour of the band just inside the boundary
  double rim_width;
  double rim_strength;
  double relief;     // cliff-like light and shade along the boundary
};

EdgeStyle StyleOf(Terrain t) {
  switch (t) {
    case Terrain::Sand: return {0.35, 0.03, Shade(pal::kDesert, -0.25), 0.06, 0.5, 0.0};
    case Terrain::Grass: return {0.40, 0.03, pal::kDirt, 0.05, 0.45, 0.3};
    case Terrain::Rock: return {0.45, 0.02, pal::kInk, 0.05, 0.4, 1.0};
    case Terrain::Badland: return {0.35, 0.02, Shade(pal::kRust, -0.45), 0.05, 0.5, 0.6};
    case Terrain::Concrete: return {0.0, 0.01, pal::kConcreteDark, 0.04, 0.8, 0.8};
    case Terrain::Tech: return {0.0, 0.01, pal::kSteelLight, 0.03, 0.9, 1.0};
    case Terrain::Alien: return {0.40, 0.03, pal::kAlienGlow, 0.05, 0.6, 0.3};
    default: return {0.3, 0.03, pal::kInk, 0.0, 0.0, 0.0};
  }
}

double CornerField(int mask, double u, double v, double noise, double roughness) {
  const double tl = (mask & kCornerTL) ? 1 : 0, tr = (mask & kCornerTR) ? 1 : 0;
  const double bl = (mask & kCornerBL) ? 1 : 0, br = (mask & kCornerBR) ? 1 : 0;
  const double top = tl + (tr - tl) * u, bottom = bl + (br - bl) * u;
  return top + (bottom - top) * v + roughness * (noise - 0.5);
}

PatternPixels PaintEdge(Terrain t, int mask, uint32_t seed) {
  const EdgeStyle s = StyleOf(t);
  PatternPixels p = Blank();
  auto field = [&](double x, double y) {
    const double n = Tiled(x, y, 64, 16, 3, seed);
    return CornerField(mask, (x + 0.5) / 64.0, (y + 0.5) / 64.0, n, s.roughness);
  };
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) {
      const double f = field(x, y);
      const double alpha = SmoothStep(0.5 - s.softness, 0.5 + s.softness, f);
      if (alpha <= 0) continue;
      Rgb c = LitTerrain(t, x, y);
      const double rim = 1.0 - SmoothStep(0.5, 0.5 + s.rim_width, f);
      c = Mix(c, s.rim, rim * s.rim_strength);
      if (s.relief > 0 && rim > 0) {
        // A raised edge: faces toward the top-left catch light, the others fall dark.
        const double slope = field(x + 1, y + 1) - field(x - 1, y - 1);
        c = Shade(c, std::clamp(slope * 12.0, -0.5, 0.5) * s.relief * rim);
      }
      p.pixels[size_t(y) * kTileSize + x] = Pack(c, alpha);
    }
  }
  return p;
}

// Shallow water: a see-through wash of pale turquoise over the animated water (or
// over sand), with a sandy bottom showing through, sun ripples and a faint line of
// surf where it meets the deep water. Same corner rule as the other edges.
PatternPixels PaintShallow(int mask) {
  PatternPixels p = Blank();
  const Rgb shoal = Mix(pal::kWaterLight, pal::kDesert, 0.45);
  auto field = [&](double x, double y) {
    // A strongly wandering boundary: banks of sand under water are never straight.
    const double n = std::clamp((Tiled(x, y, 64, 16, 3, 1301) - 0.5) * 1.8 + 0.5, 0.0, 1.0);
    return CornerField(mask, (x + 0.5) / 64.0, (y + 0.5) / 64.0, n, 0.8);
  };
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) {
      const double f = field(x, y);
      const double cover = SmoothStep(0.42, 0.62, f);
      if (cover <= 0) continue;
      const double bottom = Tiled(x, y, 64, 16, 3, 1302);
      const double ripple = Tiled(x, y, 64, 8, 2, 1303);
      const double glint = 1.0 - SmoothStep(0.0, 0.03, std::fabs(ripple - 0.55));
      Rgb c = Mix(shoal, Shade(shoal, 0.25), bottom);
      c = Mix(c, pal::kFoam, glint * 0.45);
      // Surf: a pale band just inside the boundary with the deep water.
      const double surf = 1.0 - SmoothStep(0.5, 0.58, f);
      c = Mix(c, pal::kFoam, surf * 0.55);
      const double alpha = cover * (0.42 + 0.28 * bottom) + surf * 0.2;
      p.pixels[size_t(y) * kTileSize + x] = Pack(c, std::min(alpha, 0.85));
    }
  }
  return p;
}

// Forest canopy: clustered tree crowns, lit from the top-left, with a soft shadow
// toward the bottom-right inside the canopy's outline.
PatternPixels PaintCanopy(int mask, int variant) {
  Canvas canvas(kTileSize, kTileSize);
  cairo_t* cr = canvas.cr();
  // Crowns sit on a jittered grid that repeats every tile. Each crown belongs to the
  // cell corner nearest to it, and it is drawn when that corner is forest: crowns that
  // reach over a tile edge belong to a corner both tiles share, so they always agree.
  struct Crown {
    double x, y, r;
  };
  std::vector<Crown> crowns;
  for (int gy = -1; gy <= 4; ++gy) {
    for (int gx = -1; gx <= 4; ++gx) {
      const int wx = ((gx % 4) + 4) % 4, wy = ((gy % 4) + 4) % 4;
      const uint32_t h = Hash32(wx, wy, 501u);
      const double cx = gx * 16 + 8 + ((h & 0xFF) / 255.0 - 0.5) * 8;
      const double cy = gy * 16 + 8 + (((h >> 8) & 0xFF) / 255.0 - 0.5) * 8;
      const double r = 10 + ((h >> 16) & 0xFF) / 255.0 * 4;
      const int corner = (gy < 2 ? (gx < 2 ? kCornerTL : kCornerTR) : (gx < 2 ? kCornerBL : kCornerBR));
      if (mask & corner) crowns.push_back({cx, cy, r});
    }
  }
  // Draw in map order so overlapping crowns stack the same way on both sides of a seam.
  std::stable_sort(crowns.begin(), crowns.end(),
                   [](const Crown& a, const Crown& b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
  if (mask == 15 && variant == 1) crowns.push_back({32, 30, 13});  // one broad old tree
  for (const Crown& c : crowns) {  // shadows first, under every crown
    EllipsePath(cr, c.x + 3, c.y + 3, c.r, c.r);
    SetColour(cr, pal::kInk, 0.45);
    cairo_fill(cr);
  }
  for (const Crown& c : crowns) {
    EllipsePath(cr, c.x, c.y, c.r, c.r);
    FillDome(cr, Mix(pal::kForest, pal::kGrassDark, 0.3), c.x, c.y, c.r, 0.55);
    cairo_new_path(cr);
    for (int i = 0; i < 5; ++i) {  // leaf clumps
      const double a = i * 2 * kPi / 5 + c.x * 0.1;
      const double lx = c.x + std::cos(a) * c.r * 0.45, ly = c.y + std::sin(a) * c.r * 0.45;
      EllipsePath(cr, lx, ly, c.r * 0.35, c.r * 0.35);
      FillDome(cr, pal::kForest, lx, ly, c.r * 0.35, 0.5);
      cairo_new_path(cr);
    }
  }
  return canvas.Pixels();
}

// The animated liquids: 128x128 pictures that repeat in both directions, cut in four.
PatternPixels Quarter(const std::vector<uint32_t>& block, int qx, int qy) {
  PatternPixels p = Blank();
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) {
      p.pixels[size_t(y) * kTileSize + x] = block[size_t(qy * 64 + y) * 128 + qx * 64 + x];
    }
  }
  return p;
}

std::vector<uint32_t> PaintWaterBlock() {
  std::vector<uint32_t> px(128 * 128);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      const double depth = PeriodicFbm(x / 32.0, y / 32.0, 4, 4, 3, 801);
      // Swell: stretched noise that repeats across the block, lit from the top-left.
      const double swell = PeriodicFbm(x / 16.0, y / 8.0, 8, 16, 3, 802);
      const double swell_ul = PeriodicFbm((x - 1) / 16.0, (y - 1) / 8.0, 8, 16, 3, 802);
      Rgb c = Mix(Shade(pal::kWater, -0.15), pal::kWater, depth);
      c = Shade(c, std::clamp((swell_ul - swell) * -6.0, -0.2, 0.25));
      const double crest = 1.0 - SmoothStep(0.0, 0.025, std::fabs(swell - 0.62));
      c = Mix(c, pal::kWaterLight, crest * 0.7);
      if (HashUnit(x, y, 803) > 0.997) c = Mix(c, pal::kFoam, 0.6);
      px[size_t(y) * 128 + x] = Pack(c);
    }
  }
  return px;
}

std::vector<uint32_t> PaintLavaBlock() {
  std::vector<uint32_t> px(128 * 128);
  for (int y = 0; y < 128; ++y) {
    for (int x = 0; x < 128; ++x) {
      const double heat = PeriodicFbm(x / 32.0, y / 32.0, 4, 4, 3, 901);
      const double plates = PeriodicFbm(x / 16.0, y / 16.0, 8, 8, 3, 902);
      const double crack = 1.0 - SmoothStep(0.0, 0.06 + heat * 0.06, std::fabs(plates - 0.5));
      Rgb crust = Mix(pal::kScorch, Shade(pal::kRust, -0.45), heat);
      Rgb glow = Mix(pal::kFlameRed, pal::kLava, heat);
      glow = Mix(glow, pal::kFlameYellow, SmoothStep(0.6, 1.0, crack) * heat);
      Rgb c = Mix(crust, glow, SmoothStep(0.15, 0.6, crack + heat * 0.35));
      px[size_t(y) * 128 + x] = Pack(c);
    }
  }
  return px;
}

PatternPixels PaintField(int variant) {
  PatternPixels p = Blank();
  static const Rgb kCrops[kFieldVariants] = {Hex(0xC8B060), Hex(0x7FA048), Hex(0x8A6A48),
                                             Hex(0xD8C840)};
  for (int y = 0; y < kTileSize; ++y) {
    for (int x = 0; x < kTileSize; ++x) {
      Rgb c = kCrops[variant];
      const double n = Tiled(x, y, 64, 16, 2, 601u + uint32_t(variant));
      // Crop rows (ploughed fields run across, the others up and down).
      const int along = variant == 2 ? y : x;
      const double row = std::sin(2 * kPi * along / 6.0);
      c = Shade(c, row * 0.12 + (n - 0.5) * 0.2);
      // Hedges on every border make a patchwork when fields sit side by side.
      const int edge = std::min(std::min(x, 63 - x), std::min(y, 63 - y));
      if (edge < 3) {
        const double leaf = Tiled(x, y, 64, 4, 2, 605);
        c = Shade(Mix(pal::kForest, pal::kGrassDark, leaf), edge == 0 ? -0.2 : 0.05 * edge);
      }
      p.pixels[size_t(y) * kTileSize + x] = Pack(c);
    }
  }
  return p;
}

}  // namespace

int BaseVariantCount(Terrain t) {
  return (t == Terrain::Water || t == Terrain::Lava) ? 1 : 4;
}

void AddTerrainTiles(TileCatalogue& cat) {
  // Base tiles: 8 grass and fields, then 4 variants of each other land terrain.
  const Terrain lands[] = {Terrain::Sand, Terrain::Grass, Terrain::Rock, Terrain::Badland,
                           Terrain::Concrete, Terrain::Tech, Terrain::Alien};
  int next = 8;
  for (Terrain t : lands) {
    for (int v = 0; v < BaseVariantCount(t); ++v) {
      PatternPixels p = PaintTerrain(t, v);
      Decorate(p, t, v);
      cat.Add(next++, BaseTileName(t, v), SolidityOf(t), std::move(p));
    }
  }
  for (int v = 0; v < kFieldVariants; ++v) {
    cat.Add(next++, FieldTileName(v), "0000000000000000", PaintField(v));
  }
  // Edge tiles: two sheet rows per terrain from 48.
  int base = 48;
  for (Terrain t : lands) {
    for (int mask = 1; mask <= 14; ++mask) {
      PatternPixels edge = PaintEdge(t, mask, 700u + uint32_t(t));
      // Rock outcrops are low obstacles wherever the rock covers the ground.
      const std::string solid = SolidityFromCoverage(edge, t == Terrain::Rock ? '1' : '0');
      cat.Add(base + mask - 1, EdgeTileName(t, mask), solid, std::move(edge));
    }
    base += 16;
  }
  // Forest canopy (overlay): 14 edges and two full variants, from 160.
  for (int mask = 1; mask <= 15; ++mask) {
    PatternPixels canopy = PaintCanopy(mask, 0);
    const std::string solid = SolidityFromCoverage(canopy, '1');  // trees: low obstacles
    cat.Add(160 + mask - 1, CanopyTileName(mask), solid, std::move(canopy));
  }
  cat.Add(175, CanopyTileName(15) + "_b", "1111111111111111", PaintCanopy(15, 1));
  // Shallow water washes, 15 masks (15 = all shallow) from 280.
  for (int mask = 1; mask <= 15; ++mask) {
    cat.Add(280 + mask - 1, EdgeTileName(Terrain::Shallow, mask), "0000000000000000", PaintShallow(mask));
  }

  const std::vector<uint32_t> water = PaintWaterBlock();
  const char* const kQuarterNames[4] = {"tl", "tr", "bl", "br"};
  for (int q = 0; q < 4; ++q) {
    cat.Add(kWaterBlock[q], std::string("water_a_") + kQuarterNames[q], "0000000000000000",
            Quarter(water, q % 2, q / 2));
  }
  const std::vector<uint32_t> lava = PaintLavaBlock();
  for (int q = 0; q < 4; ++q) {
    cat.Add(kLavaBlock[q], std::string("lava_b_") + kQuarterNames[q], "0000000000000000",
            Quarter(lava, q % 2, q / 2));
  }
}

}  // namespace tarq::forge
