#pragma once
// Number conventions of the game: rounding is to the nearest integer with halves to
// even, and integer division truncates toward zero with the matching remainder.
#include <cmath>
#include <cstdint>

namespace tarq {

// Nearest integer, halves to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline int64_t RoundEven(double v) {
  return static_cast<int64_t>(std::nearbyint(v));  // default FE_TONEAREST rounding mode
}
inline int32_t Round(double v) { return static_cast<int32_t>(RoundEven(v)); }

// Truncating division and its remainder (the sign follows the dividend), as C++ does;
// named so game code reads like its rules.
constexpr int64_t Div(int64_t a, int64_t b) { return a / b; }
constexpr int64_t Mod(int64_t a, int64_t b) { return a % b; }

template <typename T>
constexpr T Clamp(T v, T lo, T hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace tarq
