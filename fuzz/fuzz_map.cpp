// Feeds arbitrary bytes to the map reader, then asks for the drawn tile of every row
// and column it can address. A refused file is fine; crashes and overruns are not.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "world/map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto map = std::make_unique<tarq::WorldMap>();
  std::string error;
  if (!tarq::LoadMapFromBytes(std::span<const uint8_t>(data, size), *map, error)) {
    if (error.empty()) __builtin_trap();  // every refusal carries a reason
    return 0;
  }
  volatile int32_t sum = 0;
  for (int32_t row = -1; row <= tarq::kMapRows; row += 97) {
    for (int32_t column = -1; column <= tarq::kMapColumns; ++column) {
      for (int32_t layer = 0; layer < tarq::kMapLayers; ++layer) sum += map->DrawnTile(row, column, layer);
    }
  }
  return 0;
}
