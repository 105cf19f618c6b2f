#pragma once
// The map under construction: a grid of terrain corners, road links, decals and
// overlays, resolved into the game's 4096 x 11 x 5 tile numbers.
//
// Terrain is painted on cell corners (4097 x 12). A cell's layer 0 is the base tile of
// the lowest terrain among its corners; each higher terrain adds an edge tile in
// layers 1-2 covering the corners at or above it. Decals (roads, rails, set-piece
// ground) take layer 2; overlays (canopy, roofs, bridges, tunnels) layers 3-4.
#include <array>
#include <cstdint>
#include <vector>

#include "tiles_catalogue.h"

namespace tarq::forge {

constexpr int kMapRows = 4096;
constexpr int kMapCols = 11;
constexpr int kMapLayers = 5;
constexpr size_t kMapFileSize = size_t(kMapRows) * kMapCols * kMapLayers * 2;  // 450560

class MapBuilder {
 public:
  MapBuilder();

  // Corners: row 0..4096, col 0..11. Out-of-range corners are ignored.
  void SetCorner(int row, int col, Terrain t);
  Terrain Corner(int row, int col) const;
  // Sets all four corners of every cell in the inclusive cell range.
  void FillCells(int row0, int row1, int col0, int col1, Terrain t);
  void SetForestCorner(int row, int col, bool forest);
  bool ForestCorner(int row, int col) const;

  // Per-cell content. Out-of-range cells are ignored.
  void AddRoadLinks(int row, int col, int links);
  int RoadLinks(int row, int col) const;
  void SetRail(int row, int col);
  bool Rail(int row, int col) const;
  void SetBaseOverride(int row, int col, int tile);
  void SetDecal(int row, int col, int tile);
  int Decal(int row, int col) const;
  void SetOverlay(int row, int col, int tile);
  int Overlay(int row, int col) const;
  // Places a set piece's tiles with its top-left cell at (row, col).
  void PlacePiece(const PieceGrid& grid, int row, int col);

  // Computes every cell's five layers from the painted content.
  void Resolve(const TileCatalogue& tiles);

  uint16_t At(int row, int col, int layer) const {
    return cells_[(size_t(row) * kMapCols + col) * kMapLayers + layer];
  }
  // The map file: rows from the top, columns left to right, layers 0-4, big-endian.
  std::vector<uint8_t> Encode() const;

 private:
  struct CellContent {
    uint8_t road = 0;
    bool rail = false;
    int base_override = 0;
    int decal = 0;
    int overlay = 0;
    int overlay2 = 0;
  };
  size_t CornerIndex(int row, int col) const { return size_t(row) * (kMapCols + 1) + col; }
  CellContent* Cell(int row, int col);
  const CellContent* Cell(int row, int col) const;

  std::vector<Terrain> corners_;
  std::vector<uint8_t> forest_;
  std::vector<CellContent> content_;
  std::vector<uint16_t> cells_;
};

}  // namespace tarq::forge
