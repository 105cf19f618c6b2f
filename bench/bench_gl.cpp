// The heavy game frame of bench_draw_device.cpp drawn through the OpenGL back end:
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

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "assets/draw_device.h"
#include "assets/gl_backend.h"
#include "assets/png_io.h"

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

// A one-texture image cut into equal patterns, as pattern images are.
class BenchImage : public DrawableImage {
 public:
  BenchImage(TDrawDevice& d, int32_t tw, int32_t th, int32_t pw, int32_t ph,
             const std::vector<uint32_t>& texels)
      : tw_(tw), th_(th), pw_(pw), ph_(ph) {
    texture_ = d.CreateTexture(tw, th, 21);
    LockedArea area;
    if (d.LockTexture(texture_, area)) {
      for (int32_t y = 0; y < th; ++y) {
        std::memcpy(area.Bits + static_cast<size_t>(y) * area.Pitch, &texels[static_cast<size_t>(y * tw)],
                    static_cast<size_t>(tw) * 4);
      }
      d.UnlockTexture(texture_);
    }
  }
  int32_t DrawPatternWidth() const override { return pw_; }
  int32_t DrawPatternHeight() const override { return ph_; }
  bool SelectPattern(int32_t p, bool mirror, bool flip, TextureHandle& t, QuadTemplate& q) override {
    const int32_t per_row = tw_ / pw_, count = per_row * (th_ / ph_);
    p = p < 0 ? 0 : (p >= count ? count - 1 : p);
    float l = static_cast<float>(p % per_row * pw_) / tw_, r = l + static_cast<float>(pw_) / tw_;
    float top = static_cast<float>(p / per_row * ph_) / th_, b = top + static_cast<float>(ph_) / th_;
    if (mirror) std::swap(l, r);
    if (flip) std::swap(top, b);
    q.Corner[kCornerTL].u = l;
    q.Corner[kCornerTL].v = top;
    q.Corner[kCornerTR].u = r;
    q.Corner[kCornerTR].v = top;
    q.Corner[kCornerBL].u = l;
    q.Corner[kCornerBL].v = b;
    q.Corner[kCornerBR].u = r;
    q.Corner[kCornerBR].v = b;
    t = texture_;
    return true;
  }

 private:
  int32_t tw_, th_, pw_, ph_;
  TextureHandle texture_ = kNoTexture;
};

uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  return x ^ (x >> 16);
}

struct Scene {
  bool ok = false;
  std::unique_ptr<TDrawDevice> device;
  std::vector<std::unique_ptr<BenchImage>> ground, overlay;
  std::unique_ptr<BenchImage> sprite, glow, font;

