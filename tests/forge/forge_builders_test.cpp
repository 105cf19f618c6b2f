// The forge's own building blocks: picture files read back by the game's reader, and
// the map builder's rules for turning painted corners into layered tiles.
#include <gtest/gtest.h>

#include "assets/bitmap_ex.h"
#include "image_files.h"
#include "map_builder.h"
#include "tiles_catalogue.h"

namespace tarq::forge {
namespace {

Picture Gradient(int w, int h) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.At(x, y) = (uint32_t(x * 40 + 7) << 24) | (uint32_t(x * 50) << 16) | (uint32_t(y * 60) << 8) | uint32_t(x + y);
  return p;
}

TEST(PictureFiles, TgaAndBmpReadBackExactly) {
  // Odd widths exercise the BMP row padding; the TGA keeps alpha, the BMP drops it.
  for (int w : {1, 3, 5, 64}) {
    const Picture p = Gradient(w, 4);
    TBitmapEx tga, bmp;
    tga.LoadTgaFromMemory(EncodeTga32(p));
    bmp.LoadBmpFromMemory(EncodeBmp24(p));
    ASSERT_EQ(tga.BitsPerPixel(), 32);
    ASSERT_EQ(bmp.BitsPerPixel(), 24);
    ASSERT_EQ(tga.Width(), w);
    ASSERT_EQ(bmp.Width(), w);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint32_t px = p.At(x, y);
        const uint8_t* t = tga.Row(y) + x * 4;
        const uint8_t* b = bmp.Row(y) + x * 3;
        EXPECT_EQ(t[0] | t[1] << 8 | t[2] << 16 | uint32_t(t[3]) << 24, px) << w << " " << x << "," << y;
        EXPECT_EQ(uint32_t(b[0] | b[1] << 8 | b[2] << 16), px & 0xFFFFFF) << w << " " << x << "," << y;
      }
    }
  }
}

TEST(PictureFiles, RefusesEmptyOrMismatchedPictures) {
  Picture bad(4, 4);
  bad.pixels.pop_back();
  EXPECT_THROW(EncodeTga32(bad), std::invalid_argument);
  EXPECT_THROW(EncodeBmp24(Picture()), std::invalid_argument);
  EXPECT_THROW(WriteTga32("/nonexistent-folder/x.tga", Gradient(2, 2)), std::runtime_error);
}

class MapRules : public ::testing::Test {
 protected:
  const TileCatalogue& tiles = Tiles();
  MapBuilder map;
  int Edge(Terrain t, int mask) { return tiles.Number(EdgeTileName(t, mask)); }
};

TEST_F(MapRules, CornersBecomeABaseAndEdgeTiles) {
  map.FillCells(0, kMapRows - 1, 0, kMapCols - 1, Terrain::Grass);
  // One water corner: the four cells around it get water underneath and grass edges
  // over it, each with the grass on its three other corners.
  map.SetCorner(10, 4, Terrain::Water);
  map.Resolve(tiles);
  EXPECT_EQ(map.At(9, 3, 0), 215) << "bottom-right quarter: odd row, odd column";
  EXPECT_EQ(map.At(9, 3, 1), Edge(Terrain::Grass, kCornerTL | kCornerTR | kCornerBL));
  EXPECT_EQ(map.At(9, 4, 1), Edge(Terrain::Grass, kCornerTL | kCornerTR | kCornerBR));
  EXPECT_EQ(map.At(10, 3, 1), Edge(Terrain::Grass, kCornerTL | kCornerBL | kCornerBR));
  EXPECT_EQ(map.At(10, 4, 1), Edge(Terrain::Grass, kCornerTR | kCornerBL | kCornerBR));
  EXPECT_EQ(map.At(10, 4, 0), 206);
  // Cells away from it are plain grass with nothing above.
  const std::string base = tiles.Find(map.At(20, 4, 0))->name;
  EXPECT_EQ(base.rfind("grass_", 0), 0u) << base;
  EXPECT_EQ(map.At(20, 4, 1), 0);
  for (int r = 0; r < kMapRows; ++r)
    for (int c = 0; c < kMapCols; ++c) ASSERT_GE(map.At(r, c, 0), 2);
}

