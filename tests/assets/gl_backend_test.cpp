// The OpenGL back end against the software reference: the same scenes drawn through
// both must agree within 2/255 per channel. Needs an OpenGL 3.3 core context (Mesa's
// llvmpipe works with no display through SDL's offscreen driver); without one the
// tests are skipped, not failed.
#include "gfx/gl_backend.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "archive_writer/archive_writer.h"
#include "gfx/backend_factory.h"
#include "assets/pattern_image.h"
#include "gfx/png_io.h"
#include "offscreen_video.h"

namespace tarq {
namespace {

using testing::StartOffscreenVideo;

struct DeviceOptions {
  bool low_bit_depth = false;
  bool antialias = true;
};

std::unique_ptr<TDrawDevice> MakeDevice(bool opengl, const DeviceOptions& options,
                                        std::string* why = nullptr) {
  auto device = std::make_unique<TDrawDevice>();
  device->SetBitDepth(options.low_bit_depth ? bd_Low : bd_High);
  device->SetAntialias(options.antialias);
  if (opengl) {
    // No window: the back end carries its context on a hidden one.
    StartOffscreenVideo();
    device->SetBackendFactory([](bool) { return std::unique_ptr<DrawBackend>(new GlBackend()); });
  } else {
    device->SetHardware(false);
  }
  const int32_t code = device->Initialize();
  if (code != 0) {
    if (why) *why = TDrawDevice::ErrorText(code) + " (" + SDL_GetError() + ")";
    return nullptr;
  }
  return device;
}

#define REQUIRE_GL_DEVICE(device, options)              \
  std::string gl_failure;                               \
  auto device = MakeDevice(true, options, &gl_failure); \
  if (!device) GTEST_SKIP() << "no OpenGL 3.3 context: " << gl_failure

// --- Test pictures ---------------------------------------------------------------------

// A 64 x 32 sheet of two 32 x 32 sprites: coloured corners, a white arrow pointing up,
// an alpha ramp from left to right; the second sprite in other colours.
std::vector<uint32_t> SpriteSheet() {
  std::vector<uint32_t> t(64 * 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      uint32_t c;
      const bool arrow = (y >= 4 && y < 16 && std::abs(x - 16) <= (y - 4) / 2 + 1) ||
                         (y >= 16 && y < 28 && x >= 13 && x < 19);
      if (x < 8 && y < 8)
        c = 0xFFFF2000u;
      else if (x >= 24 && y < 8)
        c = 0xFF20FF00u;
      else if (x < 8 && y >= 24)
        c = 0xFF0040FFu;
      else if (x >= 24 && y >= 24)
        c = 0xFFFFE020u;
      else if (arrow)
        c = 0xFFFFFFFFu;
      else
        c = (static_cast<uint32_t>(x * 8) << 24) | 0x00C06030u;
      t[static_cast<size_t>(y * 64 + x)] = c;
      t[static_cast<size_t>(y * 64 + x + 32)] = (c & 0xFF000000u) | (~c & 0x00FFFFFFu);
    }
  }
  return t;
}

// A 64 x 64 soft round glow: white, alpha falling from the centre.
std::vector<uint32_t> Glow() {
  std::vector<uint32_t> t(64 * 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const double dx = x - 31.5, dy = y - 31.5;
      const double d = std::min(1.0, std::sqrt(dx * dx + dy * dy) / 32.0);
      const auto a = static_cast<uint32_t>((1.0 - d) * (1.0 - d) * 255.0);
      t[static_cast<size_t>(y * 64 + x)] = (a << 24) | 0x00FFE0A0u;
    }
  }
  return t;
}

// A 4 x 4 checker of strong colours: the worst case for filtering differences.
std::vector<uint32_t> Checker() {
  const uint32_t colours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
  std::vector<uint32_t> t(16);
  for (int i = 0; i < 16; ++i) t[static_cast<size_t>(i)] = colours[(i + i / 4) % 4];
  return t;
}

