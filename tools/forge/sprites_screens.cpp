// Screen pictures: the title logo in three pieces, the studio card shown before the
// title, and the loading backdrop. Lettering is drawn with paths, never with installed
// fonts, so the output is the same on every machine.
#include <algorithm>
#include <cmath>
#include <map>

#include "sprites_common.h"

namespace tarq::forge {

namespace {

double SmoothStep(double e0, double e1, double v) {
  const double t = std::clamp((v - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// ---- The logo ------------------------------------------------------------------------

// Heavy chamfered capitals in a 100 x 150 box; holes are drawn with the even-odd rule.
void LetterPath(cairo_t* cr, char letter, double x, double y) {
  auto poly = [&](std::vector<double> xy) {
    for (size_t i = 0; i < xy.size(); i += 2) xy[i] += x, xy[i + 1] += y;
    PolygonPath(cr, xy);
  };
  switch (letter) {
    case 'T':
      poly({6, 0, 94, 0, 100, 6, 100, 34, 66, 34, 66, 144, 60, 150, 40, 150, 34, 144, 34, 34, 0, 34, 0, 6});
      break;
    case 'A':
      poly({36, 0, 64, 0, 100, 150, 68, 150, 62, 122, 38, 122, 32, 150, 0, 150});
      poly({44, 94, 56, 94, 50, 58});
      break;
    case 'R':
      poly({0, 0, 74, 0, 100, 26, 100, 62, 84, 78, 100, 150, 68, 150, 54, 88, 32, 88, 32, 150, 0, 150});
      poly({32, 28, 62, 28, 68, 34, 68, 54, 62, 60, 32, 60});
      break;
    case 'Q':
      poly({28, 0, 72, 0, 100, 28, 100, 118, 72, 146, 28, 146, 0, 118, 0, 28});
      poly({38, 30, 62, 30, 68, 36, 68, 110, 62, 116, 38, 116, 32, 110, 32, 36});
      break;
    default:
      break;
  }
}

// The Q's tail, drawn as its own shape over the ring.
void QTailPath(cairo_t* cr, double x, double y) {
  PolygonPath(cr, {x + 54, y + 104, x + 80, y + 104, x + 112, y + 150, x + 84, y + 150});
}

PatternPixels PaintLogo() {
  constexpr int kW = 576, kH = 256;
  Canvas canvas(kW, kH);
  cairo_t* cr = canvas.cr();
  const char letters[] = {'T', 'A', 'R', 'Q'};
  const double left = 34, top = 48, pitch = 128;
  auto all_letters = [&](double dx, double dy) {
    cairo_new_path(cr);
    for (int i = 0; i < 4; ++i) LetterPath(cr, letters[i], left + i * pitch + dx, top + dy);
  };

  // Under-bar: a steel plate with a red stripe that ties the letters together.
  RoundedRect(cr, 20, 160, 536, 34, 4);
  cairo_pattern_t* bar = cairo_pattern_create_linear(0, 160, 0, 194);
  cairo_pattern_add_color_stop_rgb(bar, 0, 0.55, 0.57, 0.58);
  cairo_pattern_add_color_stop_rgb(bar, 0.5, 0.3, 0.31, 0.32);
  cairo_pattern_add_color_stop_rgb(bar, 1, 0.18, 0.19, 0.2);
  cairo_set_source(cr, bar);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(bar);
  Outline(cr, pal::kInk, 2.0, 1.0);
  cairo_rectangle(cr, 24, 172, 528, 8);
  SetColour(cr, Hex(0xB02818));
  cairo_fill(cr);
  for (int k = 0; k < 14; ++k) Rivets(cr, {30.0 + k * 39.5, 166, 30.0 + k * 39.5, 188}, pal::kSteel, 1.6);

  // Drop shadow (soft black) down and right, as if lit from the top-left.
  for (int k = 3; k >= 1; --k) {
    all_letters(k * 3, k * 3);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    SetColour(cr, pal::kBlack, 0.25);
    cairo_fill(cr);
    QTailPath(cr, left + 3 * pitch + k * 3, top + k * 3);
    cairo_fill(cr);
  }

  // Brushed-steel faces: a chrome gradient with a dark horizon band.
  auto chrome = [&]() {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, top + 150);
    cairo_pattern_add_color_stop_rgb(g, 0.0, 0.96, 0.97, 0.98);
    cairo_pattern_add_color_stop_rgb(g, 0.38, 0.7, 0.73, 0.76);
    cairo_pattern_add_color_stop_rgb(g, 0.5, 0.32, 0.34, 0.37);
    cairo_pattern_add_color_stop_rgb(g, 0.56, 0.55, 0.57, 0.6);
    cairo_pattern_add_color_stop_rgb(g, 1.0, 0.82, 0.84, 0.86);
    return g;
  };
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 0) all_letters(0, 0);
    else QTailPath(cr, left + 3 * pitch, top);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_pattern_t* g = chrome();
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    // Bevel: light edge up-left, dark edge down-right, kept inside the letters.
    cairo_save(cr);
    cairo_clip_preserve(cr);
    cairo_set_line_width(cr, 8);
    cairo_translate(cr, 2.5, 2.5);
    SetColour(cr, pal::kWhite, 0.55);
    cairo_stroke_preserve(cr);
    cairo_translate(cr, -5, -5);
    SetColour(cr, pal::kInk, 0.45);
    cairo_stroke_preserve(cr);
    cairo_restore(cr);
    cairo_set_line_width(cr, 2.4);
    SetColour(cr, pal::kInk, 1.0);
    cairo_stroke(cr);
  }
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  // Rivets on the faces.
  for (int i = 0; i < 4; ++i) {
    const double x = left + i * pitch;
    const std::vector<double> spots =
        i == 0 ? std::vector<double>{12, 17, 88, 17, 50, 130} :
        i == 1 ? std::vector<double>{44, 14, 56, 14, 16, 136, 84, 136} :
        i == 2 ? std::vector<double>{14, 14, 14, 136, 84, 136, 82, 16} :
                 std::vector<double>{50, 14, 14, 74, 86, 74};
    for (size_t k = 0; k + 1 < spots.size(); k += 2) Rivets(cr, {x + spots[k], top + spots[k + 1]}, pal::kSteel, 2.0);
  }
  // A glint on the T's top edge.
  cairo_pattern_t* glint = cairo_pattern_create_radial(left + 20, top + 6, 0, left + 20, top + 6, 22);
  cairo_pattern_add_color_stop_rgba(glint, 0, 1, 1, 1, 0.9);
  cairo_pattern_add_color_stop_rgba(glint, 1, 1, 1, 1, 0);
  cairo_set_source(cr, glint);
  cairo_arc(cr, left + 20, top + 6, 22, 0, 2 * M_PI);
  all_letters(0, 0);
  cairo_clip(cr);
  cairo_paint(cr);
  cairo_pattern_destroy(glint);

  PatternPixels pixels = canvas.Pixels();
  AddGrain(pixels, SeedFor("title"), 0.05, 2.0);
  ZeroTransparent(pixels);
  return pixels;
}

// ---- Stroke lettering for the studio card --------------------------------------------

// Capitals on a 4 x 6 grid as polylines (each stroke a list of points).
const std::map<char, std::vector<std::vector<double>>>& StrokeFont() {
  static const std::map<char, std::vector<std::vector<double>>> font = {
      {'C', {{4, 1, 3, 0, 1, 0, 0, 1, 0, 5, 1, 6, 3, 6, 4, 5}}},
      {'O', {{1, 0, 3, 0, 4, 1, 4, 5, 3, 6, 1, 6, 0, 5, 0, 1, 1, 0}}},
      {'L', {{0, 0, 0, 6, 4, 6}}},
      {'D', {{0, 0, 0, 6, 3, 6, 4, 5, 4, 1, 3, 0, 0, 0}}},
      {'F', {{4, 0, 0, 0, 0, 6}, {0, 3, 3, 3}}},
      {'R', {{0, 6, 0, 0, 3, 0, 4, 1, 4, 2, 3, 3, 0, 3}, {2, 3, 4, 6}}},
      {'G', {{4, 1, 3, 0, 1, 0, 0, 1, 0, 5, 1, 6, 3, 6, 4, 5, 4, 3, 2, 3}}},
      {'E', {{4, 0, 0, 0, 0, 6, 4, 6}, {0, 3, 3, 3}}},
      {'S', {{4, 1, 3, 0, 1, 0, 0, 1, 0, 2, 1, 3, 3, 3, 4, 4, 4, 5, 3, 6, 1, 6, 0, 5}}},
      {'T', {{0, 0, 4, 0}, {2, 0, 2, 6}}},
      {'U', {{0, 0, 0, 5, 1, 6, 3, 6, 4, 5, 4, 0}}},
      {'I', {{1, 0, 3, 0}, {2, 0, 2, 6}, {1, 6, 3, 6}}},
      {'P', {{0, 6, 0, 0, 3, 0, 4, 1, 4, 2, 3, 3, 0, 3}}},
      {'N', {{0, 6, 0, 0, 4, 6, 4, 0}}},
      {'W', {{0, 0, 1, 6, 2, 3, 3, 6, 4, 0}}},
      {'K', {{0, 0, 0, 6}, {4, 0, 0, 3.5}, {1.3, 2.6, 4, 6}}},
  };
  return font;
}

// Strokes `text` with its top-left at (x, y), letters `size` px tall; returns the width.
double StrokeText(cairo_t* cr, const std::string& text, double x, double y, double size, double spacing) {
  const double unit = size / 6.0;
  double pen = x;
  for (char c : text) {
    if (c == ' ') {
      pen += unit * 3 + spacing;
      continue;
    }
    auto it = StrokeFont().find(c);
    if (it != StrokeFont().end()) {
      for (const auto& stroke : it->second) {
        for (size_t i = 0; i + 1 < stroke.size(); i += 2) {
          const double px = pen + stroke[i] * unit, py = y + stroke[i + 1] * unit;
          if (i == 0) cairo_move_to(cr, px, py);
          else cairo_line_to(cr, px, py);
        }
      }
    }
    pen += unit * 4 + spacing;
  }
  return pen - spacing - x;
}

double StrokeWidth(const std::string& text, double size, double spacing) {
  const double unit = size / 6.0;
  double w = 0;
  for (char c : text) w += (c == ' ' ? unit * 3 : unit * 4) + spacing;
  return w - spacing;
}

// The studio card: Coldforge Studios, the makers of TARQ. Opaque, with a dark border
// so it sits cleanly on the black screen as it shrinks.
PatternPixels PaintSponsorCard() {
  Canvas canvas(320, 240);
  cairo_t* cr = canvas.cr();
  cairo_pattern_t* bg = cairo_pattern_create_radial(160, 96, 10, 160, 120, 210);
  cairo_pattern_add_color_stop_rgb(bg, 0, 0.16, 0.2, 0.24);
  cairo_pattern_add_color_stop_rgb(bg, 0.6, 0.07, 0.08, 0.1);
  cairo_pattern_add_color_stop_rgb(bg, 1, 0.01, 0.01, 0.02);
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);
  // Thin frame inside the dark border.
  RoundedRect(cr, 12, 12, 296, 216, 6);
  SetColour(cr, Hex(0x6A7480), 0.6);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);

