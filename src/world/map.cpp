#include "world/map.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/numeric.h"
#include "core/random.h"
#include "assets/pattern_image.h"
#include "game/game.h"

namespace tarq {

namespace {
constexpr size_t kMaxRowBytes = size_t{kTileSize} * 4;
}  // namespace

bool LoadMapFromBytes(std::span<const uint8_t> bytes, WorldMap& map, std::string& error) {
  if (bytes.size() < kMapFileSize) {
    error = "The map file " + std::string(kMapFileName) + " is too short: " +
            std::to_string(bytes.size()) + " of " + std::to_string(kMapFileSize) + " bytes.";
    return false;
  }
  // Rows from the top of the map, columns left to right, layers 0..4, each value
  // high byte first. Anything after the last value is ignored.
  auto& cells = map.Cells();
  for (size_t i = 0; i < cells.size(); ++i)
    cells[i] = static_cast<uint16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
  return true;
}

bool LoadMap(const std::string& fileName, WorldMap& map, std::string& error) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    error = "Cannot open the map file " + fileName + ": " + std::strerror(errno) + ".";
    return false;
  }
  std::vector<uint8_t> bytes(kMapFileSize);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const auto got = static_cast<size_t>(in.gcount());
  if (got < kMapFileSize && in.bad()) {
    error = "Cannot read the map file " + fileName + ".";
    return false;
  }
  bytes.resize(got);
  return LoadMapFromBytes(bytes, map, error);
}

ScrollRows RowsForScroll(int32_t scrollY) {
  return {static_cast<int32_t>(scrollY / kTileSize), static_cast<int32_t>(scrollY % kTileSize)};
}

void ScrollStep(Game& game) {
  if (game.ScrollTick % 8 == 0) {
    ScrollWater(game.WaterTiles, 206, 207, 214, 215);
    ScrollWater(game.WaterTiles, 592, 593, 600, 601);
  }
  if (game.ScrollHold == 0) game.ScrollY -= 1;
  if (game.ScrollY < 0) game.ScrollY = 0;
  if (game.ScrollY > kMaxScrollY) game.ScrollY = kMaxScrollY;
}

void PlaceScrollX(Game& game) {
  const PlayerRecord& p1 = game.Players[0];
  const PlayerRecord& p2 = game.Players[1];
  if (p1.Active && p2.Active) {
    game.ScrollX = 32;
  } else if (p1.Active) {
    game.ScrollX = Round(p1.X) / 10;
  } else if (p2.Active) {
    game.ScrollX = Round(p2.X) / 10;
  }
}

void RotateWaterStrip(const LockedTile& top, const LockedTile& bottom) {
  const auto rowBytes = static_cast<size_t>(std::min(top.RowBytes, bottom.RowBytes));
  if (rowBytes == 0 || rowBytes > kMaxRowBytes) return;
  auto row = [&](int32_t k) -> uint8_t* {
    const LockedTile& t = k < kTileSize ? top : bottom;
    return t.Bits + static_cast<ptrdiff_t>(k % kTileSize) * t.Pitch;
  };
  uint8_t carry[kMaxRowBytes];
  std::memcpy(carry, row(2 * kTileSize - 1), rowBytes);
  for (int32_t k = 2 * kTileSize - 1; k > 0; --k) std::memcpy(row(k), row(k - 1), rowBytes);
  std::memcpy(row(0), carry, rowBytes);
}

void ScrollWater(TileSurface* tiles, int32_t topLeft, int32_t topRight, int32_t bottomLeft,
                 int32_t bottomRight) {
  if (tiles == nullptr) return;
  const int32_t numbers[4] = {topLeft, topRight, bottomLeft, bottomRight};
  LockedTile locked[4];
  for (int i = 0; i < 4; ++i) {
    const bool ok = tiles->LockTile(numbers[i], locked[i]);
    if (!ok || locked[i].Bits == nullptr) {
      if (ok) tiles->UnlockTile(numbers[i]);
      for (int j = i - 1; j >= 0; --j) tiles->UnlockTile(numbers[j]);
      return;
    }
  }
  // Left strip: top-left above bottom-left; right strip likewise. Tiles of different
  // texel sizes cannot form one strip.
  if (locked[0].RowBytes == locked[2].RowBytes) RotateWaterStrip(locked[0], locked[2]);
  if (locked[1].RowBytes == locked[3].RowBytes) RotateWaterStrip(locked[1], locked[3]);
  for (int i = 0; i < 4; ++i) tiles->UnlockTile(numbers[i]);
}

namespace {

int32_t BytesPerTexel(int32_t format) {
  switch (format) {
    case 21:
    case 22: return 4;
    case 27: return 1;
    default: return 2;  // the 16-bit formats
  }
}

}  // namespace

bool PatternTileSurface::LockTile(int32_t tile, LockedTile& locked) {
  TPatternImage* image = lookup_ ? lookup_(tile) : nullptr;
  if (image == nullptr || !image->Loaded() || image->TextureWidth() < kTileSize ||
      image->TextureHeight() < kTileSize)
    return false;
  LockedArea area;
  if (image->Lock(0, area) != 0) return false;
  locked.Bits = area.Bits;
  locked.Pitch = area.Pitch;
  locked.RowBytes = kTileSize * BytesPerTexel(image->Format());
  return true;
}

void PatternTileSurface::UnlockTile(int32_t tile) {
  if (TPatternImage* image = lookup_ ? lookup_(tile) : nullptr) image->Unlock(0);
}

void ProcessPlasma(PlasmaGrid& plasma) {
  for (auto& grid : plasma)
    for (auto& row : grid)
      for (auto& cell : row) {
        if (cell.Phase > 508) {
          cell.Phase = 0;
          cell.Rate = 1 + Random(100) / 200.0;
        } else {
          cell.Phase += cell.Rate;
        }
      }
}

void SeedPlasma(PlasmaGrid& plasma) {
  for (int32_t r = 0; r < kPlasmaRows; ++r)
    for (int32_t c = 0; c < kPlasmaColumns; ++c) {
      for (auto& grid : plasma) grid[r][c].Phase = Random(512);
      for (auto& grid : plasma) grid[r][c].Rate = Random(100) / 25.0 + 1;
    }
}

int32_t PlasmaLevel(double phase) {
  auto p = static_cast<int32_t>(phase);
  if (p >= 256) p = 511 - p;
  return Clamp(p, 0, 255);
}

}  // namespace tarq
