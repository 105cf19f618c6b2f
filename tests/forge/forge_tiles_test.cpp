// The forged tiles read back through the game's picture reader: the list is well
// formed, every picture exists and is a 64x64 tile of the right kind, and the two
// animated blocks stay seamless however far the game has rotated them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "forge_test_support.h"

namespace tarq::forge_test {
namespace {

class ForgedTiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    list_ = new std::map<int, ListedTile>(ReadTileList());
    pictures_ = new std::map<int, TilePicture>();
    for (const auto& [n, t] : *list_) pictures_->emplace(n, LoadTile(t.name));
  }
  static void TearDownTestSuite() {
    delete list_;
    delete pictures_;
  }
  static const TilePicture& Picture(int n) { return pictures_->at(n); }
  static std::map<int, ListedTile>* list_;
  static std::map<int, TilePicture>* pictures_;
};
std::map<int, ListedTile>* ForgedTiles::list_ = nullptr;
std::map<int, TilePicture>* ForgedTiles::pictures_ = nullptr;

TEST_F(ForgedTiles, ListNamesOnlyRealTilesThatLoad) {
  ASSERT_GT(list_->size(), 200u);
  std::map<std::string, int> names;
  int bmp = 0;
  for (const auto& [n, t] : *list_) {
    EXPECT_GE(n, 2) << t.name;
    EXPECT_LT(n, 2048) << t.name;
    EXPECT_TRUE(names.emplace(t.name, n).second) << "two tiles share " << t.name;
    const TilePicture& p = Picture(n);
    EXPECT_EQ(p.width, 64) << t.name;
    EXPECT_EQ(p.height, 64) << t.name;
    if (p.tga) {
      EXPECT_EQ(p.bits, 32) << t.name << " must carry alpha";
      const std::vector<uint8_t> bytes = ReadBytes(DataDir() / "tiles" / (t.name + ".tga"));
      ASSERT_GE(bytes.size(), 18u + 64 * 64 * 4);
      EXPECT_EQ(bytes[2], 2) << "uncompressed true colour";
      EXPECT_EQ(bytes[17], 0x28) << "top row first, 8 alpha bits";
    } else {
      ++bmp;
      EXPECT_EQ(p.bits, 24) << t.name;
    }
  }
  EXPECT_GE(bmp, 1) << "a few tiles exercise the BMP path";
}

TEST_F(ForgedTiles, BmpTilesUseTheMagentaKeyAndNothingCloseToIt) {
  for (const auto& [n, t] : *list_) {
    const TilePicture& p = Picture(n);
    if (p.tga) continue;
    int key = 0, near_key = 0;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        const uint8_t* px = p.At(x, y);
        const bool is_key = px[0] == 0xFF && px[1] == 0 && px[2] == 0xFF;
        // What the 15-bit colour key would also catch.
        const bool keyed = (px[0] >> 3) == 31 && (px[1] >> 3) == 0 && (px[2] >> 3) == 31;
        key += is_key;
        near_key += keyed && !is_key;
      }
    }
    EXPECT_GT(key, 0) << t.name << " has no transparent part";
    EXPECT_EQ(near_key, 0) << t.name << " has colours the key would erase";
  }
}

TEST_F(ForgedTiles, AnimatedBlocksAreTgaAndOpaque) {
  for (int n : {206, 207, 214, 215, 592, 593, 600, 601}) {
    ASSERT_TRUE(list_->count(n)) << n;
    const TilePicture& p = Picture(n);
    EXPECT_TRUE(p.tga) << n << ": the animation rewrites 32-bit pixels";
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) ASSERT_EQ(p.At(x, y)[3], 255) << n;
    EXPECT_EQ(list_->at(n).solidity, "0000000000000000");
  }
}

TEST_F(ForgedTiles, ObstaclesAreWhereThePictureHasSomething) {
  // A cell marked as an obstacle must be covered by the picture (BMP: not the key).
  int obstacles = 0;
  for (const auto& [n, t] : *list_) {
    const TilePicture& p = Picture(n);
    for (int cell = 0; cell < 16; ++cell) {
      if (t.solidity[size_t(cell)] == '0') continue;
      ++obstacles;
      int covered = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          const uint8_t* px = p.At((cell % 4) * 16 + x, (cell / 4) * 16 + y);
          covered += p.tga ? px[3] >= 128 : !(px[0] == 0xFF && px[1] == 0 && px[2] == 0xFF);
        }
      EXPECT_GT(covered, 128) << t.name << " cell " << cell;
    }
  }
  EXPECT_GT(obstacles, 100);
}

