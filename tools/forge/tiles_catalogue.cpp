#include "tiles_catalogue.h"

#include <stdexcept>

namespace tarq::forge {

const char* TerrainName(Terrain t) {
  static const char* const kNames[kTerrainCount] = {"water",   "lava",     "sand",
                                                    "grass",   "rock",     "badland",
                                                    "concrete", "tech",    "alien",
                                                    "shallow"};
  return kNames[static_cast<int>(t)];
}

std::string BaseTileName(Terrain t, int variant) {
  return std::string(TerrainName(t)) + "_" + std::to_string(variant);
}

std::string EdgeTileName(Terrain t, int corner_mask) {
  return std::string(TerrainName(t)) + "_edge_" + std::to_string(corner_mask);
}

std::string CanopyTileName(int corner_mask) { return "canopy_" + std::to_string(corner_mask); }
std::string RoadTileName(int links) { return "road_" + std::to_string(links); }
std::string FieldTileName(int variant) { return "field_" + std::to_string(variant); }

std::string SolidityFromCoverage(const PatternPixels& picture, char value) {
  std::string solid(16, '0');
  for (int cell = 0; cell < 16; ++cell) {
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if ((picture.pixels[size_t((cell / 4) * 16 + y) * kTileSize + (cell % 4) * 16 + x] >> 24) >= 128) ++opaque;
    if (opaque > 128) solid[size_t(cell)] = value;
  }
  return solid;
}

int TileCatalogue::Add(int number, const std::string& name, const std::string& solidity,
                       PatternPixels picture, bool bmp) {
  if (number < 2 || number >= kMaxTiles) throw std::invalid_argument("tile number out of range: " + name);
  if (tiles_.count(number)) throw std::invalid_argument("tile number used twice: " + name);
  if (by_name_.count(name)) throw std::invalid_argument("tile name used twice: " + name);
  if (solidity.size() != 16 || solidity.find_first_not_of("012") != std::string::npos) {
    throw std::invalid_argument("bad solidity for tile " + name);
  }
  if (picture.width != kTileSize || picture.height != kTileSize ||
      picture.pixels.size() != size_t(kTileSize) * kTileSize) {
    throw std::invalid_argument("tile picture is not 64x64: " + name);
  }
  if (name.empty() || name.find_first_of(" \t/\\.") != std::string::npos) {
    throw std::invalid_argument("bad tile name: " + name);
  }
  by_pixels_.emplace(picture.pixels, number);
  TileDef def{number, name, solidity, std::move(picture), bmp};
  tiles_.emplace(number, std::move(def));
  by_name_.emplace(name, number);
  return number;
}

int TileCatalogue::AddNext(int from, const std::string& name, const std::string& solidity,
                           PatternPixels picture, bool bmp) {
  int n = from;
  while (tiles_.count(n)) ++n;
  return Add(n, name, solidity, std::move(picture), bmp);
}

int TileCatalogue::AddShared(int from, const std::string& name, const std::string& solidity,
                             PatternPixels picture) {
  bool empty = true;
  for (uint32_t px : picture.pixels) {
    if ((px >> 24) != 0) {
      empty = false;
      break;
    }
  }
  if (empty) return 0;
  const auto same = by_pixels_.find(picture.pixels);
  if (same != by_pixels_.end()) return same->second;
  return AddNext(from, name, solidity, std::move(picture));
}

int TileCatalogue::Number(const std::string& name) const {
  const auto it = by_name_.find(name);
  if (it == by_name_.end()) throw std::out_of_range("no tile named " + name);
  return it->second;
}

const TileDef* TileCatalogue::Find(int number) const {
  const auto it = tiles_.find(number);
  return it == tiles_.end() ? nullptr : &it->second;
}

std::vector<const TileDef*> TileCatalogue::All() const {
  std::vector<const TileDef*> out;
  for (const auto& [n, def] : tiles_) out.push_back(&def);
  return out;
}

const PieceGrid& TileCatalogue::Piece(const std::string& name) const {
  const auto it = pieces_.find(name);
  if (it == pieces_.end()) throw std::out_of_range("no set piece named " + name);
  return it->second;
}

const TileCatalogue& Tiles() {
  static const TileCatalogue catalogue = [] {
    TileCatalogue cat;
    AddTerrainTiles(cat);
    AddDecalTiles(cat);
    AddSetPieceTiles(cat);
    AddFeatureTiles(cat);
    return cat;
  }();
  return catalogue;
}

}  // namespace tarq::forge
