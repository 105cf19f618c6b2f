// The OpenGL back end as the device uses it: placing the frame in a window, textures
// across a reset, locking rules, presenting into a window, and the fall-back to the
// software rasteriser when OpenGL cannot be had. Tests that need a context skip
// without one.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "archive_writer/archive_writer.h"
#include "gfx/backend_factory.h"
#include "gfx/gl_backend.h"
#include "assets/pattern_image.h"
#include "offscreen_video.h"

namespace tarq {
namespace {

using Placement = GlBackend::Placement;

TEST(GlPresentPlacement, WholeFactorsWhenTheyFitWellElseAspectFit) {
  const Placement same = GlBackend::PlaceFrame(640, 480, 640, 480);
  EXPECT_EQ(same.X, 0);
  EXPECT_EQ(same.Width, 640);
  EXPECT_TRUE(same.Integer);

  const Placement doubled = GlBackend::PlaceFrame(640, 480, 1280, 960);
  EXPECT_EQ(doubled.Width, 1280);
  EXPECT_EQ(doubled.Height, 960);
  EXPECT_TRUE(doubled.Integer);

  // 1920 x 1080: a fit would be 2.25 times; twice keeps 89 % of it, sharp pixels win.
  const Placement hd = GlBackend::PlaceFrame(640, 480, 1920, 1080);
  EXPECT_TRUE(hd.Integer);
  EXPECT_EQ(hd.Width, 1280);
  EXPECT_EQ(hd.Height, 960);
  EXPECT_EQ(hd.X, 320);
  EXPECT_EQ(hd.Y, 60);

  // 1366 x 768: once would waste most of the window, so the aspect-preserving fit.
  const Placement laptop = GlBackend::PlaceFrame(640, 480, 1366, 768);
  EXPECT_FALSE(laptop.Integer);
  EXPECT_EQ(laptop.Height, 768);
  EXPECT_EQ(laptop.Width, 1024);
  EXPECT_EQ(laptop.X, 171);
  EXPECT_EQ(laptop.Y, 0);

  // Smaller than the frame: scaled down, bars top and bottom on a wide window.
  const Placement small = GlBackend::PlaceFrame(640, 480, 400, 200);
  EXPECT_FALSE(small.Integer);
  EXPECT_EQ(small.Height, 200);
  EXPECT_EQ(small.Width, 267);
  EXPECT_EQ(small.X, 66);

  const Placement none = GlBackend::PlaceFrame(640, 480, 0, 0);
  EXPECT_EQ(none.Width, 0);
}

using testing::StartOffscreenVideo;

// A GL device without a window on SDL's offscreen driver, or null.
std::unique_ptr<TDrawDevice> OffscreenGlDevice(GlBackend** backend = nullptr) {
  StartOffscreenVideo();
  auto device = std::make_unique<TDrawDevice>();
  device->SetBitDepth(bd_High);
  device->SetBackendFactory([backend](bool) {
    auto gl = std::make_unique<GlBackend>();
    if (backend) *backend = gl.get();
    return std::unique_ptr<DrawBackend>(std::move(gl));
  });
  if (device->Initialize() != 0) return nullptr;
  return device;
}

std::vector<uint32_t> Frame(TDrawDevice& device) {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  EXPECT_TRUE(device.ReadFrame(pixels, w, h));
  return pixels;
}

std::vector<uint8_t> SolidRecord(int size, uint32_t argb) {
  return tools::BuildRawImageRecord(size, size, 0, 0, 1,
                                    std::vector<uint32_t>(static_cast<size_t>(size * size), argb));
}

TEST(GlDevice, TexturesAndPicturesSurviveAReset) {
  auto device = OffscreenGlDevice();
  if (!device) GTEST_SKIP() << "no OpenGL 3.3 context: " << SDL_GetError();
  TPatternImage image;
  ASSERT_EQ(image.LoadFromMemory(*device, SolidRecord(16, 0xFF3060C0u), 21), 0);
  // A reset returns the back end to no texture, blend 0 and the texel's alpha; the
  // frame starts with a fill of effect 0 so the device's idea of the state agrees
  // again (in the game a reset only follows a lost device, which makes the device
  // forget its state).
  auto draw = [&] {
    device->BeginScene();
    device->Clear(0x102030);
    device->FillBox(300, 300, 10, 10, 0xFF, 0);
    device->DrawImage(&image, 10, 20, 0, 2);
    device->FillBox(100, 100, 50, 50, 0x80FFFFFFu, 0x102);
    device->EndScene();
    device->Present();
    return Frame(*device);
  };
  const std::vector<uint32_t> before = draw();
  EXPECT_EQ(before[20 * 640 + 10], 0xFF3060C0u);
  EXPECT_EQ(before[19 * 640 + 10], 0xFF302010u);  // the clear colour, red and blue swapped
  EXPECT_TRUE(device->ResetDevice());
  EXPECT_EQ(draw(), before);
  image.Unload();
}

TEST(GlDevice, LockingRulesAndRefusedTextures) {
  GlBackend* gl = nullptr;
  auto device = OffscreenGlDevice(&gl);
  if (!device) GTEST_SKIP() << "no OpenGL 3.3 context: " << SDL_GetError();
  const TextureHandle texture = gl->CreateTexture(4, 4, 26);
  ASSERT_NE(texture, kNoTexture);
  LockedArea area;
  EXPECT_FALSE(gl->UnlockTexture(texture));  // not locked
  ASSERT_TRUE(gl->LockTexture(texture, area));
  EXPECT_EQ(area.Pitch, 8);
  EXPECT_EQ(area.Bits[0], 0);                    // new textures start cleared
  EXPECT_FALSE(gl->LockTexture(texture, area));  // already locked
  EXPECT_TRUE(gl->UnlockTexture(texture));
  EXPECT_FALSE(gl->LockTexture(texture + 100, area));
  EXPECT_FALSE(gl->BindTexture(texture + 100));
  gl->DestroyTexture(texture);
  EXPECT_FALSE(gl->LockTexture(texture, area));

  // Sizes beyond the GL limit, unknown formats and empty sizes make no texture.
  EXPECT_EQ(gl->CreateTexture(1 << 20, 4, 21), kNoTexture);
  EXPECT_EQ(gl->CreateTexture(4, 4, 28), kNoTexture);
  EXPECT_EQ(gl->CreateTexture(0, 4, 21), kNoTexture);
  EXPECT_FALSE(gl->SetBlend(10));
}

TEST(GlDevice, RewrittenTexelsShowInTheNextFrame) {
  auto device = OffscreenGlDevice();
  if (!device) GTEST_SKIP() << "no OpenGL 3.3 context: " << SDL_GetError();
  TPatternImage tile;
  ASSERT_EQ(tile.LoadFromMemory(*device, SolidRecord(8, 0xFF0000FFu), 25), 0);
  device->BeginScene();
  device->DrawImage(&tile, 0, 0, 0, 0);
  device->EndScene();
  EXPECT_EQ(Frame(*device)[0], 0xFF0000FFu);

  // Rewrite the texels the way the water animation does: lock, change, unlock.
  LockedArea area;
  ASSERT_EQ(tile.Lock(0, area), 0);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      area.Bits[y * area.Pitch + x * 2] = 0xE0;  // A1R5G5B5 0x83E0: opaque green
      area.Bits[y * area.Pitch + x * 2 + 1] = 0x83;
    }
  }
  ASSERT_EQ(tile.Unlock(0), 0);
  device->BeginScene();
  device->DrawImage(&tile, 0, 0, 0, 0);
  device->EndScene();
  EXPECT_EQ(Frame(*device)[7 * 640 + 7], 0xFF00FF00u);
}

