#pragma once
// Byte angles: 256 steps make a full turn, 0 = up, 64 = right, 128 = down, 192 = left.
// Moving a distance d along heading a adds (d * SinTable[a], -d * CosTable[a]).
#include <array>
#include <cstdint>

namespace tarq {

using ByteAngle = uint8_t;

extern std::array<double, 256> SinTable;
extern std::array<double, 256> CosTable;

// Fills SinTable and CosTable with the sine and cosine of i * 360 / 256 degrees.
void FillAngleTables();

// Reduces any integer angle to a byte angle (negative values wrap).
constexpr ByteAngle ToByteAngle(int64_t a) { return static_cast<ByteAngle>(a & 0xFF); }

}  // namespace tarq
