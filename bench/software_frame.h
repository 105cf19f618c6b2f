#pragma once
// What the frame benchmarks share: the forged data folder, and timing the frames of a
// game on the software back end with the forged sprites, tiles and map loaded.
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

// The forged data folder: TARQ_DATA (environment) or the build's data folder.
inline std::string DataDir() {
  const char* env = std::getenv("TARQ_DATA");
  return env != nullptr ? env : TARQ_DATA_DIR;
}

// Runs `prepare` on a fresh game with the forged graphics and map loaded, then times
// Timer1Render on the software back end. `prepare` may add its own counters.
template <typename Prepare>
void TimeSoftwareFrames(benchmark::State& state, Prepare prepare) {
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
  prepare(*game);
  DeviceFrameCanvas canvas(device, assets);
  for (auto _ : state) Timer1Render(*game, &canvas);
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  ReleaseGraphics(assets, nullptr);
  device.Finalize();
}

}  // namespace tarq::bench
