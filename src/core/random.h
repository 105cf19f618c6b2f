#pragma once
// Random numbers. The simulation draws from one generator (Random), seeded from the
// clock at start-up or fixed for tests and the headless runner, so a run is
// reproducible from its seed and input script. Purely visual randomness (such as the
// armour flicker) draws from VisualRandom, which never disturbs the simulation.
#include <cstdint>

namespace tarq {

// A small, fast, well-distributed generator (PCG32).
class RandomGenerator {
 public:
  explicit RandomGenerator(uint64_t seed = 0) { Seed(seed); }
  void Seed(uint64_t seed);
  uint32_t Next();
  // Uniform integer 0 .. n - 1; 0 for n <= 0.
  int32_t Below(int32_t n);

 private:
  uint64_t state_ = 0;
  uint64_t inc_ = 1;
};

// The game's generator: Random(n) is a uniform integer 0 .. n - 1, Random(0) is 0.
int32_t Random(int32_t n);
void SeedRandom(uint64_t seed);
// Seeds from the wall clock, as the game does at start-up; returns the seed used.
uint64_t SeedRandomFromClock();

// Generator for effects that only change how a frame looks.
int32_t VisualRandom(int32_t n);

}  // namespace tarq
