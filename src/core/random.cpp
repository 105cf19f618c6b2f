#include "core/random.h"

#include <chrono>

namespace tarq {

void RandomGenerator::Seed(uint64_t seed) {
  state_ = 0;
  inc_ = (seed << 1u) | 1u;
  Next();
  state_ += 0x853c49e6748fea9bULL ^ seed;
  Next();
}

uint32_t RandomGenerator::Next() {
  const uint64_t old = state_;
  state_ = old * 6364136223846793005ULL + inc_;
  const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  const auto rot = static_cast<uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
}

int32_t RandomGenerator::Below(int32_t n) {
  if (n <= 0) return 0;
  // Multiply-shift maps 32 random bits onto 0 .. n - 1 without a modulo bias worth noting.
  return static_cast<int32_t>((static_cast<uint64_t>(Next()) * static_cast<uint64_t>(n)) >> 32);
}

namespace {
RandomGenerator& GameGenerator() {
  static RandomGenerator g(1);
  return g;
}
RandomGenerator& VisualGenerator() {
  static RandomGenerator g(0x5EED);
  return g;
}
}  // namespace

int32_t Random(int32_t n) { return GameGenerator().Below(n); }
void SeedRandom(uint64_t seed) { GameGenerator().Seed(seed); }
uint64_t SeedRandomFromClock() {
  const auto seed = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  SeedRandom(seed);
  return seed;
}
int32_t VisualRandom(int32_t n) { return VisualGenerator().Below(n); }

}  // namespace tarq
