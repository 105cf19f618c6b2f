// The menu screens on the software back end: the title with its colour-cell backdrop
// (88 glowing cells, each up to five times the size of its image, added to the frame)
// and the landed logo's menu, and the in-game menu with its spectrum over the field.
// Target: at least 60 frames per second on one core, as for the in-game frame; the
// title frame under 13 ms (75 frames per second with room to spare). Run pinned to one
// core (taskset -c 0) and read the CPU column when the machine is busy.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "assets/asset_loader.h"
#include "gfx/draw_device.h"
#include "core/random.h"
#include "game/game.h"
#include "game/menus.h"
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

// Runs `prepare` on a fresh game with the forged graphics loaded, then times frames.
template <typename Prepare>
void TimeFrames(benchmark::State& state, Prepare prepare) {
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
  if (!LoadGraphics(assets, ctx).Ok || !LoadMap(DataDir() + "/system/map.dat", game->Map, error)) {
    state.SkipWithError("no forged data (set TARQ_DATA to the data folder)");
    ReleaseGraphics(assets, nullptr);
    return;
  }
  prepare(*game);
  DeviceFrameCanvas canvas(device, assets);
  for (auto _ : state) Timer1Render(*game, &canvas);
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  ReleaseGraphics(assets, nullptr);
  device.Finalize();
}

void BM_TitleScreenSoftware(benchmark::State& state) {
  TimeFrames(state, [](Game& game) {
    game.ScreenState = kScreenTitle;
    ResetTitle(game);
    // Landed, the flash over, the backdrop and the menu showing.
    for (int i = 0; i < 600; ++i) Timer1Process(game);
  });
}
BENCHMARK(BM_TitleScreenSoftware)->Unit(benchmark::kMillisecond);

void BM_InGameMenuSoftware(benchmark::State& state) {
  TimeFrames(state, [](Game& game) {
    StartRun(game, 0);
    game.InGameMenuOpen = true;
    game.Paused = true;
    for (int i = 0; i < 40; ++i) Timer1Process(game);
    for (size_t k = 0; k < game.SpectrumData.size(); ++k)
      game.SpectrumData[k] = 0.002f + 0.03f / static_cast<float>(1 + k / 8);
  });
}
BENCHMARK(BM_InGameMenuSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
