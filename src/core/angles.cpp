#include "core/angles.h"

#include <cmath>
#include <numbers>

namespace tarq {

std::array<double, 256> SinTable{};
std::array<double, 256> CosTable{};

void FillAngleTables() {
  for (int i = 0; i < 256; ++i) {
    const double radians = i * 360.0 / 256.0 * std::numbers::pi / 180.0;
    SinTable[i] = std::sin(radians);
    CosTable[i] = std::cos(radians);
  }
}

}  // namespace tarq
