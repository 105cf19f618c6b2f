// The playing field at full enemy load with the ground mixed in: two players firing,
// 200 live enemies (half aircraft, half ground, sea and installation kinds: tanks with
// their track marks, trains, guns, doors, hovercraft, splashes ...), 300 enemy bullets,
// 300 player bullets and 100 explosions. Targets: at least 50,000 playing ticks per
// second, and at least 100 in-game frames per second on the software back end, each on
// one core.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "enemy_bench_scene.h"

namespace tarq {
namespace {

using bench::StartFiringPlayers;

void LoadMixedScene(Game& game) {
  StartFiringPlayers(game, 23);
  static constexpr int32_t kAir[] = {0, 3, 5, 8, 9, 12, 16, 18, 24, 29, 30, 31, 38, 39, 41, 45, 97, 2};
  // Ground kinds awake and busy (IntA 20, intervals of 30 where they take one), in the
  // proportions of a busy stretch of the level: many tanks, jeeps, guns and small units,
  // one of each big piece (big gun, hatch cannon, tech doors, hovercraft, dome, the big
  // tank's hatch and hull).
  static constexpr int32_t kGround[] = {1, 25, 4, 26, 90, 19, 20, 22, 23, 27, 32, 34, 37, 10};
  static constexpr int32_t kBigPieces[] = {6, 21, 28, 36, 43, 98, 99, 35};
  for (int32_t i = 0; game.EnemyList.size() < 200; ++i) {
    const bool air = i % 2 == 0;
    const size_t g = static_cast<size_t>(i / 2);
    const int32_t kind = air                        ? kAir[g % std::size(kAir)]
                         : g < std::size(kBigPieces) ? kBigPieces[g]
                                                     : kGround[g % std::size(kGround)];
    const int32_t x = 40 + (i * 97) % 620 + game.ScrollX;
    const int32_t y = 20 + (i * 41) % 440 + game.ScrollY;
    const int32_t intB = air ? 0 : 30;
    const int32_t intC = air ? (kind == 31 ? 0 : 40) : 30;  // no loopy chains
    // No train carriages and no water-thing columns: every record is counted here.
    Enemy_Add(game, x, y, static_cast<ByteAngle>(i * 13), kind, 0, 0, 0, 20, intB, intC, 1000);
  }
  // Some ticks into the scene, so the ground kinds are risen, open and firing (with
  // their track marks, shells, splashes and launches).
  for (int i = 0; i < 120; ++i) {
    for (PlayerRecord& p : game.Players) {
      p.ShieldTime = 1000;
      p.Energy = 1000;
    }
    Timer1Process(game);
  }
  // Then the bullet and effects load of the scene.
  game.EnemyBullets.clear();
  game.PlayerBullets.clear();
  game.Explosions.clear();
  bench::AddBulletsAndExplosions(game);
}

void BM_PlayingTickWithGroundEnemies(benchmark::State& state) { bench::PlayingTickBenchmark(state, LoadMixedScene); }
BENCHMARK(BM_PlayingTickWithGroundEnemies);

void BM_PlayingFrameWithGroundEnemiesSoftware(benchmark::State& state) {
  bench::SoftwareFrameBenchmark(state, LoadMixedScene, 0);
}
BENCHMARK(BM_PlayingFrameWithGroundEnemiesSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
