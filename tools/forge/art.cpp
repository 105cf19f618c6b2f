#include "art.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace tarq::forge {

namespace {

double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

double SmoothStep(double t) { return t * t * (3.0 - 2.0 * t); }

int PositiveMod(int v, int m) {
  const int r = v % m;
  return r < 0 ? r + m : r;
}

}  // namespace

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Shade(Rgb c, double k) {
  return k >= 0 ? Mix(c, Rgb{1, 1, 1}, std::min(k, 1.0)) : Mix(c, Rgb{0, 0, 0}, std::min(-k, 1.0));
}

Rgb Scale(Rgb c, double k) { return {Clamp01(c.r * k), Clamp01(c.g * k), Clamp01(c.b * k)}; }

// ---- Noise ---------------------------------------------------------------------------

uint32_t Hash32(int32_t x, int32_t y, uint32_t seed) {
  // Integer avalanche (a variant of the lowbias32 finaliser) over the three inputs.
  uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^
               static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

double HashUnit(int32_t x, int32_t y, uint32_t seed) { return Hash32(x, y, seed) / 4294967296.0; }

namespace {

double LatticeNoise(double x, double y, uint32_t seed, int period_x, int period_y) {
  const double fx = std::floor(x), fy = std::floor(y);
  int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  int x1 = x0 + 1, y1 = y0 + 1;
  if (period_x > 0) {
    x0 = PositiveMod(x0, period_x);
    x1 = PositiveMod(x1, period_x);
  }
  if (period_y > 0) {
    y0 = PositiveMod(y0, period_y);
    y1 = PositiveMod(y1, period_y);
  }
  const double tx = SmoothStep(x - fx), ty = SmoothStep(y - fy);
  const double a = HashUnit(x0, y0, seed), b = HashUnit(x1, y0, seed);
  const double c = HashUnit(x0, y1, seed), d = HashUnit(x1, y1, seed);
  return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

}  // namespace

double ValueNoise(double x, double y, uint32_t seed) { return LatticeNoise(x, y, seed, 0, 0); }

double PeriodicNoise(double x, double y, int period_x, int period_y, uint32_t seed) {
  return LatticeNoise(x, y, seed, period_x, period_y);
}

double Fbm(double x, double y, int octaves, uint32_t seed) {
  double sum = 0, amplitude = 1, total = 0, frequency = 1;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * ValueNoise(x * frequency, y * frequency, seed + 101u * o);
    total += amplitude;
    amplitude *= 0.5;
    frequency *= 2;
  }
  return total > 0 ? sum / total : 0;
}

double PeriodicFbm(double x, double y, int period_x, int period_y, int octaves, uint32_t seed) {
  double sum = 0, amplitude = 1, total = 0;
  int frequency = 1;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * PeriodicNoise(x * frequency, y * frequency, period_x * frequency,
                                     period_y * frequency, seed + 101u * o);
    total += amplitude;
    amplitude *= 0.5;
    frequency *= 2;
  }
  return total > 0 ? sum / total : 0;
}

uint32_t ArtRandom::Next() {
  // xorshift32: tiny, deterministic, good enough for placing rivets and debris.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double ArtRandom::Unit() { return Next() / 4294967296.0; }
double ArtRandom::Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
int ArtRandom::Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }

// ---- Canvas --------------------------------------------------------------------------

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot create a drawing surface");
  }
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

PatternPixels Canvas::Pixels() { return PixelsFromSurface(surface_); }

PatternPixels PixelsFromSurface(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  PatternPixels out;
  out.width = cairo_image_surface_get_width(surface);
  out.height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  out.pixels.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < out.width; ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      uint32_t value = 0;
      if (a != 0) {
        auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
        value = (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
      }
      out.pixels[static_cast<size_t>(y) * out.width + x] = value;
    }
  }
  return out;
}