bool LoadImage(TPatternImage& image, TDrawDevice& device, int tw, int th, int pw, int ph,
               const std::vector<uint32_t>& pixels, int32_t format = 21) {
  return image.LoadFromMemory(device, tools::BuildRawImageRecord(tw, th, pw, ph, 1, pixels), format) == 0;
}

struct Pictures {
  TPatternImage sprites, glow, checker;
  bool Load(TDrawDevice& device) {
    return LoadImage(sprites, device, 64, 32, 32, 32, SpriteSheet()) &&
           LoadImage(glow, device, 64, 64, 0, 0, Glow()) && LoadImage(checker, device, 4, 4, 0, 0, Checker());
  }
};

// A backdrop with colour and brightness changes, so every blend has something to mix.
void Backdrop(TDrawDevice& d) {
  d.Clear(0x404040);
  for (int i = 0; i < 8; ++i) {
    const uint32_t colours[8] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF,
                                 0x00FFFF, 0xFF00FF, 0x202020, 0x80C0FF};
    d.FillBox(i * 80, 0, 40, 480, colours[i], 0);
  }
  d.FillRect({0, 200, 640, 260}, 0x80000000u | 0x303030, 0x102);
}

// --- Scenes -------------------------------------------------------------------------

using Scene = void (*)(TDrawDevice&, Pictures&);

void EffectsScene(TDrawDevice& d, Pictures& p) {
  Backdrop(d);
  for (int effect = 0; effect < 10; ++effect) {
    for (int flag = 0; flag < 2; ++flag) {
      const int x = 8 + effect * 63, y = 10 + flag * 120;
      const int e = effect | (flag ? kEffectVertexAlpha : 0);
      d.DrawImageColored(&p.sprites, x, y, 0x80FFC080u, 0, e);
      d.DrawImageColored(&p.sprites, x + 20, y + 40, 0xFFFFFFFFu, 1, e);
      d.FillBox(x, y + 80, 30, 20, 0x6090A0F0u, e);
    }
  }
  // Effects above 9 keep the last blend; the mirror and flip bits change no blend.
  d.DrawImage(&p.sprites, 10, 300, 0, 3);
  d.DrawImage(&p.sprites, 50, 300, 0, 12);
  d.DrawImage(&p.sprites, 90, 300, 0, 0x202);
  d.DrawImage(&p.sprites, 130, 300, 0, 0x402);
  d.DrawImage(&p.sprites, 170, 300, 1, 0x602);
  // Colour 0x00FFFFFF: untouched with effect 2, invisible with 0x102.
  d.DrawImageColored(&p.sprites, 220, 300, 0x00FFFFFFu, 0, 2);
  d.DrawImageColored(&p.sprites, 260, 300, 0x00FFFFFFu, 0, 0x102);
  for (int i = 0; i < 6; ++i) {
    d.DrawImageScaled(&p.glow, 320 + i * 50, 300, 200, 0xFFFFFFFFu, 0, i % 2 ? 1 : 3);
  }
}

