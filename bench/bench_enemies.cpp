// The playing field at full enemy load: two players firing, 200 live enemies of mixed
// kinds, 300 enemy bullets, 300 player bullets and 100 explosions. Targets: at least
// 50,000 playing ticks per second, and at least 100 in-game frames per second on the
// software back end, each on one core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "enemy_bench_scene.h"

namespace tarq {
namespace {

using bench::StartFiringPlayers;

// Fills `game` with the loaded scene; the scroll is somewhere in the middle of the map.
void LoadScene(Game& game) {
  StartFiringPlayers(game, 17);
  static constexpr int32_t kKinds[] = {0, 3, 5, 8, 9, 12, 16, 18, 24, 29, 30, 31, 38, 39, 41, 45, 97, 253, 255, 2};
  for (int32_t i = 0; i < 200; ++i) {
    const int32_t kind = kKinds[static_cast<size_t>(i) % std::size(kKinds)];
    const int32_t x = 40 + (i * 97) % 620 + game.ScrollX;
    const int32_t y = 20 + (i * 41) % 440 + game.ScrollY;
    const int32_t intC = kind == 31 ? 0 : 40;  // a single loopy, not the head of a chain
    Enemy_Add(game, x, y, static_cast<ByteAngle>(i * 13), kind, 0, 0, 0, 20, 0, intC, 1000);
  }
  bench::AddBulletsAndExplosions(game);
}

void BM_PlayingTickWithEnemies(benchmark::State& state) { bench::PlayingTickBenchmark(state, LoadScene); }
BENCHMARK(BM_PlayingTickWithEnemies);

void BM_PlayingFrameWithEnemiesSoftware(benchmark::State& state) {
  bench::SoftwareFrameBenchmark(state, LoadScene, 4);
}
BENCHMARK(BM_PlayingFrameWithEnemiesSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
