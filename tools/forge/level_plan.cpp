// The level, section by section, from the start at the bottom of the map to the final
// arena. Each painter lays terrain on cell corners, then roads, rails, overlays and
// set pieces, and records in `reserved` every place the enemy schedule needs:
//
//   road          a north-south road: x = its centre line, rows covered
//   rail          an east-west track for trains: y = the rails' centre line
//   river, sea    long water for the water kinds: x = centre, rows covered
//   lava          a lava field or river; lava_source: a point inside it
//   gun_pit       a sandbag ring for a ground gun (kinds 4, 6, 23): its centre
//   runway        the big plane's runway: x = the strip's centre; param = taxi start x
//   airstrip      the take-off strip (kind 33): x, y = where planes start
//   fortress      the first fortress (kind 101): x, y = the fortress record's position
//   bunker_door   a tech door (kind 28): x, y = the door centre; param = mirror flag
//   citadel       the second fortress (kind 102); citadel_cannon: a cannon pad (103)
//   silo          a dome (kind 43): x, y = the dome's centre over its opening
//   platform      the sliding platform's track (kind 104): y = its line
//   arena         the final boss (kind 105): x, y = where it locks; launcher_bay: the
//                 side launchers' positions
//   village       houses along a road (cover for ground units)
#include "level_plan.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

#include "tiles_setpieces.h"

namespace tarq::forge {
namespace {

constexpr double kPi = 3.14159265358979323846;

class Painter {
 public:
  Painter(MapBuilder& map, const TileCatalogue& tiles, std::vector<Reservation>& reserved)
      : map_(map), tiles_(tiles), reserved_(reserved), road_(size_t(kMapRows) * kMapCols, 0) {}

  MapBuilder& map() { return map_; }
  const TileCatalogue& tiles() const { return tiles_; }
  void set_section(const std::string& name, bool record) {
    section_ = name;
    record_ = record;
  }

  void Reserve(const std::string& kind, int x, int y, int row_top, int row_bottom, int col_left,
               int col_right, int param = 0) {
    if (!record_) return;
    reserved_.push_back({kind, x, y, row_top, row_bottom, col_left, col_right, param, section_});
  }

  // Corners of the cells row0..row1 (inclusive) inside an ellipse with a noisy rim.
  void Blob(double row, double col, double radius_rows, double radius_cols, Terrain t, uint32_t seed) {
    ForCornersInBlob(row, col, radius_rows, radius_cols, seed,
                     [&](int r, int c) { map_.SetCorner(r, c, t); });
  }
  void ForestBlob(double row, double col, double radius_rows, double radius_cols, uint32_t seed,
                  bool forest = true) {
    ForCornersInBlob(row, col, radius_rows, radius_cols, seed,
                     [&](int r, int c) { map_.SetForestCorner(r, c, forest); });
  }

  void Road(int row, int col) {
    if (row >= 0 && row < kMapRows && col >= 0 && col < kMapCols) road_[size_t(row) * kMapCols + col] = 1;
  }
  void RoadV(int col, int row_top, int row_bottom) {
    for (int r = row_top; r <= row_bottom; ++r) Road(r, col);
  }
  void RoadH(int row, int col0, int col1) {
    for (int c = std::min(col0, col1); c <= std::max(col0, col1); ++c) Road(row, c);
  }
  bool IsRoad(int row, int col) const {
    return row >= 0 && row < kMapRows && col >= 0 && col < kMapCols && road_[size_t(row) * kMapCols + col];
  }
  // An east-west track over the whole width, optionally running into tunnels at both
  // map edges.
  void Rail(int row, bool tunnels) {
    for (int c = 0; c < kMapCols; ++c) {
      map_.SetRail(row, c);
      map_.SetForestCorner(row, c, false);
      map_.SetForestCorner(row + 1, c, false);
    }
    map_.SetForestCorner(row, kMapCols, false);
    map_.SetForestCorner(row + 1, kMapCols, false);
    if (tunnels) {
      map_.SetOverlay(row, 0, tiles_.Number("tunnel_west"));
      map_.SetOverlay(row, kMapCols - 1, tiles_.Number("tunnel_east"));
    }
    Reserve("rail", 0, row * 64 + 32, row, row, 0, kMapCols - 1, tunnels ? 1 : 0);
  }
  void Piece(const std::string& name, int row, int col) {
    const PieceGrid& grid = tiles_.Piece(name);
    map_.PlacePiece(grid, row, col);
    for (int r = row; r < row + grid.rows; ++r) {
      for (int c = col; c < col + grid.cols; ++c) {
        road_[size_t(r) * kMapCols + c] = 0;
        for (int dr = 0; dr <= 1; ++dr)
          for (int dc = 0; dc <= 1; ++dc) map_.SetForestCorner(r + dr, c + dc, false);
      }
    }
  }
  void Overlay(int row, int col, const std::string& tile) { map_.SetOverlay(row, col, tiles_.Number(tile)); }
  void Decal(int row, int col, const std::string& tile) { map_.SetDecal(row, col, tiles_.Number(tile)); }

  // Beaches: land corners next to water become sand.
  void Beaches(int row_top, int row_bottom) {
    std::vector<std::pair<int, int>> sand;
    for (int r = row_top; r <= row_bottom + 1; ++r) {
      for (int c = 0; c <= kMapCols; ++c) {
        if (map_.Corner(r, c) != Terrain::Grass) continue;
        bool near_water = false;
        for (int dr = -1; dr <= 1; ++dr)
          for (int dc = -1; dc <= 1; ++dc)
            if (map_.Corner(r + dr, c + dc) == Terrain::Water) near_water = true;
        if (near_water) sand.emplace_back(r, c);
      }
    }
    for (auto [r, c] : sand) map_.SetCorner(r, c, Terrain::Sand);
  }

  // Shallows: deep water next to a sandy shore becomes a see-through wash, a little
  // wider here and there; sandbars and reefs get the same ring.
  void Shallows(int row_top, int row_bottom, uint32_t seed) {
    std::vector<std::pair<int, int>> wash;
    for (int r = row_top; r <= row_bottom + 1; ++r) {
      for (int c = 0; c <= kMapCols; ++c) {
        if (map_.Corner(r, c) != Terrain::Water) continue;
        const int reach = ValueNoise(c * 0.5, r * 0.35, seed) > 0.55 ? 2 : 1;
        bool near_sand = false;
        for (int dr = -reach; dr <= reach; ++dr)
          for (int dc = -reach; dc <= reach; ++dc) {
            const Terrain t = map_.Corner(r + dr, c + dc);
            if (t == Terrain::Sand || t == Terrain::Rock) near_sand = true;
          }
        // A cell already holding two kinds of land has no layer left for the wash.
        bool crowded = false;
        for (int cr = r - 1; cr <= r; ++cr)
          for (int cc = c - 1; cc <= c; ++cc) {
            Terrain first = Terrain::Water;
            for (int dr = 0; dr <= 1; ++dr)
              for (int dc = 0; dc <= 1; ++dc) {
                const Terrain t = map_.Corner(cr + dr, cc + dc);
                if (t == Terrain::Water || t == Terrain::Shallow) continue;
                if (first == Terrain::Water) first = t;
                else if (t != first) crowded = true;
              }
          }
        if (near_sand && !crowded) wash.emplace_back(r, c);
      }
    }
    for (auto [r, c] : wash) map_.SetCorner(r, c, Terrain::Shallow);
  }

