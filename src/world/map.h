#pragma once
// The level map, the scroll that places the 640 x 480 view on it, the animated water
// tiles and the colour cells behind the title screen.
//
// The map is 11 columns by 4096 rows of 64-pixel tiles, five layers per cell. Row 0 is
// the top of the map, where the level ends; a run starts at the bottom and the view
// moves up one pixel every second unpaused tick.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tarq {

struct Game;

constexpr int32_t kTileSize = 64;
constexpr int32_t kMapColumns = 11;
constexpr int32_t kMapRows = 4096;
constexpr int32_t kMapLayers = 5;
constexpr int32_t kDrawnRows = 9;     // 576 pixels: covers 480 at any offset within a row
constexpr int32_t kDrawnColumns = 11;
constexpr int32_t kTileCount = 2048;  // tile numbers 0 .. 2047 have images
constexpr size_t kMapFileSize = size_t{kMapRows} * kMapColumns * kMapLayers * 2;  // 450560

// ScrollY bounds: at 261631 the nine drawn rows end exactly at the bottom of the map.
constexpr int32_t kMaxScrollY = (kMapRows - kDrawnRows) * kTileSize + (kTileSize - 1);
constexpr int32_t kScrollYAtProgramStart = 131648;

// The map file, relative to the game's data folder.
inline constexpr const char* kMapFileName = "system/map.dat";

// Tile numbers per cell, [row][column][layer], fixed for the whole run once loaded.
class WorldMap {
 public:
  WorldMap() : cells_(size_t{kMapRows} * kMapColumns * kMapLayers, 0) {}

  // The tile number stored in a cell; 0 (nothing) outside the map.
  uint16_t At(int32_t row, int32_t column, int32_t layer) const {
    if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns || layer < 0 ||
        layer >= kMapLayers)
      return 0;
    return cells_[Index(row, column, layer)];
  }
  void Set(int32_t row, int32_t column, int32_t layer, uint16_t tile) {
    if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns || layer < 0 ||
        layer >= kMapLayers)
      return;
    cells_[Index(row, column, layer)] = tile;
  }
  // The tile to draw for a cell, or -1 when the cell shows nothing there: tile numbers 0
  // and 1 are empty by design, and numbers from 2048 up have no image (bad data must
  // not index past the tile table).
  int32_t DrawnTile(int32_t row, int32_t column, int32_t layer) const {
    const uint16_t t = At(row, column, layer);
    return (t >= 2 && t < kTileCount) ? t : -1;
  }

  std::vector<uint16_t>& Cells() { return cells_; }
  const std::vector<uint16_t>& Cells() const { return cells_; }

 private:
  static size_t Index(int32_t row, int32_t column, int32_t layer) {
    return (static_cast<size_t>(row) * kMapColumns + static_cast<size_t>(column)) * kMapLayers +
           static_cast<size_t>(layer);
  }
  std::vector<uint16_t> cells_;
};

// Reads the map: 4096 rows x 11 columns x 5 layers of big-endian 16-bit tile numbers,
// row 0 first; bytes after the last value are ignored. A missing, unreadable or short
// file is a start-up error: returns false with a message for the player, and leaves
// `map` unchanged.
bool LoadMap(const std::string& fileName, WorldMap& map, std::string& error);
// The same from bytes already in memory.
bool LoadMapFromBytes(std::span<const uint8_t> bytes, WorldMap& map, std::string& error);

// --- Scroll -------------------------------------------------------------------------

// Where the first drawn map row starts: the view's top row and the pixels of it that
// lie above the screen.
struct ScrollRows {
  int32_t FirstRow;
  int32_t Offset;
};
ScrollRows RowsForScroll(int32_t scrollY);

// One scroll step of the playing tick (every second unpaused tick): the water
// animation every eighth tick, the scroll itself unless something holds it, the clamp.
void ScrollStep(Game& game);

// Places ScrollX from the players at the start of each in-game frame: both players
// centre the view; a lone player pans it with its X (0 .. 640 gives 0 .. 64).
void PlaceScrollX(Game& game);

// --- Water --------------------------------------------------------------------------

// Direct access to tile pixels (32-bit) for the water animation. The game's tile
// images provide it; headless runs and tests have none or a memory stand-in.
struct LockedTile {
  uint8_t* Bits = nullptr;  // first texel of row 0
  int32_t Pitch = 0;        // bytes from one row to the next
  int32_t RowBytes = kTileSize * 4;  // bytes of one 64-texel row (32-bit texels)
};
class TileSurface {
 public:
  virtual ~TileSurface() = default;
  virtual bool LockTile(int32_t tile, LockedTile& locked) = 0;
  virtual void UnlockTile(int32_t tile) = 0;
};

class TPatternImage;

// The game's tile images as a TileSurface: each tile is one 64 x 64 texture, locked
// through the image. `lookup` gives the image of a tile number, or null.
class PatternTileSurface : public TileSurface {
 public:
  explicit PatternTileSurface(std::function<TPatternImage*(int32_t)> lookup)
      : lookup_(std::move(lookup)) {}
  bool LockTile(int32_t tile, LockedTile& locked) override;
  void UnlockTile(int32_t tile) override;

 private:
  std::function<TPatternImage*(int32_t)> lookup_;
};

// Rotates one 64-pixel-wide, 128-row strip made of two stacked 64 x 64 tiles down by one
// row: each row moves one down and the bottom row of the lower tile wraps to the top of
// the upper one, so the water flows seamlessly across both tiles.
void RotateWaterStrip(const LockedTile& top, const LockedTile& bottom);

// Animates the 2 x 2 block of water tiles; skipped when any of the four cannot be
// locked (those already locked are released) or when the tiles of a strip do not share
// one row size.
void ScrollWater(TileSurface* tiles, int32_t topLeft, int32_t topRight, int32_t bottomLeft,
                 int32_t bottomRight);

// --- Title background cells ---------------------------------------------------------

struct PlasmaCell {
  double Phase = 0.0;
  double Rate = 0.0;
};
constexpr int32_t kPlasmaRows = 8;
constexpr int32_t kPlasmaColumns = 11;
// Three grids, one per colour channel.
using PlasmaGrid = std::array<std::array<std::array<PlasmaCell, kPlasmaColumns>, kPlasmaRows>, 3>;

// Advances every cell: a phase past 508 restarts at 0 with a new rate 1.0 .. 1.495.
void ProcessPlasma(PlasmaGrid& plasma);
// The reseed when the title logo lands: for each row and column, the three phases
// Random(512), then the three rates 1 + Random(100) / 25.
void SeedPlasma(PlasmaGrid& plasma);
// The colour level 0 .. 255 a phase shows: phases from 256 fold back (p reads 511 - p).
int32_t PlasmaLevel(double phase);

}  // namespace tarq