// The 128x128 block of a 2x2 group, as the game's strips hold it.
std::vector<const uint8_t*> BlockRow(const std::array<const TilePicture*, 4>& q, int shift, int y) {
  // After `shift` rotations, block row y shows original row (y - shift) mod 128.
  const int src = ((y - shift) % 128 + 128) % 128;
  std::vector<const uint8_t*> row;
  for (int x = 0; x < 128; ++x) row.push_back(q[size_t((src / 64) * 2 + x / 64)]->At(x % 64, src % 64));
  return row;
}

std::vector<const uint8_t*> BlockColumn(const std::array<const TilePicture*, 4>& q, int shift, int x) {
  std::vector<const uint8_t*> col;
  for (int y = 0; y < 128; ++y) col.push_back(BlockRow(q, shift, y)[size_t(x)]);
  return col;
}

void ExpectSeamless(const std::array<const TilePicture*, 4>& q, const char* what) {
  for (int shift : {0, 1, 37, 64, 127}) {
    double interior = 0;
    int pairs = 0;
    for (int y = 1; y < 127; y += 3, ++pairs) interior += LineDifference(BlockRow(q, shift, y), BlockRow(q, shift, y + 1));
    interior /= pairs;
    const double limit = interior * 2.0 + 2.0;
    // Within the block and across the wrap to the next block, both directions.
    EXPECT_LE(LineDifference(BlockRow(q, shift, 63), BlockRow(q, shift, 64)), limit) << what << " shift " << shift;
    EXPECT_LE(LineDifference(BlockRow(q, shift, 127), BlockRow(q, shift, 0)), limit) << what << " shift " << shift;
    EXPECT_LE(LineDifference(BlockColumn(q, shift, 63), BlockColumn(q, shift, 64)), limit) << what << " shift " << shift;
    EXPECT_LE(LineDifference(BlockColumn(q, shift, 127), BlockColumn(q, shift, 0)), limit) << what << " shift " << shift;
  }
}

TEST_F(ForgedTiles, WaterAndLavaRotateSeamlessly) {
  ExpectSeamless({&Picture(206), &Picture(207), &Picture(214), &Picture(215)}, "water");
  ExpectSeamless({&Picture(592), &Picture(593), &Picture(600), &Picture(601)}, "lava");
}

TEST_F(ForgedTiles, GroundVariantsOfATerrainMeetWithoutSeams) {
  // Every variant of a terrain may sit beside every other, in either direction.
  std::map<std::string, std::vector<int>> families;
  for (const auto& [n, t] : *list_) {
    const size_t us = t.name.rfind('_');
    const std::string family = t.name.substr(0, us);
    if (family == "sand" || family == "grass" || family == "rock" || family == "badland" ||
        family == "concrete" || family == "tech" || family == "alien")
      families[family].push_back(n);
  }
  ASSERT_EQ(families.size(), 7u);
  for (const auto& [family, tiles] : families) {
    for (int a : tiles) {
      for (int b : tiles) {
        const TilePicture& l = Picture(a);
        const TilePicture& r = Picture(b);
        std::vector<const uint8_t*> right_edge, left_edge, inner_a, inner_b, bottom, top;
        for (int i = 0; i < 64; ++i) {
          right_edge.push_back(l.At(63, i));
          left_edge.push_back(r.At(0, i));
          inner_a.push_back(l.At(31, i));
          inner_b.push_back(l.At(32, i));
          bottom.push_back(l.At(i, 63));
          top.push_back(r.At(i, 0));
        }
        const double limit = LineDifference(inner_a, inner_b) * 2.5 + 6.0;
        EXPECT_LE(LineDifference(right_edge, left_edge), limit) << family << " " << a << " | " << b;
        EXPECT_LE(LineDifference(bottom, top), limit) << family << " " << a << " over " << b;
      }
    }
  }
}

}  // namespace
}  // namespace tarq::forge_test