  // A cell with nothing on it yet: no road, rail, decal, overlay or trees.
  bool Free(int row, int col) const {
    if (row < 0 || row >= kMapRows || col < 0 || col >= kMapCols) return false;
    if (IsRoad(row, col) || map_.Rail(row, col) || map_.Decal(row, col) || map_.Overlay(row, col)) return false;
    for (int dr = 0; dr <= 1; ++dr)
      for (int dc = 0; dc <= 1; ++dc)
        if (map_.ForestCorner(row + dr, col + dc)) return false;
    return true;
  }
  // All four corners of the cell hold one of the terrains.
  bool On(int row, int col, std::initializer_list<Terrain> terrains) const {
    for (int dr = 0; dr <= 1; ++dr)
      for (int dc = 0; dc <= 1; ++dc) {
        const Terrain t = map_.Corner(row + dr, col + dc);
        if (std::find(terrains.begin(), terrains.end(), t) == terrains.end()) return false;
      }
    return true;
  }

  // Sprinkles single tiles over free cells of the given ground: `per_mille` of them
  // get one of `names`, as a ground decal or, for tall things, an overlay.
  void Scatter(int row_top, int row_bottom, std::initializer_list<Terrain> ground,
               const std::vector<std::string>& names, int per_mille, uint32_t seed, bool overlay = false) {
    for (int r = row_top; r <= row_bottom; ++r) {
      for (int c = 0; c < kMapCols; ++c) {
        const uint32_t h = Hash32(c, r, seed);
        // Things gather in patches (a stand of crystals, a cluster of boats) with
        // quieter ground between, rather than an even sprinkle.
        const double patch = std::clamp((ValueNoise(c * 0.35, r * 0.22, seed ^ 0x5BD1u) - 0.3) / 0.35, 0.0, 1.0);
        if (double(h % 1000) >= per_mille * (0.35 + 1.3 * patch) || !Free(r, c) || !On(r, c, ground)) continue;
        // Neighbouring things tend to be of a kind: a field of pools, a row of roofs.
        const double kind = ValueNoise(c * 0.3, r * 0.15, seed ^ 0x77u);
        const size_t pick = (h >> 12) % 10 < 6 ? std::min(names.size() - 1, size_t(kind * double(names.size())))
                                                : (h >> 16) % names.size();
        const std::string& name = names[pick];
        if (overlay) Overlay(r, c, name);
        else Decal(r, c, name);
      }
    }
  }

  // Places a multi-tile feature when every cell under it is free and on the ground
  // given; returns whether it did.
  bool Feature(const std::string& name, int row, int col, std::initializer_list<Terrain> ground) {
    const PieceGrid& grid = tiles_.Piece("feat_" + name);
    for (int r = row; r < row + grid.rows; ++r)
      for (int c = col; c < col + grid.cols; ++c)
        if (!Free(r, c) || !On(r, c, ground)) return false;
    Piece("feat_" + name, row, col);
    return true;
  }
  // Tries a feature at a few rows and columns around (row, col) until one fits.
  bool FeatureNear(const std::string& name, int row, int col, std::initializer_list<Terrain> ground) {
    for (int dc : {0, 1, -1, 2, -2})
      for (int d = 0; d < 8; ++d)
        for (int s : {1, -1})
          if (Feature(name, row + d * s, col + dc, ground)) return true;
    return false;
  }

  // Where two sections meet, each one's ground reaches into the other in ragged tongues
  // over a few rows, so the land changes instead of switching at a straight line.
  // Liquids keep their shores, and set pieces and rails keep their ground; small
  // things lying about simply lie on whichever ground they now have.
  void BlendBorder(int border_row, uint32_t seed) {
    constexpr int kReach = 5;
    std::vector<std::tuple<int, int, Terrain>> changes;
    for (int r = border_row - kReach + 1; r <= border_row + kReach - 1; ++r) {
      const bool lower_side = r >= border_row;  // the section met first lies below
      for (int c = 0; c <= kMapCols; ++c) {
        const Terrain here = map_.Corner(r, c);
        const Terrain other = map_.Corner(lower_side ? border_row - kReach : border_row + kReach, c);
        auto liquid = [](Terrain t) { return t == Terrain::Water || t == Terrain::Lava || t == Terrain::Shallow; };
        if (here == other || liquid(here) || liquid(other)) continue;
        bool built = false;
        for (int dr = -1; dr <= 0; ++dr)
          for (int dc = -1; dc <= 0; ++dc)
            if (map_.Rail(r + dr, c + dc) || map_.Decal(r + dr, c + dc) >= kFirstSetPieceTile ||
                map_.Overlay(r + dr, c + dc) >= kFirstSetPieceTile)
              built = true;
        if (built) continue;
        const double depth = std::abs(r - border_row + (lower_side ? 0 : 1)) / double(kReach);
        if (ValueNoise(c * 0.8, r * 0.7, seed) > 0.35 + depth * 0.5) changes.emplace_back(r, c, other);
      }
    }
    for (const auto& [r, c, t] : changes) map_.SetCorner(r, c, t);
  }

  // Road links from neighbouring road cells; roads at the map's side edges run on.
  void FinishRoads() {
    for (int r = 0; r < kMapRows; ++r) {
      for (int c = 0; c < kMapCols; ++c) {
        if (!IsRoad(r, c)) continue;
        int links = 0;
        if (IsRoad(r - 1, c)) links |= kLinkN;
        if (IsRoad(r + 1, c)) links |= kLinkS;
        if (IsRoad(r, c - 1) || (c == 0 && !IsRoad(r - 1, c) && !IsRoad(r + 1, c))) links |= kLinkW;
        if (IsRoad(r, c + 1) || (c == kMapCols - 1 && !IsRoad(r - 1, c) && !IsRoad(r + 1, c))) links |= kLinkE;
        if (links) map_.AddRoadLinks(r, c, links);
        // Nothing grows on a road.
        for (int dr = 0; dr <= 1; ++dr)
          for (int dc = 0; dc <= 1; ++dc) map_.SetForestCorner(r + dr, c + dc, false);
      }
    }
  }