  // Emblem: an anvil glowing from the forge, crossed by a rotor blade.
  cairo_pattern_t* heat = cairo_pattern_create_radial(160, 92, 2, 160, 92, 62);
  cairo_pattern_add_color_stop_rgba(heat, 0, 1.0, 0.55, 0.15, 0.55);
  cairo_pattern_add_color_stop_rgba(heat, 1, 1.0, 0.3, 0.05, 0.0);
  cairo_set_source(cr, heat);
  cairo_arc(cr, 160, 92, 62, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(heat);
  cairo_save(cr);
  cairo_translate(cr, 160, 70);
  cairo_rotate(cr, -0.32);
  RoundedRect(cr, -70, -4, 140, 8, 4);
  FillCylinder(cr, Hex(0xB8C4CC), true, 0.5);
  Outline(cr, pal::kInk, 1.0);
  cairo_restore(cr);
  PolygonPath(cr, {112, 76, 208, 76, 196, 90, 178, 94, 174, 112, 196, 124, 124, 124, 146, 112, 142, 94,
                   120, 90});
  cairo_pattern_t* anvil = cairo_pattern_create_linear(0, 76, 0, 124);
  cairo_pattern_add_color_stop_rgb(anvil, 0, 0.78, 0.82, 0.86);
  cairo_pattern_add_color_stop_rgb(anvil, 0.25, 0.42, 0.46, 0.5);
  cairo_pattern_add_color_stop_rgb(anvil, 1, 0.2, 0.22, 0.25);
  cairo_set_source(cr, anvil);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(anvil);
  Outline(cr, pal::kInk, 1.4, 1.0);
  EllipsePath(cr, 160, 70, 5, 5);
  FillDome(cr, Hex(0xD0A040), 160, 70, 5);
  Outline(cr, pal::kInk, 1.0);

  // Lettering, stroked twice: a glow, then the face.
  auto text = [&](const std::string& s, double y, double size, double spacing, Rgb face, double width) {
    const double x = 160 - StrokeWidth(s, size, spacing) / 2;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    StrokeText(cr, s, x + 1.5, y + 1.5, size, spacing);
    cairo_set_line_width(cr, width);
    SetColour(cr, pal::kBlack, 0.8);
    cairo_stroke(cr);
    StrokeText(cr, s, x, y, size, spacing);
    cairo_set_line_width(cr, width);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + size);
    cairo_pattern_add_color_stop_rgb(g, 0, face.r, face.g, face.b);
    const Rgb low = Shade(face, -0.35);
    cairo_pattern_add_color_stop_rgb(g, 1, low.r, low.g, low.b);
    cairo_set_source(cr, g);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
  };
  text("COLDFORGE", 140, 30, 7, Hex(0xE8EEF2), 4.2);
  text("STUDIOS", 178, 12, 6, Hex(0xF0A040), 2.0);
  text("PRESENTS", 204, 9, 5, Hex(0x9AA4AE), 1.4);