cairo_surface_t* SurfaceFromPixels(const PatternPixels& pixels) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels.width, pixels.height);
  cairo_surface_flush(s);
  const int stride = cairo_image_surface_get_stride(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  for (int y = 0; y < pixels.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < pixels.width; ++x) {
      const uint32_t p = pixels.pixels[static_cast<size_t>(y) * pixels.width + x];
      const uint32_t a = p >> 24;
      auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
      row[x] = (a << 24) | (pre((p >> 16) & 0xFF) << 16) | (pre((p >> 8) & 0xFF) << 8) | pre(p & 0xFF);
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

// ---- Drawing helpers -----------------------------------------------------------------

void SetColour(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void PolygonPath(cairo_t* cr, const std::vector<double>& xy) {
  if (xy.size() < 6) return;
  cairo_move_to(cr, xy[0], xy[1]);
  for (size_t i = 2; i + 1 < xy.size(); i += 2) cairo_line_to(cr, xy[i], xy[i + 1]);
  cairo_close_path(cr);
}

void FillLit(cairo_t* cr, Rgb base, double strength) {
  double x0, y0, x1, y1;
  cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
  const Rgb hi = Shade(base, strength), lo = Shade(base, -strength);
  cairo_pattern_t* g = cairo_pattern_create_linear(x0, y0, x1, y1);
  cairo_pattern_add_color_stop_rgb(g, 0.0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 0.45, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(g, 1.0, lo.r, lo.g, lo.b);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
}

void FillCylinder(cairo_t* cr, Rgb base, bool along_x, double strength) {
  double x0, y0, x1, y1;
  cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
  cairo_pattern_t* g = along_x ? cairo_pattern_create_linear(0, y0, 0, y1)
                               : cairo_pattern_create_linear(x0, 0, x1, 0);
  const Rgb edge_hi = Shade(base, -strength * 0.45), spine = Shade(base, strength * 0.6);
  const Rgb edge_lo = Shade(base, -strength);
  cairo_pattern_add_color_stop_rgb(g, 0.0, edge_hi.r, edge_hi.g, edge_hi.b);
  cairo_pattern_add_color_stop_rgb(g, 0.38, spine.r, spine.g, spine.b);
  cairo_pattern_add_color_stop_rgb(g, 0.55, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(g, 1.0, edge_lo.r, edge_lo.g, edge_lo.b);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
}

void FillDome(cairo_t* cr, Rgb base, double cx, double cy, double r, double strength) {
  const Rgb hi = Shade(base, strength), lo = Shade(base, -strength);
  cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.35, r * 0.05, cx, cy, r);
  cairo_pattern_add_color_stop_rgb(g, 0.0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 0.55, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(g, 1.0, lo.r, lo.g, lo.b);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
}

void FillRadialDisc(cairo_t* cr, double cx, double cy, double r0, double r,
                    std::initializer_list<RadialStop> stops) {
  cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, r0, cx, cy, r);
  for (const RadialStop& s : stops) cairo_pattern_add_color_stop_rgba(g, s.offset, s.r, s.g, s.b, s.a);
  cairo_set_source(cr, g);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void Outline(cairo_t* cr, Rgb c, double width, double alpha) {
  SetColour(cr, c, alpha);
  cairo_set_line_width(cr, width);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// ---- Pixel post-processing -----------------------------------------------------------

void AddGrain(PatternPixels& p, uint32_t seed, double amount, double cell) {
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      uint32_t& v = p.pixels[static_cast<size_t>(y) * p.width + x];
      if ((v >> 24) == 0) continue;
      const double n = Fbm(x / cell, y / cell, 3, seed) * 0.7 + HashUnit(x, y, seed ^ 0xA5A5u) * 0.3;
      const double k = 1.0 + (n - 0.5) * 2.0 * amount;
      auto ch = [k](uint32_t c) {
        return static_cast<uint32_t>(std::clamp(std::lround(c * k), 0L, 255L));
      };
      v = (v & 0xFF000000u) | (ch((v >> 16) & 0xFF) << 16) | (ch((v >> 8) & 0xFF) << 8) | ch(v & 0xFF);
    }
  }
}

void ZeroTransparent(PatternPixels& p) {
  for (uint32_t& v : p.pixels) {
    if ((v >> 24) == 0) v = 0;
  }
}

void AlphaFromBrightness(PatternPixels& p) {
  for (uint32_t& v : p.pixels) {
    const uint32_t r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    const uint32_t a = std::max({r, g, b});
    v = a == 0 ? 0 : (a << 24) | (v & 0xFFFFFFu);
  }
}

PatternPixels RotateClockwise(const PatternPixels& p) {
  PatternPixels out;
  out.width = p.height;
  out.height = p.width;
  out.pixels.resize(p.pixels.size());
  // Destination (x, y) comes from source (y, h - 1 - x).
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      out.pixels[static_cast<size_t>(y) * out.width + x] =
          p.pixels[static_cast<size_t>(p.height - 1 - x) * p.width + y];
    }
  }
  return out;
}

PatternPixels FlipVertical(const PatternPixels& p) {
  PatternPixels out = p;
  for (int y = 0; y < p.height; ++y) {
    std::memcpy(out.pixels.data() + static_cast<size_t>(y) * p.width,
                p.pixels.data() + static_cast<size_t>(p.height - 1 - y) * p.width,
                static_cast<size_t>(p.width) * sizeof(uint32_t));
  }
  return out;
}

PatternPixels Crop(const PatternPixels& src, int x0, int y0, int w, int h) {
  PatternPixels out;
  out.width = w;
  out.height = h;
  out.pixels.assign(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int sx = x0 + x, sy = y0 + y;
      if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
      out.pixels[static_cast<size_t>(y) * w + x] = src.pixels[static_cast<size_t>(sy) * src.width + sx];
    }
  }
  return out;
}

}  // namespace tarq::forge