 private:
  template <typename F>
  void ForCornersInBlob(double row, double col, double rr, double rc, uint32_t seed, F&& f) {
    for (int r = int(std::floor(row - rr - 2)); r <= int(std::ceil(row + rr + 2)); ++r) {
      for (int c = 0; c <= kMapCols; ++c) {
        const double dy = (r - row) / rr, dx = (c - col) / rc;
        const double wobble = (ValueNoise(c * 0.6, r * 0.6, seed) - 0.5) * 0.7;
        if (dx * dx + dy * dy + wobble < 1.0) f(r, c);
      }
    }
  }

  MapBuilder& map_;
  const TileCatalogue& tiles_;
  std::vector<Reservation>& reserved_;
  std::vector<uint8_t> road_;
  std::string section_;
  bool record_ = true;
};

double Wave(double t, uint32_t seed) { return ValueNoise(t, 0.5, seed) * 2 - 1; }

// ---- Section painters. `top` and `bottom` are map rows; the player meets `bottom` first.

void PaintCountryside(Painter& p, int top, int bottom, uint32_t seed) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Grass);
  // Patchwork fields in blocks beside the main road.
  for (int r = bottom - 6; r > top + 4; r -= 11) {
    for (int side = 0; side < 2; ++side) {
      const uint32_t h = Hash32(r, side, seed);
      if ((h & 3) == 0) continue;
      const int c0 = side == 0 ? int(h >> 4) % 2 : 6 + int(h >> 6) % 2;
      const int w = 2 + int(h >> 8) % 2, ht = 3 + int(h >> 10) % 4;
      for (int rr = r - ht; rr < r; ++rr)
        for (int cc = c0; cc < c0 + w; ++cc)
          m.SetBaseOverride(rr, cc, p.tiles().Number(FieldTileName(int((h >> 12) + uint32_t(cc - c0)) % kFieldVariants)));
    }
  }
  // The main road, side roads with villages, woods and a pond.
  p.RoadV(5, top, bottom);
  p.Reserve("road", 5 * 64 + 32, 0, top, bottom, 5, 5);
  const int span = bottom - top;
  for (int k = 0; k < 3; ++k) {
    const int r = bottom - span * (k + 1) / 4;
    const bool west = (k % 2) == 0;
    p.RoadH(r, west ? 0 : 5, west ? 5 : kMapCols - 1);
    for (int c = west ? 1 : 6; c <= (west ? 4 : 9); c += 1) {
      if (Hash32(c, r, seed + 3) % 3 == 0) continue;
      p.Overlay(r - 1, c, "house_" + std::to_string(Hash32(c, r, seed) % 4));
      if (c % 2) p.Overlay(r + 1, c, "house_" + std::to_string(Hash32(c, r + 1, seed) % 4));
    }
    p.Reserve("village", (west ? 2 : 8) * 64, r * 64 + 32, r - 1, r + 1, west ? 0 : 5, west ? 5 : 10);
  }
  for (int k = 0; k < 6; ++k) {
    const uint32_t h = Hash32(k, 11, seed);
    const double r = bottom - 12 - (span - 24) * (k + 0.5) / 6.0;
    const double c = (k % 2) ? 8.5 + (h % 3) * 0.5 : 1.5 + (h % 3) * 0.5;
    p.ForestBlob(r, c, 3 + h % 3, 2.2, seed + k);
  }
  const double pond_r = bottom - span * 0.62, pond_c = (seed % 2) ? 8 : 2;
  p.Blob(pond_r, pond_c, 1.6, 1.6, Terrain::Water, seed + 7);
  p.Beaches(top, bottom);
  // Farmsteads and orchards between the fields, haystacks and stones in the meadows.
  p.Scatter(top, bottom, {Terrain::Grass}, {"farm_0", "farm_1", "orchard_0", "orchard_1"}, 70, seed + 40, true);
  p.Scatter(top, bottom, {Terrain::Grass}, {"scrub_0", "crater_0"}, 25, seed + 41);
}

void PaintRiverCoast(Painter& p, int top, int bottom) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Grass);
  const int span = bottom - top;
  // The coast: the sea spreads in from the east until it fills the width.
  for (int r = top; r <= bottom + 1; ++r) {
    const double lr = bottom - r;
    const double coast = 11.5 - (lr - 40) * 11.5 / (span - 60) + Wave(r * 0.15, 31) * 0.8;
    for (int c = 0; c <= kMapCols; ++c)
      if (c >= coast) m.SetCorner(r, c, Terrain::Water);
  }
  p.Beaches(top, bottom);  // sandy sea coast; the river keeps grassy banks
  // A river from a lake in the south-west, winding north into the sea, with a second
  // branch through the delta.
  const int river_start = bottom - 8;
  for (int r = top; r <= river_start; ++r) {
    const double lr = bottom - r;
    const double centre = 2.6 + 1.2 * std::sin(lr / 17.0);
    for (int c = 0; c <= kMapCols; ++c) {
      if (std::fabs(c - centre) <= 1.0) m.SetCorner(r, c, Terrain::Water);
      if (lr > 70 && std::fabs(c - (centre + 3.2 + std::sin(lr / 9.0))) <= 0.6) m.SetCorner(r, c, Terrain::Water);
    }
  }
  p.Blob(river_start, 2.6, 2.5, 2.2, Terrain::Water, 33);
  p.Reserve("river", int(2.6 * 64), 0, top, river_start, 1, 4, 2);
  // The road runs on from the country and ends at a jetty; trees along the river.
  const int road_end = bottom - 86;
  p.RoadV(5, road_end, bottom);
  p.Reserve("road", 5 * 64 + 32, 0, road_end, bottom, 5, 5);
  p.RoadH(bottom - 30, 0, 5);  // crosses the river on a bridge
  for (int k = 0; k < 5; ++k) p.ForestBlob(bottom - 15 - k * 14, (k % 2) ? 0.5 : 7.5, 3, 1.5, 40 + k);
  p.Reserve("sea", 8 * 64, 0, top, bottom - 60, 6, 10);
  // Sandbars off the coast, then the shallows, surf, fishing boats and channel buoys.
  for (int k = 0; k < 6; ++k) {
    const double r = bottom - 70 - k * (span - 80) / 6.0;
    p.Blob(r, 8.0 + (k % 3), 1.0 + (k % 2) * 0.6, 0.9, Terrain::Sand, 45 + k);
  }
  p.Shallows(top, bottom, 46);
  p.FeatureNear("wreck", bottom - 120, 7, {Terrain::Water, Terrain::Shallow});
  p.Scatter(top, bottom, {Terrain::Water}, {"surf_0", "surf_1", "surf_2", "surf_3", "surf_4", "surf_5"}, 380, 47);
  p.Scatter(top, bottom, {Terrain::Water, Terrain::Shallow}, {"boat_0", "boat_1", "buoy_0", "buoy_1"}, 30, 48);
  p.Scatter(top, bottom, {Terrain::Grass}, {"farm_1", "orchard_0"}, 30, 49, true);
}