TEST(GlDevice, PresentsIntoAWindowOfAnySize) {
  StartOffscreenVideo();
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) GTEST_SKIP() << SDL_GetError();
  for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1366, 768}, std::pair{320, 200}}) {
    SDL_Window* window = SDL_CreateWindow("TARQ", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) GTEST_SKIP() << SDL_GetError();
    {
      TDrawDevice device;
      device.SetWindow(window);
      device.SetBitDepth(bd_Low);
      device.SetBackendFactory([](bool) { return std::unique_ptr<DrawBackend>(new GlBackend()); });
      const int32_t code = device.Initialize();
      if (code == 0) {
        device.BeginScene();
        device.Clear(0x00FF00);
        device.FillBox(0, 0, 64, 64, 0xFF, 0);
        device.EndScene();
        EXPECT_TRUE(device.Present()) << w << " x " << h;
        // Presenting leaves the target as it was.
        EXPECT_EQ(Frame(device)[0], 0xFFFF0000u);
        EXPECT_EQ(Frame(device)[100 * 640 + 100], 0xFF00FF00u);
      }
      device.Finalize();
    }
    SDL_DestroyWindow(window);
  }
}

TEST(GlDevice, FallsBackToSoftwareWhenNoContextCanBeHad) {
  // A window made without OpenGL cannot carry a context, as on a system without GL.
  StartOffscreenVideo();
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) GTEST_SKIP() << SDL_GetError();
  SDL_Window* window = SDL_CreateWindow("TARQ", 0, 0, 640, 480, SDL_WINDOW_HIDDEN);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  UseOpenGlForHardwareDevices();
  {
    TDrawDevice device;
    device.SetWindow(window);
    ASSERT_EQ(device.Initialize(), 0);
    EXPECT_TRUE(device.UsingSoftware());
    device.BeginScene();
    device.Clear(0x0000FF);
    device.EndScene();
    EXPECT_EQ(Frame(device)[0], 0xFFFF0000u);
    device.Finalize();
  }
  RegisterHardwareBackend(nullptr);
  SDL_DestroyWindow(window);
  EXPECT_EQ(MakeOpenGlBackend(false), nullptr);  // software devices never get OpenGL
  EXPECT_NE(MakeOpenGlBackend(true), nullptr);
}

}  // namespace
}  // namespace tarq
