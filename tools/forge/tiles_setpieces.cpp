// Painters of the set pieces. Each draws in piece-local pixels on a transparent canvas;
// AddSetPieceTiles cuts the pictures into tiles, shares repeated tiles and records the
// grid for the map builder.
#include "tiles_setpieces.h"

#include <cmath>
#include <stdexcept>

#include "tiles_catalogue.h"

namespace tarq::forge {
namespace {

constexpr double kPi = 3.14159265358979323846;

void Rect(cairo_t* cr, double x, double y, double w, double h, Rgb c, double a = 1.0) {
  cairo_rectangle(cr, x, y, w, h);
  SetColour(cr, c, a);
  cairo_fill(cr);
}

// A raised block: a shadow cast toward the bottom-right, then the lit top.
void Block(cairo_t* cr, double x, double y, double w, double h, Rgb c, double shadow = 5) {
  Rect(cr, x + shadow, y + shadow, w, h, pal::kInk, 0.45);
  cairo_rectangle(cr, x, y, w, h);
  FillLit(cr, c, 0.3);
  Outline(cr, Shade(c, -0.5), 1.0);
}

// Diagonal warning stripes in a rectangle.
void Hazard(cairo_t* cr, double x, double y, double w, double h) {
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  Rect(cr, x, y, w, h, pal::kWarnYellow);
  SetColour(cr, pal::kInk);
  for (double s = x - h; s < x + w; s += 10) {
    cairo_move_to(cr, s, y + h);
    cairo_line_to(cr, s + h, y);
    cairo_line_to(cr, s + h + 5, y);
    cairo_line_to(cr, s + 5, y + h);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

void Pit(cairo_t* cr, double x, double y, double w, double h) {
  cairo_rectangle(cr, x, y, w, h);
  cairo_pattern_t* g = cairo_pattern_create_linear(x, y, x + w * 0.4, y + h * 0.4);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.02, 0.02, 0.02);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.12, 0.11);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_rectangle(cr, x, y, w, h);
  Outline(cr, pal::kConcreteDark, 1.5);
}

void Rivets(cairo_t* cr, double x0, double y0, double x1, double y1, double step) {
  for (double x = x0; x <= x1; x += step) {
    for (double y = y0; y <= y1; y += step) {
      EllipsePath(cr, x, y, 1.3, 1.3);
      SetColour(cr, pal::kSteelLight);
      cairo_fill(cr);
    }
  }
}

// ---- First fortress ------------------------------------------------------------------

void FortressGround(cairo_t* cr) {
  using namespace piece;
  const double X = kFortressX, Y = kFortressY;
  // Ramps from the door shafts down to the plain, and the beam trench below the gun.
  for (double dx : {-92.0, 96.0}) {
    cairo_rectangle(cr, X + dx - 30, Y + 8, 60, 112);
    FillLit(cr, Shade(pal::kConcrete, -0.1), 0.2);
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) Rect(cr, X + dx - 30, Y + 20 + i * 16, 60, 2, pal::kConcreteDark, 0.6);
  }
  Pit(cr, X - 14, Y + 96, 28, 224);
  for (double dx : {-14.0, 12.0}) Rect(cr, X + dx, Y + 96, 2, 224, pal::kFlameOrange, 0.6);
  // Bastion: chamfered outer wall, lit from the top-left.
  const double l = X - 156, r = X + 156, t = Y - 150, b = Y + 40;
  auto bastion = [&](double inset, double off) {
    PolygonPath(cr, {l + inset + 24 + off, t + inset + off, r - inset - 24 + off, t + inset + off,
                     r - inset + off, t + inset + 24 + off, r - inset + off, b - inset + off,
                     l + inset + off, b - inset + off, l + inset + off, t + inset + 24 + off});
  };
  bastion(0, 7);
  SetColour(cr, pal::kInk, 0.5);
  cairo_fill(cr);
  bastion(0, 0);
  FillLit(cr, pal::kConcreteDark, 0.35);
  Outline(cr, pal::kInk, 1.5);
  bastion(10, 0);
  FillLit(cr, pal::kConcrete, 0.3);
  Outline(cr, pal::kConcreteDark, 1);
  Rivets(cr, l + 16, t + 6, r - 16, t + 6, 12);
  // Courtyard, door shafts and the gun ring.
  cairo_rectangle(cr, X - 134, Y - 128, 268, 146);
  FillLit(cr, Shade(pal::kConcrete, -0.2), 0.25);
  cairo_new_path(cr);
  Pit(cr, X - 124, Y - 120, 65, 129);
  Pit(cr, X + 64, Y - 120, 65, 129);
  Hazard(cr, X - 124, Y + 9, 65, 6);
  Hazard(cr, X + 64, Y + 9, 65, 6);
  EllipsePath(cr, X, Y, 46, 46);
  FillDome(cr, pal::kSteel, X, Y, 46, 0.3);
  Outline(cr, pal::kInk, 1.5);
  EllipsePath(cr, X, Y, 34, 34);
  SetColour(cr, pal::kTechDark);
  cairo_fill(cr);
  Rivets(cr, X - 40, Y - 2, X + 40, Y - 2, 10);
  // Corner towers.
  for (double tx : {l + 6, r - 38}) {
    Block(cr, tx, t + 28, 32, 32, pal::kConcrete, 4);
    EllipsePath(cr, tx + 16, t + 44, 8, 8);
    SetColour(cr, pal::kInk, 0.8);
    cairo_fill(cr);
  }
}

// ---- Runway and airstrip -------------------------------------------------------------

void RunwayGround(cairo_t* cr) {
  using namespace piece;
  const double x0 = kRunwayX - kRunwayHalfWidth, w = 2 * kRunwayHalfWidth;
  const double h = kRunwayRows * 64;
  // Apron at the top right where the big plane waits, and the diagonal taxiway.
  cairo_rectangle(cr, 272, 0, 112, 96);
  SetColour(cr, pal::kAsphalt);
  cairo_fill(cr);
  cairo_move_to(cr, kTaxiStartX - 28, kTaxiStartY);
  cairo_line_to(cr, kTaxiStartX + 16, kTaxiStartY);
  cairo_line_to(cr, kRunwayX + 40, kTaxiStartY + 320);
  cairo_line_to(cr, kRunwayX - 20, kTaxiStartY + 320);
  cairo_close_path(cr);
  SetColour(cr, pal::kAsphalt);
  cairo_fill(cr);
  cairo_move_to(cr, kTaxiStartX - 6, kTaxiStartY);
  cairo_line_to(cr, kRunwayX + 10, kTaxiStartY + 320);
  SetColour(cr, pal::kWarnYellow, 0.9);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  // The strip itself, with edge lines and centre dashes that repeat every tile.
  Rect(cr, x0 - 4, 0, w + 8, h, Shade(pal::kAsphalt, -0.1));
  Rect(cr, x0, 0, w, h, pal::kAsphalt);
  Rect(cr, x0 + 3, 0, 3, h, Hex(0xE8E4D0), 0.9);
  Rect(cr, x0 + w - 6, 0, 3, h, Hex(0xE8E4D0), 0.9);
  for (double y = 12; y < h; y += 64) Rect(cr, kRunwayX - 2, y, 4, 36, Hex(0xE8E4D0), 0.9);
  // Threshold bars at both ends, touchdown marks at the southern end.
  for (int i = 0; i < 8; ++i) Rect(cr, x0 + 8 + i * 12.5, 24, 7, 80, Hex(0xE8E4D0), 0.95);
  Rect(cr, x0 - 4, 6, w + 8, 6, pal::kWarnRed, 0.9);
  const double ty = h - 160;
  for (int i = 0; i < 8; ++i) Rect(cr, x0 + 8 + i * 12.5, ty + 20, 7, 90, Hex(0xE8E4D0), 0.95);
  for (double dy : {-220.0, -380.0}) {
    Rect(cr, x0 + 14, ty + dy, 22, 60, Hex(0xE8E4D0), 0.9);
    Rect(cr, x0 + w - 36, ty + dy, 22, 60, Hex(0xE8E4D0), 0.9);
  }
  Rect(cr, x0 - 4, h - 30, w + 8, 6, pal::kWarnRed, 0.9);
}

void AirstripGround(cairo_t* cr) {
  using namespace piece;
  const double w = kAirstripCols * 64, y = kAirstripY;
  Rect(cr, 0, y - 22, w, 44, Shade(pal::kAsphalt, -0.1));
  Rect(cr, 0, y - 19, w, 38, pal::kAsphalt);
  Rect(cr, 0, y - 17, w, 2, Hex(0xE8E4D0), 0.85);
  Rect(cr, 0, y + 15, w, 2, Hex(0xE8E4D0), 0.85);
  for (double x = 140; x < w; x += 64) Rect(cr, x, y - 1.5, 28, 3, Hex(0xE8E4D0), 0.85);
  for (int i = 0; i < 5; ++i) Rect(cr, 12 + i * 2, y - 14 + i * 6, 24, 3, Hex(0xE8E4D0), 0.9);
  // Arrows pointing east: the direction of take-off.
  SetColour(cr, pal::kWarnYellow, 0.9);
  for (double x : {90.0, 150.0}) {
    PolygonPath(cr, {x, y - 6, x + 14, y - 6, x + 14, y - 11, x + 26, y, x + 14, y + 11, x + 14, y + 6, x, y + 6});
    cairo_fill(cr);
  }
}

// ---- Tech bunkers ----------------------------------------------------------------------

void BunkerGround(cairo_t* cr, double door_x) {
  using namespace piece;
  // Dark hangar floor under the roof, and a lit apron outside the door.
  Rect(cr, 8, 12, 176, 104, pal::kTechDark);
  const bool east = door_x > 96;
  Hazard(cr, east ? door_x + 20 : door_x - 28, kBunkerDoorY - 28, 8, 57);
}

void BunkerOverlay(cairo_t* cr, double door_x) {
  using namespace piece;
  const bool east = door_x > 96;
  const double l = east ? 4 : door_x - 20, r = east ? door_x + 20 : 188;
  cairo_rectangle(cr, l + 5, 10 + 5, r - l, 108);
  SetColour(cr, pal::kInk, 0.45);
  cairo_fill(cr);
  // The roof with the door window cut out of it (even-odd fill).
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_rectangle(cr, l, 10, r - l, 108);
  cairo_rectangle(cr, door_x - 20, kBunkerDoorY - 28, 40, 57);
  FillLit(cr, pal::kTechPanel, 0.35);
  cairo_new_path(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  for (double x = l + 32; x < r - 8; x += 32) Rect(cr, x, 12, 1.5, 104, pal::kTechDark, 0.8);
  Rect(cr, l, 10, r - l, 3, pal::kSteelLight, 0.8);
  Rivets(cr, l + 8, 18, r - 8, 18, 16);
  Rivets(cr, l + 8, 110, r - 8, 110, 16);
  // Door frame.
  cairo_rectangle(cr, door_x - 22, kBunkerDoorY - 30, 44, 61);
  Outline(cr, pal::kWarnYellow, 2.0, 1.0);
  for (double vx : {l + 20.0, r - 36.0}) {  // roof vents
    if (std::fabs(vx - door_x) < 40) continue;
    Rect(cr, vx, 40, 16, 48, pal::kTechDark);
    for (int i = 0; i < 6; ++i) Rect(cr, vx + 2, 43 + i * 7, 12, 3, pal::kInk);
  }
}

void BunkerEastGround(cairo_t* cr) { BunkerGround(cr, piece::kBunkerDoorXEast); }
void BunkerEastOverlay(cairo_t* cr) { BunkerOverlay(cr, piece::kBunkerDoorXEast); }
void BunkerWestGround(cairo_t* cr) { BunkerGround(cr, piece::kBunkerDoorXWest); }
void BunkerWestOverlay(cairo_t* cr) { BunkerOverlay(cr, piece::kBunkerDoorXWest); }

// ---- Silo pad ------------------------------------------------------------------------

void SiloGround(cairo_t* cr) {
  using namespace piece;
  const double X = kSiloX, Y = kSiloY;
  // Flat pad in the colour the dome pictures are painted on, so the opaque dome
  // rectangle sits on it without an edge.
  RoundedRect(cr, X - 62, Y - 54, 124, 108, 10);
  SetColour(cr, pal::kInk, 0.35);
  cairo_fill(cr);
  RoundedRect(cr, X - 60, Y - 52, 120, 104, 8);
  SetColour(cr, pal::kDomePad);
  cairo_fill(cr);
  EllipsePath(cr, X, Y, 40, 34);
  SetColour(cr, Shade(pal::kDomePad, -0.35));
  cairo_fill(cr);
  EllipsePath(cr, X, Y, 34, 28);  // the opening: deep, with a glow far down
  cairo_pattern_t* g = cairo_pattern_create_radial(X, Y + 4, 2, X, Y, 34);
  cairo_pattern_add_color_stop_rgb(g, 0, pal::kAlienGlow.r * 0.5, pal::kAlienGlow.g * 0.5, pal::kAlienGlow.b * 0.5);
  cairo_pattern_add_color_stop_rgb(g, 0.5, 0.05, 0.06, 0.06);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.0, 0.0, 0.0);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  for (int i = 0; i < 8; ++i) {  // clamps round the rim
    const double a = i * kPi / 4;
    EllipsePath(cr, X + std::cos(a) * 44, Y + std::sin(a) * 38, 3, 3);
    SetColour(cr, pal::kSteelLight);
    cairo_fill(cr);
  }
}

// ---- Second fortress -----------------------------------------------------------------

void CitadelGround(cairo_t* cr) {
  using namespace piece;
  const double X = kCitadelX, Y = kCitadelY;
  // Octagonal platform.
  std::vector<double> oct;
  for (int i = 0; i < 8; ++i) {
    const double a = kPi / 8 + i * kPi / 4;
    oct.push_back(X + std::cos(a) * 150);
    oct.push_back(Y + std::sin(a) * 118);
  }
  std::vector<double> shadow = oct;
  for (size_t i = 0; i < shadow.size(); ++i) shadow[i] += 6;
  PolygonPath(cr, shadow);
  SetColour(cr, pal::kInk, 0.45);
  cairo_fill(cr);
  PolygonPath(cr, oct);
  FillLit(cr, pal::kTechPanel, 0.35);
  Outline(cr, pal::kTechDark, 2);
  // Concentric rings and the beam channel running south.
  for (double r : {96.0, 80.0}) {
    EllipsePath(cr, X, Y, r, r * 0.8);
    SetColour(cr, pal::kTechDark, 0.9);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
  }
  Pit(cr, X - 13, Y + 40, 24, 216);
  Rect(cr, X - 13, Y + 40, 2, 216, pal::kAlienGlow, 0.7);
  Rect(cr, X + 9, Y + 40, 2, 216, pal::kAlienGlow, 0.7);
  // Cannon pads.
  for (const auto& c : kCitadelCannons) {
    EllipsePath(cr, c[0] + 3, c[1] + 3, 26, 26);
    SetColour(cr, pal::kInk, 0.45);
    cairo_fill(cr);
    EllipsePath(cr, c[0], c[1], 26, 26);
    FillDome(cr, pal::kSteel, c[0], c[1], 26, 0.35);
    Outline(cr, pal::kTechDark, 1.5);
    Hazard(cr, c[0] - 18, c[1] + 18, 36, 4);
  }
}

// ---- Sliding platform track ----------------------------------------------------------

void TrackGround(cairo_t* cr) {
  using namespace piece;
  const double w = kTrackCols * 64;
  Rect(cr, 0, kTrackY - 56, w, 112, Shade(pal::kConcreteDark, -0.1), 0.9);
  for (double x = 4; x < w; x += 16) Rect(cr, x, kTrackY - 52, 8, 104, Hex(0x4A4038));
  for (double y : {kTrackY - 42.0, kTrackY + 36.0}) {
    Rect(cr, 0, y, w, 6, pal::kGunmetal);
    Rect(cr, 0, y, w, 2, pal::kSteelLight);
  }
  for (double x : {56.0, 644.0}) {  // end stops
    Block(cr, x - 8, kTrackY - 50, 16, 100, pal::kRust, 3);
    Hazard(cr, x - 6, kTrackY - 46, 12, 92);
  }
}

// ---- Final arena ---------------------------------------------------------------------

void ArenaGround(cairo_t* cr) {
  using namespace piece;
  const double X = kArenaBossX, Y = kArenaBossY;
  const double w = kArenaCols * 64, h = kArenaRows * 64;
  // Processional avenue from the south up to the pad.
  Rect(cr, X - 80, Y, 160, h - Y, Shade(pal::kTechPanel, -0.15), 0.9);
  for (double y = Y + 160; y < h; y += 64) {
    Rect(cr, X - 76, y, 16, 32, pal::kWarnYellow, 0.8);
    Rect(cr, X + 60, y, 16, 32, pal::kWarnYellow, 0.8);
  }
  // The great pad under the boss, ringed with lights.
  for (double r : {176.0, 160.0}) {
    EllipsePath(cr, X, Y, r, r * 0.85);
    FillLit(cr, r > 170 ? pal::kTechDark : pal::kTechPanel, 0.3);
    cairo_new_path(cr);
  }
  for (int i = 0; i < 24; ++i) {
    const double a = i * kPi / 12;
    EllipsePath(cr, X + std::cos(a) * 168, Y + std::sin(a) * 143, 3, 3);
    SetColour(cr, i % 2 ? pal::kWarnRed : pal::kAlienGlow);
    cairo_fill(cr);
  }
  EllipsePath(cr, X, Y, 120, 102);
  SetColour(cr, pal::kTechDark);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  // Pylon channel from the top of the arena to the pad.
  Pit(cr, X - 30, 0, 60, Y - 60);
  Rivets(cr, X - 36, 8, X - 36, Y - 70, 16);
  Rivets(cr, X + 36, 8, X + 36, Y - 70, 16);
  // Launcher bays under the two side launchers.
  for (double lx : {140.0, 500.0}) {
    Block(cr, lx - 16, 88, 96, 240, pal::kConcreteDark, 5);
    Pit(cr, lx + 6, 100, 52, 216);
    Hazard(cr, lx - 12, 318, 88, 6);
  }
  // Side walls with lit beacons.
  for (double wx : {0.0, w - 36}) {
    Block(cr, wx, 0, 36, h, pal::kTechPanel, 4);
    for (double y = 24; y < h; y += 64) {
      EllipsePath(cr, wx + 18, y, 4, 4);
      SetColour(cr, pal::kWarnRed);
      cairo_fill(cr);
    }
  }
}

}  // namespace

