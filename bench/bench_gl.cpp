// The heavy game frame of heavy_frame_scene.h drawn through the OpenGL back end:
// 495 tile quads (9 x 11 x 5 layers of 64 x 64, layer 0 opaque, the rest alpha
// blended), 150 rotated 64 x 64 sprites with bilinear filtering, 30 additive 128 x 128
// glows, one nuke glow at 40 times its size and 40 lines of 20 small text quads.
//
//   BM_GlHeavyFrameSubmit   CPU time of this thread per frame: the device, our GL back
//                           end and whatever the GL driver does inside our calls (an
//                           upper bound of our own GL-side work; the target is 1 ms).
//   BM_GlHeavyFrameFinished wall time per frame including glFinish: the whole frame,
//                           driver rasterisation (Mesa's llvmpipe threads) included.
//   BM_DeviceOnlyHeavyFrame the same frame into a back end that does nothing: the
//                           device's batching and geometry alone.
// Skipped (with a message) when no OpenGL 3.3 context can be had. Runs on SDL's
// offscreen video driver unless SDL_VIDEODRIVER says otherwise.
// Set TARQ_BENCH_PICTURE=<file.png> to save the OpenGL frame for a look.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/draw_device.h"
#include "gfx/gl_backend.h"
#include "heavy_frame_scene.h"

namespace tarq {
namespace {

// Accepts every call and draws nothing.
class NullBackend : public DrawBackend {
 public:
  int32_t OpenDisplay() override { return 0; }
  int32_t CreateDevice(const BackendSettings&) override { return 0; }
  void Close() override {}
  bool Reset() override { return true; }
  TextureHandle CreateTexture(int32_t width, int32_t height, int32_t) override {
    texels_.emplace_back(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    widths_.push_back(width);
    return static_cast<TextureHandle>(texels_.size());
  }
  void DestroyTexture(TextureHandle) override {}
  bool LockTexture(TextureHandle t, LockedArea& area) override {
    area.Bits = texels_[t - 1].data();
    area.Pitch = widths_[t - 1] * 4;
    return true;
  }
  bool UnlockTexture(TextureHandle) override { return true; }
  bool BindTexture(TextureHandle) override { return true; }
  bool SetBlend(int32_t) override { return true; }
  bool SetAlphaSource(bool) override { return true; }
  bool SetFilter(bool) override { return true; }
  bool SetDithering(bool) override { return true; }
  bool SetViewport(int32_t, int32_t, int32_t, int32_t) override { return true; }
  bool BeginScene() override { return true; }
  bool EndScene() override { return true; }
  bool UploadVertices(const DrawVertex* v, int32_t n) override {
    benchmark::DoNotOptimize(v);
    benchmark::DoNotOptimize(n);
    return true;
  }
  bool DrawPrimitives(Primitive, int32_t) override { return true; }
  bool Clear(uint32_t) override { return true; }
  PresentResult Present() override { return PresentResult::Ok; }
  bool ReadFrame(std::vector<uint32_t>&, int32_t&, int32_t&) override { return false; }

 private:
  std::vector<std::vector<uint8_t>> texels_;
  std::vector<int32_t> widths_;
};

// Which back end draws: OpenGL, or none at all (the device's own work alone).
bench::HeavyFrameScene MakeScene(bool opengl, bool low_bit_depth) {
  auto device = std::make_unique<TDrawDevice>();
  device->SetBitDepth(low_bit_depth ? bd_Low : bd_High);
  device->SetBackendFactory([opengl](bool) -> std::unique_ptr<DrawBackend> {
    if (opengl) return std::make_unique<GlBackend>();
    return std::make_unique<NullBackend>();
  });
  return bench::HeavyFrameScene(std::move(device));
}

// The first frames make the driver compile its shader variants; they are not part of
// the steady state being measured.
void WarmUp(bench::HeavyFrameScene& scene) {
  for (int i = 0; i < 3; ++i) {
    scene.Draw();
    static_cast<GlBackend*>(scene.device->Backend())->Finish();
  }
}

void UseOffscreenVideo() {
  if (std::getenv("SDL_VIDEODRIVER") == nullptr) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
}

void BM_GlHeavyFrameSubmit(benchmark::State& state) {
  UseOffscreenVideo();
  bench::HeavyFrameScene scene = MakeScene(true, state.range(0) != 0);
  if (!scene.ok) {
    state.SkipWithError("no OpenGL 3.3 context");
    return;
  }
  auto* gl = static_cast<GlBackend*>(scene.device->Backend());
  state.SetLabel(gl->RendererName());
  WarmUp(scene);
  for (auto _ : state) {
    scene.Draw();
    state.PauseTiming();  // the driver finishes the frame outside the measurement
    gl->Finish();
    state.ResumeTiming();
  }
  if (const char* path = std::getenv("TARQ_BENCH_PICTURE"); path != nullptr && state.range(0) == 0) {
    scene.device->SaveScreenshot(path);
  }
}
BENCHMARK(BM_GlHeavyFrameSubmit)->Arg(0)->Arg(1)->ArgName("low_bit_depth")->Unit(benchmark::kMillisecond);

void BM_GlHeavyFrameFinished(benchmark::State& state) {
  UseOffscreenVideo();
  bench::HeavyFrameScene scene = MakeScene(true, state.range(0) != 0);
  if (!scene.ok) {
    state.SkipWithError("no OpenGL 3.3 context");
    return;
  }
  auto* gl = static_cast<GlBackend*>(scene.device->Backend());
  WarmUp(scene);
  for (auto _ : state) {
    scene.Draw();
    gl->Finish();
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GlHeavyFrameFinished)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("low_bit_depth")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_DeviceOnlyHeavyFrame(benchmark::State& state) {
  bench::HeavyFrameScene scene = MakeScene(false, false);
  if (!scene.ok) {
    state.SkipWithError("device did not initialise");
    return;
  }
  for (auto _ : state) scene.Draw();
}
BENCHMARK(BM_DeviceOnlyHeavyFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