TEST_F(MapRules, ThreeTerrainsStackAndADecalTakesTheLastGroundLayer) {
  map.FillCells(0, kMapRows - 1, 0, kMapCols - 1, Terrain::Grass);
  map.SetCorner(5, 5, Terrain::Water);
  map.SetCorner(5, 6, Terrain::Sand);
  map.SetCorner(6, 6, Terrain::Rock);
  map.Resolve(tiles);
  // Cell (5,5) has four terrains on its corners (water, sand / grass, rock) but only
  // two edge layers: the lowest gives way, so sand is the base under grass and rock.
  const std::string base = tiles.Find(map.At(5, 5, 0))->name;
  EXPECT_EQ(base.rfind("sand_", 0), 0u) << base;
  EXPECT_EQ(map.At(5, 5, 1), Edge(Terrain::Grass, kCornerBL | kCornerBR));
  EXPECT_EQ(map.At(5, 5, 2), Edge(Terrain::Rock, kCornerBR));

  MapBuilder with_road;
  with_road.FillCells(0, kMapRows - 1, 0, kMapCols - 1, Terrain::Grass);
  with_road.SetCorner(5, 5, Terrain::Sand);
  with_road.SetCorner(6, 6, Terrain::Rock);
  with_road.AddRoadLinks(5, 5, kLinkN | kLinkS);
  with_road.Resolve(tiles);
  EXPECT_NE(with_road.At(5, 5, 1), 0);
  EXPECT_EQ(with_road.At(5, 5, 2), tiles.Number(RoadTileName(kLinkN | kLinkS)));
}

TEST_F(MapRules, RoadsCrossWaterOnBridgesAndRailsOnTrestles) {
  map.FillCells(0, kMapRows - 1, 0, kMapCols - 1, Terrain::Water);
  map.AddRoadLinks(3, 2, kLinkE | kLinkW);
  map.AddRoadLinks(4, 2, kLinkN | kLinkS);
  map.SetRail(6, 2);
  map.Resolve(tiles);
  EXPECT_EQ(map.At(3, 2, 3), tiles.Number("bridge_h"));
  EXPECT_EQ(map.At(4, 2, 3), tiles.Number("bridge_v"));
  EXPECT_EQ(map.At(3, 2, 1), 0) << "no road painted on the water itself";
  EXPECT_EQ(map.At(6, 2, 1), tiles.Number("rail_bridge_h"));
}

TEST_F(MapRules, ShallowWaterIsAWashOverTheAnimatedWater) {
  map.FillCells(0, kMapRows - 1, 0, kMapCols - 1, Terrain::Water);
  map.FillCells(10, 11, 3, 4, Terrain::Shallow);  // corners 10-12 x 3-5
  // Sand and shallow side by side; then two kinds of land beside shallow.
  map.SetCorner(20, 5, Terrain::Sand);
  map.SetCorner(20, 6, Terrain::Shallow);
  map.SetCorner(30, 5, Terrain::Sand);
  map.SetCorner(30, 6, Terrain::Grass);
  map.SetCorner(31, 5, Terrain::Shallow);
  map.Resolve(tiles);
  // All shallow: the water keeps animating underneath the full wash.
  EXPECT_EQ(map.At(10, 3, 0), 207);
  EXPECT_EQ(map.At(10, 3, 1), Edge(Terrain::Shallow, 15));
  EXPECT_EQ(map.At(10, 3, 2), 0);
  EXPECT_EQ(map.At(9, 3, 0), 215);
  EXPECT_EQ(map.At(9, 3, 1), Edge(Terrain::Shallow, kCornerBL | kCornerBR));
  // Land over the water first, then the wash; the sand does not reach under the wash.
  EXPECT_EQ(map.At(19, 5, 0), 215);
  EXPECT_EQ(map.At(19, 5, 1), Edge(Terrain::Sand, kCornerBL));
  EXPECT_EQ(map.At(19, 5, 2), Edge(Terrain::Shallow, kCornerBR));
  // No layer left for the wash beside two kinds of land: its corner stays deep water.
  EXPECT_EQ(map.At(30, 5, 0), 207);
  EXPECT_EQ(map.At(30, 5, 1), Edge(Terrain::Sand, kCornerTL | kCornerTR));
  EXPECT_EQ(map.At(30, 5, 2), Edge(Terrain::Grass, kCornerTR));
}

TEST_F(MapRules, EncodesRowsColumnsLayersBigEndian) {
  map.FillCells(0, kMapRows - 1, 0, kMapCols - 1, Terrain::Water);
  map.SetOverlay(1, 2, 0x0102);
  map.Resolve(tiles);
  const std::vector<uint8_t> bytes = map.Encode();
  ASSERT_EQ(bytes.size(), 450560u);
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes[1], 206);
  const size_t at = ((size_t(1) * 11 + 2) * 5 + 3) * 2;
  EXPECT_EQ(bytes[at], 0x01);
  EXPECT_EQ(bytes[at + 1], 0x02);
}

}  // namespace
}  // namespace tarq::forge
