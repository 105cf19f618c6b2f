// Frames per second of the software back end drawing a heavy game frame:
// 495 tile quads (9 x 11 x 5 layers of 64 x 64, layer 0 opaque, the rest alpha
// blended), 150 rotated 64 x 64 sprites with bilinear filtering, 30 additive 128 x 128
// glows, one nuke glow at 40 times its size and 40 lines of 20 small text quads.
// Set TARQ_BENCH_PICTURE=<file.png> to save the frame for a look.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "gfx/draw_device.h"
#include "heavy_frame_scene.h"

namespace tarq {
namespace {

// The software back end at the chosen bit depth; a device that fails here is a broken build.
bench::HeavyFrameScene SoftwareScene(bool low_bit_depth) {
  auto device = std::make_unique<TDrawDevice>();
  device->SetHardware(false);
  device->SetBitDepth(low_bit_depth ? bd_Low : bd_High);
  bench::HeavyFrameScene scene(std::move(device));
  if (!scene.ok) std::abort();
  return scene;
}

void BM_SoftwareHeavyFrame(benchmark::State& state) {
  bench::HeavyFrameScene scene = SoftwareScene(state.range(0) != 0);
  for (auto _ : state) scene.Draw();
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
  if (const char* path = std::getenv("TARQ_BENCH_PICTURE"); path != nullptr && state.range(0) == 0) {
    scene.device->SaveScreenshot(path);
  }
}
BENCHMARK(BM_SoftwareHeavyFrame)->Arg(0)->Arg(1)->ArgName("low_bit_depth")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