void OperationsScene(TDrawDevice& d, Pictures& p) {
  Backdrop(d);
  d.DrawImage(&p.sprites, 10, 10, 0, 2);
  d.DrawImageColored(&p.sprites, 50, 10, 0xFF40FFFFu, 1, 2);
  d.DrawImageScaled(&p.sprites, 90, 10, 128, 0xFFFFFFFFu, 0, 2);
  d.DrawImageScaled(&p.sprites, 120, 10, 384, 0xFFFFFFFFu, 0, 2);
  d.DrawImageScaled(&p.sprites, 180, 10, 0, 0xFFFFFFFFu, 0, 2);
  d.DrawImageScaled(&p.sprites, 200, 10, 700, 0xFFFFFFFFu, 1, 0);
  d.DrawImageStretched(&p.sprites, {300, 10, 400, 60}, 0xFFFFFFFFu, 0, 2);
  d.DrawImageStretched(&p.sprites, {500, 10, 410, 60}, 0xFFFFFFFFu, 0, 2);  // mirrored
  d.DrawQuad(&p.sprites, 20, 120, 90, 110, 100, 190, 10, 170, 0, 2);
  d.DrawQuadColored(&p.sprites, 120, 110, 200, 130, 180, 200, 130, 180, 0xFF8080FFu, 1, 0);
  d.FillQuad(220, 110, 300, 110, 320, 190, 210, 170, 0xFF20C0E0u, 0);
  d.FillQuad(330, 110, 400, 130, 390, 200, 340, 170, 0x8020C0E0u, 0x102);
  d.FillRect({420, 110, 500, 190}, 0xFF3050FFu, 1);
  d.FillBox(520, 110, 60, 60, 0xFFFFFFu, 7);
  // Mirror and flip through the effect bits.
  d.DrawImage(&p.sprites, 10, 220, 0, 0x200);
  d.DrawImage(&p.sprites, 50, 220, 0, 0x400);
  d.DrawImage(&p.sprites, 90, 220, 0, 0x600);
  // The checker magnified: bilinear between strong colours.
  d.DrawImageScaled(&p.checker, 140, 220, 256 * 24, 0xFFFFFFFFu, 0, 0);
  d.DrawImageStretched(&p.checker, {260, 220, 380, 300}, 0xFFFFFFFFu, 0, 0);
  d.DrawImageScaled(&p.glow, 400, 220, 512, 0xFF80FFFFu, 0, 1);
  d.DrawImageScaled(&p.glow, 420, 250, 300, 0xFFFFFFFFu, 0, 6);
}

void RotationScene(TDrawDevice& d, Pictures& p) {
  Backdrop(d);
  const int angles[] = {0, 16, 32, 45, 64, 100, 128, 192, 255, 300};
  const int scales[] = {128, 256, 300, 512};
  for (int s = 0; s < 4; ++s) {
    for (int a = 0; a < 10; ++a) {
      const int x = 32 + a * 62, y = 40 + s * 100;
      if ((a + s) % 3 == 0) {
        d.DrawImageRotatedColored(&p.sprites, x, y, angles[a], scales[s], 0xC0FFA0A0u, a % 2, 0x102);
      } else {
        d.DrawImageRotated(&p.sprites, x, y, angles[a], scales[s], a % 2, 2);
      }
    }
  }
  d.DrawImageRotated(&p.glow, 320, 440, 37, 700, 0, 1);
}

void ClippingScene(TDrawDevice& d, Pictures& p) {
  Backdrop(d);
  // Off the target's edges.
  d.DrawImage(&p.sprites, -16, -16, 0, 2);
  d.DrawImage(&p.sprites, 624, 464, 1, 2);
  d.DrawImageRotated(&p.sprites, 0, 240, 40, 512, 0, 2);
  d.SetViewport({100, 80, 300, 260});
  d.FillBox(0, 0, 640, 480, 0x402000u, 1);
  d.DrawImageScaled(&p.sprites, 80, 60, 512, 0xFFFFFFFFu, 0, 2);
  d.DrawImageRotated(&p.sprites, 300, 260, 20, 768, 1, 2);
  // The nuke glow: forty times its size, almost all of it outside.
  d.DrawImageRotated(&p.glow, 200, 170, 0, 40 * 256, 0, 1);
  d.SetViewport({400, 300, 640, 480});
  d.DrawImageRotatedColored(&p.glow, 500, 380, 0, 40 * 256, 0xFF4080FFu, 0, 6);
  d.SetViewport({0, 0, 640, 480});
  d.DrawImage(&p.sprites, 300, 60, 1, 2);
}