  PatternPixels pixels = canvas.Pixels();
  AddGrain(pixels, SeedFor("sponsors"), 0.04, 2.0);
  return pixels;
}

}  // namespace

void AddScreenSprites(SpriteList& out) {
  // One 576 x 256 logo cut into three 256-wide pieces drawn 256 px apart; the last
  // piece uses only its first 64 columns.
  const PatternPixels logo = PaintLogo();
  const char* names[3] = {"title1", "title2", "title3"};
  for (int i = 0; i < 3; ++i) {
    Sprite piece;
    piece.name = names[i];
    piece.pattern_width = piece.pattern_height = 256;
    piece.patterns.push_back(Crop(logo, i * 256, 0, 256, 256));
    out.push_back(std::move(piece));
  }
  Sprite card;
  card.name = "sponsors";
  card.pattern_width = 320;
  card.pattern_height = 240;
  card.patterns.push_back(PaintSponsorCard());
  out.push_back(std::move(card));
}

// The loading backdrop: only its 64 x 64 pixels are ever shown, stretched 10 x 7.5 with
// filtering, so it is a soft field: a dawn haze at the top, dark in the middle band
// where the loading texts sit, and the faint grid of a map table at the bottom.
PatternPixels PaintLoadingPicture() {
  PatternPixels p;
  p.width = p.height = 64;
  p.pixels.resize(64 * 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const double u = (x + 0.5) / 64, v = (y + 0.5) / 64;
      Rgb c = Mix(Hex(0x1C2A2E), Hex(0x0C1214), SmoothStep(0.0, 0.3, v));
      c = Mix(c, Hex(0x3A3020), (1 - SmoothStep(0.0, 0.22, v)) * (0.6 + 0.4 * std::sin(u * M_PI)));
      c = Mix(c, Hex(0x142018), SmoothStep(0.72, 1.0, v));
      // Faint radar rings behind the texts, soft once stretched.
      const double ring_d = std::hypot(u - 0.5, (v - 0.5) * 0.75);
      const double rings = std::exp(-std::pow((ring_d - 0.18) / 0.02, 2)) + std::exp(-std::pow((ring_d - 0.34) / 0.02, 2));
      c = Mix(c, Hex(0x2C4A40), 0.35 * rings);
      const bool grid = (x % 8 == 0 || y % 8 == 0) && v > 0.75;
      if (grid) c = Shade(c, 0.12 * SmoothStep(0.75, 0.95, v));
      const double vignette = 1 - 0.35 * std::pow(std::abs(u - 0.5) * 2, 2.5);
      c = Scale(c, vignette * (0.94 + 0.12 * Fbm(u * 6, v * 6, 3, 0x10AD)));
      auto byte = [](double ch) { return static_cast<uint32_t>(std::clamp(std::lround(ch * 255), 0L, 255L)); };
      p.pixels[static_cast<size_t>(y) * 64 + x] = 0xFF000000u | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
    }
  }
  return p;
}

}  // namespace tarq::forge
