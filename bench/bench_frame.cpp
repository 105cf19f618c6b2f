// The in-game frame on the software back end: the map, two helicopters, bullets,
// explosions, flares and the HUD. Target: at least 60 frames per second on one core.
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

// The forged data folder: TARQ_DATA (environment) or the build's data folder.
std::string DataDir() {
  const char* env = std::getenv("TARQ_DATA");
  return env != nullptr ? env : TARQ_DATA_DIR;
}

void BM_PlayingFrameSoftware(benchmark::State& state) {
  FillAngleTables();
  SeedRandom(5);
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
  if (!LoadGraphics(assets, ctx).Ok ||
      !LoadMap(DataDir() + "/system/map.dat", game->Map, error)) {
    state.SkipWithError("no forged data (set TARQ_DATA to the data folder)");
    ReleaseGraphics(assets, nullptr);
    return;
  }
  game->ScreenState = kScreenTitle;
  StartRun(*game, 0);
  StartRun(*game, 1);
  for (ControlState& c : game->Controls) c.FireHeld = 1;
  game->Players[0].WeaponLevel = game->Players[1].WeaponLevel = 5;
  game->Players[0].Nukes = game->Players[1].Nukes = 5;
  for (int i = 0; i < 120; ++i) {
    Timer1Render(*game, nullptr);
    Timer1Process(*game);
  }
  for (int i = 0; i < 40; ++i) Explosion_Add(*game, (i * 61) % 640, (i * 29) % 480, 384, 1);
  DeviceFrameCanvas canvas(device, assets);
  for (auto _ : state) Timer1Render(*game, &canvas);
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  ReleaseGraphics(assets, nullptr);
  device.Finalize();
}
BENCHMARK(BM_PlayingFrameSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
