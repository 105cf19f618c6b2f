#pragma once
// The tile set of the game: every 64x64 tile picture with its number, file name and
// solidity. Both the tile writer and the map builder use this one catalogue, so a
// tile the map names always exists in tiles/tiles.txt.
//
// Numbering is laid out as a sheet 8 tiles wide. Two 2x2 blocks are fixed by the game:
// the animated water 206 207 / 214 215 and the animated lava 592 593 / 600 601.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "art.h"

namespace tarq::forge {

constexpr int kTileSize = 64;
constexpr int kMaxTiles = 2048;
// Set-piece tiles are numbered from here up; everything else lies below.
constexpr int kFirstSetPieceTile = 1024;

// Ground terrains in drawing priority: a terrain's edge tiles are drawn over every
// terrain before it in this list. Shallow water is a see-through wash laid over the
// animated water (or the sand under it), so it has edge tiles only: a cell that is
// shallow all over is water with the full wash on top.
enum class Terrain : uint8_t { Water, Lava, Sand, Grass, Rock, Badland, Concrete, Tech, Alien, Shallow };
constexpr int kTerrainCount = 10;
const char* TerrainName(Terrain t);

// Corner masks of edge tiles: which of the cell's corners hold the terrain.
constexpr int kCornerTL = 1, kCornerTR = 2, kCornerBL = 4, kCornerBR = 8;
// Road connections.
constexpr int kLinkN = 1, kLinkE = 2, kLinkS = 4, kLinkW = 8;

// The two animated blocks (top-left, top-right, bottom-left, bottom-right).
constexpr int kWaterBlock[4] = {206, 207, 214, 215};
constexpr int kLavaBlock[4] = {592, 593, 600, 601};

struct TileDef {
  int number = 0;
  std::string name;       // base file name in tiles/, unique
  std::string solidity;   // 16 characters '0', '1' or '2', rows from the top
  PatternPixels picture;  // 64x64, straight alpha
  bool bmp = false;       // written as 24-bit BMP with magenta for transparency
};

// A set piece cut into tiles: per cell (row-major) the ground decal (layer 2) and the
// overlay (layer 3) tile numbers, 0 where the piece leaves that layer empty.
struct PieceGrid {
  int cols = 0;
  int rows = 0;
  std::vector<int> ground;
  std::vector<int> overlay;
};

class TileCatalogue {
 public:
  // Adds a tile at a fixed number; throws on a clash or a malformed definition.
  int Add(int number, const std::string& name, const std::string& solidity,
          PatternPixels picture, bool bmp = false);
  // Adds a tile at the next free number at or after `from`.
  int AddNext(int from, const std::string& name, const std::string& solidity,
              PatternPixels picture, bool bmp = false);
  // Adds a picture cut from a set piece: an identical picture already in the
  // catalogue is reused, a fully transparent one gives 0 (nothing to draw).
  int AddShared(int from, const std::string& name, const std::string& solidity,
                PatternPixels picture);

  bool Has(const std::string& name) const { return by_name_.count(name) != 0; }
  // Number of a named tile; throws when the name is unknown.
  int Number(const std::string& name) const;
  const TileDef* Find(int number) const;
  // All tiles in number order.
  std::vector<const TileDef*> All() const;

  void AddPiece(const std::string& name, PieceGrid grid) { pieces_[name] = std::move(grid); }
  // The tiles of a set piece; throws when there is none of that name.
  const PieceGrid& Piece(const std::string& name) const;

 private:
  std::map<int, TileDef> tiles_;
  std::map<std::string, int> by_name_;
  std::map<std::vector<uint32_t>, int> by_pixels_;
  std::map<std::string, PieceGrid> pieces_;
};

// The finished catalogue, built once on first use (terrain, decals, overlays and the
// set pieces the level plan places).
const TileCatalogue& Tiles();

// Builders, one per family (tiles_terrain.cpp, tiles_decals.cpp, tiles_setpieces.cpp).
void AddTerrainTiles(TileCatalogue& cat);
void AddDecalTiles(TileCatalogue& cat);
void AddSetPieceTiles(TileCatalogue& cat);
// Landmarks and scatter of every section (tiles_features.cpp): sea, harbour, tech base,
// alien zone and the rest; multi-tile ones are recorded as pieces named "feat_...".
void AddFeatureTiles(TileCatalogue& cat);

// Solidity read off a picture: `value` in every 16x16 cell that is mostly opaque,
// '0' elsewhere.
std::string SolidityFromCoverage(const PatternPixels& picture, char value);

// Names used by the map builder.
std::string BaseTileName(Terrain t, int variant);
int BaseVariantCount(Terrain t);
std::string EdgeTileName(Terrain t, int corner_mask);
std::string CanopyTileName(int corner_mask);  // 15 = full canopy
std::string RoadTileName(int links);
std::string FieldTileName(int variant);
constexpr int kFieldVariants = 4;

}  // namespace tarq::forge
