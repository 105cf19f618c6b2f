// The playing field at full enemy load: two players firing, 200 live enemies of mixed
// kinds, 300 enemy bullets, 300 player bullets and 100 explosions. Targets: at least
// 50,000 playing ticks per second, and at least 100 in-game frames per second on the
// software back end, each on one core.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "assets/asset_loader.h"
#include "gfx/draw_device.h"
#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"
#include "render/frame.h"

#ifndef TARQ_DATA_DIR
#define TARQ_DATA_DIR "build/data"
#endif

namespace tarq {
namespace {

std::string DataDir() {
  const char* env = std::getenv("TARQ_DATA");
  return env != nullptr ? env : TARQ_DATA_DIR;
}

// Fills `game` with the loaded scene; the scroll is somewhere in the middle of the map.
void LoadScene(Game& game) {
  FillAngleTables();
  SeedRandom(17);
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
  static constexpr int32_t kKinds[] = {0, 3, 5, 8, 9, 12, 16, 18, 24, 29, 30, 31, 38, 39, 41, 45, 97, 253, 255, 2};
  for (int32_t i = 0; i < 200; ++i) {
    const int32_t kind = kKinds[static_cast<size_t>(i) % std::size(kKinds)];
    const int32_t x = 40 + (i * 97) % 620 + game.ScrollX;
    const int32_t y = 20 + (i * 41) % 440 + game.ScrollY;
    const int32_t intC = kind == 31 ? 0 : 40;  // a single loopy, not the head of a chain
    Enemy_Add(game, x, y, static_cast<ByteAngle>(i * 13), kind, 0, 0, 0, 20, 0, intC, 1000);
  }
  for (int32_t i = 0; i < 300; ++i) {
    EnemyBullet b;
    b.X = game.ScrollX + 10 + (i * 43) % 620;
    b.Y = game.ScrollY + 10 + (i * 71) % 460;
    b.Angle = (i * 11) % 256;
    b.Speed = 3;
    b.Image = 1;
    game.EnemyBullets.push_back(b);
  }
  // Bullets in flight between the enemies: as in play, a bullet that overlaps an enemy
  // is spent on the tick it gets there, so the 300 on the field are the ones that
  // have not hit yet (a few do on each tick).
  auto clear = [&](double x, double y) {
    for (const EnemyRecord& e : game.EnemyList) {
      const double dx = x + game.ScrollX - e.X, dy = y + game.ScrollY - e.Y;
      if (dx * dx + dy * dy < (e.Radius + 12.0) * (e.Radius + 12.0)) return false;
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
  // Explosions of the sizes play makes: mostly small bullet hits, some deaths.
  for (int32_t i = 0; i < 100; ++i)
    Explosion_Add(game, (i * 61) % 640, (i * 29) % 480, 64 + (i * 53) % 448, 1 + i % 2);
}

void BM_PlayingTickWithEnemies(benchmark::State& state) {
  auto game = std::make_unique<Game>();
  LoadScene(*game);
  const auto enemies = game->EnemyList;
  const auto enemyBullets = game->EnemyBullets;
  const auto playerBullets = game->PlayerBullets;
  const auto explosions = game->Explosions;
  const int32_t scrollY = game->ScrollY;
  for (auto _ : state) {
    // Keep the load constant: every list goes back to its full size each tick.
    game->EnemyList.assign(enemies.begin(), enemies.end());
    game->EnemyBullets.assign(enemyBullets.begin(), enemyBullets.end());
    game->PlayerBullets.assign(playerBullets.begin(), playerBullets.end());
    game->Explosions.assign(explosions.begin(), explosions.end());
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
}
BENCHMARK(BM_PlayingTickWithEnemies);

void BM_PlayingFrameWithEnemiesSoftware(benchmark::State& state) {
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
  LoadScene(*game);
  // A few ticks so that every kind shows its moving state (rotors, glows, frames).
  for (int i = 0; i < 4; ++i) Timer1Process(*game);
  DeviceFrameCanvas canvas(device, assets);
  for (auto _ : state) Timer1Render(*game, &canvas);
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["enemies"] = static_cast<double>(game->EnemyList.size());
  state.counters["enemy_bullets"] = static_cast<double>(game->EnemyBullets.size());
  ReleaseGraphics(assets, nullptr);
  device.Finalize();
}
BENCHMARK(BM_PlayingFrameWithEnemiesSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
