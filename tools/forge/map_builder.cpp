#include "map_builder.h"

#include <algorithm>
#include <stdexcept>

namespace tarq::forge {

MapBuilder::MapBuilder()
    : corners_(size_t(kMapRows + 1) * (kMapCols + 1), Terrain::Grass),
      forest_(size_t(kMapRows + 1) * (kMapCols + 1), 0),
      content_(size_t(kMapRows) * kMapCols),
      cells_(size_t(kMapRows) * kMapCols * kMapLayers, 0) {}

void MapBuilder::SetCorner(int row, int col, Terrain t) {
  if (row < 0 || row > kMapRows || col < 0 || col > kMapCols) return;
  corners_[CornerIndex(row, col)] = t;
}

Terrain MapBuilder::Corner(int row, int col) const {
  row = std::clamp(row, 0, kMapRows);
  col = std::clamp(col, 0, kMapCols);
  return corners_[CornerIndex(row, col)];
}

void MapBuilder::FillCells(int row0, int row1, int col0, int col1, Terrain t) {
  for (int r = row0; r <= row1 + 1; ++r) {
    for (int c = col0; c <= col1 + 1; ++c) SetCorner(r, c, t);
  }
}

void MapBuilder::SetForestCorner(int row, int col, bool forest) {
  if (row < 0 || row > kMapRows || col < 0 || col > kMapCols) return;
  forest_[CornerIndex(row, col)] = forest ? 1 : 0;
}

bool MapBuilder::ForestCorner(int row, int col) const {
  row = std::clamp(row, 0, kMapRows);
  col = std::clamp(col, 0, kMapCols);
  return forest_[CornerIndex(row, col)] != 0;
}

MapBuilder::CellContent* MapBuilder::Cell(int row, int col) {
  if (row < 0 || row >= kMapRows || col < 0 || col >= kMapCols) return nullptr;
  return &content_[size_t(row) * kMapCols + col];
}

const MapBuilder::CellContent* MapBuilder::Cell(int row, int col) const {
  if (row < 0 || row >= kMapRows || col < 0 || col >= kMapCols) return nullptr;
  return &content_[size_t(row) * kMapCols + col];
}

void MapBuilder::AddRoadLinks(int row, int col, int links) {
  if (CellContent* c = Cell(row, col)) c->road = uint8_t(c->road | links);
}
int MapBuilder::RoadLinks(int row, int col) const {
  const CellContent* c = Cell(row, col);
  return c ? c->road : 0;
}
void MapBuilder::SetRail(int row, int col) {
  if (CellContent* c = Cell(row, col)) c->rail = true;
}
bool MapBuilder::Rail(int row, int col) const {
  const CellContent* c = Cell(row, col);
  return c && c->rail;
}
void MapBuilder::SetBaseOverride(int row, int col, int tile) {
  if (CellContent* c = Cell(row, col)) c->base_override = tile;
}
void MapBuilder::SetDecal(int row, int col, int tile) {
  if (CellContent* c = Cell(row, col)) c->decal = tile;
}
int MapBuilder::Decal(int row, int col) const {
  const CellContent* c = Cell(row, col);
  return c ? c->decal : 0;
}
void MapBuilder::SetOverlay(int row, int col, int tile) {
  if (CellContent* c = Cell(row, col)) c->overlay = tile;
}
int MapBuilder::Overlay(int row, int col) const {
  const CellContent* c = Cell(row, col);
  return c ? c->overlay : 0;
}

void MapBuilder::PlacePiece(const PieceGrid& grid, int row, int col) {
  for (int r = 0; r < grid.rows; ++r) {
    for (int c = 0; c < grid.cols; ++c) {
      CellContent* cell = Cell(row + r, col + c);
      if (!cell) continue;
      const int g = grid.ground[size_t(r) * grid.cols + c];
      const int o = grid.overlay[size_t(r) * grid.cols + c];
      if (g) {
        cell->decal = g;
        cell->road = 0;  // the piece replaces anything painted on the ground
        cell->rail = false;
      }
      if (o) cell->overlay = o;
    }
  }
}

namespace {

// A stable per-cell choice of base variant: mostly the plain texture, and built-up
// ground (concrete, tech floor) plainer still so its fittings do not look scattered.
int VariantFor(Terrain t, int row, int col, int count) {
  const uint32_t h = Hash32(col, row, 4242);
  const uint32_t plain = (t == Terrain::Concrete || t == Terrain::Tech) ? 225 : 110;
  if (count <= 1 || (h & 0xFF) < plain) return 0;
  return 1 + int((h >> 8) % uint32_t(count - 1));
}

}  // namespace

void MapBuilder::Resolve(const TileCatalogue& tiles) {
  const int road_bridge_h = tiles.Number("bridge_h"), road_bridge_v = tiles.Number("bridge_v");
  for (int row = 0; row < kMapRows; ++row) {
    for (int col = 0; col < kMapCols; ++col) {
      const CellContent& content = content_[size_t(row) * kMapCols + col];
      std::array<Terrain, 4> k = {Corner(row, col), Corner(row, col + 1), Corner(row + 1, col),
                                  Corner(row + 1, col + 1)};
      // Distinct terrains present, lowest first.
      std::vector<Terrain> present(k.begin(), k.end());
      std::sort(present.begin(), present.end());
      present.erase(std::unique(present.begin(), present.end()), present.end());
      // Water and lava never share a cell: lava there becomes water.
      if (present.size() > 1 && present[0] == Terrain::Water && present[1] == Terrain::Lava) {
        present.erase(present.begin() + 1);
        for (Terrain& t : k) if (t == Terrain::Lava) t = Terrain::Water;
      }
      const int free_layers = content.decal || content.road || content.rail ? 1 : 2;
      // Shallow water is a wash over the water, so a cell with any of it has water
      // underneath and the land drawn over that water, as on any shore.
      const bool shallow = std::find(present.begin(), present.end(), Terrain::Shallow) != present.end();
      if (shallow && present[0] != Terrain::Water) present.insert(present.begin(), Terrain::Water);
      // Too many terrains for the free layers: the shallow wash goes first (its corners
      // stay water), then the lowest land gives way to the next.
      while (int(present.size()) - 1 > free_layers) {
        if (present.back() == Terrain::Shallow && present.size() > 2) {
          for (Terrain& t : k) if (t == Terrain::Shallow) t = Terrain::Water;
          present.pop_back();
          continue;
        }
        const size_t drop = shallow ? 1 : 0;
        for (Terrain& t : k) if (t == present[drop]) t = present[drop + 1];
        present.erase(present.begin() + long(drop));
      }
      std::array<uint16_t, kMapLayers> layers{};
      const Terrain base = present[0];
      const bool water_phase_top = row % 2 == 0, water_phase_left = col % 2 == 0;
      const int quarter = (water_phase_top ? 0 : 2) + (water_phase_left ? 0 : 1);
      if (base == Terrain::Water) {
        layers[0] = uint16_t(kWaterBlock[quarter]);
      } else if (base == Terrain::Lava) {
        layers[0] = uint16_t(kLavaBlock[quarter]);
      } else if (content.base_override && present.size() == 1) {
        layers[0] = uint16_t(content.base_override);
      } else {
        layers[0] = uint16_t(tiles.Number(BaseTileName(base, VariantFor(base, row, col, BaseVariantCount(base)))));
      }
      // An edge tile covers the corners at or above its terrain; the see-through shallow
      // wash covers nothing, so land under it is not drawn.
      auto covers = [](Terrain corner, Terrain edge) {
        return edge == Terrain::Shallow ? corner == Terrain::Shallow : corner != Terrain::Shallow && corner >= edge;
      };
      int layer = 1;
      for (size_t i = 1; i < present.size(); ++i) {
        int mask = 0;
        if (covers(k[0], present[i])) mask |= kCornerTL;
        if (covers(k[1], present[i])) mask |= kCornerTR;
        if (covers(k[2], present[i])) mask |= kCornerBL;
        if (covers(k[3], present[i])) mask |= kCornerBR;
        layers[size_t(layer++)] = uint16_t(tiles.Number(EdgeTileName(present[i], mask)));
      }
      // Ground decal: a set-piece tile, or rails, or a road.
      auto wet = [](Terrain t) { return t == Terrain::Water || t == Terrain::Shallow; };
      const bool all_water = wet(k[0]) && wet(k[1]) && wet(k[2]) && wet(k[3]);
      int decal = content.decal;
      int overlay = content.overlay;
      if (!decal && content.rail) {
        if (content.road & (kLinkN | kLinkS)) decal = tiles.Number("rail_crossing");
        else decal = tiles.Number(all_water ? "rail_bridge_h" : "rail_h");
      } else if (!decal && content.road) {
        if (all_water) {
          // Roads cross open water on a bridge deck (an overlay).
          if (!overlay) overlay = (content.road & (kLinkE | kLinkW)) ? road_bridge_h : road_bridge_v;
        } else {
          decal = tiles.Number(RoadTileName(content.road));
        }
      }
      if (decal) layers[size_t(layer++)] = uint16_t(decal);
      // Overlays: a placed overlay wins over the forest canopy.
      if (overlay) {
        layers[3] = uint16_t(overlay);
      } else {
        int canopy = 0;
        if (ForestCorner(row, col)) canopy |= kCornerTL;
        if (ForestCorner(row, col + 1)) canopy |= kCornerTR;
        if (ForestCorner(row + 1, col)) canopy |= kCornerBL;
        if (ForestCorner(row + 1, col + 1)) canopy |= kCornerBR;
        if (canopy == 15 && (Hash32(col, row, 77) & 3) == 0) {
          layers[3] = uint16_t(tiles.Number(CanopyTileName(15) + "_b"));
        } else if (canopy) {
          layers[3] = uint16_t(tiles.Number(CanopyTileName(canopy)));
        }
      }
      if (content.overlay2) layers[4] = uint16_t(content.overlay2);
      for (int l = 0; l < kMapLayers; ++l) {
        cells_[(size_t(row) * kMapCols + col) * kMapLayers + l] = layers[size_t(l)];
      }
    }
  }
}

std::vector<uint8_t> MapBuilder::Encode() const {
  std::vector<uint8_t> out;
  out.reserve(kMapFileSize);
  for (uint16_t v : cells_) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v & 0xFF));
  }
  return out;
}

}  // namespace tarq::forge