void PaintOpenSea(Painter& p, int top, int bottom) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Water);
  const int span = bottom - top;
  const double islands[][3] = {{0.22, 2.0, 2.2}, {0.45, 8.5, 2.8}, {0.7, 3.0, 1.8}, {0.88, 7.5, 2.0}};
  for (const auto& is : islands) {
    const double r = bottom - span * is[0];
    p.Blob(r, is[1], is[2] + 0.8, is[2], Terrain::Sand, uint32_t(r));
    p.Blob(r, is[1], is[2] - 0.6, is[2] - 1.0, Terrain::Grass, uint32_t(r) + 1);
    p.ForestBlob(r, is[1], is[2] - 1.2, is[2] - 1.4, uint32_t(r) + 2);
  }
  p.Blob(bottom - span * 0.33, 6, 0.9, 0.9, Terrain::Rock, 55);
  p.Blob(bottom - span * 0.58, 5, 0.9, 1.2, Terrain::Rock, 56);
  // Islets and sandbars of every size between the big islands, rocks awash.
  for (int k = 0; k < 16; ++k) {
    const uint32_t h = Hash32(k, 57, 57);
    const double r = bottom - 4 - (span - 8) * (k + 0.5) / 16.0;
    const double c = 1.0 + (h % 9);
    const double size = 0.7 + ((h >> 8) % 4) * 0.35;
    p.Blob(r, c, size, size * 0.9, (k % 4 == 3) ? Terrain::Rock : Terrain::Sand, 58 + k);
  }
  p.Shallows(top, bottom, 59);
  p.Reserve("sea", 352, 0, top, bottom, 0, 10);
  // Landmarks: a convoy of three ships, the oil platform, wrecks on the reefs.
  const int convoy = bottom - span * 0.15;
  p.FeatureNear("ship_0", convoy, 4, {Terrain::Water, Terrain::Shallow});
  p.FeatureNear("ship_1", convoy - 5, 7, {Terrain::Water, Terrain::Shallow});
  p.FeatureNear("ship_2", convoy - 9, 3, {Terrain::Water, Terrain::Shallow});
  p.FeatureNear("platform", bottom - span * 0.52, 7, {Terrain::Water});
  p.FeatureNear("wreck", bottom - span * 0.38, 2, {Terrain::Water, Terrain::Shallow});
  p.FeatureNear("wreck", bottom - span * 0.8, 5, {Terrain::Water, Terrain::Shallow});
  p.FeatureNear("ship_1", bottom - span * 0.95, 6, {Terrain::Water});
  p.FeatureNear("ship_2", bottom - span * 0.66, 1, {Terrain::Water});
  p.Scatter(top, bottom, {Terrain::Water, Terrain::Shallow}, {"reef_0", "reef_1", "reef_2"}, 40, 60);
  p.Scatter(top, bottom, {Terrain::Water}, {"buoy_0", "buoy_1", "boat_0", "boat_2"}, 25, 61);
  p.Scatter(top, bottom, {Terrain::Water}, {"surf_0", "surf_1", "surf_2", "surf_3", "surf_4", "surf_5"}, 420, 62);
}

void PaintHarbour(Painter& p, int top, int bottom) {
  MapBuilder& m = p.map();
  const int quay = bottom - 26;
  m.FillCells(top, quay, 0, kMapCols - 1, Terrain::Concrete);
  m.FillCells(quay + 1, bottom, 0, kMapCols - 1, Terrain::Water);
  for (int c : {1, 5, 9}) m.FillCells(quay + 1, quay + 12, c, c, Terrain::Concrete);  // piers
  p.Reserve("sea", 352, 0, quay + 2, bottom, 0, 10);
  // Warehouses along the quay, containers in the yard.
  for (int r = quay - 3; r > quay - 30; r -= 5) {
    for (int c : {0, 3, 7}) {
      if (Hash32(r, c, 61) % 4 == 0) continue;
      p.Overlay(r, c, "warehouse_w");
      p.Overlay(r, c + 1, "warehouse_e");
    }
    if (Hash32(r, 0, 62) % 2) p.Decal(r - 2, 6, "containers_" + std::to_string(r % 2));
    p.Decal(r - 2, 2, "containers_" + std::to_string((r + 1) % 2));
  }
  // The rail yard: parallel tracks, then two lines further on.
  const int yard = quay - 40;
  for (int k = 0; k < 3; ++k) p.Rail(yard - k, false);
  p.Rail(yard - 50, false);
  p.Rail(yard - 80, false);
  p.RoadV(9, top, quay);
  p.Reserve("road", 9 * 64 + 32, 0, top, quay, 9, 9);
  // Inland the concrete gives way to scrub and then sand.
  const int inland = top + 36;
  m.FillCells(top, inland, 0, kMapCols - 1, Terrain::Grass);
  for (int r = top; r <= top + 12; ++r)
    for (int c = 0; c <= kMapCols; ++c)
      if (ValueNoise(c * 0.7, r * 0.5, 63) > 0.35 + (r - top) * 0.03) m.SetCorner(r, c, Terrain::Sand);
  // The yard's edge is ragged: rough ground eats into the concrete here and there.
  for (int r = inland + 2; r <= inland + 4; ++r)
    for (int c = 0; c <= kMapCols; ++c)
      if (ValueNoise(c * 0.6, r * 0.6, 69) > 0.3 + (r - inland) * 0.1) m.SetCorner(r, c, Terrain::Grass);
  for (int k = 0; k < 4; ++k) p.Overlay(inland + 8 + k * 6, 2 + k % 2, "house_" + std::to_string(k));
  // Cranes on the quay with their jibs over the water, ships at the piers, a dry dock,
  // tank farms in the yard; stacks of containers and painted bays everywhere else.
  for (int c : {3, 7}) p.Feature("crane", quay, c, {Terrain::Concrete, Terrain::Water});
  p.FeatureNear("ship_1", quay + 15, 2, {Terrain::Water});
  p.FeatureNear("ship_0", quay + 19, 7, {Terrain::Water});
  p.FeatureNear("dry_dock", quay - 4, 5, {Terrain::Concrete});
  p.FeatureNear("tank_farm", yard - 20, 1, {Terrain::Concrete});
  p.FeatureNear("tank_farm", yard - 65, 6, {Terrain::Concrete});
  p.FeatureNear("tank_farm", yard - 95, 2, {Terrain::Concrete});
  p.Scatter(quay + 1, bottom, {Terrain::Water}, {"boat_0", "boat_1", "boat_2", "buoy_0", "buoy_1"}, 110, 64);
  p.Scatter(quay + 1, bottom, {Terrain::Water}, {"surf_0", "surf_3", "surf_4"}, 260, 65);
  p.Scatter(inland, quay, {Terrain::Concrete},
            {"stack_0", "stack_1", "stack_2", "stack_3", "stack_4", "stack_5"}, 170, 66, true);
  p.Scatter(inland, quay, {Terrain::Concrete}, {"roof_1", "roof_3", "pipes_0"}, 40, 70, true);
  p.Scatter(inland, quay, {Terrain::Concrete}, {"yard_mark_0", "yard_mark_1", "yard_mark_2", "yard_mark_3"}, 180, 67);
  p.Scatter(top, inland, {Terrain::Grass, Terrain::Sand}, {"scrub_0", "scrub_1", "farm_1"}, 80, 68);
}

