// One playing tick under load: two players holding Fire at weapon level 5, with 300
// player bullets and 100 explosions on the field. Target: at least 20,000 ticks per
// second headless.
#include <benchmark/benchmark.h>

#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"

namespace tarq {
namespace {

Game LoadedField() {
  FillAngleTables();
  SeedRandom(11);
  Game game;
  game.ScreenState = kScreenTitle;
  StartRun(game, 0);
  StartRun(game, 1);
  for (size_t i = 0; i < 2; ++i) {
    PlayerRecord& p = game.Players[i];
    p.WeaponLevel = 5;
    p.FireRate = 5;
    p.Spread = 3;
    p.X = 200.0 + 240.0 * static_cast<double>(i);
    game.Controls[i].FireHeld = 1;
  }
  for (int i = 0; i < 300; ++i) {
    PlayerBullet b;
    b.X = 20 + (i * 37) % 600;
    b.Y = 20 + (i * 53) % 440;
    b.Angle = (i * 7) % 256;
    b.Speed = kPlayerBulletSpeed;
    b.Owner = i % 2;
    game.PlayerBullets.push_back(b);
  }
  for (int i = 0; i < 100; ++i) Explosion_Add(game, (i * 61) % 640, (i * 29) % 480, 512, 1 + i % 2);
  return game;
}

void BM_PlayingTickUnderLoad(benchmark::State& state) {
  Game game = LoadedField();
  const std::vector<PlayerBullet> bullets = game.PlayerBullets;
  const std::vector<ExplosionRecord> explosions = game.Explosions;
  for (auto _ : state) {
    // Keep the load constant: the lists go back to 300 bullets and 100 explosions.
    game.PlayerBullets.assign(bullets.begin(), bullets.end());
    game.Explosions.assign(explosions.begin(), explosions.end());
    game.Players[0].ShieldTime = game.Players[1].ShieldTime = 1000;
    game.TickCount += 1;
    PlayingTick(game);
    benchmark::DoNotOptimize(game.PlayerBullets.data());
  }
  state.counters["ticks_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlayingTickUnderLoad);

}  // namespace
}  // namespace tarq