void FormatsScene(TDrawDevice& d, Pictures&) {
  Backdrop(d);
  const int formats[] = {21, 22, 23, 24, 25, 26, 27, 29};
  int i = 0;
  for (int format : formats) {
    TPatternImage image;
    if (!LoadImage(image, d, 64, 32, 32, 32, SpriteSheet(), format)) {
      ADD_FAILURE() << "format " << format;
      continue;
    }
    d.DrawImageScaled(&image, 10 + i * 78, 100, 512, 0xFFFFFFFFu, 0, 2);
    d.DrawImageScaled(&image, 10 + i * 78, 200, 512, 0xFFFFFFFFu, 1, 1);
    d.EndScene();  // draw before the image goes away
    d.BeginScene();
    image.Unload();
    ++i;
  }
}

std::vector<uint32_t> Render(TDrawDevice& device, Scene scene) {
  Pictures pictures;
  EXPECT_TRUE(pictures.Load(device));
  EXPECT_TRUE(device.BeginScene());
  scene(device, pictures);
  EXPECT_TRUE(device.EndScene());
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  EXPECT_TRUE(device.ReadFrame(pixels, w, h));
  EXPECT_TRUE(device.Present());
  return pixels;
}

void SaveFrames(const std::vector<uint32_t>& gl, const std::vector<uint32_t>& software,
                const std::string& name) {
  const std::string base = std::string(TARQ_BINARY_DIR) + "/gl_" + name;
  WritePng(base + ".opengl.png", gl.data(), 640, 480);
  WritePng(base + ".software.png", software.data(), 640, 480);
}

bool KeepFrames() {
  const char* keep = std::getenv("TARQ_KEEP_GL_FRAMES");
  return keep != nullptr && std::string(keep) == "1";
}

// How closely the two pictures must agree.
enum class Agreement {
  // Every channel of every pixel within 2/255.
  Exact,
  // Nearest filtering: a pixel centre that falls exactly on a texel edge may pick the
  // other texel, because the reference steps its texel position along a span while
  // OpenGL interpolates it per pixel. At most 0.1 % of the pixels may differ so.
  NearestTies,
  // 16-bit target: how a blend result is rounded to 5 or 6 bits is up to the GL
  // implementation (Mesa truncates, the reference rounds), so a channel may land one
  // level apart, and after further blending on it rarely two. Within one level for
  // 99 % of the channels, never more than two.
  SixteenBit,
};

// Compares two frames; on failure (or with TARQ_KEEP_GL_FRAMES=1) both are saved next
// to the build for a look.
void ExpectAgreement(const std::vector<uint32_t>& gl, const std::vector<uint32_t>& software,
                     const std::string& name, Agreement agreement) {
  ASSERT_EQ(gl.size(), software.size());
  int worst = 0, worst_index = 0, over = 0;
  int64_t channels = 0, within_one_level = 0, over_two_levels = 0, not_sixteen_bit = 0;
  for (size_t i = 0; i < gl.size(); ++i) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int a = static_cast<int>((gl[i] >> shift) & 0xFF);
      const int b = static_cast<int>((software[i] >> shift) & 0xFF);
      d = std::max(d, std::abs(a - b));
      const int max = shift == 8 ? 63 : 31;  // levels of green and of red, blue
      const int la = (a * max + 127) / 255, lb = (b * max + 127) / 255;
      // A 16-bit target can only hold level * 255 / max, give or take the rounding.
      if (std::abs(a - (la * 255 + max / 2) / max) > 1) ++not_sixteen_bit;
      ++channels;
      if (std::abs(la - lb) <= 1) ++within_one_level;
      if (std::abs(la - lb) > 2) ++over_two_levels;
    }
    if (d > 2) ++over;
    if (d > worst) {
      worst = d;
      worst_index = static_cast<int>(i);
    }
  }
  std::ostringstream where;
  where << name << ": " << over << " pixels off by more than 2, worst " << worst << " at ("
        << worst_index % 640 << ", " << worst_index / 640 << "), opengl " << std::hex
        << gl[static_cast<size_t>(worst_index)] << " software " << software[static_cast<size_t>(worst_index)];
  bool ok = true;
  switch (agreement) {
    case Agreement::Exact:
      ok = over == 0;
      break;
    case Agreement::NearestTies:
      ok = over * 1000 <= static_cast<int64_t>(gl.size());
      break;
    case Agreement::SixteenBit:
      EXPECT_EQ(not_sixteen_bit, 0) << name << ": the OpenGL frame holds colours a 16-bit target cannot";
      ok = over_two_levels == 0 && within_one_level * 100 >= channels * 99;
      where << "; channels within one level " << within_one_level << " of " << channels << ", beyond two "
            << over_two_levels;
      break;
  }
  if (!ok || KeepFrames()) SaveFrames(gl, software, name);
  EXPECT_TRUE(ok) << where.str();
}