void PaintDesert(Painter& p, int top, int bottom, bool record_guns) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Sand);
  const int span = bottom - top;
  for (int k = 0; k < 7; ++k) {  // rocky outcrops and cracked pans
    const uint32_t h = Hash32(k, top, 71);
    const double r = bottom - 10 - (span - 20) * (k + 0.5) / 7.0;
    const double c = (k % 2) ? 8.5 + (h % 2) : 1.0 + (h % 2);
    p.Blob(r, c, 2.5 + h % 3, 1.8, (k % 3 == 2) ? Terrain::Badland : Terrain::Rock, h);
  }
  // An oasis.
  const double oasis = bottom - span * 0.55;
  p.Blob(oasis, 5.5, 3.0, 2.6, Terrain::Grass, 72);
  p.Blob(oasis, 5.5, 1.3, 1.2, Terrain::Water, 73);
  p.ForestBlob(oasis - 2, 7, 1.5, 1.0, 74);
  // A road with a dog-leg, and a railway between two hills with tunnels.
  const int jog = bottom - span / 2 + 18;
  p.RoadV(7, jog, bottom);
  p.RoadH(jog, 3, 7);
  p.RoadV(3, top, jog);
  if (record_guns) {
    p.Reserve("road", 7 * 64 + 32, 0, jog, bottom, 7, 7);
    p.Reserve("road", 3 * 64 + 32, 0, top, jog, 3, 3);
  }
  const int rail = top + span / 5;
  m.FillCells(rail - 2, rail + 2, 0, 1, Terrain::Rock);
  m.FillCells(rail - 2, rail + 2, 9, 10, Terrain::Rock);
  p.Rail(rail, true);
  // Gun emplacements: pits beside the road, the big guns left of centre.
  for (int k = 0; k < 12; ++k) {
    const int r = bottom - 8 - k * (span - 16) / 12;
    const int c = (k % 3 == 0) ? 2 : ((k % 3 == 1) ? 5 : 9);
    if (p.IsRoad(r, c) || m.Rail(r, c)) continue;
    p.Decal(r, c, "gun_pit");
    if (record_guns) p.Reserve(c == 2 ? "big_gun_pit" : "gun_pit", c * 64 + 32, r * 64 + 32, r, r, c, c);
  }
  // Palms round the oasis, dune crests and scrub across the sand.
  p.Scatter(top, bottom, {Terrain::Grass}, {"palm_0", "palm_1"}, 350, 75, true);
  p.Scatter(top, bottom, {Terrain::Sand}, {"dune_0", "dune_1", "dune_2"}, 160, 76);
  p.Scatter(top, bottom, {Terrain::Sand, Terrain::Badland}, {"scrub_0", "scrub_1", "scrub_2"}, 70, 77);
}

void PaintAirbase(Painter& p, int top, int bottom) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Grass);
  // Runway with its apron and taxiway.
  const int runway_row = bottom - 12 - piece::kRunwayRows;
  m.FillCells(runway_row, runway_row + 2, 7, 8, Terrain::Concrete);
  p.Piece("runway", runway_row, 3);
  p.Reserve("runway", 3 * 64 + piece::kRunwayX, runway_row * 64 + piece::kTaxiStartY, runway_row,
            runway_row + piece::kRunwayRows - 1, 3, 8, 3 * 64 + piece::kTaxiStartX);
  // Hangars and the take-off strip.
  const int strip = runway_row - 20;
  m.FillCells(strip - 6, strip + 1, 0, kMapCols - 1, Terrain::Concrete);
  p.Piece("airstrip", strip, 0);
  p.Reserve("airstrip", piece::kAirstripStartX, strip * 64 + piece::kAirstripY, strip, strip, 0, 10);
  for (int c : {1, 4, 7}) {
    p.Overlay(strip - 3, c, "warehouse_w");
    p.Overlay(strip - 3, c + 1, "warehouse_e");
    p.Decal(strip - 1, c, "taxi_line");
  }
  for (int k = 0; k < 5; ++k) p.ForestBlob(strip - 14 - k * 9, (k % 2) ? 9.5 : 1.0, 2.5, 1.6, 80 + k);
  p.RoadV(5, top + 16, strip - 7);
  // The first fortress closes the section.
  const int fort = top + 6;
  m.FillCells(fort - 3, fort + piece::kFortressRows + 6, 0, kMapCols - 1, Terrain::Concrete);
  p.Piece("fortress", fort, 1);
  p.Reserve("fortress", 64 + piece::kFortressX, fort * 64 + piece::kFortressY, fort,
            fort + piece::kFortressRows - 1, 1, 9);
  // Roads from the door ramps down to the plain for the missile tanks.
  const int ramp_bottom = fort + piece::kFortressRows + 12;
  p.RoadV(4, fort + piece::kFortressRows, ramp_bottom);
  p.RoadV(7, fort + piece::kFortressRows, ramp_bottom);
  p.RoadH(ramp_bottom, 4, 7);
  p.Reserve("road", 4 * 64 + 32, 0, fort + piece::kFortressRows, ramp_bottom, 4, 4);
  p.Reserve("road", 7 * 64 + 32, 0, fort + piece::kFortressRows, ramp_bottom, 7, 7);
  // Hangars beside the runway and the strip, aprons with parking marks and bowsers,
  // revetments out on the grass.
  for (int k = 0; k < 4; ++k) p.FeatureNear("hangar", runway_row + 2 + k * 6, k % 2 ? 9 : 0, {Terrain::Grass, Terrain::Concrete});
  for (int k = 0; k < 4; ++k) p.FeatureNear("hangar", strip - 12 - k * 22, k % 2 ? 0 : 9, {Terrain::Grass, Terrain::Concrete});
  p.FeatureNear("pad", strip - 40, 2, {Terrain::Grass});
  // Dispersal aprons out on the grass between the strip and the fortress.
  for (int k = 0; k < 4; ++k) {
    const int r = strip - 54 - k * 9;
    if (r - 1 <= fort + piece::kFortressRows + 12) break;
    const int c0 = k % 2 ? 7 : 0;
    m.FillCells(r - 1, r + 2, c0, c0 + 3, Terrain::Concrete);
    p.Feature("hangar", r, k % 2 ? 9 : 0, {Terrain::Concrete});
  }
  p.Scatter(top, bottom, {Terrain::Grass}, {"radar_0", "radar_1"}, 12, 83, true);
  p.Scatter(top, bottom, {Terrain::Concrete}, {"apron_0", "apron_1", "yard_mark_0"}, 220, 81);
  p.Scatter(top, bottom, {Terrain::Grass}, {"apron_2", "scrub_0", "crater_1"}, 60, 82);
}

