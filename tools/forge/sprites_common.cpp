#include "sprites_common.h"

#include <algorithm>
#include <cmath>

namespace tarq::forge {

uint32_t SeedFor(const std::string& name, int index) {
  uint32_t h = 2166136261u;  // FNV-1a over the name, then the index
  for (char c : name) {
    h ^= static_cast<uint8_t>(c);
    h *= 16777619u;
  }
  return Hash32(static_cast<int32_t>(h), index, 0x5EEDu);
}

Sprite PaintSprite(const std::string& name, int width, int height, int count,
                   const PatternPainter& paint, double grain) {
  Sprite s;
  s.name = name;
  s.pattern_width = width;
  s.pattern_height = height;
  for (int i = 0; i < count; ++i) {
    Canvas canvas(width, height);
    cairo_save(canvas.cr());
    paint(canvas.cr(), i);
    cairo_restore(canvas.cr());
    PatternPixels p = canvas.Pixels();
    // One grain seed per sprite, not per frame, so animations do not shimmer.
    if (grain > 0) AddGrain(p, SeedFor(name), grain);
    ZeroTransparent(p);
    s.patterns.push_back(std::move(p));
  }
  return s;
}

Sprite PixelSprite(const std::string& name, int width, int height, int count,
                   const PixelPainter& paint) {
  Sprite s;
  s.name = name;
  s.pattern_width = width;
  s.pattern_height = height;
  for (int i = 0; i < count; ++i) {
    PatternPixels p;
    p.width = width;
    p.height = height;
    p.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Rgba c = paint(x + 0.5, y + 0.5, i);
        auto byte = [](double v) {
          return static_cast<uint32_t>(std::clamp(std::lround(v * 255.0), 0L, 255L));
        };
        const uint32_t a = byte(c.a);
        p.pixels[static_cast<size_t>(y) * width + x] =
            a == 0 ? 0u : (a << 24) | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
      }
    }
    s.patterns.push_back(std::move(p));
  }
  return s;
}

