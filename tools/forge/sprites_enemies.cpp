// Enemy aircraft and other flyers. Orientation follows how each is drawn: sprites the
// game turns by their heading face right as stored; those turned by heading - 64 face
// down; fixed-angle ones are stored exactly as they appear (mostly facing down, the
// way they fly).
#include <algorithm>
#include <cmath>

#include "sprites_common.h"

namespace tarq::forge {

namespace {

double SmoothStep(double e0, double e1, double v) {
  const double t = std::clamp((v - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Turns the canvas a quarter turn about the pattern centre so that art drawn with its
// nose toward +x ends up facing down.
void NoseDown(cairo_t* cr, double cx, double cy) {
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, M_PI / 2);
  cairo_translate(cr, -cx, -cy);
}

void Fill(cairo_t* cr, Rgb c, double strength = 0.35) {
  FillLit(cr, c, strength);
  Outline(cr, Shade(c, -0.6), 1.0);
}

void Glass(cairo_t* cr, double cx, double cy, double rx, double ry) {
  EllipsePath(cr, cx, cy, rx, ry);
  FillLit(cr, pal::kGlass, 0.45);
  Outline(cr, pal::kInk, 0.8);
  EllipsePath(cr, cx - rx * 0.3, cy - ry * 0.35, rx * 0.35, ry * 0.25);
  SetColour(cr, pal::kGlassLight, 0.8);
  cairo_fill(cr);
}

// A propeller disc (blurred) at (x, y) across the given radius.
void Propeller(cairo_t* cr, double x, double y, double r, bool horizontal) {
  if (horizontal) EllipsePath(cr, x, y, r, 1.6);
  else EllipsePath(cr, x, y, 1.6, r);
  SetColour(cr, pal::kGunmetal, 0.45);
  cairo_fill(cr);
  EllipsePath(cr, x, y, 1.6, 1.6);
  SetColour(cr, pal::kInk);
  cairo_fill(cr);
}

// A straight-winged plane with its nose toward +x, centred on (cx, cy).
struct PlaneLook {
  Rgb hull = pal::kAirGrey;
  double length = 56, span = 56, chord = 12, body = 8;
  int engines = 0;  // engines on the wings (0 = nose propeller)
  bool floats = false;
  bool twin_boom = false;
};

void PaintPlane(cairo_t* cr, double cx, double cy, const PlaneLook& k) {
  const double nose = cx + k.length / 2, tail = cx - k.length / 2;
  const Rgb dark = Shade(k.hull, -0.25);
  if (k.floats) {
    for (int s = -1; s <= 1; s += 2) {
      RoundedRect(cr, cx - 18, cy + s * 11 - 2.5, 34, 5, 2.5);
      FillCylinder(cr, pal::kSteelLight, true, 0.4);
      Outline(cr, pal::kInk, 0.8);
    }
  }
  // Tailplane.
  RoundedRect(cr, tail + 1, cy - k.span * 0.2, 7, k.span * 0.4, 2);
  Fill(cr, dark);
  // Wings: a swept-back trapezoid each side.
  PolygonPath(cr, {cx + k.chord * 0.5, cy - k.body / 2, cx - k.chord * 0.1, cy - k.span / 2,
                   cx - k.chord * 0.75, cy - k.span / 2, cx - k.chord * 0.6, cy - k.body / 2});
  Fill(cr, k.hull);
  PolygonPath(cr, {cx + k.chord * 0.5, cy + k.body / 2, cx - k.chord * 0.1, cy + k.span / 2,
                   cx - k.chord * 0.75, cy + k.span / 2, cx - k.chord * 0.6, cy + k.body / 2});
  Fill(cr, Shade(k.hull, -0.12));
  if (k.twin_boom) {
    for (int s = -1; s <= 1; s += 2) {
      const double by = cy + s * k.span * 0.2;
      RoundedRect(cr, tail + 2, by - 2.6, k.length * 0.82, 5.2, 2.6);
      FillCylinder(cr, k.hull, true, 0.45);
      Outline(cr, Shade(k.hull, -0.6), 0.9);
      Propeller(cr, tail + 2 + k.length * 0.82 + 1.5, by, 7, false);
    }
  }
  for (int e = 0; e < k.engines; ++e) {
    const double ey = cy + (e % 2 ? 1 : -1) * k.span * (0.2 + 0.15 * (e / 2));
    RoundedRect(cr, cx - 2, ey - 2.6, 12, 5.2, 2.4);
    FillCylinder(cr, dark, true, 0.45);
    Outline(cr, pal::kInk, 0.8);
    Propeller(cr, cx + 11, ey, 6, false);
  }
  // Fuselage.
  RoundedRect(cr, tail, cy - k.body / 2, k.length - 2, k.body, k.body / 2);
  FillCylinder(cr, k.hull, true, 0.45);
  Outline(cr, Shade(k.hull, -0.6), 1.0);
  Glass(cr, nose - k.length * 0.22, cy, k.length * 0.09, k.body * 0.32);
  if (k.engines == 0 && !k.twin_boom) Propeller(cr, nose, cy, k.span * 0.15, false);
  // Roundels: the enemy's red-ringed marking on the wings.
  for (int s = -1; s <= 1; s += 2) {
    EllipsePath(cr, cx - k.chord * 0.25, cy + s * k.span * 0.36, 2.6, 2.6);
    SetColour(cr, pal::kWarnRed);
    cairo_fill(cr);
    EllipsePath(cr, cx - k.chord * 0.25, cy + s * k.span * 0.36, 1.2, 1.2);
    SetColour(cr, pal::kWhite);
    cairo_fill(cr);
  }
}

void AddHelicopters(SpriteList& out) {
  // Gunship with gun pods 17 px to each side of the rotor, muzzles 14 px ahead of it.
  out.push_back(PaintSprite("hele0", 64, 64, 1, [](cairo_t* cr, int) {
    HeliLook k;
    k.hull = pal::kOlive;
    k.accent = pal::kOliveDark;
    k.stub_wings = true;
    k.pods = true;
    k.wing_span = 37;
    PaintHelicopter(cr, k);
  }));
  // Light scout; its two patterns alternate (tail rotor and beacon).
  out.push_back(PaintSprite("hele1", 64, 64, 2, [](cairo_t* cr, int i) {
    HeliLook k;
    k.hull = pal::kAirGreyLight;
    k.accent = pal::kAirGrey;
    k.body_width = 19;
    k.length = 54;
    k.phase = i;
    PaintHelicopter(cr, k);
  }));
  // Hovering heavy gunship seen nose down, rotor on its centre; the variants are
  // colour schemes chosen by the schedule.
  out.push_back(PaintSprite("hele2", 64, 64, 2, [](cairo_t* cr, int i) {
    NoseDown(cr, 32, 32);
    HeliLook k;
    k.hull = i == 0 ? pal::kOliveLight : pal::kSand;
    k.accent = i == 0 ? pal::kOlive : pal::kKhaki;
    k.hub_x = 32;
    k.nose_x = 55;
    k.length = 52;
    k.body_width = 20;
    k.stub_wings = true;
    k.pods = true;
    k.wing_span = 32;
    k.hub_x = 32;
    PaintHelicopter(cr, k);
  }));
  // Big gunship, rotor 16 px ahead of the centre.
  out.push_back(PaintSprite("hele3", 96, 96, 1, [](cairo_t* cr, int) {
    cairo_translate(cr, 48, 48);
    cairo_scale(cr, 1.5, 1.5);
    cairo_translate(cr, -32, -32);
    HeliLook k;
    k.hull = pal::kKhaki;
    k.accent = pal::kCamoBrown;
    k.hub_x = 32 + 16 / 1.5;
    k.nose_x = 62;
    k.length = 60;
    k.body_width = 20;
    k.stub_wings = true;
    k.pods = true;
    k.wing_span = 38;
    PaintHelicopter(cr, k);
  }));
  // Attack helicopter with 32 banking frames: frame k is shown while it moves along
  // heading 8k..8k+7; it banks into a turn to the right on the way round the right.
  out.push_back(PaintSprite("hele4", 64, 64, 32, [](cairo_t* cr, int i) {
    HeliLook k;
    k.hull = Hex(0xC9CCC0);
    k.accent = Hex(0x9AA08C);
    k.body_width = 20;
    k.stub_wings = true;
    k.wing_span = 30;
    k.pods = true;
    k.bank = std::sin(i * 2 * M_PI / 32);
    k.phase = i;
    PaintHelicopter(cr, k);
  }));
}

void AddPlanes(SpriteList& out) {
  out.push_back(PaintSprite("missile1", 32, 16, 1, [](cairo_t* cr, int) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 7, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.5, 0.1, 0);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.9, 0.6, 1);
    cairo_set_source(cr, g);
    EllipsePath(cr, 4, 8, 4, 2);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    PolygonPath(cr, {6, 3, 11, 6.5, 11, 9.5, 6, 13});
    Fill(cr, pal::kSteel);
    RoundedRect(cr, 6, 5.5, 20, 5, 2);
    FillCylinder(cr, Hex(0xE8E8E0), true, 0.45);
    Outline(cr, pal::kInk, 0.8);
    cairo_move_to(cr, 25, 5.5);
    cairo_curve_to(cr, 29, 6, 31, 7.5, 31, 8);
    cairo_curve_to(cr, 31, 8.5, 29, 10, 25, 10.5);
    cairo_close_path(cr);
    Fill(cr, pal::kWarnRed);
  }));
  // Diving twin-boom fighter, nose down.
  out.push_back(PaintSprite("lockheed", 64, 64, 1, [](cairo_t* cr, int) {
    NoseDown(cr, 32, 32);
    PlaneLook k;
    k.hull = pal::kOliveLight;
    k.length = 50;
    k.span = 62;
    k.chord = 12;
    k.twin_boom = true;
    PaintPlane(cr, 32, 32, k);
  }));
  out.push_back(PaintSprite("floatplane", 64, 64, 1, [](cairo_t* cr, int) {
    NoseDown(cr, 32, 32);
    PlaneLook k;
    k.hull = pal::kAirGrey;
    k.length = 46;
    k.span = 60;
    k.chord = 13;
    k.floats = true;
    PaintPlane(cr, 32, 32, k);
  }));
  // Small fighter taking off to the right.
  out.push_back(PaintSprite("airportshooter", 32, 32, 1, [](cairo_t* cr, int) {
    PlaneLook k;
    k.hull = pal::kAirGreyLight;
    k.length = 28;
    k.span = 28;
    k.chord = 8;
    k.body = 5;
    PaintPlane(cr, 16, 16, k);
  }));
  // The big bomber: when drawn upright its nose points down-left (heading 160), which
  // is the way it travels relative to its drawing angle. Variants by schedule value.
  out.push_back(PaintSprite("bigplane", 128, 128, 2, [](cairo_t* cr, int i) {
    cairo_translate(cr, 64, 64);
    cairo_rotate(cr, 135 * M_PI / 180);  // +x (heading 64) turned to heading 160
    cairo_translate(cr, -64, -64);
    PlaneLook k;
    k.hull = i == 0 ? pal::kOliveLight : pal::kAirGrey;
    k.length = 104;
    k.span = 118;
    k.chord = 30;
    k.body = 16;
    k.engines = 4;
    PaintPlane(cr, 64, 64, k);
  }));
  out.push_back(PaintSprite("loopy", 48, 48, 2, [](cairo_t* cr, int i) {
    // A swept arrowhead drone, nose toward +x.
    const Rgb c = i == 0 ? Hex(0xE0A050) : Hex(0x70C8C0);
    PolygonPath(cr, {44, 24, 10, 6, 16, 24, 10, 42});
    FillCylinder(cr, c, true, 0.45);
    Outline(cr, Shade(c, -0.6), 1.0);
    PolygonPath(cr, {38, 24, 22, 18, 20, 24, 22, 30});
    Fill(cr, Shade(c, -0.25));
    Glass(cr, 31, 24, 4, 2.4);
    for (int s = -1; s <= 1; s += 2) {
      EllipsePath(cr, 11, 24 + s * 15, 3, 1.6);
      SetColour(cr, Hex(0xFFB040), 0.9);
      cairo_fill(cr);
    }
  }));
}

void AddGooseFormation(SpriteList& out) {
  // The formation leader, nose down; the big rotor's hub is 28 px below the centre.
  // Its five stages open the armour plates over its weapon cores (shootable once open).
  out.push_back(PaintSprite("goose1", 128, 128, 5, [](cairo_t* cr, int stage) {
    NoseDown(cr, 64, 64);
    const Rgb hull = pal::kAirGrey, dark = pal::kAirGreyDark;
    // Engine nacelles either side.
    for (int s = -1; s <= 1; s += 2) {
      RoundedRect(cr, 28, 64 + s * 30 - 8, 60, 16, 8);
      FillCylinder(cr, dark, true, 0.45);
      Outline(cr, pal::kInk, 1.0);
      EllipsePath(cr, 27, 64 + s * 30, 3, 6);
      SetColour(cr, Hex(0xFF9040), 0.8);
      cairo_fill(cr);
    }
    // Tail with a wide stabiliser.
    RoundedRect(cr, 6, 46, 12, 36, 4);
    Fill(cr, dark);
    RoundedRect(cr, 8, 58, 40, 12, 5);
    Fill(cr, hull);
    // Main hull.
    cairo_move_to(cr, 18, 64);
    cairo_curve_to(cr, 18, 44, 40, 40, 70, 40);
    cairo_curve_to(cr, 104, 40, 120, 52, 122, 64);
    cairo_curve_to(cr, 120, 76, 104, 88, 70, 88);
    cairo_curve_to(cr, 40, 88, 18, 84, 18, 64);
    cairo_close_path(cr);
    FillCylinder(cr, hull, true, 0.4);
    Outline(cr, pal::kInk, 1.2);
    PanelLine(cr, 40, 44, 40, 84, hull);
    PanelLine(cr, 76, 41, 76, 87, hull);
    Glass(cr, 110, 64, 7, 10);
    // Weapon cores under armour plates that slide outward stage by stage.
    const double open = stage / 4.0;
    for (int s = -1; s <= 1; s += 2) {
      const double y = 64 + s * 13;
      EllipsePath(cr, 58, y, 9, 6);
      cairo_pattern_t* g = cairo_pattern_create_radial(58, y, 1, 58, y, 9);
      cairo_pattern_add_color_stop_rgb(g, 0, 1, 0.95, 0.7);
      cairo_pattern_add_color_stop_rgb(g, 0.5, 1, 0.35, 0.15);
      cairo_pattern_add_color_stop_rgb(g, 1, 0.35, 0.05, 0.05);
      cairo_set_source(cr, g);
      cairo_fill(cr);
      cairo_pattern_destroy(g);
      RoundedRect(cr, 46, y - 7 + s * open * 9, 24, 14, 3);
      Fill(cr, Shade(hull, 0.12));
      Rivets(cr, {49, y - 4 + s * open * 9, 67, y - 4 + s * open * 9, 49, y + 4 + s * open * 9,
                  67, y + 4 + s * open * 9},
             hull);
    }
    // Big rotor mast ahead of the centre (the blades are the rotor image).
    EllipsePath(cr, 92, 64, 6, 6);
    FillDome(cr, pal::kSteel, 92, 64, 6);
    Outline(cr, pal::kInk, 1.0);
  }));
  // Small escort rotorcraft, nose down, its rotor hub 24 px above the centre.
  out.push_back(PaintSprite("goose2", 64, 64, 1, [](cairo_t* cr, int) {
    const Rgb hull = pal::kAirGreyLight;
    RoundedRect(cr, 29, 6, 6, 22, 3);
    Fill(cr, pal::kAirGrey);
    for (int s = -1; s <= 1; s += 2) {
      RoundedRect(cr, 32 + s * 14 - 4, 30, 8, 18, 4);
      FillCylinder(cr, pal::kAirGreyDark, false, 0.45);
      Outline(cr, pal::kInk, 0.9);
    }
    EllipsePath(cr, 32, 38, 12, 20);
    FillCylinder(cr, hull, false, 0.45);
    Outline(cr, pal::kInk, 1.0);
    Glass(cr, 32, 50, 6, 6);
    PanelLine(cr, 22, 32, 42, 32, hull);
    EllipsePath(cr, 32, 8, 3.5, 3.5);
    FillDome(cr, pal::kSteel, 32, 8, 3.5);
    Outline(cr, pal::kInk, 0.8);
  }));
  // Side escort pod: symmetric, used unmirrored on both sides of the leader.
  out.push_back(PaintSprite("goose3", 64, 64, 1, [](cairo_t* cr, int) {
    for (int s = -1; s <= 1; s += 2) {
      RoundedRect(cr, 32 + s * 7 - 2, 36, 4, 22, 1.5);
      FillCylinder(cr, pal::kGunmetal, false, 0.5);
      Outline(cr, pal::kInk, 0.8);
    }
    EllipsePath(cr, 32, 30, 18, 20);
    FillDome(cr, pal::kAirGrey, 32, 30, 20, 0.45);
    Outline(cr, pal::kInk, 1.1);
    RoundedRect(cr, 20, 12, 24, 8, 3);
    Fill(cr, pal::kAirGreyDark);
    EllipsePath(cr, 32, 34, 6, 6);
    FillDome(cr, pal::kWarnRed, 32, 34, 6, 0.5);
    Outline(cr, pal::kInk, 0.8);
    Rivets(cr, {18, 30, 46, 30, 32, 14}, pal::kAirGrey);
  }));
}

void AddCreatures(SpriteList& out) {
  // A bat-winged drone; its four wing frames play 0,1,2,3,2,1.
  out.push_back(PaintSprite("bat1", 64, 64, 4, [](cairo_t* cr, int f) {
    const double span = 30 - f * 6.5, lift = f * 3.0;
    const Rgb wing = pal::kAlienViolet, body = Shade(pal::kAlienViolet, -0.15);
    for (int s = -1; s <= 1; s += 2) {
      cairo_move_to(cr, 32 + s * 5, 24);
      cairo_line_to(cr, 32 + s * span, 18 + lift);
      cairo_line_to(cr, 32 + s * span * 0.95, 34 + lift);
      cairo_curve_to(cr, 32 + s * span * 0.7, 30 + lift, 32 + s * span * 0.6, 38, 32 + s * span * 0.45, 40);
      cairo_curve_to(cr, 32 + s * span * 0.35, 36, 32 + s * 12, 40, 32 + s * 5, 42);
      cairo_close_path(cr);
      FillLit(cr, wing, 0.35);
      Outline(cr, Shade(wing, -0.6), 1.0);
      // Finger ribs.
      cairo_set_line_width(cr, 1.0);
      SetColour(cr, Shade(wing, -0.45));
      for (int r = 1; r <= 2; ++r) {
        cairo_move_to(cr, 32 + s * span, 18 + lift);
        cairo_line_to(cr, 32 + s * span * (0.75 - 0.3 * r / 2), 38 - r);
        cairo_stroke(cr);
      }
    }
    EllipsePath(cr, 32, 32, 7, 13);
    FillDome(cr, body, 32, 32, 13);
    Outline(cr, pal::kInk, 1.0);
    for (int s = -1; s <= 1; s += 2) {
      EllipsePath(cr, 32 + s * 3, 41, 1.6, 1.6);
      SetColour(cr, Hex(0xFFE040));
      cairo_fill(cr);
    }
  }));
  // A spiked bomb that floats; pattern 1 is its glow (added as light, tinted red).
  out.push_back(PaintSprite("bulletbomb", 48, 48, 2, [](cairo_t* cr, int i) {
    if (i == 1) {
      FillRadialDisc(cr, 24, 24, 0, 22, {{0, 1, 1, 1, 1}, {0.35, 0.8, 0.8, 0.8, 1}, {1, 0, 0, 0, 1}});
      return;
    }
    for (int k = 0; k < 8; ++k) {
      const double a = k * M_PI / 4;
      cairo_save(cr);
      cairo_translate(cr, 24, 24);
      cairo_rotate(cr, a);
      PolygonPath(cr, {11, -2.5, 20, 0, 11, 2.5});
      Fill(cr, pal::kSteel);
      cairo_restore(cr);
    }
    EllipsePath(cr, 24, 24, 13, 13);
    FillDome(cr, pal::kSteelLight, 24, 24, 13);
    Outline(cr, pal::kInk, 1.0);
    EllipsePath(cr, 24, 24, 4, 4);
    FillDome(cr, pal::kWarnRed, 24, 24, 4, 0.6);
  }));
  // Three-bladed alien spinner; 13 frames turn it a third of a turn, which loops.
  out.push_back(PaintSprite("alienspin", 48, 48, 13, [](cairo_t* cr, int i) {
    cairo_translate(cr, 24, 24);
    cairo_rotate(cr, i * (2 * M_PI / 3) / 13);
    for (int k = 0; k < 3; ++k) {
      cairo_save(cr);
      cairo_rotate(cr, k * 2 * M_PI / 3);
      cairo_move_to(cr, 6, -5);
      cairo_curve_to(cr, 14, -8, 22, -4, 22, 2);
      cairo_curve_to(cr, 18, 0, 12, 2, 6, 5);
      cairo_close_path(cr);
      Fill(cr, pal::kAlienViolet);
      cairo_restore(cr);
    }
    EllipsePath(cr, 0, 0, 9, 9);
    FillDome(cr, pal::kAlienTeal, 0, 0, 9);
    Outline(cr, pal::kInk, 1.0);
    EllipsePath(cr, 0, 0, 3, 3);
    SetColour(cr, pal::kAlienGlow);
    cairo_fill(cr);
  }));
  // Floating mine; pattern 1 is its glow, added with alpha, tinted red or green.
  out.push_back(PaintSprite("mine", 32, 32, 2, [](cairo_t* cr, int i) {
    if (i == 1) {
      FillRadialDisc(cr, 16, 16, 0, 15, {{0, 1, 1, 1, 0.9}, {0.4, 1, 1, 1, 0.45}, {1, 1, 1, 1, 0}});
      return;
    }
    for (int k = 0; k < 6; ++k) {
      cairo_save(cr);
      cairo_translate(cr, 16, 16);
      cairo_rotate(cr, k * M_PI / 3 + 0.3);
      RoundedRect(cr, 7, -1.6, 7, 3.2, 1.2);
      Fill(cr, pal::kSteel);
      cairo_restore(cr);
    }
    EllipsePath(cr, 16, 16, 9, 9);
    FillDome(cr, Hex(0xA8A49A), 16, 16, 9);
    Outline(cr, pal::kInk, 1.0);
    EllipsePath(cr, 16, 16, 2.5, 2.5);
    SetColour(cr, pal::kWarnRed);
    cairo_fill(cr);
  }));
  // A walking robot rising out of the ground: stage 0 crouched low, stage 3 upright.
  out.push_back(PaintSprite("xbot", 64, 64, 4, [](cairo_t* cr, int stage) {
    const double s = 0.64 + 0.12 * stage;
    cairo_translate(cr, 32, 32);
    cairo_scale(cr, s, s);
    const Rgb body = pal::kTechPanel;
    for (int side = -1; side <= 1; side += 2) {
      RoundedRect(cr, side * 16 - 5, -10, 10, 26, 3);  // legs
      Fill(cr, Shade(body, -0.15));
      RoundedRect(cr, side * 25 - 4, -4, 8, 26, 3);  // arm guns pointing down
      Fill(cr, pal::kGunmetal);
      RoundedRect(cr, side * 25 - 2, 20, 4, 6, 1);
      SetColour(cr, pal::kInk);
      cairo_fill(cr);
    }
    RoundedRect(cr, -18, -18, 36, 30, 6);
    Fill(cr, body);
    PanelLine(cr, -14, 0, 14, 0, body);
    RoundedRect(cr, -8, 4, 16, 12, 4);
    Fill(cr, Shade(body, 0.2));
    RoundedRect(cr, -6, 10, 12, 3, 1.5);  // visor facing down
    SetColour(cr, Hex(0xFF5030));
    cairo_fill(cr);
    Rivets(cr, {-14, -14, 14, -14, -14, 8, 14, 8}, body);
  }));
  // A sea serpent leaping from the water, head down.
  out.push_back(PaintSprite("waterthing1", 64, 64, 1, [](cairo_t* cr, int) {
    const Rgb skin = Hex(0x7CB890);
    for (int s = -1; s <= 1; s += 2) {
      PolygonPath(cr, {32.0 + s * 8, 26, 32.0 + s * 27, 16, 32.0 + s * 22, 32, 32.0 + s * 9, 38});
      Fill(cr, Shade(skin, -0.1));
    }
    cairo_move_to(cr, 32, 4);
    cairo_curve_to(cr, 44, 10, 44, 40, 38, 52);
    cairo_curve_to(cr, 35, 58, 29, 58, 26, 52);
    cairo_curve_to(cr, 20, 40, 20, 10, 32, 4);
    cairo_close_path(cr);
    FillCylinder(cr, skin, false, 0.5);
    Outline(cr, Shade(skin, -0.65), 1.1);
    for (int k = 0; k < 5; ++k) {
      PolygonPath(cr, {29, 10.0 + k * 7, 35, 10.0 + k * 7, 32, 15.0 + k * 7});
      SetColour(cr, Shade(skin, -0.35));
      cairo_fill(cr);
    }
    for (int s = -1; s <= 1; s += 2) {
      EllipsePath(cr, 32 + s * 4.5, 48, 1.8, 1.8);
      SetColour(cr, Hex(0xFFD040));
      cairo_fill(cr);
    }
    // Water sheeting off the body.
    SetColour(cr, pal::kFoam, 0.75);
    for (int k = 0; k < 7; ++k) {
      EllipsePath(cr, 18 + k * 4.5, 6 + std::abs(k - 3) * 3.5, 1.6, 1.6);
      cairo_fill(cr);
    }
  }));
  // An alien pod unfolding its four petals (stored facing down).
  out.push_back(PaintSprite("alien2", 64, 64, 5, [](cairo_t* cr, int f) {
    const double open = f / 4.0;
    EllipsePath(cr, 32, 32, 10, 10);
    cairo_pattern_t* g = cairo_pattern_create_radial(32, 32, 1, 32, 32, 11);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.9, 1.0, 0.8);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.25, 0.6, 0.45);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (int k = 0; k < 4; ++k) {
      cairo_save(cr);
      cairo_translate(cr, 32, 32);
      cairo_rotate(cr, k * M_PI / 2 + M_PI / 4);
      cairo_translate(cr, 4 + open * 12, 0);
      cairo_move_to(cr, -3, 0);
      cairo_curve_to(cr, -2, -10, 10, -12, 17, 0);
      cairo_curve_to(cr, 10, 12, -2, 10, -3, 0);
      cairo_close_path(cr);
      FillLit(cr, pal::kAlienViolet, 0.4);
      Outline(cr, Shade(pal::kAlienViolet, -0.6), 1.0);
      cairo_restore(cr);
    }
    // A front spike shows which way it faces (down).
    PolygonPath(cr, {29, 40 + open * 6, 35, 40 + open * 6, 32, 50 + open * 8});
    Fill(cr, pal::kAlienTeal);
  }));
  // A molten rock, cracked with glowing lava (it spins, so no fixed light).
  out.push_back(PixelSprite("lavabomb", 32, 32, 1, [](double x, double y, int) {
    const double dx = x - 16, dy = y - 16;
    const double ang = std::atan2(dy, dx);
    const double r = 11 + 2.5 * (Fbm(std::cos(ang) + 4, std::sin(ang) + 4, 3, 451) - 0.5) * 2;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d >= r) return Rgba{};
    const double n = Fbm(x / 7, y / 7, 3, 452);
    const double crack = 1 - SmoothStep(0.0, 0.05, std::abs(n - 0.5));
    Rgb c = Mix(Hex(0x3A2A22), Hex(0x5A4032), Fbm(x / 2, y / 2, 2, 453));
    c = Mix(c, Mix(Hex(0xFF5010), Hex(0xFFE070), crack * 0.6), std::max(crack, 0.55 * (1 - d / r)));
    return Rgba{c.r, c.g, c.b, 1 - SmoothStep(r - 1.2, r, d)};
  }));
  // A small hover drone launched by the big tank, nose down.
  out.push_back(PaintSprite("bigtankflier", 48, 48, 1, [](cairo_t* cr, int) {
    for (int s = -1; s <= 1; s += 2) {
      EllipsePath(cr, 24 + s * 14, 22, 6, 8);
      FillDome(cr, pal::kOliveDark, 24 + s * 14, 22, 8);
      Outline(cr, pal::kInk, 0.9);
      EllipsePath(cr, 24 + s * 14, 22, 3.5, 3.5);
      SetColour(cr, Hex(0xFFB050), 0.8);
      cairo_fill(cr);
    }
    PolygonPath(cr, {16, 10, 32, 10, 36, 24, 30, 40, 18, 40, 12, 24});
    Fill(cr, pal::kOliveLight);
    RoundedRect(cr, 22, 34, 4, 11, 1.5);
    Fill(cr, pal::kGunmetal);
    Glass(cr, 24, 28, 4, 3);
  }));
}

}  // namespace

void AddFlyerSprites(SpriteList& out) {
  AddHelicopters(out);
  AddPlanes(out);
  AddGooseFormation(out);
  AddCreatures(out);
}

}  // namespace tarq::forge
