// Feeds arbitrary text to the tile-list reader: split into lines, trimmed, each
// non-empty line parsed. A parse error is fine; a crash, an overrun or a tile number
// outside 0..2047 passing as valid is not.
#include <cstdint>
#include <string>

#include "assets/asset_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const std::string& raw : tarq::SplitTileList(text)) {
    const std::string line = tarq::TrimTileLine(raw);
    if (line.empty()) continue;
    tarq::TileLine tile;
    std::string error;
    if (tarq::ParseTileLine(line, tile, error)) {
      if (tile.Number < 0 || tile.Number >= tarq::kTileImageCount) __builtin_trap();
      for (uint8_t cell : tile.Solidity) {
        if (cell > 2) __builtin_trap();
      }
    } else if (error.empty()) {
      __builtin_trap();  // every refusal carries a reason
    }
  }
  return 0;
}