void PanelLine(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb base) {
  cairo_save(cr);
  cairo_set_line_width(cr, 0.8);
  SetColour(cr, Shade(base, -0.45), 0.8);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
  // Highlight on the lit side of the seam (light from the top-left).
  SetColour(cr, Shade(base, 0.45), 0.5);
  cairo_move_to(cr, x0 + 0.7, y0 + 0.7);
  cairo_line_to(cr, x1 + 0.7, y1 + 0.7);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Rivets(cairo_t* cr, const std::vector<double>& xy, Rgb base, double r) {
  for (size_t i = 0; i + 1 < xy.size(); i += 2) {
    EllipsePath(cr, xy[i], xy[i + 1], r, r);
    SetColour(cr, Shade(base, -0.5), 0.9);
    cairo_fill(cr);
    EllipsePath(cr, xy[i] - r * 0.3, xy[i + 1] - r * 0.3, r * 0.45, r * 0.45);
    SetColour(cr, Shade(base, 0.6), 0.9);
    cairo_fill(cr);
  }
}

void PaintHelicopter(cairo_t* cr, const HeliLook& k) {
  const double tail_x = k.nose_x - k.length;
  const double rear_x = k.hub_x - k.body_width * 0.8;
  const double w = k.body_width * (1.0 - 0.28 * std::abs(k.bank));
  const double cy = k.cy + k.bank * 1.5;
  const Rgb outline = Shade(k.accent, -0.55);

  cairo_save(cr);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

  // Tail boom, tapering toward the tail.
  PolygonPath(cr, {rear_x + 3, cy - 3.8, tail_x + 4, cy - 2.2, tail_x + 4, cy + 2.2, rear_x + 3, cy + 3.8});
  FillCylinder(cr, k.hull, true, 0.45);
  Outline(cr, outline, 0.9);
  // Horizontal stabiliser across the boom.
  const double stab_x = tail_x + 8;
  RoundedRect(cr, stab_x - 2.5, cy - 7.5, 5, 15, 1.8);
  FillLit(cr, k.accent, 0.3);
  Outline(cr, outline, 0.8);
  // Tail fin and its rotor, a blurred disc on the right side of the boom.
  RoundedRect(cr, tail_x + 1, cy - 2.4, 6, 4.8, 1.5);
  FillLit(cr, k.accent, 0.3);
  Outline(cr, outline, 0.8);
  EllipsePath(cr, tail_x + 4, cy + 5.5, 5.0, 1.8);
  SetColour(cr, pal::kGunmetal, 0.35);
  cairo_fill(cr);
  {
    const double a = (k.phase % 2 == 0) ? 0.0 : M_PI / 2.5;
    cairo_set_line_width(cr, 1.0);
    SetColour(cr, pal::kInk, 0.7);
    cairo_move_to(cr, tail_x + 4 - 4.5 * std::cos(a), cy + 5.5 - 1.2 * std::sin(a));
    cairo_line_to(cr, tail_x + 4 + 4.5 * std::cos(a), cy + 5.5 + 1.2 * std::sin(a));
    cairo_stroke(cr);
  }

  // Stub wings with gun pods.
  if (k.stub_wings) {
    const double wx = k.hub_x - 5;
    RoundedRect(cr, wx - 4, cy - k.wing_span / 2, 8, k.wing_span, 2);
    FillLit(cr, k.accent, 0.3);
    Outline(cr, outline, 0.8);
    if (k.pods) {
      for (int side = -1; side <= 1; side += 2) {
        const double py = cy + side * (k.wing_span / 2 - 1.5);
        RoundedRect(cr, wx - 6, py - 2.2, 18, 4.4, 2.2);
        FillCylinder(cr, pal::kGunmetal, true, 0.5);
        Outline(cr, pal::kInk, 0.8);
        // Muzzle.
        RoundedRect(cr, wx + 11, py - 1.0, 5, 2.0, 1);
        SetColour(cr, pal::kInk);
        cairo_fill(cr);
      }
    }
  }

  // Fuselage: a teardrop from the engine deck to the rounded nose.
  cairo_new_path(cr);
  cairo_move_to(cr, rear_x, cy);
  cairo_curve_to(cr, rear_x, cy - w * 0.42, k.hub_x - 6, cy - w * 0.5, k.hub_x + 2, cy - w * 0.5);
  cairo_curve_to(cr, k.nose_x - 6, cy - w * 0.5, k.nose_x, cy - w * 0.3, k.nose_x, cy);
  cairo_curve_to(cr, k.nose_x, cy + w * 0.3, k.nose_x - 6, cy + w * 0.5, k.hub_x + 2, cy + w * 0.5);
  cairo_curve_to(cr, k.hub_x - 6, cy + w * 0.5, rear_x, cy + w * 0.42, rear_x, cy);
  cairo_close_path(cr);
  FillCylinder(cr, k.hull, true, 0.42);
  if (k.bank != 0) {
    // A banking body catches the light on its raised side.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, cy - w / 2, 0, cy + w / 2);
    const double s = std::abs(k.bank) * 0.55;
    if (k.bank > 0) {
      cairo_pattern_add_color_stop_rgba(g, 0, 1, 1, 1, s);
      cairo_pattern_add_color_stop_rgba(g, 1, 0, 0, 0, s);
    } else {
      cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, s);
      cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, s);
    }
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
  }
  Outline(cr, outline, 1.0);

  if (k.stripe) {
    cairo_save(cr);
    cairo_rectangle(cr, k.hub_x - 12, cy - w * 0.5, 5, w);
    SetColour(cr, pal::kPlayerStripe, 0.9);
    cairo_fill(cr);
    cairo_restore(cr);
  }

  // Engine deck with two exhausts at its rear.
  RoundedRect(cr, k.hub_x - 13, cy - w * 0.26, 17, w * 0.52, 2.5);
  FillLit(cr, Shade(k.accent, -0.05), 0.3);
  Outline(cr, outline, 0.7);
  for (int side = -1; side <= 1; side += 2) {
    const double ey = cy + side * w * 0.2;
    EllipsePath(cr, k.hub_x - 13.5, ey, 2.4, 1.6);
    SetColour(cr, pal::kInk);
    cairo_fill(cr);
    // Exhaust shimmer alternates between the animation phases.
    const double heat = (k.phase % 2 == 0) ? 0.3 : 0.5;
    cairo_pattern_t* g = cairo_pattern_create_radial(k.hub_x - 15, ey, 0.3, k.hub_x - 15, ey, 2.5 + heat * 2);
    cairo_pattern_add_color_stop_rgba(g, 0, 1.0, 0.75, 0.35, heat);
    cairo_pattern_add_color_stop_rgba(g, 1, 1.0, 0.4, 0.1, 0);
    cairo_set_source(cr, g);
    EllipsePath(cr, k.hub_x - 16, ey, 2.5 + heat * 2, 1.5);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }
  PanelLine(cr, k.hub_x + 6, cy - w * 0.42, k.hub_x + 6, cy + w * 0.42, k.hull);

  // Canopy glass toward the nose with a glint.
  EllipsePath(cr, k.nose_x - 7, cy, 5.5, w * 0.26);
  cairo_pattern_t* glass = cairo_pattern_create_linear(k.nose_x - 12, cy - w * 0.3, k.nose_x - 1, cy + w * 0.3);
  cairo_pattern_add_color_stop_rgb(glass, 0, pal::kGlass.r * 1.4, pal::kGlass.g * 1.3, pal::kGlass.b * 1.2);
  cairo_pattern_add_color_stop_rgb(glass, 0.5, pal::kGlass.r, pal::kGlass.g, pal::kGlass.b);
  cairo_pattern_add_color_stop_rgb(glass, 1, 0.1, 0.2, 0.28);
  cairo_set_source(cr, glass);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(glass);
  Outline(cr, pal::kInk, 0.8);
  EllipsePath(cr, k.nose_x - 8.5, cy - w * 0.1, 1.8, 0.9);
  SetColour(cr, pal::kWhite, 0.75);
  cairo_fill(cr);

  // Rotor mast (the blades are a separate image).
  EllipsePath(cr, k.hub_x, cy, 3.0, 3.0);
  FillDome(cr, pal::kSteel, k.hub_x, cy, 3.0);
  Outline(cr, pal::kInk, 0.7);

  // Navigation lights: red on the left side, green on the right; they blink.
  if (k.phase % 2 == 0) {
    EllipsePath(cr, k.hub_x - 2, cy - w * 0.5, 1.1, 1.1);
    SetColour(cr, pal::kWarnRed);
    cairo_fill(cr);
    EllipsePath(cr, k.hub_x - 2, cy + w * 0.5, 1.1, 1.1);
    SetColour(cr, Hex(0x40E060));
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

}  // namespace tarq::forge
