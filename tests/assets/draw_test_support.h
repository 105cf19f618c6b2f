#pragma once
// Shared helpers of the drawing-device tests: a small image that draws through the
// device the way pattern images do, devices on the software and recording back ends,
// and golden-picture comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gfx/draw_device.h"
#include "gfx/png_io.h"
#include "gfx/recording_backend.h"
#include "gfx/software_backend.h"

namespace tarq::testing {

// An image of 32-bit texels (0xAARRGGBB) cut into equal patterns on one texture.
class GridImage : public DrawableImage {
 public:
  GridImage(TDrawDevice& device, int32_t texture_width, int32_t texture_height,
            int32_t pattern_width, int32_t pattern_height, const std::vector<uint32_t>& texels)
      : tw_(texture_width), th_(texture_height), pw_(pattern_width), ph_(pattern_height) {
    texture_ = device.CreateTexture(tw_, th_, 21);
    LockedArea area;
    if (texture_ != kNoTexture && device.LockTexture(texture_, area)) {
      for (int32_t y = 0; y < th_; ++y) {
        std::memcpy(area.Bits + static_cast<size_t>(y) * area.Pitch, &texels[static_cast<size_t>(y * tw_)],
                    static_cast<size_t>(tw_) * 4);
      }
      device.UnlockTexture(texture_);
    }
  }
  bool loaded = true;
  TextureHandle texture() const { return texture_; }

  int32_t DrawPatternWidth() const override { return pw_; }
  int32_t DrawPatternHeight() const override { return ph_; }
  bool SelectPattern(int32_t pattern, bool mirror, bool flip, TextureHandle& texture,
                     QuadTemplate& quad) override {
    if (!loaded) return false;
    const int32_t per_row = tw_ / pw_, count = per_row * (th_ / ph_);
    pattern = pattern < 0 ? 0 : (pattern >= count ? count - 1 : pattern);
    const int32_t col = pattern % per_row, row = pattern / per_row;
    float left = static_cast<float>(col * pw_) / tw_, right = static_cast<float>(col * pw_ + pw_) / tw_;
    float top = static_cast<float>(row * ph_) / th_, bottom = static_cast<float>(row * ph_ + ph_) / th_;
    if (mirror) std::swap(left, right);
    if (flip) std::swap(top, bottom);
    quad.Corner[kCornerTL].u = left;
    quad.Corner[kCornerTL].v = top;
    quad.Corner[kCornerTR].u = right;
    quad.Corner[kCornerTR].v = top;
    quad.Corner[kCornerBL].u = left;
    quad.Corner[kCornerBL].v = bottom;
    quad.Corner[kCornerBR].u = right;
    quad.Corner[kCornerBR].v = bottom;
    texture = texture_;
    return true;
  }

 private:
  int32_t tw_, th_, pw_, ph_;
  TextureHandle texture_ = kNoTexture;
};

// A 32 x 32 test sprite: four coloured corner blocks (red top-left, green top-right,
// blue bottom-left, yellow bottom-right), an opaque white arrow pointing up, and a
// transparent-to-opaque alpha ramp elsewhere, so orientation, mirroring and blending
// are all visible. Pattern 1 (the right half of a 64 x 32 texture) is the same sprite
// in inverted colours.
inline std::vector<uint32_t> SpriteTexels() {
  std::vector<uint32_t> t(64 * 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      uint32_t c;
      const bool arrow = (y >= 4 && y < 16 && std::abs(x - 16) <= (y - 4) / 2 + 1) ||
                         (y >= 16 && y < 28 && x >= 13 && x < 19);
      if (x < 8 && y < 8) c = 0xFFFF0000u;
      else if (x >= 24 && y < 8) c = 0xFF00FF00u;
      else if (x < 8 && y >= 24) c = 0xFF0000FFu;
      else if (x >= 24 && y >= 24) c = 0xFFFFFF00u;
      else if (arrow) c = 0xFFFFFFFFu;
      else c = (static_cast<uint32_t>(x * 8) << 24) | 0x00804020u;
      t[static_cast<size_t>(y * 64 + x)] = c;
      t[static_cast<size_t>(y * 64 + x + 32)] = (c & 0xFF000000u) | (~c & 0x00FFFFFFu);
    }
  }
  return t;
}

// A software device of the given size, initialised headless.
inline std::unique_ptr<TDrawDevice> SoftwareDevice(int32_t width, int32_t height,
                                                   bool low_bit_depth = false) {
  auto device = std::make_unique<TDrawDevice>();
  device->SetHardware(false);
  device->SetWidth(width);
  device->SetHeight(height);
  device->SetBitDepth(low_bit_depth ? bd_Low : bd_High);
  EXPECT_EQ(device->Initialize(), 0);
  return device;
}

// A device on a recording back end; `backend` receives the back end it uses.
inline std::unique_ptr<TDrawDevice> RecordingDevice(RecordingBackend*& backend) {
  auto device = std::make_unique<TDrawDevice>();
  RecordingBackend** out = &backend;
  device->SetBackendFactory([out](bool) {
    auto b = std::make_unique<RecordingBackend>();
    *out = b.get();
    return std::unique_ptr<DrawBackend>(std::move(b));
  });
  EXPECT_EQ(device->Initialize(), 0);
  return device;
}

inline std::vector<uint32_t> Frame(TDrawDevice& device) {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  EXPECT_TRUE(device.ReadFrame(pixels, w, h));
  return pixels;
}

// Compares the device's frame with tests/golden/<name>.png. With TARQ_UPDATE_GOLDEN=1
// in the environment the golden is written instead. A channel may differ by at most
// 1 (floating-point slack between compilers); anything more fails.
inline void ExpectGolden(TDrawDevice& device, const std::string& name) {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  ASSERT_TRUE(device.ReadFrame(pixels, w, h));
  const std::string path = std::string(TARQ_TEST_SOURCE_DIR) + "/golden/" + name + ".png";
  const char* update = std::getenv("TARQ_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    ASSERT_TRUE(WritePng(path, pixels.data(), w, h));
    return;
  }
  std::vector<uint32_t> golden;
  int32_t gw = 0, gh = 0;
  std::string error;
  ASSERT_TRUE(ReadPng(path, golden, gw, gh, &error)) << error << " (run with TARQ_UPDATE_GOLDEN=1)";
  ASSERT_EQ(gw, w);
  ASSERT_EQ(gh, h);
  int32_t worst = 0, worst_index = -1, differing = 0;
  for (size_t i = 0; i < pixels.size(); ++i) {
    int32_t d = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      d = std::max(d, std::abs(static_cast<int32_t>((pixels[i] >> shift) & 0xFF) -
                               static_cast<int32_t>((golden[i] >> shift) & 0xFF)));
    }
    if (d > 0) ++differing;
    if (d > worst) {
      worst = d;
      worst_index = static_cast<int32_t>(i);
    }
  }
  if (worst > 1) {
    WritePng(std::string(TARQ_BINARY_DIR) + "/" + name + ".actual.png", pixels.data(), w, h);
  }
  EXPECT_LE(worst, 1) << name << ": " << differing << " pixels differ, worst at (" << worst_index % w
                      << ", " << worst_index / w << ")";
}

}  // namespace tarq::testing
