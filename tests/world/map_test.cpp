#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "game/game.h"
#include "world/map.h"

namespace tarq {
namespace {

std::filesystem::path TempFile(const std::string& name) {
  return std::filesystem::temp_directory_path() / ("tarq_map_test_" + name);
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(LoadMap, ReadsBigEndianValuesRowByRowAndIgnoresTrailingBytes) {
  std::vector<uint8_t> bytes(kMapFileSize + 7, 0xEE);
  std::fill(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(kMapFileSize), 0);
  bytes[0] = 0x01;
  bytes[1] = 0x02;
  // Row 1, column 2, layer 3: ((1 * 11 + 2) * 5 + 3) * 2 bytes in.
  bytes[((1 * 11 + 2) * 5 + 3) * 2 + 1] = 0x07;
  // The last value of the file: row 4095, column 10, layer 4.
  bytes[kMapFileSize - 2] = 0x07;
  bytes[kMapFileSize - 1] = 0xFF;
  const auto path = TempFile("good");
  WriteFile(path, bytes);
  WorldMap map;
  std::string error;
  ASSERT_TRUE(LoadMap(path.string(), map, error)) << error;
  EXPECT_EQ(map.At(0, 0, 0), 258);
  EXPECT_EQ(map.At(1, 2, 3), 7);
  EXPECT_EQ(map.At(4095, 10, 4), 0x07FF);
  EXPECT_EQ(map.At(0, 0, 1), 0);
  std::filesystem::remove(path);
}

TEST(LoadMap, MissingEmptyOrShortFilesAreStartUpErrorsThatLeaveTheMapAlone) {
  WorldMap map;
  map.Set(5, 5, 0, 42);
  std::string error;
  EXPECT_FALSE(LoadMap(TempFile("does_not_exist").string(), map, error));
  EXPECT_FALSE(error.empty());

  for (size_t size : {size_t{0}, size_t{1}, kMapFileSize - 1}) {
    const auto path = TempFile("short");
    WriteFile(path, std::vector<uint8_t>(size, 0x01));
    error.clear();
    EXPECT_FALSE(LoadMap(path.string(), map, error)) << size;
    EXPECT_NE(error.find("short"), std::string::npos) << error;
    EXPECT_EQ(map.At(5, 5, 0), 42) << "a failed load leaves the map untouched";
    std::filesystem::remove(path);
  }
  // A directory cannot be read as the map.
  error.clear();
  EXPECT_FALSE(LoadMap(std::filesystem::temp_directory_path().string(), map, error));
  EXPECT_FALSE(error.empty());
}

TEST(WorldMap, CellsOutsideTheMapOrWithoutAnImageAreEmpty) {
  WorldMap map;
  map.Set(10, 3, 2, 2047);
  map.Set(10, 4, 2, 2048);
  map.Set(10, 5, 2, 65535);
  map.Set(10, 6, 2, 1);
  EXPECT_EQ(map.DrawnTile(10, 3, 2), 2047);
  EXPECT_EQ(map.DrawnTile(10, 4, 2), -1);
  EXPECT_EQ(map.DrawnTile(10, 5, 2), -1);
  EXPECT_EQ(map.DrawnTile(10, 6, 2), -1);
  EXPECT_EQ(map.DrawnTile(-1, 0, 0), -1);
  EXPECT_EQ(map.DrawnTile(4096, 0, 0), -1);
  EXPECT_EQ(map.DrawnTile(0, 11, 0), -1);
  EXPECT_EQ(map.DrawnTile(0, 0, 5), -1);
}

TEST(Scroll, ScrollStepMovesUnlessHeldAndClamps) {
  Game game;
  game.ScrollY = 10;
  game.ScrollTick = 2;
  ScrollStep(game);
  EXPECT_EQ(game.ScrollY, 9);
  game.ScrollHold = 2;
  ScrollStep(game);
  EXPECT_EQ(game.ScrollY, 9);
  game.ScrollHold = 0;
  game.ScrollY = 0;
  ScrollStep(game);
  EXPECT_EQ(game.ScrollY, 0);
  game.ScrollY = kMaxScrollY + 50;
  ScrollStep(game);
  EXPECT_EQ(game.ScrollY, kMaxScrollY);
}

TEST(Scroll, ScrollXFollowsALonePlayerAndCentresForTwo) {
  Game game;
  game.ScrollX = 7;
  PlaceScrollX(game);
  EXPECT_EQ(game.ScrollX, 7) << "no player: unchanged";
  game.Players[0].Active = true;
  game.Players[0].X = 320.0;
  PlaceScrollX(game);
  EXPECT_EQ(game.ScrollX, 32);
  game.Players[0].X = 639.6;
  PlaceScrollX(game);
  EXPECT_EQ(game.ScrollX, 64);
  game.Players[0].X = 5.0;  // 5 div 10
  PlaceScrollX(game);
  EXPECT_EQ(game.ScrollX, 0);
  game.Players[0].X = 14.5;  // rounds to 14
  PlaceScrollX(game);
  EXPECT_EQ(game.ScrollX, 1);
  game.Players[0].Active = false;
  game.Players[1].Active = true;
  game.Players[1].X = 100.0;
  PlaceScrollX(game);
  EXPECT_EQ(game.ScrollX, 10);
  game.Players[0].Active = true;
  PlaceScrollX(game);
  EXPECT_EQ(game.ScrollX, 32);
}

// Four 64 x 64 tiles in memory, with a padded pitch to catch pitch mistakes.
class MemoryTiles : public TileSurface {
 public:
  static constexpr int32_t kPitch = 64 * 4 + 16;
  explicit MemoryTiles(std::vector<int32_t> numbers) {
    for (int32_t n : numbers) pixels[n].assign(64 * kPitch, 0);
  }
  bool LockTile(int32_t tile, LockedTile& locked) override {
    if (failOn == tile || pixels.count(tile) == 0) return false;
    ++locks[tile];
    locked.Bits = pixels[tile].data();
    locked.Pitch = kPitch;
    return true;
  }
  void UnlockTile(int32_t tile) override { --locks[tile]; }
  uint32_t& Pixel(int32_t tile, int32_t x, int32_t y) {
    return *reinterpret_cast<uint32_t*>(pixels[tile].data() + y * kPitch + x * 4);
  }
  std::map<int32_t, std::vector<uint8_t>> pixels;
  std::map<int32_t, int> locks;
  int32_t failOn = -1;
};

TEST(Water, StripsRotateDownOneRowSeamlesslyAcrossTheirTwoTiles) {
  MemoryTiles tiles({206, 207, 214, 215});
  // Each row of the 128-row strips is marked with its strip row number and column.
  for (int32_t y = 0; y < 128; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      tiles.Pixel(y < 64 ? 206 : 214, x, y % 64) = static_cast<uint32_t>(y * 1000 + x);
      tiles.Pixel(y < 64 ? 207 : 215, x, y % 64) = static_cast<uint32_t>(500000 + y * 1000 + x);
    }
  ScrollWater(&tiles, 206, 207, 214, 215);
  for (int32_t y = 0; y < 128; ++y) {
    const int32_t from = (y + 127) % 128;  // row k came from row k - 1; row 0 from 127
    for (int32_t x : {0, 31, 63}) {
      EXPECT_EQ(tiles.Pixel(y < 64 ? 206 : 214, x, y % 64), static_cast<uint32_t>(from * 1000 + x))
          << "left strip row " << y;
      EXPECT_EQ(tiles.Pixel(y < 64 ? 207 : 215, x, y % 64),
                static_cast<uint32_t>(500000 + from * 1000 + x))
          << "right strip row " << y;
    }
  }
  for (auto& [tile, count] : tiles.locks) EXPECT_EQ(count, 0) << tile;
  // The padding past each row is never written.
  EXPECT_EQ(tiles.pixels[206][64 * 4], 0);
}

TEST(Water, SixteenBitTilesRotateTheirOwnRowWidthOnly) {
  // Two 64 x 64 tiles of 2-byte texels inside a larger buffer: nothing past each row's
  // 128 bytes may move.
  constexpr int32_t kPitch = 300;
  std::vector<uint8_t> top(64 * kPitch, 0xAA), bottom(64 * kPitch, 0xBB);
  for (int32_t y = 0; y < 64; ++y) {
    top[static_cast<size_t>(y * kPitch)] = static_cast<uint8_t>(y);
    bottom[static_cast<size_t>(y * kPitch)] = static_cast<uint8_t>(64 + y);
    top[static_cast<size_t>(y * kPitch + 128)] = 0x11;  // just past the row
  }
  RotateWaterStrip({top.data(), kPitch, 128}, {bottom.data(), kPitch, 128});
  EXPECT_EQ(top[0], 127);
  EXPECT_EQ(top[kPitch], 0);
  EXPECT_EQ(bottom[0], 63);
  EXPECT_EQ(bottom[63 * kPitch], 126);
  for (int32_t y = 0; y < 64; ++y) EXPECT_EQ(top[static_cast<size_t>(y * kPitch + 128)], 0x11);
}

TEST(Water, AFailedLockSkipsTheStepAndReleasesTheOthers) {
  MemoryTiles tiles({206, 207, 214, 215});
  tiles.Pixel(206, 0, 0) = 1;
  tiles.failOn = 214;
  ScrollWater(&tiles, 206, 207, 214, 215);
  EXPECT_EQ(tiles.Pixel(206, 0, 0), 1u);
  EXPECT_EQ(tiles.Pixel(206, 0, 1), 0u);
  for (auto& [tile, count] : tiles.locks) EXPECT_EQ(count, 0) << tile;
  ScrollWater(nullptr, 206, 207, 214, 215);  // headless: nothing to animate
}

TEST(Water, AnimatesEveryEighthTickEvenWhileTheScrollIsHeld) {
  Game game;
  MemoryTiles tiles({206, 207, 214, 215, 592, 593, 600, 601});
  game.WaterTiles = &tiles;
  game.ScrollHold = 1;
  tiles.Pixel(592, 5, 0) = 9;
  game.ScrollTick = 6;
  ScrollStep(game);
  EXPECT_EQ(tiles.Pixel(592, 5, 1), 0u);
  game.ScrollTick = 8;
  ScrollStep(game);
  EXPECT_EQ(tiles.Pixel(592, 5, 1), 9u);
}

TEST(Plasma, CellsRestartPast508WithARateFrom1To1495) {
  PlasmaGrid plasma{};
  plasma[0][0][0] = {508.0, 2.0};
  plasma[2][7][10] = {508.5, 2.0};
  ProcessPlasma(plasma);
  EXPECT_EQ(plasma[0][0][0].Phase, 510.0);
  EXPECT_EQ(plasma[2][7][10].Phase, 0.0);
  EXPECT_GE(plasma[2][7][10].Rate, 1.0);
  EXPECT_LE(plasma[2][7][10].Rate, 1.495);
  EXPECT_EQ(PlasmaLevel(100), 100);
  EXPECT_EQ(PlasmaLevel(256), 255);
  EXPECT_EQ(PlasmaLevel(510), 1);
}

}  // namespace
}  // namespace tarq
