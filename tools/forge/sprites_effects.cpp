// Light and fire: the explosions, bullets, glows, bars, craters and track marks.
// Glows are drawn by the game as additive light, so they are light on black and reach
// exactly black before their pattern's border (they are scaled up to 18x and 64x).
#include <algorithm>
#include <cmath>

#include "sprites_common.h"

namespace tarq::forge {

namespace {

double SmoothStep(double e0, double e1, double v) {
  const double t = std::clamp((v - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Temperature 0..1+ to the colour of fire: black, deep red, orange, yellow, white.
Rgb FireColour(double h) {
  struct Stop {
    double at;
    Rgb c;
  };
  static const Stop stops[] = {{0.0, {0, 0, 0}},          {0.18, {0.45, 0.05, 0.0}},
                               {0.4, {0.9, 0.28, 0.04}},  {0.62, {1.0, 0.62, 0.15}},
                               {0.82, {1.0, 0.9, 0.45}},  {1.0, {1.0, 1.0, 0.92}}};
  if (h <= 0) return stops[0].c;
  for (size_t i = 1; i < std::size(stops); ++i) {
    if (h <= stops[i].at) {
      const double t = (h - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
      return Mix(stops[i - 1].c, stops[i].c, t);
    }
  }
  return stops[std::size(stops) - 1].c;
}

Rgba Light(Rgb c) {
  const double a = std::max({c.r, c.g, c.b});
  return {std::clamp(c.r, 0.0, 1.0), std::clamp(c.g, 0.0, 1.0), std::clamp(c.b, 0.0, 1.0),
          std::clamp(a, 0.0, 1.0)};
}

// One frame of an explosion, frame f of `frames`. Variant 0 is a round fireball that
// rolls into grey smoke; variant 1 bursts into lobes with sparks and a shock ring and
// leaves browner, longer smoke.
Rgba ExplosionPixel(double x, double y, int f, int frames, int variant) {
  const double cx = 32, cy = 32;
  const double dx = x - cx, dy = y - cy;
  const double dist = std::sqrt(dx * dx + dy * dy);
  if (dist >= 31.5) return {};
  const double u = std::min(1.0, f / double(frames - 1));
  const uint32_t seed = variant == 0 ? 0xE1u : 0xE2u;
  const double rmax = variant == 0 ? 27.0 : 28.0;
  const double grow = 1 - std::pow(1 - std::min(1.0, u * 1.6), 2.5);
  const double radius = 9 + (rmax - 9) * grow;

  // Noise in coordinates scaled with the radius, so the texture grows with the ball,
  // drifting a little from frame to frame.
  const double nx = dx / radius * 2.6 + u * 1.7, ny = dy / radius * 2.6 - u * 1.1;
  const double n = Fbm(nx + 10, ny + 10, 4, seed);
  double density;
  double rr;
  if (variant == 0) {
    rr = dist / radius;
    density = std::clamp(1.15 - rr * rr + (n - 0.5) * (0.8 + 0.6 * u), 0.0, 1.0);
  } else {
    // The burst is a cluster of blobs thrown outward rather than one ball.
    density = 0;
    rr = 1;
    for (int k = 0; k < 6; ++k) {
      const double a = (k + 0.35 * HashUnit(k, 3, seed)) * 2 * M_PI / 5;
      const double off = (k == 0 ? 0.0 : (0.35 + 0.35 * HashUnit(k, 4, seed))) * radius * (0.5 + 0.5 * grow);
      const double br = radius * (k == 0 ? 0.62 : 0.42 + 0.12 * HashUnit(k, 5, seed));
      const double bx = dx - off * std::cos(a), by = dy - off * std::sin(a);
      const double r2 = (bx * bx + by * by) / (br * br);
      density = std::max(density, 1.1 - r2);
      rr = std::min(rr, std::sqrt(r2) * 0.8 + dist / radius * 0.2);
    }
    density = std::clamp(density + (n - 0.5) * (0.9 + 0.5 * u), 0.0, 1.0);
  }

  // Heat falls as the fireball ages; the core stays hotter.
  const double heat_life = variant == 0 ? 1.25 * std::exp(-u * 3.3) : 1.3 * std::exp(-u * 3.0);
  double heat = heat_life * std::pow(density, 1.1) * (1.3 - 0.5 * rr) * (0.8 + 0.4 * n);
  // Flash: the first frames are a white-hot core.
  const double flash = std::max(0.0, 1 - f / 3.0);
  const double flash_r = 5 + 3 * f;
  heat += flash * std::exp(-(dist * dist) / (2 * flash_r * flash_r)) * 1.4;

  Rgb fire = FireColour(std::max(0.0, heat - 0.2) * 1.25);
  // Smoke rolls in as the heat goes, then thins out to black.
  const double smoke_in = SmoothStep(0.2, 0.5, u);
  const double smoke_out = 1 - SmoothStep(variant == 0 ? 0.6 : 0.68, 1.0, u);
  const double smoke = density * smoke_in * smoke_out * (0.5 + 0.5 * n);
  const Rgb smoke_tint = variant == 0 ? Rgb{0.8, 0.78, 0.76} : Rgb{0.8, 0.7, 0.6};
  const double cover = std::clamp(1.2 - heat * 1.5, 0.0, 1.0);
  Rgb out = {fire.r + smoke_tint.r * smoke * cover, fire.g + smoke_tint.g * smoke * cover,
             fire.b + smoke_tint.b * smoke * cover};

  if (variant == 1) {
    // Sparks flying out along fixed rays during the first half.
    const double ang = std::atan2(dy, dx);
    for (int k = 0; k < 9; ++k) {
      const double a = HashUnit(k, 1, seed) * 2 * M_PI;
      const double reach = (0.4 + 0.6 * HashUnit(k, 2, seed)) * 30 * std::min(1.0, u * 2.2);
      double da = std::remainder(ang - a, 2 * M_PI);
      const double width = 0.9 / std::max(dist, 1.0);
      const double along = SmoothStep(reach - 7, reach, dist) * (1 - SmoothStep(reach, reach + 1.5, dist));
      const double s = std::exp(-(da * da) / (2 * width * width)) * along * (1 - SmoothStep(0.3, 0.6, u));
      out.r += s * 1.0, out.g += s * 0.85, out.b += s * 0.5;
    }
    // Shock ring in the first frames.
    const double ring_r = 6 + u * 60;
    const double ring = std::exp(-std::pow((dist - ring_r) / 1.8, 2)) * (1 - SmoothStep(0.0, 0.35, u));
    out.r += ring * 0.6, out.g += ring * 0.45, out.b += ring * 0.3;
  }
  // Reach black before the pattern's edge.
  const double edge = 1 - SmoothStep(26.5, 31.5, dist);
  return Light(Scale(out, edge));
}

void AddExplosion(SpriteList& out, const char* first, const char* second, int frames, int variant) {
  // Frame f is image (base + f div 16), pattern (f mod 16); past the last frame the
  // animation has ended, so those patterns stay black.
  auto painter = [frames, variant](int offset) {
    return [frames, variant, offset](double x, double y, int i) {
      const int f = offset + i;
      if (f >= frames) return Rgba{};
      return ExplosionPixel(x, y, f, frames, variant);
    };
  };
  out.push_back(PixelSprite(first, 64, 64, 16, painter(0)));
  out.push_back(PixelSprite(second, 64, 64, 16, painter(16)));
}

// Round glowing bullet with a short trail to the left (they are stored facing right).
Rgba BallBullet(double x, double y, double cx, double cy, double radius, Rgb rim, Rgb core) {
  const double dx = x - cx, dy = y - cy;
  const double trail_dx = dx < 0 ? dx * 0.45 : dx;  // stretch behind the ball
  const double d = std::sqrt(trail_dx * trail_dx + dy * dy) / radius;
  if (d >= 1.0) return {};
  const double a = 1 - SmoothStep(0.75, 1.0, d);
  const Rgb c = Mix(core, rim, SmoothStep(0.0, 0.75, d));
  return {c.r, c.g, c.b, a};
}

void AddBullets(SpriteList& out) {
  out.push_back(PixelSprite("blank", 16, 16, 1, [](double, double, int) { return Rgba{}; }));
  out.push_back(PixelSprite("enemybullet", 16, 16, 1, [](double x, double y, int) {
    return BallBullet(x, y, 9, 8, 5.5, Hex(0xE83A18), Hex(0xFFF4B0));
  }));
  // A four-armed spinning star; 12 frames turn it a quarter turn, which loops.
  out.push_back(PixelSprite("bullet2", 16, 16, 12, [](double x, double y, int i) {
    const double dx = x - 8, dy = y - 8, d = std::sqrt(dx * dx + dy * dy);
    if (d >= 7.5) return Rgba{};
    const double rot = i * (M_PI / 2) / 12;
    const double arms = std::pow(std::abs(std::cos(2 * (std::atan2(dy, dx) - rot))), 6);
    const double shape = std::max(1 - SmoothStep(2.0, 3.6, d), arms * (1 - SmoothStep(3.5, 7.4, d)));
    const Rgb c = Mix(Hex(0xFFF0FF), Hex(0xC048F0), SmoothStep(0.5, 5.0, d));
    return Rgba{c.r, c.g, c.b, shape};
  }));
  // A pulsing green plasma ball.
  out.push_back(PixelSprite("bullet3", 16, 16, 3, [](double x, double y, int i) {
    const double radius = 4.8 + 1.1 * i;
    const double dx = x - 8, dy = y - 8, d = std::sqrt(dx * dx + dy * dy) / radius;
    if (d >= 1) return Rgba{};
    const Rgb c = Mix(Hex(0xF0FFE0), Hex(0x38D048), SmoothStep(0.1, 0.8, d));
    return Rgba{c.r, c.g, c.b, 1 - SmoothStep(0.6, 1.0, d)};
  }));
  // An artillery shell with a flickering flame behind it.
  out.push_back(PaintSprite("bigbullet", 32, 16, 4, [](cairo_t* cr, int i) {
    for (int k = 0; k < 3; ++k) {
      const double len = 9 + 3 * HashUnit(i, k, 77) + (2 - k) * 2;
      const double h = 3.4 - k * 0.9;
      cairo_pattern_t* g = cairo_pattern_create_linear(12 - len, 0, 12, 0);
      const Rgb c = FireColour(0.55 + k * 0.2);
      cairo_pattern_add_color_stop_rgba(g, 0, c.r, c.g, c.b, 0);
      cairo_pattern_add_color_stop_rgba(g, 1, c.r, c.g, c.b, 0.95);
      cairo_set_source(cr, g);
      EllipsePath(cr, 12 - len / 2, 8 + (HashUnit(i, k, 78) - 0.5), len / 2, h);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
    }
    cairo_move_to(cr, 11, 5);
    cairo_line_to(cr, 22, 5);
    cairo_curve_to(cr, 27, 5, 30, 7, 30.5, 8);
    cairo_curve_to(cr, 30, 9, 27, 11, 22, 11);
    cairo_line_to(cr, 11, 11);
    cairo_close_path(cr);
    FillCylinder(cr, Hex(0xC8A050), true, 0.5);
    Outline(cr, pal::kInk, 0.8);
    cairo_rectangle(cr, 11, 5, 3, 6);
    SetColour(cr, Hex(0x8A6A30));
    cairo_fill(cr);
    cairo_rectangle(cr, 19, 5, 1.3, 6);
    SetColour(cr, pal::kCamoBrown, 0.9);
    cairo_fill(cr);
  }, 0.0));
}

void AddGlows(SpriteList& out) {
  // Fortress beams, damage and volume bars: a hot line across x, uniform along y.
  out.push_back(PixelSprite("bar1", 16, 16, 1, [](double x, double, int) {
    const double d = std::abs(x - 8) / 8;
    const Rgb c = Mix(Mix(Hex(0xFFFFF0), Hex(0xFF9A30), SmoothStep(0.0, 0.35, d)), Hex(0xE02810),
                      SmoothStep(0.35, 0.9, d));
    return Rgba{c.r, c.g, c.b, std::pow(std::max(0.0, 1 - d * d), 1.2)};
  }));
  // Spectrum bars: only pattern 5 is shown. Tip at the top, base at the bottom.
  out.push_back(PixelSprite("bar3", 16, 64, 6, [](double x, double y, int i) {
    const double d = std::abs(x - 8) / 8;
    const double v = 1 - y / 64;  // 0 at the base, 1 at the tip
    static const Rgb bases[6] = {Hex(0x2040FF), Hex(0x20C0FF), Hex(0xFF40C0),
                                 Hex(0xFFC020), Hex(0x80FF40), Hex(0x18C8A0)};
    Rgb c = Mix(bases[i], Hex(0xA0FF60), SmoothStep(0.0, 0.55, v));
    c = Mix(c, Hex(0xFFE040), SmoothStep(0.5, 0.8, v));
    c = Mix(c, Hex(0xFFFFF0), SmoothStep(0.9, 1.0, v));
    const double a = std::pow(std::max(0.0, 1 - d * d), 0.9) * (0.55 + 0.45 * v);
    return Rgba{c.r, c.g, c.b, a};
  }));
  // The nuke: white centre fading to exactly black well inside the border.
  out.push_back(PixelSprite("nuke", 64, 64, 1, [](double x, double y, int) {
    const double d = std::sqrt((x - 32) * (x - 32) + (y - 32) * (y - 32)) / 31.0;
    if (d >= 1) return Rgba{};
    const double v = std::pow(1 - d * d, 2.2);
    const Rgb c = Mix(Hex(0xFFF4E0), Hex(0xFFFFFF), 1 - d);
    return Light(Scale(c, v));
  }));
  // A star glint: soft core with four long and four short rays.
  out.push_back(PixelSprite("flare", 32, 32, 1, [](double x, double y, int) {
    const double dx = x - 16, dy = y - 16, d = std::sqrt(dx * dx + dy * dy);
    if (d >= 15.5) return Rgba{};
    const double fade = 1 - SmoothStep(10, 15.5, d);
    const double core = std::exp(-d * d / 10.0);
    const double ray = std::exp(-dx * dx / 0.9) * std::exp(-std::abs(dy) / 6) +
                       std::exp(-dy * dy / 0.9) * std::exp(-std::abs(dx) / 6);
    const double u = (dx + dy) / M_SQRT2, w = (dx - dy) / M_SQRT2;
    const double diag = 0.5 * (std::exp(-u * u / 0.7) * std::exp(-std::abs(w) / 3) +
                               std::exp(-w * w / 0.7) * std::exp(-std::abs(u) / 3));
    const double v = std::min(1.0, core + ray + diag) * fade;
    return Light(Scale(Hex(0xFFF8E8), v));
  }));
  // A splash of white water: a ring of spray with droplets.
  out.push_back(PixelSprite("splash", 64, 64, 1, [](double x, double y, int) {
    const double dx = x - 32, dy = y - 32, d = std::sqrt(dx * dx + dy * dy);
    if (d >= 31) return Rgba{};
    const double ang = std::atan2(dy, dx);
    const double wobble = 2.2 * (Fbm(std::cos(ang) * 2 + 5, std::sin(ang) * 2 + 5, 3, 91) - 0.5);
    const double ring = std::exp(-std::pow((d - 20 - wobble) / 2.6, 2));
    const double foam = 0.35 * (1 - SmoothStep(0, 18, d)) * Fbm(x / 4, y / 4, 3, 92);
    double drops = 0;
    for (int k = 0; k < 22; ++k) {
      const double a = HashUnit(k, 0, 93) * 2 * M_PI, r = 21 + HashUnit(k, 1, 93) * 7;
      const double px = 32 + r * std::cos(a), py = 32 + r * std::sin(a);
      const double dd = (x - px) * (x - px) + (y - py) * (y - py);
      drops += std::exp(-dd / 1.4) * 0.9;
    }
    const double v = std::min(1.0, ring * 0.95 + foam + drops) * (1 - SmoothStep(28, 31, d));
    return Light(Scale(Hex(0xF0FAFF), v));
  }));
}

// A scorch mark: a dark pit with a lighter rim of thrown-out earth and radial streaks.
PatternPixels CraterPixels(uint32_t seed, double radius) {
  Sprite s = PixelSprite("crater", 64, 64, 1, [seed, radius](double x, double y, int) {
    const double dx = x - 32, dy = y - 32, d = std::sqrt(dx * dx + dy * dy);
    const double ang = std::atan2(dy, dx);
    const double edge_noise = Fbm(std::cos(ang) * 1.6 + 3, std::sin(ang) * 1.6 + 3, 4, seed);
    const double r = radius * (0.78 + 0.4 * edge_noise);
    const double rr = d / r;
    if (rr >= 1.0 || d >= 31) return Rgba{};
    const double streak = Fbm(ang * 3.0 + 20, d / 12, 2, seed + 5);
    const double grain = Fbm(x / 3, y / 3, 3, seed + 9);
    double a = (1 - SmoothStep(0.55, 1.0, rr)) * (0.72 + 0.28 * streak);
    a *= 1 - SmoothStep(27, 31, d);
    // Colour: black-brown pit, a rim of dusty earth, ash in the middle.
    Rgb c = Mix(pal::kScorch, Hex(0x4A3C2C), SmoothStep(0.25, 0.6, rr) * (0.6 + 0.4 * grain));
    c = Mix(c, Hex(0x6A5A44), SmoothStep(0.6, 0.8, rr) * (1 - SmoothStep(0.8, 1.0, rr)) * 0.7);
    c = Mix(c, Hex(0x2E2A26), (1 - SmoothStep(0.0, 0.18, rr)) * 0.6);
    c = Scale(c, 0.85 + 0.3 * grain);
    return Rgba{c.r, c.g, c.b, std::clamp(a * 0.92, 0.0, 1.0)};
  });
  return s.patterns[0];
}

void AddGroundMarks(SpriteList& out) {
  // crater01: pattern 0 is the ordinary scorch (most wrecks and the nuke); pattern 1 is
  // the wreck of a big plane (its schedule value selects the pattern) with scattered
  // debris.
  Sprite crater;
  crater.name = "crater01";
  crater.pattern_width = crater.pattern_height = 64;
  crater.patterns.push_back(CraterPixels(0xC1, 25));
  {
    PatternPixels base = CraterPixels(0xC2, 27);
    cairo_surface_t* surface = SurfaceFromPixels(base);
    cairo_t* cr = cairo_create(surface);
    ArtRandom rng(0xD3B);
    for (int k = 0; k < 9; ++k) {
      const double a = rng.Range(0, 2 * M_PI), r = rng.Range(4, 20);
      const double px = 32 + r * std::cos(a), py = 32 + r * std::sin(a);
      cairo_save(cr);
      cairo_translate(cr, px, py);
      cairo_rotate(cr, rng.Range(0, M_PI));
      const double l = rng.Range(3, 8), w = rng.Range(1.2, 2.6);
      PolygonPath(cr, {-l, -w, l * 0.6, -w * 1.4, l, w * 0.5, -l * 0.4, w});
      FillLit(cr, Mix(pal::kAirGreyDark, pal::kScorch, rng.Range(0.2, 0.6)), 0.4);
      Outline(cr, pal::kInk, 0.6, 0.7);
      cairo_restore(cr);
    }
    cairo_destroy(cr);
    PatternPixels wreck = PixelsFromSurface(surface);
    cairo_surface_destroy(surface);
    ZeroTransparent(wreck);
    crater.patterns.push_back(std::move(wreck));
  }
  out.push_back(std::move(crater));

  // Track marks: laid every 64 px along the vehicle's path, possibly turned half a
  // turn, so the tread pattern is symmetric under 180 degrees and has a period that
  // divides 64 (marks join end to end).
  auto tread = [](double x, double y, double centre, double half_width, double alpha) {
    const double d = std::abs(y - centre);
    if (d >= half_width) return 0.0;
    const int phase = static_cast<int>(std::floor(x)) % 4;
    const double bar = (phase == 1 || phase == 2) ? 1.0 : 0.55;
    return alpha * bar * (1 - SmoothStep(half_width - 1.2, half_width, d));
  };
  const Rgb mark = Hex(0x2A2218);
  out.push_back(PixelSprite("tanktracks", 64, 64, 2, [tread, mark](double x, double y, int) {
    const double a = std::max(tread(x, y, 32 - 19, 5.5, 0.42), tread(x, y, 32 + 19, 5.5, 0.42));
    return Rgba{mark.r, mark.g, mark.b, a};
  }));
  out.push_back(PixelSprite("jeeptracks", 64, 32, 2, [tread, mark](double x, double y, int) {
    const double a = std::max(tread(x, y, 16 - 9, 2.4, 0.34), tread(x, y, 16 + 9, 2.4, 0.34));
    return Rgba{mark.r, mark.g, mark.b, a};
  }));
}

}  // namespace

void AddEffectSprites(SpriteList& out) {
  AddBullets(out);
  AddExplosion(out, "explosion1a", "explosion1b", 27, 0);
  AddExplosion(out, "explosion2a", "explosion2b", 31, 1);
  AddGlows(out);
  AddGroundMarks(out);
}

}  // namespace tarq::forge