void CompareScene(Scene scene, const std::string& name, DeviceOptions options = {},
                  Agreement agreement = Agreement::Exact) {
  REQUIRE_GL_DEVICE(gl, options);
  auto software = MakeDevice(false, options);
  ASSERT_NE(software, nullptr);
  ExpectAgreement(Render(*gl, scene), Render(*software, scene), name, agreement);
}

// Nearest filtering where no pixel centre meets a texel edge: whole-number scales,
// mirroring, flipping and quarter turns.
void NearestScene(TDrawDevice& d, Pictures& p) {
  Backdrop(d);
  d.DrawImage(&p.sprites, 10, 10, 0, 2);
  d.DrawImage(&p.sprites, 50, 10, 1, 0x202);
  d.DrawImage(&p.sprites, 90, 10, 0, 0x602);
  d.DrawImageScaled(&p.sprites, 130, 10, 512, 0xFFFFFFFFu, 0, 2);
  d.DrawImageScaled(&p.sprites, 200, 10, 768, 0xFF80FFFFu, 1, 0x102);
  d.DrawImageScaled(&p.checker, 300, 10, 256 * 24, 0xFFFFFFFFu, 0, 0);
  d.DrawImageStretched(&p.checker, {400, 10, 520, 130}, 0xFFFFFFFFu, 0, 0);
  d.DrawImageStretched(&p.sprites, {620, 10, 540, 90}, 0xFFFFFFFFu, 0, 2);
  for (int a = 0; a < 4; ++a) {
    d.DrawImageRotated(&p.sprites, 60 + a * 80, 250, a * 64, 256, 0, 2);
    d.DrawImageRotated(&p.sprites, 60 + a * 80, 350, a * 64, 512, 1, 2);
  }
  d.DrawImageScaled(&p.glow, 400, 200, 512, 0xFFFFFFFFu, 0, 3);
}

TEST(GlBackendMatchesSoftware, EveryEffectAndAlphaSource) { CompareScene(EffectsScene, "effects"); }
TEST(GlBackendMatchesSoftware, EveryDrawingOperation) { CompareScene(OperationsScene, "operations"); }
TEST(GlBackendMatchesSoftware, RotationAtSeveralAnglesAndScales) { CompareScene(RotationScene, "rotation"); }
TEST(GlBackendMatchesSoftware, ViewportClippingAndHugeQuads) { CompareScene(ClippingScene, "clipping"); }
TEST(GlBackendMatchesSoftware, EveryTextureFormat) { CompareScene(FormatsScene, "formats"); }
TEST(GlBackendMatchesSoftware, NearestFiltering) {
  CompareScene(NearestScene, "nearest", {.antialias = false});
  CompareScene(OperationsScene, "nearest_operations", {.antialias = false}, Agreement::NearestTies);
  CompareScene(RotationScene, "nearest_rotation", {.antialias = false}, Agreement::NearestTies);
}
TEST(GlBackendMatchesSoftware, SixteenBitTarget) {
  CompareScene(EffectsScene, "effects16", {.low_bit_depth = true}, Agreement::SixteenBit);
  CompareScene(RotationScene, "rotation16", {.low_bit_depth = true}, Agreement::SixteenBit);
  CompareScene(ClippingScene, "clipping16", {.low_bit_depth = true}, Agreement::SixteenBit);
}

}  // namespace
}  // namespace tarq