void PaintForest(Painter& p, int top, int bottom, uint32_t seed) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Grass);
  for (int r = top; r <= bottom + 1; ++r)
    for (int c = 0; c <= kMapCols; ++c)
      m.SetForestCorner(r, c, ValueNoise(c * 0.45, r * 0.3, seed) > 0.33);
  const int span = bottom - top;
  for (int k = 0; k < 5; ++k) {  // rocky hills
    const double r = bottom - 14 - (span - 28) * (k + 0.5) / 5.0;
    p.Blob(r, (k % 2) ? 8.0 : 2.0, 3.0, 2.0, Terrain::Rock, seed + 10 + k);
    p.ForestBlob(r, (k % 2) ? 8.0 : 2.0, 3.2, 2.2, seed + 20 + k, false);
  }
  // A stream and a winding road.
  for (int r = top; r <= bottom - span / 2; ++r) {
    const double centre = 7.5 + 1.2 * std::sin((bottom - r) / 11.0);
    for (int c = 0; c <= kMapCols; ++c) {
      if (std::fabs(c - centre) <= 0.6) {
        m.SetCorner(r, c, Terrain::Water);
        m.SetForestCorner(r, c, false);
      }
    }
  }
  const int a = bottom - span / 3, b = bottom - 2 * span / 3;
  p.RoadV(5, a, bottom);
  p.RoadH(a, 3, 5);
  p.RoadV(3, b, a);
  p.RoadH(b, 3, 5);
  p.RoadV(5, top, b);
  p.Reserve("road", 5 * 64 + 32, 0, a, bottom, 5, 5);
  p.Reserve("road", 3 * 64 + 32, 0, b, a, 3, 3);
  p.Reserve("road", 5 * 64 + 32, 0, top, b, 5, 5);
  for (int r : {bottom - span / 5, bottom - 3 * span / 5}) {
    m.FillCells(r - 2, r + 2, 0, 1, Terrain::Rock);
    m.FillCells(r - 2, r + 2, 9, 10, Terrain::Rock);
    p.Rail(r, true);
  }
  p.Reserve("river", int(7.5 * 64), 0, top, bottom - span / 2, 6, 9, 1);
  // Clearings: a farm here and there, boulders on the hills.
  p.Scatter(top, bottom, {Terrain::Grass}, {"farm_0", "orchard_1"}, 40, seed + 30, true);
  p.Scatter(top, bottom, {Terrain::Rock}, {"scrub_1", "scrub_2"}, 120, seed + 31);
}

void PaintTechBase(Painter& p, int top, int bottom) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Concrete);
  const int span = bottom - top;
  // Tech floor halls with bunkers whose doors release guns.
  for (int k = 0; k < 6; ++k) {
    const int r = bottom - 16 - k * (span - 60) / 6;
    const bool east = k % 2 == 0;
    m.FillCells(r - 4, r + 5, east ? 0 : 6, east ? 4 : 10, Terrain::Tech);
    const int col = east ? 0 : kMapCols - piece::kBunkerCols;
    p.Piece(east ? "bunker_east" : "bunker_west", r, col);
    const int door_x = col * 64 + (east ? piece::kBunkerDoorXEast : piece::kBunkerDoorXWest);
    p.Reserve("bunker_door", door_x, r * 64 + piece::kBunkerDoorY, r, r + 1, col, col + 2, east ? 0 : 1);
    // Stores and hangars across the yard from each hall.
    for (int k2 = -3; k2 <= 6; k2 += 3) {
      const int hangar = east ? 7 : 2;
      p.Overlay(r + k2, hangar, "warehouse_w");
      p.Overlay(r + k2, hangar + 1, "warehouse_e");
    }
    p.Decal(r - 6, east ? 9 : 1, "containers_" + std::to_string(k % 2));
    p.Decal(r + 8, east ? 3 : 7, "crater_" + std::to_string(k % 2));
  }
  p.RoadV(5, top + 16, bottom);
  p.Reserve("road", 5 * 64 + 32, 0, top + 16, bottom, 5, 5);
  // The citadel near the end of the section.
  const int cit = top + 8;
  m.FillCells(cit - 3, cit + piece::kCitadelRows + 2, 1, 9, Terrain::Tech);
  p.Piece("citadel", cit, 3);
  p.Reserve("citadel", 3 * 64 + piece::kCitadelX, cit * 64 + piece::kCitadelY, cit,
            cit + piece::kCitadelRows - 1, 3, 7);
  for (const auto& c : piece::kCitadelCannons) {
    p.Reserve("citadel_cannon", 3 * 64 + c[0], cit * 64 + c[1], cit, cit + piece::kCitadelRows - 1, 3, 7);
  }
  // Landing pads and a tank farm in the yards; works roofs, radar, pipe runs, fences
  // and lit strips fill the rest.
  for (int k = 0; k < 5; ++k) p.FeatureNear("pad", bottom - 30 - k * 26, k % 2 ? 1 : 7, {Terrain::Concrete, Terrain::Tech});
  p.FeatureNear("tank_farm", bottom - 95, 8, {Terrain::Concrete});
  p.Scatter(top, bottom, {Terrain::Concrete, Terrain::Tech}, {"roof_0", "roof_1", "roof_2", "roof_3", "radar_0", "radar_1"},
            150, 170, true);
  p.Scatter(top, bottom, {Terrain::Concrete, Terrain::Tech},
            {"pipes_0", "pipes_1", "pipes_2", "fence_h", "fence_v", "lights_0", "lights_1", "lights_2", "grate_0",
             "grate_1", "yard_mark_1", "yard_mark_2"},
            330, 171);
}

