#pragma once
// The heavy game frame the drawing benchmarks measure: 495 tile quads (9 x 11 x 5
// layers of 64 x 64, layer 0 opaque, the rest alpha blended), 150 rotated 64 x 64
// sprites with bilinear filtering, 30 additive 128 x 128 glows, one nuke glow at 40
// times its size and 40 lines of 20 small text quads. The caller picks the back end by
// configuring the device; the scene initialises it and makes the same pictures on it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "gfx/draw_device.h"

namespace tarq::bench {

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

// A cheap integer mixer: the scene's "noise" is the same on every run and machine.
inline uint32_t Hash(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  return x ^ (x >> 16);
}

struct HeavyFrameScene {
  bool ok = false;  // the device initialised and the pictures exist
  std::unique_ptr<TDrawDevice> device;
  std::vector<std::unique_ptr<BenchImage>> ground, overlay;
  std::unique_ptr<BenchImage> sprite, glow, font;

  // `configured` has its back end and bit depth set but is not yet initialised.
  explicit HeavyFrameScene(std::unique_ptr<TDrawDevice> configured) : device(std::move(configured)) {
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

}  // namespace tarq::bench
