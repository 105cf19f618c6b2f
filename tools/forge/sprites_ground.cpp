// Ground units and fixtures: tanks, jeeps, trains, guns, hatches, doors and domes.
#include <algorithm>
#include <cmath>

#include "sprites_common.h"

namespace tarq::forge {

namespace {

double SmoothStep(double e0, double e1, double v) {
  const double t = std::clamp((v - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

void Fill(cairo_t* cr, Rgb c, double strength = 0.35) {
  FillLit(cr, c, strength);
  Outline(cr, Shade(c, -0.6), 1.0);
}

// A track (tread) seen from above, running along x when horizontal.
void Track(cairo_t* cr, double x, double y, double w, double h, bool horizontal, int phase = 0) {
  RoundedRect(cr, x, y, w, h, 2.5);
  SetColour(cr, Hex(0x3A3C3A));
  cairo_fill_preserve(cr);
  Outline(cr, pal::kInk, 1.0);
  SetColour(cr, Hex(0x6A6C66), 0.9);
  cairo_set_line_width(cr, 1.3);
  const double len = horizontal ? w : h;
  for (double t = 2 + phase * 2; t < len - 1.5; t += 4) {
    if (horizontal) {
      cairo_move_to(cr, x + t, y + 1.5);
      cairo_line_to(cr, x + t, y + h - 1.5);
    } else {
      cairo_move_to(cr, x + 1.5, y + t);
      cairo_line_to(cr, x + w - 1.5, y + t);
    }
  }
  cairo_stroke(cr);
}

void Barrel(cairo_t* cr, double x0, double y0, double x1, double y1, double width) {
  cairo_save(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_line_width(cr, width + 2);
  SetColour(cr, pal::kInk);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
  cairo_set_line_width(cr, width);
  SetColour(cr, pal::kGunmetal);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
  // Highlight along the barrel.
  const double dx = x1 - x0, dy = y1 - y0, l = std::hypot(dx, dy);
  const double ox = -dy / l * width * 0.22, oy = dx / l * width * 0.22;
  cairo_set_line_width(cr, std::max(0.8, width * 0.3));
  SetColour(cr, pal::kSteelLight, 0.8);
  cairo_move_to(cr, x0 - ox, y0 - oy);
  cairo_line_to(cr, x1 - ox, y1 - oy);
  cairo_stroke(cr);
  cairo_restore(cr);
}

PatternPixels Rotate180(const PatternPixels& p) {
  PatternPixels out = p;
  std::reverse(out.pixels.begin(), out.pixels.end());
  return out;
}

PatternPixels RotateAnticlockwise(const PatternPixels& p) {
  return RotateClockwise(Rotate180(p));
}

// Paints a picture on a canvas and returns its pixels (with grain, RGB 0 under alpha 0).
PatternPixels PaintPicture(int w, int h, const std::function<void(cairo_t*)>& paint, uint32_t seed,
                           double grain = 0.06) {
  Canvas c(w, h);
  paint(c.cr());
  PatternPixels p = c.Pixels();
  if (grain > 0) AddGrain(p, seed, grain);
  ZeroTransparent(p);
  return p;
}

void AddTanks(SpriteList& out) {
  // Tank hull, nose toward +x; treads at y 32 +- 19 match the track marks.
  out.push_back(PaintSprite("tank0b", 64, 64, 1, [](cairo_t* cr, int) {
    Track(cr, 5, 8, 54, 11, true);
    Track(cr, 5, 45, 54, 11, true);
    PolygonPath(cr, {8, 17, 50, 17, 58, 23, 58, 41, 50, 47, 8, 47});
    Fill(cr, pal::kOlive);
    for (int k = 0; k < 4; ++k) PanelLine(cr, 11 + k * 2.5, 22, 11 + k * 2.5, 42, pal::kOlive);
    EllipsePath(cr, 32, 32, 12.5, 12.5);
    SetColour(cr, Shade(pal::kOlive, -0.35));
    cairo_fill(cr);
    Rivets(cr, {10, 19, 48, 19, 10, 45, 48, 45}, pal::kOlive);
  }));
  // Turret: its ring is 14 px behind the pattern centre (x 18), muzzle 40 px ahead.
  out.push_back(PaintSprite("tank0t", 64, 32, 1, [](cairo_t* cr, int) {
    Barrel(cr, 26, 16, 57, 16, 3.6);
    RoundedRect(cr, 52, 13.5, 6, 5, 1);
    Fill(cr, pal::kGunmetal);
    cairo_move_to(cr, 6, 12);
    cairo_curve_to(cr, 6, 6, 12, 4, 20, 5);
    cairo_line_to(cr, 28, 9);
    cairo_line_to(cr, 30, 16);
    cairo_line_to(cr, 28, 23);
    cairo_line_to(cr, 20, 27);
    cairo_curve_to(cr, 12, 28, 6, 26, 6, 20);
    cairo_close_path(cr);
    Fill(cr, pal::kOliveLight);
    EllipsePath(cr, 15, 12, 3.5, 3.5);
    FillDome(cr, pal::kOlive, 15, 12, 3.5);
    Outline(cr, pal::kInk, 0.8);
  }));
  // Jeep, nose toward +x, wheels alternating between two frames.
  out.push_back(PaintSprite("enemyjeep", 48, 32, 2, [](cairo_t* cr, int f) {
    for (double wx : {12.0, 35.0}) {
      for (double wy : {4.0, 23.0}) {
        RoundedRect(cr, wx - 4.5, wy, 9, 5, 1.5);
        SetColour(cr, Hex(0x2E2E2C));
        cairo_fill(cr);
        SetColour(cr, Hex(0x6A6A66));
        cairo_set_line_width(cr, 1);
        for (double t = wx - 3.5 + f * 1.5; t < wx + 4; t += 3) {
          cairo_move_to(cr, t, wy + 0.5);
          cairo_line_to(cr, t, wy + 4.5);
        }
        cairo_stroke(cr);
      }
    }
    RoundedRect(cr, 4, 7, 40, 18, 4);
    Fill(cr, pal::kKhaki);
    RoundedRect(cr, 32, 8, 10, 16, 3);
    Fill(cr, Shade(pal::kKhaki, 0.1));
    RoundedRect(cr, 29, 8, 2.5, 16, 1);  // windscreen
    SetColour(cr, pal::kGlass);
    cairo_fill(cr);
    RoundedRect(cr, 8, 10, 18, 12, 2);  // cargo bed with a missile rack
    Fill(cr, Shade(pal::kKhaki, -0.2));
    RoundedRect(cr, 10, 13.5, 16, 5, 2);
    FillCylinder(cr, Hex(0xDCDCD0), true, 0.4);
    Outline(cr, pal::kInk, 0.7);
    EllipsePath(cr, 4, 16, 3, 4);  // spare wheel
    SetColour(cr, Hex(0x2E2E2C));
    cairo_fill(cr);
  }));
  // A squat armoured crawler; variants by schedule value.
  out.push_back(PaintSprite("groundspitter", 64, 64, 2, [](cairo_t* cr, int i) {
    const Rgb shell = i == 0 ? pal::kOliveLight : pal::kRust;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int s = -1; s <= 1; s += 2) {
      for (int k = 0; k < 3; ++k) {
        const double y = 20 + k * 11;
        cairo_set_line_width(cr, 4.5);
        SetColour(cr, pal::kInk);
        cairo_move_to(cr, 32 + s * 10, y);
        cairo_line_to(cr, 32 + s * 22, y - 4 + k * 2);
        cairo_line_to(cr, 32 + s * 27, y + 3 + k * 2);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 2.5);
        SetColour(cr, pal::kGunmetal);
        cairo_move_to(cr, 32 + s * 10, y);
        cairo_line_to(cr, 32 + s * 22, y - 4 + k * 2);
        cairo_line_to(cr, 32 + s * 27, y + 3 + k * 2);
        cairo_stroke(cr);
      }
    }
    Barrel(cr, 32, 40, 32, 58, 4);
    EllipsePath(cr, 32, 30, 15, 19);
    Fill(cr, shell, 0.45);
    for (int k = 0; k < 3; ++k) PanelLine(cr, 19, 22 + k * 7, 45, 22 + k * 7, shell);
    EllipsePath(cr, 32, 44, 7, 5);
    Fill(cr, Shade(shell, -0.2));
  }));
  // Missile tank, nose down.
  out.push_back(PaintSprite("missiletank", 64, 64, 1, [](cairo_t* cr, int) {
    Track(cr, 8, 5, 11, 54, false);
    Track(cr, 45, 5, 11, 54, false);
    PolygonPath(cr, {17, 8, 47, 8, 47, 50, 41, 58, 23, 58, 17, 50});
    Fill(cr, pal::kKhaki);
    for (int s = -1; s <= 1; s += 2) {
      RoundedRect(cr, 32 + s * 7 - 3.5, 12, 7, 36, 3.5);
      FillCylinder(cr, Hex(0xE4E4DA), false, 0.4);
      Outline(cr, pal::kInk, 0.8);
      cairo_move_to(cr, 32 + s * 7 - 3.5, 46);
      cairo_curve_to(cr, 32 + s * 7 - 3, 50, 32 + s * 7 + 3, 50, 32 + s * 7 + 3.5, 46);
      cairo_close_path(cr);
      Fill(cr, pal::kWarnRed);
    }
    RoundedRect(cr, 24, 50, 16, 6, 2);
    Fill(cr, Shade(pal::kKhaki, -0.15));
  }));
  // Rail launcher: a sled on rails with tubes to the left and right.
  out.push_back(PaintSprite("raillauncher", 64, 48, 1, [](cairo_t* cr, int) {
    for (int s = -1; s <= 1; s += 2) {
      RoundedRect(cr, 32 + s * 16 - 14, 14, 28, 6, 3);
      FillCylinder(cr, pal::kSteelLight, true, 0.4);
      Outline(cr, pal::kInk, 0.8);
      RoundedRect(cr, 32 + s * 16 - 14, 28, 28, 6, 3);
      FillCylinder(cr, pal::kSteelLight, true, 0.4);
      Outline(cr, pal::kInk, 0.8);
      for (double y : {17.0, 31.0}) {
        EllipsePath(cr, 32 + s * 30, y, 1.5, 2.5);
        SetColour(cr, pal::kInk);
        cairo_fill(cr);
      }
    }
    RoundedRect(cr, 18, 8, 28, 32, 4);
    Fill(cr, pal::kOlive);
    RoundedRect(cr, 24, 14, 16, 20, 3);
    Fill(cr, pal::kOliveLight);
    EllipsePath(cr, 32, 24, 3, 3);
    SetColour(cr, pal::kWarnYellow);
    cairo_fill(cr);
  }));
}

void AddTrains(SpriteList& out) {
  // Trains are shown at angle 0 as 96 x 48 units; the patterns store that screen image
  // turned a quarter turn clockwise, so the front (right on screen) is at the bottom.
  auto engine = [](cairo_t* cr) {
    const Rgb body = Hex(0xC08A3C);
    RoundedRect(cr, 2, 10, 92, 28, 4);
    Fill(cr, Shade(body, -0.1));
    RoundedRect(cr, 8, 12, 26, 24, 3);  // cab
    Fill(cr, body);
    RoundedRect(cr, 13, 15, 16, 18, 2);
    Fill(cr, Shade(body, 0.2));
    RoundedRect(cr, 36, 14, 52, 20, 6);  // long hood
    FillCylinder(cr, body, true, 0.4);
    Outline(cr, pal::kInk, 0.9);
    for (int k = 0; k < 6; ++k) {
      RoundedRect(cr, 42 + k * 7, 18, 4, 12, 1);
      SetColour(cr, Hex(0x3A3028));
      cairo_fill(cr);
    }
    RoundedRect(cr, 88, 20, 7, 8, 2);  // front coupler and headlight
    Fill(cr, pal::kGunmetal);
    EllipsePath(cr, 91, 24, 1.8, 1.8);
    SetColour(cr, Hex(0xFFF0A0));
    cairo_fill(cr);
    RoundedRect(cr, 0, 21, 4, 6, 1);
    Fill(cr, pal::kGunmetal);
  };
  Sprite train;
  train.name = "train1";
  train.pattern_width = 48;
  train.pattern_height = 96;
  const PatternPixels screen = PaintPicture(96, 48, engine, SeedFor("train1"));
  train.patterns.push_back(RotateClockwise(screen));
  train.patterns.push_back(Rotate180(RotateClockwise(screen)));  // engine turned round
  out.push_back(std::move(train));

  Sprite carriages;
  carriages.name = "carriage1";
  carriages.pattern_width = 48;
  carriages.pattern_height = 96;
  for (int variant = 0; variant < 2; ++variant) {
    const PatternPixels screen_car = PaintPicture(96, 48, [variant](cairo_t* cr) {
      // Couplers at both ends: carriages touch end to end on a 96 px pitch.
      RoundedRect(cr, 0, 21, 96, 6, 1);
      Fill(cr, pal::kGunmetal);
      if (variant == 0) {  // box car
        const Rgb box = Hex(0x9A5A3C);
        RoundedRect(cr, 4, 9, 88, 30, 2);
        Fill(cr, box);
        for (int k = 1; k < 11; ++k) PanelLine(cr, 4 + k * 8, 10, 4 + k * 8, 38, box);
        PanelLine(cr, 5, 24, 91, 24, box);
      } else {  // tank car
        RoundedRect(cr, 4, 11, 88, 26, 3);
        Fill(cr, pal::kGunmetal);
        RoundedRect(cr, 7, 12, 82, 24, 12);
        FillCylinder(cr, Hex(0xB8BEC0), true, 0.5);
        Outline(cr, pal::kInk, 0.9);
        EllipsePath(cr, 48, 24, 4, 4);
        FillDome(cr, pal::kSteel, 48, 24, 4);
        Outline(cr, pal::kInk, 0.8);
      }
    }, SeedFor("carriage1", variant));
    carriages.patterns.push_back(RotateClockwise(screen_car));
  }
  out.push_back(std::move(carriages));
}

void AddGuns(SpriteList& out) {
  // Ground bomb: 0-3 it rises out of its hole, then 4/5 blink while armed.
  out.push_back(PaintSprite("groundbomb", 48, 48, 6, [](cairo_t* cr, int f) {
    EllipsePath(cr, 24, 24, 17, 17);
    SetColour(cr, Hex(0x5A4A36), 0.85);
    cairo_fill(cr);
    EllipsePath(cr, 24, 24, 13, 13);
    SetColour(cr, Hex(0x1E1A14));
    cairo_fill(cr);
    const double r = 6 + std::min(f, 3) * 2.6;
    EllipsePath(cr, 24, 24, r, r);
    FillDome(cr, Shade(pal::kOlive, -0.3 + 0.1 * std::min(f, 3)), 24, 24, r);
    Outline(cr, pal::kInk, 0.9);
    if (f >= 3) {
      for (int k = 0; k < 4; ++k) {
        const double a = k * M_PI / 2 + M_PI / 4;
        EllipsePath(cr, 24 + 9 * std::cos(a), 24 + 9 * std::sin(a), 1.6, 1.6);
        SetColour(cr, pal::kSteelLight);
        cairo_fill(cr);
      }
    }
    EllipsePath(cr, 24, 24, 3, 3);
    SetColour(cr, f == 4 ? Hex(0xFF3020) : (f == 5 ? Hex(0x701810) : Hex(0x403830)));
    cairo_fill(cr);
    if (f == 4) {
      FillRadialDisc(cr, 24, 24, 1, 8, {{0, 1, 0.4, 0.2, 0.7}, {1, 1, 0.2, 0.1, 0}});
    }
  }));
  // Pop-up cannon, barrel toward +x: 0-3 the cover opens and the barrel runs out,
  // 4/5 its warning light blinks.
  out.push_back(PaintSprite("groundcannon1anim", 48, 48, 6, [](cairo_t* cr, int f) {
    const int s = std::min(f, 3);
    RoundedRect(cr, 6, 6, 36, 36, 6);
    Fill(cr, pal::kConcrete);
    EllipsePath(cr, 24, 24, 13, 13);
    SetColour(cr, Hex(0x2A2824));
    cairo_fill(cr);
    if (s > 0) Barrel(cr, 24, 24, 28 + s * 6.5, 24, 5);
    EllipsePath(cr, 24, 24, 5 + s * 2.2, 5 + s * 2.2);
    FillDome(cr, pal::kOliveLight, 24, 24, 5 + s * 2.2);
    Outline(cr, pal::kInk, 0.9);
    // Cover leaves folding back.
    for (int k = -1; k <= 1; k += 2) {
      RoundedRect(cr, 11, 24 + k * (s * 3.5) - (k < 0 ? 13 : 0), 26, 13 - s * 3, 2);
      if (s < 3) Fill(cr, Shade(pal::kConcrete, 0.08));
      else cairo_new_path(cr);
    }
    if (f >= 4) {
      EllipsePath(cr, 12, 12, 2.2, 2.2);
      SetColour(cr, f == 4 ? Hex(0xFFD020) : Hex(0x806010));
      cairo_fill(cr);
    }
  }));
  // Shell spitter turret, barrel up.
  out.push_back(PaintSprite("shellspitter", 32, 32, 1, [](cairo_t* cr, int) {
    Barrel(cr, 16, 16, 16, 1.5, 4);
    EllipsePath(cr, 16, 18, 11, 11);
    FillDome(cr, pal::kOliveLight, 16, 18, 11);
    Outline(cr, pal::kInk, 1.0);
    RoundedRect(cr, 11, 12, 10, 9, 2);
    Fill(cr, pal::kOlive);
  }));
  // Sea mine on the water.
  out.push_back(PaintSprite("seamine", 32, 32, 1, [](cairo_t* cr, int) {
    EllipsePath(cr, 16, 17, 13, 12);
    SetColour(cr, pal::kFoam, 0.35);
    cairo_fill(cr);
    for (int k = 0; k < 5; ++k) {
      const double a = -M_PI / 2 + k * 2 * M_PI / 5;
      RoundedRect(cr, 16 + 10 * std::cos(a) - 1.8, 16 + 10 * std::sin(a) - 1.8, 3.6, 3.6, 1);
      Fill(cr, pal::kGunmetal);
    }
    EllipsePath(cr, 16, 16, 9, 9);
    FillDome(cr, Hex(0x9A5A3A), 16, 16, 9);
    Outline(cr, pal::kInk, 1.0);
    cairo_rectangle(cr, 8, 15, 16, 2);
    SetColour(cr, Hex(0x3A2A20), 0.7);
    cairo_fill(cr);
  }));
  // Camouflaged gun, barrel pointing down.
  out.push_back(PaintSprite("camogun1", 64, 64, 1, [](cairo_t* cr, int) {
    Barrel(cr, 32, 30, 32, 62, 6);
    RoundedRect(cr, 29, 56, 6, 7, 1);
    Fill(cr, pal::kGunmetal);
    EllipsePath(cr, 32, 26, 18, 16);
    Fill(cr, pal::kOlive, 0.4);
    ArtRandom rng(4);
    for (int k = 0; k < 14; ++k) {  // camouflage blotches
      const double a = rng.Range(0, 2 * M_PI), r = rng.Range(0, 12);
      EllipsePath(cr, 32 + r * std::cos(a), 26 + r * std::sin(a) * 0.85, rng.Range(2.5, 5), rng.Range(2, 4));
      SetColour(cr, k % 2 ? pal::kCamoBrown : pal::kOliveDark, 0.8);
      cairo_fill(cr);
    }
    EllipsePath(cr, 32, 30, 6, 5);
    Fill(cr, pal::kGunmetal);
  }));
  // Tarpaulin over the camouflaged gun, which pokes out 16 px below.
  out.push_back(PaintSprite("tarpgun", 64, 64, 1, [](cairo_t* cr, int) {
    cairo_move_to(cr, 8, 14);
    cairo_curve_to(cr, 20, 4, 44, 4, 56, 14);
    cairo_curve_to(cr, 60, 28, 58, 42, 54, 50);
    cairo_curve_to(cr, 40, 54, 24, 54, 10, 50);
    cairo_curve_to(cr, 6, 40, 4, 28, 8, 14);
    cairo_close_path(cr);
    Fill(cr, pal::kKhaki, 0.35);
    // Folds of canvas and tie-down ropes.
    for (int k = 0; k < 5; ++k) {
      cairo_move_to(cr, 14 + k * 9, 10);
      cairo_curve_to(cr, 12 + k * 9, 24, 16 + k * 9, 36, 13 + k * 9, 51);
      SetColour(cr, Shade(pal::kKhaki, -0.3), 0.5);
      cairo_set_line_width(cr, 1.5);
      cairo_stroke(cr);
    }
    SetColour(cr, Hex(0x5A4A30), 0.9);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 6, 30);
    cairo_line_to(cr, 58, 30);
    cairo_stroke(cr);
  }));
  // Big gun, barrel toward the bottom-right (heading 96), where its shells fly.
  out.push_back(PaintSprite("biggun", 70, 70, 1, [](cairo_t* cr, int) {
    RoundedRect(cr, 6, 6, 58, 58, 10);
    Fill(cr, pal::kConcrete);
    Barrel(cr, 35, 35, 66, 66, 7);
    EllipsePath(cr, 35, 35, 19, 19);
    FillDome(cr, pal::kOliveLight, 35, 35, 19);
    Outline(cr, pal::kInk, 1.1);
    RoundedRect(cr, 26, 26, 18, 18, 4);
    Fill(cr, pal::kOlive);
    Rivets(cr, {22, 22, 48, 22, 22, 48}, pal::kOliveLight);
  }));
}

void AddHatches(SpriteList& out) {
  // Missile pit under sliding doors: 0 the launcher lowered (also the wreck), 1-4 it
  // rises; twin tubes pointing down, 9 px either side of the centre.
  out.push_back(PaintSprite("groundcannon2b", 60, 60, 5, [](cairo_t* cr, int f) {
    RoundedRect(cr, 0, 0, 60, 60, 3);
    SetColour(cr, Hex(0x262420));
    cairo_fill(cr);
    RoundedRect(cr, 3, 3, 54, 54, 2);
    SetColour(cr, Hex(0x121110));
    cairo_fill(cr);
    const double s = 0.7 + 0.075 * f;
    cairo_translate(cr, 30, 30);
    cairo_scale(cr, s, s);
    const Rgb body = Shade(pal::kOlive, -0.35 + 0.09 * f);
    for (int side = -1; side <= 1; side += 2) {
      RoundedRect(cr, side * 9 - 4, -8, 8, 34, 3);
      FillCylinder(cr, Shade(pal::kSteel, -0.35 + 0.09 * f), false, 0.4);
      Outline(cr, pal::kInk, 0.9);
      EllipsePath(cr, side * 9, 25, 3, 1.6);
      SetColour(cr, pal::kInk);
      cairo_fill(cr);
    }
    RoundedRect(cr, -16, -20, 32, 20, 4);
    Fill(cr, body);
  }));
  // The two hatch doors over the pit: fully opaque (drawn with copy).
  out.push_back(PaintSprite("groundcannon2a", 60, 30, 2, [](cairo_t* cr, int f) {
    cairo_rectangle(cr, 0, 0, 60, 30);
    FillLit(cr, Hex(0x7C8078), 0.25);
    cairo_new_path(cr);
    // Hazard stripes along the edge where the doors meet.
    const double edge = f == 0 ? 24 : 0;
    cairo_save(cr);
    cairo_rectangle(cr, 0, edge, 60, 6);
    cairo_clip(cr);
    SetColour(cr, pal::kWarnYellow);
    cairo_paint(cr);
    SetColour(cr, pal::kInk);
    for (int k = -2; k < 12; ++k) {
      PolygonPath(cr, {k * 8.0, edge + 6, k * 8.0 + 4, edge + 6, k * 8.0 + 10, edge, k * 8.0 + 6, edge});
      cairo_fill(cr);
    }
    cairo_restore(cr);
    for (int k = 1; k < 4; ++k) PanelLine(cr, k * 15, f == 0 ? 1 : 7, k * 15, f == 0 ? 23 : 29, Hex(0x7C8078));
    cairo_rectangle(cr, 0.5, 0.5, 59, 29);
    Outline(cr, Hex(0x3A3C38), 1.0, 1.0);
  }, 0.05));
  // Tech gun: a sliding gun carriage with a turret dome.
  out.push_back(PaintSprite("tech1", 128, 64, 1, [](cairo_t* cr, int) {
    PolygonPath(cr, {14, 14, 114, 14, 124, 32, 114, 50, 14, 50, 4, 32});
    Fill(cr, pal::kTechPanel);
    for (int k = 0; k < 6; ++k) PanelLine(cr, 24 + k * 16, 16, 24 + k * 16, 48, pal::kTechPanel);
    RoundedRect(cr, 8, 28, 16, 8, 2);
    SetColour(cr, Hex(0x40C8FF), 0.9);
    cairo_fill(cr);
    Barrel(cr, 80, 32, 80, 60, 5);
    EllipsePath(cr, 80, 30, 14, 14);
    FillDome(cr, pal::kTechDark, 80, 30, 14);
    Outline(cr, pal::kInk, 1.0);
    EllipsePath(cr, 80, 30, 4, 4);
    SetColour(cr, pal::kAlienGlow);
    cairo_fill(cr);
  }));
  // Tech doors (opaque, drawn with copy): 0 slides left, 1 slides right; the closing
  // edge carries warning stripes.
  out.push_back(PaintSprite("techdoors", 40, 64, 2, [](cairo_t* cr, int f) {
    cairo_rectangle(cr, 0, 0, 40, 64);
    FillLit(cr, pal::kTechPanel, 0.25);
    cairo_new_path(cr);
    const double edge = f == 0 ? 34 : 0;
    cairo_save(cr);
    cairo_rectangle(cr, edge, 0, 6, 64);
    cairo_clip(cr);
    SetColour(cr, pal::kWarnYellow);
    cairo_paint(cr);
    SetColour(cr, pal::kInk);
    for (int k = -2; k < 12; ++k) {
      PolygonPath(cr, {edge, k * 8.0, edge + 6, k * 8.0 + 6, edge + 6, k * 8.0 + 10, edge, k * 8.0 + 4});
      cairo_fill(cr);
    }
    cairo_restore(cr);
    const double x0 = f == 0 ? 4 : 10;
    for (int k = 0; k < 3; ++k) {
      RoundedRect(cr, x0, 6 + k * 19, 24, 14, 2);
      FillLit(cr, Shade(pal::kTechPanel, -0.1), 0.3);
      Outline(cr, pal::kTechDark, 0.9);
    }
    cairo_rectangle(cr, 0.5, 0.5, 39, 63);
    Outline(cr, pal::kTechDark, 1.0, 1.0);
  }, 0.05));
  // Hovercraft, bow down; the deck opening (x 20..69, y 53..84) holds the turret.
  out.push_back(PaintSprite("hovercraft1", 90, 124, 1, [](cairo_t* cr, int) {
    RoundedRect(cr, 2, 4, 86, 116, 30);
    Fill(cr, Hex(0x3A3A38), 0.25);  // rubber skirt
    RoundedRect(cr, 8, 10, 74, 104, 24);
    Fill(cr, pal::kOliveLight);
    for (int s = -1; s <= 1; s += 2) {  // rear fans
      EllipsePath(cr, 45 + s * 18, 24, 13, 13);
      Fill(cr, pal::kOlive);
      EllipsePath(cr, 45 + s * 18, 24, 10, 10);
      SetColour(cr, Hex(0x2A2A26));
      cairo_fill(cr);
      for (int k = 0; k < 3; ++k) {
        const double a = k * 2 * M_PI / 3 + s;
        cairo_move_to(cr, 45 + s * 18, 24);
        cairo_line_to(cr, 45 + s * 18 + 9 * std::cos(a), 24 + 9 * std::sin(a));
      }
      SetColour(cr, pal::kSteel, 0.7);
      cairo_set_line_width(cr, 2);
      cairo_stroke(cr);
    }
    RoundedRect(cr, 20, 53, 50, 32, 2);  // the hold under the deck doors
    SetColour(cr, Hex(0x1E1E1A));
    cairo_fill(cr);
    RoundedRect(cr, 28, 92, 34, 14, 5);  // bridge at the bow
    Fill(cr, pal::kOlive);
    RoundedRect(cr, 31, 100, 28, 4, 2);
    SetColour(cr, pal::kGlass);
    cairo_fill(cr);
  }));
  out.push_back(PaintSprite("hovercraft1a", 25, 32, 1, [](cairo_t* cr, int) {
    cairo_rectangle(cr, 0, 0, 25, 32);
    Fill(cr, Shade(pal::kOliveLight, -0.08), 0.25);
    for (int k = 1; k < 4; ++k) PanelLine(cr, 2, k * 8, 23, k * 8, pal::kOliveLight);
  }));
}

void AddBigTank(SpriteList& out) {
  // Launch hatch drawn at double size: 0 closed, 5 open (a flier rises out of it).
  out.push_back(PaintSprite("bigtank", 64, 64, 6, [](cairo_t* cr, int f) {
    EllipsePath(cr, 32, 32, 28, 28);
    Fill(cr, pal::kOlive, 0.4);
    EllipsePath(cr, 32, 32, 20, 20);
    SetColour(cr, Hex(0x1A1A16));
    cairo_fill(cr);
    const double open = f / 5.0 * 17;
    cairo_save(cr);
    EllipsePath(cr, 32, 32, 20, 20);
    cairo_clip(cr);
    for (int s = -1; s <= 1; s += 2) {
      cairo_rectangle(cr, s < 0 ? 12 - open : 32 + open, 12, 20, 40);
      Fill(cr, pal::kOliveLight, 0.3);
    }
    cairo_restore(cr);
    Rivets(cr, {32, 6, 58, 32, 32, 58, 6, 32, 14, 14, 50, 14, 14, 50, 50, 50}, pal::kOlive, 1.2);
  }));
  // The heavy tank: one picture, 192 x 128 on screen facing down, stored turned a
  // quarter turn anticlockwise (128 x 192, facing right) and cut into four 64 x 96
  // quarters in row-major order.
  const PatternPixels screen = PaintPicture(192, 128, [](cairo_t* cr) {
    Track(cr, 4, 4, 30, 120, false);
    Track(cr, 158, 4, 30, 120, false);
    PolygonPath(cr, {30, 6, 162, 6, 166, 100, 148, 124, 44, 124, 26, 100});
    Fill(cr, pal::kOlive, 0.35);
    RoundedRect(cr, 44, 10, 104, 22, 4);  // engine deck at the rear (top)
    Fill(cr, Shade(pal::kOlive, -0.12));
    for (int k = 0; k < 9; ++k) {
      RoundedRect(cr, 50 + k * 10.5, 14, 5, 14, 1);
      SetColour(cr, Hex(0x2A2C22));
      cairo_fill(cr);
    }
    EllipsePath(cr, 96, 70, 34, 34);  // turret ring where the hatch sits
    Fill(cr, pal::kOliveLight, 0.4);
    for (int s = -1; s <= 1; s += 2) Barrel(cr, 96 + s * 14, 90, 96 + s * 14, 127, 7);
    Rivets(cr, {34, 40, 158, 40, 34, 96, 158, 96, 60, 110, 132, 110}, pal::kOlive, 1.3);
  }, SeedFor("bigtank1"));
  const PatternPixels stored = RotateAnticlockwise(screen);
  Sprite quarters;
  quarters.name = "bigtank1";
  quarters.pattern_width = 64;
  quarters.pattern_height = 96;
  quarters.options.force_texture_width = 128;  // two quarters per row
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 2; ++col) quarters.patterns.push_back(Crop(stored, col * 64, row * 96, 64, 96));
  }
  out.push_back(std::move(quarters));
}

void AddFixtures(SpriteList& out) {
  // Shield carrier: a pad with a glowing generator.
  out.push_back(PaintSprite("bubbleholder", 64, 64, 1, [](cairo_t* cr, int) {
    std::vector<double> hex;
    for (int k = 0; k < 6; ++k) {
      hex.push_back(32 + 27 * std::cos(k * M_PI / 3 + M_PI / 6));
      hex.push_back(32 + 27 * std::sin(k * M_PI / 3 + M_PI / 6));
    }
    PolygonPath(cr, hex);
    Fill(cr, pal::kTechPanel, 0.35);
    for (int k = 0; k < 3; ++k) {
      const double a = -M_PI / 2 + k * 2 * M_PI / 3;
      EllipsePath(cr, 32 + 18 * std::cos(a), 32 + 18 * std::sin(a), 4.5, 4.5);
      FillDome(cr, pal::kSteel, 32 + 18 * std::cos(a), 32 + 18 * std::sin(a), 4.5);
      Outline(cr, pal::kInk, 0.8);
    }
    EllipsePath(cr, 32, 32, 11, 11);
    cairo_pattern_t* g = cairo_pattern_create_radial(29, 29, 1, 32, 32, 11);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.95, 1, 1);
    cairo_pattern_add_color_stop_rgb(g, 0.6, 0.45, 0.75, 1);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.15, 0.3, 0.6);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    Outline(cr, pal::kInk, 1.0);
  }));
  // Its turning swirl, drawn as a darkening overlay: grey arms (at most 0x90) on black.
  out.push_back(PixelSprite("bubbleholder1", 64, 64, 1, [](double x, double y, int) {
    const double dx = x - 32, dy = y - 32, d = std::sqrt(dx * dx + dy * dy);
    if (d >= 30) return Rgba{};
    const double arms = std::pow(0.5 + 0.5 * std::cos(3 * std::atan2(dy, dx) + d * 0.22), 3);
    const double v = std::min(0x90 / 255.0, 0.55 * arms * SmoothStep(8, 14, d) * (1 - SmoothStep(24, 30, d)));
    return Rgba{v, v, v, v};
  }));
  // Closed dome over a silo, drawn opaque: its border is the flat concrete pad the
  // silo tiles use around the opening.
  out.push_back(PaintSprite("dome", 98, 82, 1, [](cairo_t* cr, int) {
    cairo_rectangle(cr, 0, 0, 98, 82);
    SetColour(cr, pal::kDomePad);
    cairo_fill(cr);
    EllipsePath(cr, 51, 44, 41, 35);  // contact shadow
    SetColour(cr, pal::kInk, 0.35);
    cairo_fill(cr);
    EllipsePath(cr, 49, 41, 40, 34);
    FillDome(cr, Hex(0xB4BCC0), 49, 41, 40, 0.5);
    Outline(cr, pal::kInk, 1.2, 1.0);
    cairo_set_line_width(cr, 0.9);
    for (int k = 1; k < 6; ++k) {  // panel seams
      SetColour(cr, pal::kTechDark, 0.6);
      cairo_save(cr);
      cairo_translate(cr, 49, 41);
      cairo_scale(cr, 1, 34.0 / 40.0);
      cairo_arc(cr, 0, 0, k * 6.5, 0, 2 * M_PI);
      cairo_restore(cr);
      cairo_stroke(cr);
    }
    for (int k = 0; k < 8; ++k) {
      const double a = k * M_PI / 4;
      cairo_move_to(cr, 49, 41);
      cairo_line_to(cr, 49 + 40 * std::cos(a), 41 + 34 * std::sin(a));
    }
    SetColour(cr, pal::kTechDark, 0.5);
    cairo_stroke(cr);
    EllipsePath(cr, 49, 41, 6, 5);
    FillDome(cr, pal::kWarnRed, 49, 41, 6);
  }, 0.04));
}

}  // namespace

void AddGroundSprites(SpriteList& out) {
  AddTanks(out);
  AddTrains(out);
  AddGuns(out);
  AddHatches(out);
  AddBigTank(out);
  AddFixtures(out);
}

}  // namespace tarq::forge