void PaintAlienZone(Painter& p, int top, int bottom) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Alien);
  const int span = bottom - top;
  for (int k = 0; k < 5; ++k) {
    const double r = bottom - 20 - (span - 40) * (k + 0.5) / 5.0;
    p.Blob(r, (k % 2) ? 1.5 : 9.0, 2.0, 1.2, Terrain::Rock, 90 + k);
  }
  p.Blob(bottom - span * 0.45, 5.5, 2.0, 1.5, Terrain::Water, 96);
  // Domes on pads, centred on tile corners.
  const int silos[][2] = {{12, 3}, {12, 8}, {38, 5}, {62, 2}, {62, 9}, {92, 4},
                          {92, 8}, {118, 2}, {118, 7}, {146, 5}, {166, 3}, {166, 8}};
  for (const auto& s : silos) {
    const int row = bottom - s[0], col = s[1];
    m.FillCells(row - 2, row + 1, col - 2, col + 1, Terrain::Alien);
    p.Piece("silo", row - 1, col - 1);
    p.Reserve("silo", col * 64, row * 64, row - 1, row, col - 1, col);
  }
  // Crystal clusters, glowing pools, growths and the ruins of whoever was here first.
  p.Scatter(top, bottom, {Terrain::Alien, Terrain::Rock}, {"crystals_0", "crystals_1", "crystals_2", "crystals_3"}, 130, 97,
            true);
  p.Scatter(top, bottom, {Terrain::Alien},
            {"pool_0", "pool_1", "pool_2", "growth_0", "growth_1", "growth_2", "growth_3", "ruin_0", "ruin_1", "ruin_2",
             "ruin_3"},
            380, 98);
}

void PaintVolcanic(Painter& p, int top, int bottom) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Rock);
  const int span = bottom - top;
  for (int k = 0; k < 6; ++k) {  // ash flats
    const double r = bottom - 10 - (span - 20) * (k + 0.5) / 6.0;
    p.Blob(r, (k % 2) ? 9.0 : 1.5, 3.0, 1.6, Terrain::Badland, 110 + k);
  }
  // A lava river down the middle, widening into pools.
  const int start = bottom - 10, end = top + 10;
  for (int r = end; r <= start; ++r) {
    const double lr = bottom - r;
    const double centre = 5.5 + 2.0 * std::sin(lr / 19.0);
    const double half = 0.8 + 0.5 * (0.5 + 0.5 * std::sin(lr / 7.0));
    for (int c = 0; c <= kMapCols; ++c)
      if (std::fabs(c - centre) <= half) m.SetCorner(r, c, Terrain::Lava);
    if ((bottom - r) % 24 == 12) p.Reserve("lava_source", int(centre * 64), r * 64, r, r, int(centre), int(centre));
  }
  p.Reserve("lava", int(5.5 * 64), 0, end, start, 2, 8);
  for (int k = 0; k < 4; ++k) {
    const double r = bottom - 30 - k * (span - 60) / 4.0;
    const double c = (k % 2) ? 9.0 : 1.8;
    p.Blob(r, c, 1.8, 1.2, Terrain::Lava, 120 + k);
    p.Reserve("lava_source", int(c * 64), int(r * 64), int(r), int(r), int(c), int(c));
  }
  // Craters, boulders and ash cones on the rock and ash.
  for (int k = 0; k < 3; ++k) p.FeatureNear("mesa", bottom - 40 - k * 50, k % 2 ? 0 : 8, {Terrain::Rock, Terrain::Badland});
  p.Scatter(top, bottom, {Terrain::Rock, Terrain::Badland},
            {"crust_0", "crust_1", "vent_0", "vent_1", "crater_0", "crater_1", "cone_0", "cone_1"}, 200, 125);
}

void PaintBadlands(Painter& p, int top, int bottom, bool with_platform) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Badland);
  const int span = bottom - top;
  for (int k = 0; k < 8; ++k) {  // canyon walls and sand washes
    const double r = bottom - 8 - (span - 16) * (k + 0.5) / 8.0;
    const double c = (k % 2) ? 9.2 : 1.0;
    p.Blob(r, c, 4.0, 1.5, Terrain::Rock, 130 + k);
    p.Blob(r + 6, 5.5 + ((k % 3) - 1) * 1.5, 2.0, 1.3, Terrain::Sand, 140 + k);
  }
  p.RoadV(4, top, bottom);
  p.Reserve("road", 4 * 64 + 32, 0, top, bottom, 4, 4);
  for (int k = 0; k < 8; ++k) {
    const int r = bottom - 10 - k * 18;
    const int c = (k % 2) ? 7 : 2;
    p.Decal(r, c, "gun_pit");
    if (with_platform) p.Reserve("gun_pit", c * 64 + 32, r * 64 + 32, r, r, c, c);
  }
  if (with_platform) {
    const int track = top + 16;
    m.FillCells(track - 1, track + 2, 0, kMapCols - 1, Terrain::Badland);
    p.Piece("track", track, 0);
    p.Reserve("platform", 352, track * 64 + piece::kTrackY, track, track + 1, 0, 10);
  }
  // Mesas stand over the canyons; scrub and boulders in the washes.
  for (int k = 0; k < 6; ++k) p.FeatureNear("mesa", bottom - 20 - k * 25, k % 2 ? 6 : 1, {Terrain::Badland, Terrain::Rock});
  p.Scatter(top, bottom, {Terrain::Badland, Terrain::Sand}, {"scrub_0", "scrub_1", "scrub_2", "dune_1"}, 90, 145);
}

