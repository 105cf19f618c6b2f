#pragma once
// Colours are 32-bit 0xAABBGGRR: red in the lowest byte, then green, blue and alpha.
// 0xFFFFFF is white (an untinted draw).
#include <cstdint>

namespace tarq {

using Colour = uint32_t;

constexpr Colour kWhite = 0xFFFFFF;

constexpr uint8_t ColourR(Colour c) { return c & 0xFF; }
constexpr uint8_t ColourG(Colour c) { return (c >> 8) & 0xFF; }
constexpr uint8_t ColourB(Colour c) { return (c >> 16) & 0xFF; }
constexpr uint8_t ColourA(Colour c) { return (c >> 24) & 0xFF; }
constexpr Colour MakeColour(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16) |
         (static_cast<Colour>(a) << 24);
}

}  // namespace tarq