  // Which back end draws: OpenGL, or none at all (the device's own work alone).
  Scene(bool opengl, bool low_bit_depth) {
    device = std::make_unique<TDrawDevice>();
    device->SetBitDepth(low_bit_depth ? bd_Low : bd_High);
    device->SetBackendFactory([opengl](bool) -> std::unique_ptr<DrawBackend> {
      if (opengl) return std::make_unique<GlBackend>();
      return std::make_unique<NullBackend>();
    });
    if (device->Initialize() != 0) return;
    ok = true;
    TDrawDevice& d = *device;
    // Eight ground tiles (opaque noise) and eight overlays (mostly clear, some solid
    // shapes, soft edges), each its own texture as tile pictures are.
    for (uint32_t k = 0; k < 8; ++k) {
      std::vector<uint32_t> g(64 * 64), o(64 * 64);
      for (uint32_t i = 0; i < 64 * 64; ++i) {
        const uint32_t h = Hash(i + k * 4096);
        g[i] = 0xFF000000u | (h & 0x3F3F3F) | 0x204010;
        const int32_t x = static_cast<int32_t>(i % 64) - 32, y = static_cast<int32_t>(i / 64) - 32;
        const int32_t r = x * x + y * y;
        const int32_t edge = 300 + static_cast<int32_t>(k) * 60;
        const uint32_t a =
            r < edge ? 255 : (r < edge + 120 ? static_cast<uint32_t>((edge + 120 - r) * 2) : 0);
        o[i] = (a << 24) | (h & 0x7F7F7F);
      }
      ground.push_back(std::make_unique<BenchImage>(d, 64, 64, 64, 64, g));
      overlay.push_back(std::make_unique<BenchImage>(d, 64, 64, 64, 64, o));
    }
    std::vector<uint32_t> s(256 * 64), gl(128 * 128), f(256 * 256);
    for (int32_t y = 0; y < 64; ++y) {
      for (int32_t x = 0; x < 256; ++x) {
        const int32_t cx = x % 64 - 32, cy = y - 32;
        const bool body = std::abs(cx) < 10 + cy / 4 && std::abs(cy) < 28;
        s[static_cast<size_t>(y * 256 + x)] = body ? 0xFF808890u + static_cast<uint32_t>(x & 15) : 0;
      }
    }
    for (int32_t y = 0; y < 128; ++y) {
      for (int32_t x = 0; x < 128; ++x) {
        const double dx = (x - 63.5) / 64, dy = (y - 63.5) / 64;
        const double v = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy));
        const auto c = static_cast<uint32_t>(v * v * 255);
        gl[static_cast<size_t>(y * 128 + x)] = (c << 24) | (c << 16) | (c * 3 / 4 << 8) | (c / 4);
      }
    }
    for (size_t i = 0; i < f.size(); ++i) f[i] = (Hash(static_cast<uint32_t>(i)) & 3) == 0 ? 0xFFFFFFFFu : 0;
    sprite = std::make_unique<BenchImage>(d, 256, 64, 64, 64, s);
    glow = std::make_unique<BenchImage>(d, 128, 128, 128, 128, gl);
    font = std::make_unique<BenchImage>(d, 256, 256, 16, 16, f);
  }

  void Draw() {
    TDrawDevice& d = *device;
    d.BeginScene();
    d.Clear(0);
    for (int32_t layer = 0; layer < 5; ++layer) {
      for (int32_t row = 0; row < 9; ++row) {
        for (int32_t col = 0; col < 11; ++col) {
          const uint32_t h = Hash(static_cast<uint32_t>(layer * 1000 + row * 11 + col));
          auto& set = layer == 0 ? ground : overlay;
          d.DrawImage(set[h % 8].get(), col * 64 - 32, row * 64 - 40, 0, layer == 0 ? 0 : 2);
        }
      }
    }
    for (int32_t i = 0; i < 150; ++i) {
      const uint32_t h = Hash(static_cast<uint32_t>(i + 7777));
      d.DrawImageRotated(sprite.get(), static_cast<int32_t>(h % 640), static_cast<int32_t>((h >> 10) % 480),
                         static_cast<int32_t>(h >> 24), 256, static_cast<int32_t>(i % 4), 2);
    }
    for (int32_t i = 0; i < 30; ++i) {
      const uint32_t h = Hash(static_cast<uint32_t>(i + 999));
      d.DrawImage(glow.get(), static_cast<int32_t>(h % 640) - 64, static_cast<int32_t>((h >> 10) % 480) - 64,
                  0, 1);
    }
    d.DrawImageScaled(glow.get(), 320 - 64 * 40, 240 - 64 * 40, 40 * 256, 0xFFFFFF, 0, 1);
    for (int32_t line = 0; line < 40; ++line) {
      for (int32_t c = 0; c < 20; ++c) {
        d.DrawImageColored(font.get(), 10 + c * 12 + (line % 2) * 300, 4 + (line / 2) * 24, 0xFF40FFFF,
                           33 + (line * 20 + c) % 90, 2);
      }
    }
    d.EndScene();
  }
};

// The first frames make the driver compile its shader variants; they are not part of
// the steady state being measured.
void WarmUp(Scene& scene) {
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
  Scene scene(true, state.range(0) != 0);
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
  Scene scene(true, state.range(0) != 0);
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
  Scene scene(false, false);
  if (!scene.ok) {
    state.SkipWithError("device did not initialise");
    return;
  }
  for (auto _ : state) scene.Draw();
}
BENCHMARK(BM_DeviceOnlyHeavyFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