void PaintCapital(Painter& p, int top, int bottom, bool with_arena) {
  MapBuilder& m = p.map();
  m.FillCells(top, bottom, 0, kMapCols - 1, Terrain::Concrete);
  const int city_top = with_arena ? top + piece::kArenaRows : top;
  // Avenues and cross streets; blocks of buildings; a park.
  p.RoadV(2, city_top, bottom);
  p.RoadV(8, city_top, bottom);
  for (int r = bottom - 4; r > city_top + 2; r -= 9) p.RoadH(r, 0, kMapCols - 1);
  // Parks first: the blocks of houses grow round them.
  for (int k = 0; k < 4; ++k) p.FeatureNear("park", city_top + 12 + k * 40, k % 2 ? 0 : 9, {Terrain::Concrete});
  for (int r = city_top + 1; r <= bottom; ++r) {
    for (int c = 0; c < kMapCols; ++c) {
      if (p.IsRoad(r, c) || c == 5 || m.Decal(r, c)) continue;
      const uint32_t h = Hash32(c, r, 150);
      if (h % 4 == 0) continue;  // yards and squares between the buildings
      if ((c == 0 || c == 3 || c == 6 || c == 9) && (h >> 8) % 3 == 0) {
        if (c + 1 < kMapCols && !p.IsRoad(r, c + 1) && c + 1 != 5 && !m.Decal(r, c + 1)) {
          p.Overlay(r, c, "warehouse_w");
          p.Overlay(r, c + 1, "warehouse_e");
          ++c;
          continue;
        }
      }
      p.Overlay(r, c, "house_" + std::to_string(Hash32(c, r, 151) % 4));
    }
  }
  p.RoadV(5, city_top, bottom);
  const int park = bottom - (bottom - city_top) / 2;
  p.Blob(park, 5.5, 5, 1.6, Terrain::Grass, 152);
  p.ForestBlob(park, 5.5, 4, 1.2, 153);
  for (int r = park - 6; r <= park + 6; ++r) m.SetOverlay(r, 5, 0);
  if (with_arena) {
    p.Reserve("road", 2 * 64 + 32, 0, city_top, bottom, 2, 2);
    p.Reserve("road", 8 * 64 + 32, 0, city_top, bottom, 8, 8);
    m.FillCells(top, top + piece::kArenaRows - 1, 0, kMapCols - 1, Terrain::Tech);
    p.Piece("arena", top, 0);
    p.Reserve("arena", piece::kArenaBossX, top * 64 + piece::kArenaBossY, top,
              top + piece::kArenaRows - 1, 0, 10);
    p.Reserve("launcher_bay", piece::kArenaBossX - 180, top * 64 + 112 + 96, top, top + 5, 2, 3);
    p.Reserve("launcher_bay", piece::kArenaBossX + 180, top * 64 + 112 + 96, top, top + 5, 7, 8);
  }
  // Squares with fountains and statues in the yards.
  p.Scatter(city_top, bottom, {Terrain::Concrete}, {"square_0", "square_1", "yard_mark_1"}, 350, 155);
}

struct SectionDef {
  const char* name;
  int track;
  std::function<void(Painter&, int, int)> paint;
};

}  // namespace

std::vector<const Reservation*> Level::Reserved(const std::string& kind) const {
  std::vector<const Reservation*> out;
  for (const Reservation& r : reserved)
    if (r.kind == kind) out.push_back(&r);
  return out;
}

const Section* Level::SectionAt(int row) const {
  for (const Section& s : sections)
    if (row >= s.top_row && row <= s.bottom_row) return &s;
  return nullptr;
}

Level BuildLevel(const TileCatalogue& tiles) {
  Level level;
  Painter p(level.map, tiles, level.reserved);
  // Music: 1 valley, 2 coast, 3 works, 4 airbase, 5 strange skies, 6 fortress, 7 final
  // battle, 8 fire and ash; neighbouring sections never share a tune, so a cue never
  // restarts the tune that is already playing.
  // Twelve sections of about five minutes (177 rows at 35 rows a minute) from the map's
  // bottom; the last one ends with the arena at rows 1970-1985.
  const std::vector<SectionDef> defs = {
      {"countryside", 1, [](Painter& q, int t, int b) { PaintCountryside(q, t, b, 1); }},
      {"river delta and coast", 2, [](Painter& q, int t, int b) { PaintRiverCoast(q, t, b); }},
      {"open sea", 5, [](Painter& q, int t, int b) { PaintOpenSea(q, t, b); }},
      {"harbour and rail yard", 3, [](Painter& q, int t, int b) { PaintHarbour(q, t, b); }},
      {"desert", 8, [](Painter& q, int t, int b) { PaintDesert(q, t, b, true); }},
      {"airbase", 4, [](Painter& q, int t, int b) { PaintAirbase(q, t, b); }},
      {"forest and hills", 1, [](Painter& q, int t, int b) { PaintForest(q, t, b, 160); }},
      {"tech base", 6, [](Painter& q, int t, int b) { PaintTechBase(q, t, b); }},
      {"alien zone", 5, [](Painter& q, int t, int b) { PaintAlienZone(q, t, b); }},
      {"volcanic fields", 8, [](Painter& q, int t, int b) { PaintVolcanic(q, t, b); }},
      {"badlands", 4, [](Painter& q, int t, int b) { PaintBadlands(q, t, b, true); }},
      {"enemy capital", 7, [](Painter& q, int t, int b) { PaintCapital(q, t, b, true); }},
  };
  const int rows_each = 177;
  int bottom = kLevelBottomRow;
  for (size_t i = 0; i < defs.size(); ++i) {
    Section s;
    s.name = defs[i].name;
    s.bottom_row = bottom;
    s.top_row = i + 1 == defs.size() ? kLevelTopRow : bottom - rows_each + 1;
    s.music_track = defs[i].track;
    s.music_trigger = i == 0 ? kLevelStartScrollY + 69 : (s.bottom_row + 1) * 64 - 240;
    level.sections.push_back(s);
    bottom = s.top_row - 1;
  }
  // Paint from the top of the map down so each section's bottom corners (shared with
  // the section below) are laid by the section the player meets first.
  // Above the level: a plausible continuation (never seen when the final boss holds).
  {
    p.set_section("beyond", false);
    int row = kLevelTopRow - 1;
    const int span = 180;
    int k = 0;
    while (row >= 0) {
      const int top = std::max(0, row - span + 1);
      switch (k % 5) {
        case 0: PaintCapital(p, top, row, false); break;
        case 1: PaintCountryside(p, top, row, 200 + k); break;
        case 2: PaintForest(p, top, row, 300 + k); break;
        case 3: PaintDesert(p, top, row, false); break;
        default: PaintBadlands(p, top, row, false); break;
      }
      row = top - 1;
      ++k;
    }
  }
  for (size_t i = defs.size(); i-- > 0;) {
    const Section& s = level.sections[i];
    p.set_section(s.name, true);
    defs[i].paint(p, s.top_row, s.bottom_row);
  }
  for (size_t i = 0; i + 1 < level.sections.size(); ++i) p.BlendBorder(level.sections[i].top_row, 900u + uint32_t(i));
  p.FinishRoads();
  level.map.Resolve(tiles);
  // Playing order: the schedule and the music run from the map's bottom up.
  std::stable_sort(level.reserved.begin(), level.reserved.end(),
                   [](const Reservation& a, const Reservation& b) { return a.row_bottom > b.row_bottom; });
  return level;
}

const Level& TheLevel() {
  static const Level level = BuildLevel(Tiles());
  return level;
}

std::vector<std::string> MusicCueLines(const Level& level) {
  std::vector<std::string> lines;
  for (const Section& s : level.sections) {
    lines.push_back("; " + s.name + " (rows " + std::to_string(s.top_row) + "-" +
                    std::to_string(s.bottom_row) + ")");
    // Trigger Kind ParamA(track) ParamB(order) ParamC(row) IntA IntB IntC Angle X YOffset HP
    lines.push_back(std::to_string(s.music_trigger) + " 252 " + std::to_string(s.music_track) +
                    " 0 0 0 0 0 0 0 0 1");
  }
  return lines;
}

}  // namespace tarq::forge