const std::vector<SetPieceLayout>& SetPieceLayouts() {
  using namespace piece;
  static const std::vector<SetPieceLayout> layouts = {
      {"fortress", kFortressCols, kFortressRows, FortressGround, nullptr},
      {"runway", kRunwayCols, kRunwayRows, RunwayGround, nullptr},
      {"airstrip", kAirstripCols, kAirstripRows, AirstripGround, nullptr},
      {"bunker_east", kBunkerCols, kBunkerRows, BunkerEastGround, BunkerEastOverlay},
      {"bunker_west", kBunkerCols, kBunkerRows, BunkerWestGround, BunkerWestOverlay},
      {"silo", kSiloCols, kSiloRows, SiloGround, nullptr},
      {"citadel", kCitadelCols, kCitadelRows, CitadelGround, nullptr},
      {"track", kTrackCols, kTrackRows, TrackGround, nullptr},
      {"arena", kArenaCols, kArenaRows, ArenaGround, nullptr},
  };
  return layouts;
}

const SetPieceLayout& FindSetPiece(const std::string& name) {
  for (const auto& s : SetPieceLayouts()) {
    if (s.name == name) return s;
  }
  throw std::out_of_range("no set piece named " + name);
}

void AddSetPieceTiles(TileCatalogue& cat) {
  int next = kFirstSetPieceTile;  // set pieces fill the upper half of the numbers
  for (const SetPieceLayout& layout : SetPieceLayouts()) {
    PieceGrid grid;
    grid.cols = layout.cols;
    grid.rows = layout.rows;
    grid.ground.assign(size_t(layout.cols) * layout.rows, 0);
    grid.overlay.assign(size_t(layout.cols) * layout.rows, 0);
    for (int layer = 0; layer < 2; ++layer) {
      void (*paint)(cairo_t*) = layer == 0 ? layout.ground : layout.overlay;
      if (!paint) continue;
      Canvas canvas(layout.cols * kTileSize, layout.rows * kTileSize);
      paint(canvas.cr());
      const PatternPixels whole = canvas.Pixels();
      for (int r = 0; r < layout.rows; ++r) {
        for (int c = 0; c < layout.cols; ++c) {
          PatternPixels tile = Crop(whole, c * kTileSize, r * kTileSize, kTileSize, kTileSize);
          // Solidity follows the picture: opaque cells of an overlay are high obstacles.
          const std::string solid = SolidityFromCoverage(tile, layer == 1 ? '2' : '0');
          const std::string name = layout.name + (layer == 0 ? "_g" : "_o") + std::to_string(r) + "_" +
                                   std::to_string(c);
          const int number = cat.AddShared(next, name, solid, std::move(tile));
          (layer == 0 ? grid.ground : grid.overlay)[size_t(r) * layout.cols + c] = number;
        }
      }
    }
    cat.AddPiece(layout.name, std::move(grid));
  }
}

}  // namespace tarq::forge
