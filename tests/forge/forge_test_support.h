#pragma once
// Reading the forged data folder back for the forge's tests: the tile list, tile
// pictures through the game's picture reader, and small file helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "assets/bitmap_ex.h"

namespace tarq::forge_test {

inline std::filesystem::path DataDir() { return TARQ_DATA_DIR; }

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::filesystem::path& path) {
  const std::vector<uint8_t> b = ReadBytes(path);
  return std::string(b.begin(), b.end());
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (char ch : text) {
    if (ch == '\n') {
      out.push_back(line);
      line.clear();
    } else if (ch != '\r') {
      line += ch;
    }
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

struct ListedTile {
  int number = 0;
  std::string solidity;
  std::string name;
};

// The tile list, keyed by number. Malformed lines fail the calling test.
inline std::map<int, ListedTile> ReadTileList() {
  std::map<int, ListedTile> tiles;
  for (const std::string& line : Lines(ReadText(DataDir() / "tiles" / "tiles.txt"))) {
    if (line.empty()) continue;
    EXPECT_GE(line.size(), 23u) << line;
    if (line.size() < 23) continue;
    EXPECT_EQ(line.find_first_not_of("0123456789"), 4u) << line;
    EXPECT_EQ(line[4], ' ') << line;
    EXPECT_EQ(line[21], ' ') << line;
    ListedTile t;
    t.number = std::stoi(line.substr(0, 4));
    t.solidity = line.substr(5, 16);
    t.name = line.substr(22);
    EXPECT_EQ(t.solidity.find_first_not_of("012"), std::string::npos) << line;
    EXPECT_EQ(t.name.find_first_of(" \t"), std::string::npos) << line;
    EXPECT_TRUE(tiles.emplace(t.number, t).second) << "tile listed twice: " << line;
  }
  return tiles;
}

// A tile picture as the game reads it: TGA when it exists, else BMP; converted to
// 32 bits (B, G, R, A per pixel, rows from the top).
struct TilePicture {
  bool tga = false;
  int bits = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;
  const uint8_t* At(int x, int y) const { return &bgra[(size_t(y) * width + x) * 4]; }
};

inline TilePicture LoadTile(const std::string& name) {
  TilePicture out;
  const std::filesystem::path tga = DataDir() / "tiles" / (name + ".tga");
  out.tga = std::filesystem::exists(tga);
  TBitmapEx bmp;
  bmp.LoadFromFile((out.tga ? tga : DataDir() / "tiles" / (name + ".bmp")).string());
  out.bits = bmp.BitsPerPixel();
  bmp.ConvertTo32Bit();
  out.width = bmp.Width();
  out.height = bmp.Height();
  for (int y = 0; y < out.height; ++y) {
    out.bgra.insert(out.bgra.end(), bmp.Row(y), bmp.Row(y) + bmp.RowBytes());
  }
  return out;
}

// Mean absolute difference of the colour channels between two pixel rows or columns.
inline double LineDifference(const std::vector<const uint8_t*>& a, const std::vector<const uint8_t*>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int ch = 0; ch < 3; ++ch) sum += std::abs(int(a[i][ch]) - int(b[i][ch]));
  return sum / (a.size() * 3.0);
}

}  // namespace tarq::forge_test
