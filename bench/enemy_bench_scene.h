#pragma once
// What the enemy benchmarks share: the forged data folder, two players firing at full
// power over the middle of the map, and the in-game frame of a scene drawn on the
// software back end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "assets/asset_loader.h"
#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"
#include "gfx/draw_device.h"
#include "render/frame.h"

#ifndef TARQ_DATA_DIR
#define TARQ_DATA_DIR "build/data"
#endif

namespace tarq::bench {

inline std::string DataDir() {
  const char* env = std::getenv("TARQ_DATA");
  return env != nullptr ? env : TARQ_DATA_DIR;
}

// A run of two players at the fifth weapon level and fire rate, spread, holding Fire.
inline void StartFiringPlayers(Game& game, uint64_t seed) {
  FillAngleTables();
  SeedRandom(seed);
  game.ScreenState = kScreenTitle;
  StartRun(game, 0);
  StartRun(game, 1);
  game.ScrollY = 200000;
  game.ScrollX = 32;
  for (size_t i = 0; i < 2; ++i) {
    PlayerRecord& p = game.Players[i];
    p.WeaponLevel = 5;
    p.FireRate = 5;
    p.Spread = 3;
    p.X = 200.0 + 240.0 * static_cast<double>(i);
    p.Altitude = 256;
    game.Controls[i].FireHeld = 1;
  }
}

// Times the playing tick over the scene `load` makes, with every list put back to its
// full size before each tick so the load stays constant.
inline void PlayingTickBenchmark(benchmark::State& state, void (*load)(Game&)) {
  auto game = std::make_unique<Game>();
  load(*game);
  const auto enemies = game->EnemyList;
  const auto enemyBullets = game->EnemyBullets;
  const auto playerBullets = game->PlayerBullets;
  const auto explosions = game->Explosions;
  const auto linkSpeeds = game->LinkSpeeds;
  const int32_t scrollY = game->ScrollY;
  for (auto _ : state) {
    game->EnemyList.assign(enemies.begin(), enemies.end());
    game->EnemyBullets.assign(enemyBullets.begin(), enemyBullets.end());
    game->PlayerBullets.assign(playerBullets.begin(), playerBullets.end());
    game->Explosions.assign(explosions.begin(), explosions.end());
    game->LinkSpeeds = linkSpeeds;
    game->ScrollY = scrollY;
    for (PlayerRecord& p : game->Players) {
      p.ShieldTime = 1000;
      p.Energy = 1000;
    }
    game->TickCount += 1;
    PlayingTick(*game);
    benchmark::DoNotOptimize(game->EnemyList.data());
  }
  state.counters["ticks_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["enemies"] = static_cast<double>(enemies.size());
}

// Times the in-game frame of the scene `load` makes, after `warmTicks` ticks, on the
// software back end with the forged sprites, tiles and map.
inline void SoftwareFrameBenchmark(benchmark::State& state, void (*load)(Game&), int warmTicks) {
  TDrawDevice device;
  device.SetHardware(false);
  device.SetBitDepth(bd_High);
  if (device.Initialize() != 0) {
    state.SkipWithError("software device failed");
    return;
  }
  GameAssets assets;
  AssetLoaderContext ctx;
  ctx.Device = &device;
  ctx.Root = DataDir();
  auto game = std::make_unique<Game>();
  std::string error;
  if (!LoadGraphics(assets, ctx).Ok || !LoadMap(DataDir() + "/system/map.dat", game->Map, error)) {
    state.SkipWithError("no forged data (set TARQ_DATA to the data folder)");
    ReleaseGraphics(assets, nullptr);
    return;
  }
  for (const TSpriteImage& s : assets.SpriteImage) game->SpriteNames.push_back(s.Name);
  load(*game);
  for (int i = 0; i < warmTicks; ++i) Timer1Process(*game);
  DeviceFrameCanvas canvas(device, assets);
  for (auto _ : state) Timer1Render(*game, &canvas);
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["enemies"] = static_cast<double>(game->EnemyList.size());
  state.counters["enemy_bullets"] = static_cast<double>(game->EnemyBullets.size());
  ReleaseGraphics(assets, nullptr);
  device.Finalize();
}

}  // namespace tarq::bench
