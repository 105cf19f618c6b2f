#pragma once
// What the enemy benchmarks share: two players firing at full power over the middle of
// the map, the playing tick over a constant load, and the in-game frame of a scene.
#include <algorithm>
#include <memory>

#include "software_frame.h"
#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"
#include "gfx/draw_device.h"
#include "render/frame.h"

namespace tarq::bench {

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

// The bullet and effects load of a scene: 300 enemy bullets, 300 player bullets and 100
// explosions of the sizes play makes (mostly small bullet hits, some deaths). Player
// bullets are placed in flight between the enemies: as in play, a bullet that overlaps
// an enemy is spent on the tick it gets there, so the 300 on the field are the ones
// that have not hit yet.
inline void AddBulletsAndExplosions(Game& game) {
  for (int32_t i = 0; i < 300; ++i) {
    EnemyBullet b;
    b.X = game.ScrollX + 10 + (i * 43) % 620;
    b.Y = game.ScrollY + 10 + (i * 71) % 460;
    b.Angle = (i * 11) % 256;
    b.Speed = 3;
    b.Image = 1;
    game.EnemyBullets.push_back(b);
  }
  auto clear = [&](double x, double y) {
    for (const EnemyRecord& e : game.EnemyList) {
      if (!e.Solid || e.Dead) continue;
      const double dx = x + game.ScrollX - e.X, dy = y + game.ScrollY - e.Y;
      const double reach = std::max({e.Radius, e.HalfWidth, e.HalfHeight}) + 12.0;
      if (dx * dx + dy * dy < reach * reach) return false;
    }
    return true;
  };
  for (int32_t i = 0, k = 0; i < 300; ++k) {
    PlayerBullet b;
    b.X = 20 + (k * 37) % 600 + (k / 600) * 3;
    b.Y = 20 + (k * 53) % 440;
    if (!clear(b.X, b.Y) && k < 100000) continue;
    ++i;
    b.Angle = (i * 7) % 256;
    b.Speed = kPlayerBulletSpeed;
    b.Owner = i % 2;
    game.PlayerBullets.push_back(b);
  }
  for (int32_t i = 0; i < 100; ++i)
    Explosion_Add(game, (i * 61) % 640, (i * 29) % 480, 64 + (i * 53) % 448, 1 + i % 2);
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

// Times the in-game frame of the scene `load` makes, after `warmTicks` ticks.
inline void SoftwareFrameBenchmark(benchmark::State& state, void (*load)(Game&), int warmTicks) {
  TimeSoftwareFrames(state, [&](Game& game) {
    load(game);
    for (int i = 0; i < warmTicks; ++i) Timer1Process(game);
    state.counters["enemies"] = static_cast<double>(game.EnemyList.size());
    state.counters["enemy_bullets"] = static_cast<double>(game.EnemyBullets.size());
  });
}

}  // namespace tarq::bench
