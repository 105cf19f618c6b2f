// Pictures from the software back end compared with the goldens under tests/golden
// (regenerate with TARQ_UPDATE_GOLDEN=1 and look at them before committing), and the
// pixel-exact rules of the device checked on whole frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "golden_scenes.h"

namespace tarq {
namespace {

using testing::DrawBars;
using testing::DrawClippingScene;
using testing::DrawEffectsScene;
using testing::DrawMirrorFlipScene;
using testing::DrawOperationsScene;
using testing::DrawRotationScene;
using testing::DrawSixteenBitScene;
using testing::ExpectGolden;
using testing::Frame;
using testing::GridImage;
using testing::SoftwareDevice;
using testing::SpriteTexels;

TEST(DrawGolden, EveryEffect) {
  auto d = SoftwareDevice(200, 160);
  DrawEffectsScene(*d);
  ExpectGolden(*d, "draw_effects");
}

TEST(DrawGolden, EveryOperation) {
  auto d = SoftwareDevice(256, 128);
  DrawOperationsScene(*d);
  ExpectGolden(*d, "draw_operations");
}

TEST(DrawGolden, RotationAtSeveralAnglesAndScales) {
  for (bool linear : {true, false}) {
    auto d = SoftwareDevice(240, 150);
    d->SetAntialias(linear);
    DrawRotationScene(*d);
    ExpectGolden(*d, linear ? "draw_rotation_linear" : "draw_rotation_nearest");
  }
}

TEST(DrawGolden, MirrorAndFlip) {
  auto d = SoftwareDevice(144, 40);
  DrawMirrorFlipScene(*d);
  ExpectGolden(*d, "draw_mirror_flip");
}

TEST(DrawGolden, ClippingAndHugeGeometry) {
  auto d = SoftwareDevice(160, 120);
  DrawClippingScene(*d);
  ExpectGolden(*d, "draw_clipping");
}

TEST(DrawGolden, SixteenBitTarget) {
  auto d = SoftwareDevice(128, 64, /*low_bit_depth=*/true);
  DrawSixteenBitScene(*d);
  ExpectGolden(*d, "draw_16bit");
  // Every pixel is a 16-bit colour widened back.
  for (uint32_t p : Frame(*d)) {
    const uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    ASSERT_EQ(r, ((r * 31 + 127) / 255 * 255 + 15) / 31);
    ASSERT_EQ(g, ((g * 63 + 127) / 255 * 255 + 31) / 63);
    ASSERT_EQ(b, ((b * 31 + 127) / 255 * 255 + 15) / 31);
  }
}

// --- Exact rules on whole frames ----------------------------------------------------------

// Pixels of a frame that differ from the background colour.
std::vector<std::pair<int32_t, int32_t>> Covered(const std::vector<uint32_t>& frame, int32_t width,
                                                 uint32_t background) {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (size_t i = 0; i < frame.size(); ++i) {
    if (frame[i] != background) out.push_back({static_cast<int32_t>(i) % width, static_cast<int32_t>(i) / width});
  }
  return out;
}

TEST(DrawExact, PatternCoversExactlyItsPixelsOneTexelEach) {
  for (bool linear : {true, false}) {
    auto d = SoftwareDevice(64, 48);
    d->SetAntialias(linear);
    std::vector<uint32_t> texels(16 * 8);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x010203 + 0x10);
    GridImage image(*d, 16, 8, 16, 8, texels);
    d->BeginScene();
    d->Clear(0);
    d->DrawImage(&image, 7, 5, 0, 0);
    d->EndScene();
    const auto frame = Frame(*d);
    for (int32_t y = 0; y < 48; ++y) {
      for (int32_t x = 0; x < 64; ++x) {
        const bool inside = x >= 7 && x < 23 && y >= 5 && y < 13;
        const uint32_t expected = inside ? texels[static_cast<size_t>((y - 5) * 16 + x - 7)] : 0xFF000000u;
        ASSERT_EQ(frame[static_cast<size_t>(y * 64 + x)], expected) << x << "," << y << " linear " << linear;
      }
    }
  }
}

TEST(DrawExact, FillBoxAndFillQuadCoverage) {
  auto d = SoftwareDevice(32, 32);
  d->BeginScene();
  d->Clear(0);
  d->FillBox(3, 4, 5, 6, 0xFFFFFF, 0);
  d->EndScene();
  const auto cov = Covered(Frame(*d), 32, 0xFF000000u);
  ASSERT_EQ(cov.size(), 30u);
  EXPECT_EQ(cov.front(), std::make_pair(3, 4));
  EXPECT_EQ(cov.back(), std::make_pair(7, 9));
  // Two quads sharing a diagonal edge, drawn additively at half grey: no pixel twice,
  // none missed (a seam would show as a brighter or darker pixel).
  d->BeginScene();
  d->Clear(0);
  d->FillQuad(2, 2, 30, 5, 27, 29, 4, 26, 0x404040, 1);
  d->EndScene();
  for (uint32_t p : Frame(*d)) ASSERT_TRUE(p == 0xFF000000u || p == 0xFF404040u) << std::hex << p;
}

TEST(DrawExact, RotatedAtSixtyFourEqualsTheUprightImage) {
  for (bool linear : {true, false}) {
    auto a = SoftwareDevice(96, 96);
    auto b = SoftwareDevice(96, 96);
    a->SetAntialias(linear);
    b->SetAntialias(linear);
    GridImage ia(*a, 64, 32, 32, 32, SpriteTexels());
    GridImage ib(*b, 64, 32, 32, 32, SpriteTexels());
    for (auto* d : {a.get(), b.get()}) {
      d->BeginScene();
      d->Clear(0x112233);
    }
    a->DrawImageRotated(&ia, 40, 50, 64, 256, 1, 2);
    b->DrawImage(&ib, 40 - 16, 50 - 16, 1, 2);
    a->EndScene();
    b->EndScene();
    EXPECT_EQ(Frame(*a), Frame(*b)) << "linear " << linear;
  }
}

TEST(DrawExact, StretchedRightToLeftMirrors) {
  auto a = SoftwareDevice(64, 64);
  auto b = SoftwareDevice(64, 64);
  GridImage ia(*a, 64, 32, 32, 32, SpriteTexels());
  GridImage ib(*b, 64, 32, 32, 32, SpriteTexels());
  a->BeginScene();
  b->BeginScene();
  a->DrawImageStretched(&ia, {42, 10, 10, 42}, 0xFFFFFF, 0, 0);
  b->DrawImage(&ib, 10, 10, 0, kEffectMirror);
  a->EndScene();
  b->EndScene();
  EXPECT_EQ(Frame(*a), Frame(*b));
}

TEST(DrawExact, EffectNineIsTwoAndHighEffectsKeepTheBlend) {
  auto draw = [](int32_t first, int32_t second) {
    auto d = SoftwareDevice(80, 40);
    GridImage s(*d, 64, 32, 32, 32, SpriteTexels());
    d->BeginScene();
    DrawBars(*d, 80, 40);
    d->DrawImage(&s, 2, 4, 0, first);
    d->DrawImage(&s, 40, 4, 0, second);
    d->EndScene();
    return Frame(*d);
  };
  EXPECT_EQ(draw(9, 9), draw(2, 2));
  EXPECT_EQ(draw(1, 37), draw(1, 1));   // 37 keeps additive
  EXPECT_EQ(draw(3, 255), draw(3, 3));
  EXPECT_NE(draw(1, 1), draw(2, 2));
}

TEST(DrawExact, ColourAlphaCountsOnlyWithTheFlag) {
  auto draw = [](uint32_t colour, int32_t effect) {
    auto d = SoftwareDevice(48, 40);
    GridImage s(*d, 64, 32, 32, 32, SpriteTexels());
    d->BeginScene();
    DrawBars(*d, 48, 40);
    if (effect >= 0) d->DrawImageColored(&s, 8, 4, colour, 0, effect);
    d->EndScene();
    return Frame(*d);
  };
  EXPECT_EQ(draw(0x00FFFFFF, 2), draw(0xFFFFFFFF, 2));
  EXPECT_EQ(draw(0x00FFFFFF, 0x102), draw(0, -1));  // alpha 0: nothing visible
  EXPECT_NE(draw(0x80FFFFFF, 0x102), draw(0, -1));
}

TEST(DrawExact, ClearDoesNotCoverQueuedQuads) {
  auto d = SoftwareDevice(40, 40);
  GridImage s(*d, 64, 32, 32, 32, SpriteTexels());
  d->BeginScene();
  d->DrawImage(&s, 0, 0, 0, 0);
  d->DrawImage(&s, 8, 0, 0, 0);
  d->Clear(0x0000FF);
  d->EndScene();
  const auto frame = Frame(*d);
  EXPECT_EQ(frame[0], 0xFFFF0000u);             // the sprite's red corner, drawn at EndScene
  EXPECT_EQ(frame[39 * 40 + 39], 0xFFFF0000u);  // cleared to red (0x0000FF is red)
}

TEST(DrawExact, TexturesChangeWhenUnlocked) {
  auto d = SoftwareDevice(8, 8);
  GridImage s(*d, 4, 4, 4, 4, std::vector<uint32_t>(16, 0xFF102030));
  LockedArea area;
  ASSERT_TRUE(d->LockTexture(s.texture(), area));
  EXPECT_FALSE(d->LockTexture(s.texture(), area));  // already locked
  const uint32_t white = 0xFFFFFFFF;
  std::memcpy(area.Bits + area.Pitch * 2 + 4, &white, 4);
  ASSERT_TRUE(d->UnlockTexture(s.texture()));
  EXPECT_FALSE(d->UnlockTexture(s.texture()));
  d->BeginScene();
  d->DrawImage(&s, 0, 0, 0, 0);
  d->EndScene();
  const auto f = Frame(*d);
  EXPECT_EQ(f[2 * 8 + 1], 0xFFFFFFFFu);
  EXPECT_EQ(f[2 * 8 + 2], 0xFF102030u);
}

TEST(SoftwareTexels, FormatsExpandToEightBitsAndOpaqueWithoutAlpha) {
  uint32_t out[2];
  const uint8_t r5g6b5[4] = {0x1F, 0xF8, 0xE0, 0x07};  // blue+red, green
  ASSERT_TRUE(ExpandTexels(23, r5g6b5, out, 2));
  EXPECT_EQ(out[0], 0xFFFF00FFu);
  EXPECT_EQ(out[1], 0xFF00FF00u);
  const uint8_t a1[4] = {0x00, 0x80, 0x1F, 0x00};
  ASSERT_TRUE(ExpandTexels(25, a1, out, 2));
  EXPECT_EQ(out[0], 0xFF000000u);
  EXPECT_EQ(out[1], 0x000000FFu);
  const uint8_t a4[2] = {0x8F, 0x3F};
  ASSERT_TRUE(ExpandTexels(26, a4, out, 1));
  EXPECT_EQ(out[0], 0x33FF88FFu);
  const uint8_t x8[4] = {1, 2, 3, 0};
  ASSERT_TRUE(ExpandTexels(22, x8, out, 1));
  EXPECT_EQ(out[0], 0xFF030201u);
  const uint8_t r3g3b2 = 0xE3;
  ASSERT_TRUE(ExpandTexels(27, &r3g3b2, out, 1));
  EXPECT_EQ(out[0], 0xFFFF00FFu);
  EXPECT_FALSE(ExpandTexels(28, x8, out, 1));
  EXPECT_EQ(TexelBytes(28), 0);
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

// The four-pixel kernels against the one-pixel ones: spans of every length 1..13,
// every start alignment, blends 0, 1 and 2 with partial alpha, in 32 and 16 bits.
TEST(SoftwareKernels, VectorAndScalarPathsAgree) {
  for (bool low : {false, true}) {
    std::vector<uint32_t> frames[2];
    for (int32_t k = 0; k < 2; ++k) {
      auto d = testing::SoftwareDevice(80, 64, low);
      static_cast<SoftwareBackend*>(d->Backend())->SetVectorKernels(k == 0);
      std::vector<uint32_t> texels(16 * 16);
      for (size_t i = 0; i < texels.size(); ++i) {
        const auto v = static_cast<uint32_t>(i * 2654435761u);
        texels[i] = (i % 3 == 0) ? (v & 0x00FFFFFF) : ((i % 3 == 1) ? (v | 0xFF000000u) : v);
      }
      testing::GridImage image(*d, 16, 16, 16, 16, texels);
      d->BeginScene();
      d->Clear(0x336699);
      for (int32_t blend = 0; blend < 3; ++blend) {
        for (int32_t w = 1; w <= 13; ++w) {
          // The viewport cuts the 16-texel rows to w pixels.
          const int32_t x = (w * (w - 1)) / 2 % 64 + blend, y = blend * 20;
          d->SetViewport({x, y, x + w, y + 16});
          d->DrawImage(&image, x - (w % 3), y, 0, blend);
        }
      }
      d->EndScene();
      frames[k] = testing::Frame(*d);
    }
    EXPECT_EQ(frames[0], frames[1]) << "low bit depth " << low;
  }
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

// Vertices no device would send still draw nothing rather than misbehave.
TEST(SoftwareKernels, NonFiniteAndHugeVerticesAreHarmless) {
  SoftwareBackend b;
  BackendSettings s;
  s.Width = 16;
  s.Height = 16;
  ASSERT_EQ(b.OpenDisplay(), 0);
  ASSERT_EQ(b.CreateDevice(s), 0);
  ASSERT_TRUE(b.Clear(0));
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const DrawVertex bad[4] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0}, {inf, 0, 0, 1, 0xFFFFFFFF, 1, 0},
                             {0, nan, 0, 1, 0xFFFFFFFF, 0, 1}, {inf, inf, 0, 1, 0xFFFFFFFF, 1, 1}};
  ASSERT_TRUE(b.UploadVertices(bad, 4));
  EXPECT_TRUE(b.DrawPrimitives(Primitive::TriangleStrip, 4));
  const DrawVertex huge[3] = {{-1e30f, -1e30f, 0, 1, 0xFF00FF00, 0, 0},
                              {1e30f, -1e30f, 0, 1, 0xFF00FF00, 0, 0},
                              {0, 1e30f, 0, 1, 0xFF00FF00, 0, 0}};
  ASSERT_TRUE(b.UploadVertices(huge, 3));
  EXPECT_TRUE(b.DrawPrimitives(Primitive::TriangleList, 3));
  EXPECT_FALSE(b.DrawPrimitives(Primitive::TriangleList, 6));  // more than uploaded
  std::vector<uint32_t> px;
  int32_t w = 0, h = 0;
  ASSERT_TRUE(b.ReadFrame(px, w, h));
  EXPECT_EQ(px[0], 0xFF00FF00u);  // the huge triangle covers the target
  EXPECT_EQ(b.CreateTexture(0, 4, 21), kNoTexture);
  EXPECT_EQ(b.CreateTexture(4, 4, 28), kNoTexture);
  EXPECT_FALSE(b.BindTexture(12345));
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

// The four-pixel filtering and fill kernels against the one-pixel ones on whole
// frames: glows and sprites magnified, shrunk, turned to many angles and pushed past
// the frame's edges (so samples clamp at the texture's borders), untinted and tinted,
// with and without vertex alpha, in the blends those kernels take (1, 2, 3, 6) and
// their neighbours, and fills in the same blends, in 32 and 16 bits. Span lengths and
// starts vary freely, so the four-pixel loops meet every tail.
TEST(SoftwareKernels, FilteredKernelsMatchOnePixelKernels) {
  for (bool low : {false, true}) {
    std::vector<uint32_t> frames[2];
    for (int32_t k = 0; k < 2; ++k) {
      auto d = testing::SoftwareDevice(160, 120, low);
      static_cast<SoftwareBackend*>(d->Backend())->SetVectorKernels(k == 0);
      testing::GridImage sprite(*d, 64, 32, 32, 32, testing::SpriteTexels());
      testing::GridImage glow(*d, 16, 16, 16, 16, testing::GlowTexels(16));
      d->BeginScene();
      d->Clear(0);
      testing::DrawBars(*d, 160, 120);
      const uint32_t tints[] = {0xFFFFFFFF, 0xFF3FC07F, 0x8040A0FF, 0x00FFFFFF};
      const int32_t blends[] = {0, 8, 7, 1, 2, 3, 6};  // the copies and darkening first, so nothing hides the rest
      int32_t n = 0;
      for (int32_t blend : blends) {
        for (uint32_t tint : tints) {
          for (int32_t angle : {0, 64, 13, 100, 171}) {
            const int32_t x = (n * 37) % 190 - 15, y = (n * 23) % 150 - 15;
            const int32_t scale = 96 + (n * 53) % 900;
            const int32_t effect = blend | ((n % 2) != 0 ? kEffectVertexAlpha : 0);
            d->DrawImageRotatedColored(&glow, x, y, angle, scale, tint, 0, effect);
            d->DrawImageRotatedColored(&sprite, y, x, angle + 7, scale / 3, tint, n % 2, effect);
            ++n;
          }
          d->DrawImageScaled(&glow, (n * 11) % 150 - 20, (n * 7) % 110 - 20, 700, tint, 0, blend);
          d->DrawImageStretched(&sprite, {(n * 13) % 140, 5, (n * 13) % 140 + 9, 115}, tint, 0, blend);
          d->DrawImageColored(&sprite, (n * 19) % 170 - 20, (n * 31) % 130 - 20, tint, n % 2, blend);
          // Untinted and tinted fills of every width up to a few groups of four.
          const int32_t fx = (n * 29) % 150, fw = 1 + n % 19;
          d->FillBox(fx, (n * 17) % 110, fw, 9, tint & 0xFF7F5F3Fu, blend | ((n % 3) != 0 ? kEffectVertexAlpha : 0));
          d->FillQuad(fx, 60, fx + fw, 60, fx + fw + 20, 100, fx + 20, 100, 0x60FFFFFF, blend);
        }
      }
      d->EndScene();
      frames[k] = testing::Frame(*d);
    }
    ASSERT_EQ(frames[0].size(), frames[1].size());
    size_t differing = 0, first = frames[0].size();
    for (size_t i = 0; i < frames[0].size(); ++i) {
      if (frames[0][i] != frames[1][i]) {
        ++differing;
        first = std::min(first, i);
      }
    }
    EXPECT_EQ(differing, 0u) << "low bit depth " << low << ", first at " << first % 160 << ","
                             << first / 160;
  }
}

}  // namespace
}  // namespace tarq

namespace tarq {
namespace {

// A quad the device sends (TL, TR, BL) (BL, TR, BR), or as a four-vertex strip, is
// drawn with its two triangles walked together and their touching spans joined: the
// pixels must be those of the two triangles drawn one after the other. Turned quads of
// several sizes, a folded one whose triangles overlap, and one past the frame's edge,
// in the blends with joined kernels and a copy, tinted or not, both kernel kinds, 32
// and 16 bits.
TEST(SoftwareKernels, QuadsDrawAsTheirTwoTriangles) {
  struct Quad {
    float x[4], y[4];  // TL, TR, BL, BR
  };
  std::vector<Quad> quads;
  for (int32_t i = 0; i < 9; ++i) {
    const double angle = 0.3 + i * 0.61, half = 5.0 + i * 3.5, cx = 20.0 + i * 9.0, cy = 30.0 + (i % 3) * 17.0;
    const double c = std::cos(angle) * half, s = std::sin(angle) * half * 0.7;
    const auto at = [&](double dx, double dy, int32_t k, Quad& q) {
      q.x[k] = static_cast<float>(std::round(cx + dx));
      q.y[k] = static_cast<float>(std::round(cy + dy));
    };
    Quad q{};
    at(-c + s, -s * 1.4 - c * 0.6, 0, q);
    at(c + s, s * 1.4 - c * 0.6, 1, q);
    at(-c - s, -s * 1.4 + c * 0.6, 2, q);
    at(c - s, s * 1.4 + c * 0.6, 3, q);
    quads.push_back(q);
  }
  quads.push_back({{10, 60, 60, 10}, {10, 10, 50, 45}});    // folded: the triangles overlap
  quads.push_back({{-20, 70, 5, 110}, {55, 40, 95, 70}});   // past the left and bottom edges
  std::vector<uint32_t> texels = testing::SpriteTexels();  // 64 x 32
  for (size_t i = 0; i < texels.size(); ++i) {
    if ((i % 64) / 6 % 3 == 0 && i / 64 % 11 < 6) texels[i] = 0;  // clear patches, skipped whole
  }
  for (bool low : {false, true}) {
    for (bool vector : {true, false}) {
      for (int32_t blend : {0, 1, 2, 3, 6, 7}) {
        for (uint32_t tint : {0xFFFFFFFFu, 0x9060C0FFu}) {
          std::vector<uint32_t> frames[2];
          for (int32_t joined = 0; joined < 2; ++joined) {
            SoftwareBackend b;
            BackendSettings s;
            s.Width = 100;
            s.Height = 80;
            s.LowBitDepth = low;
            ASSERT_EQ(b.CreateDevice(s), 0);
            b.SetVectorKernels(vector);
            const TextureHandle t = b.CreateTexture(64, 32, 21);
            LockedArea area;
            ASSERT_TRUE(b.LockTexture(t, area));
            std::memcpy(area.Bits, texels.data(), texels.size() * 4);
            ASSERT_TRUE(b.UnlockTexture(t));
            ASSERT_TRUE(b.BindTexture(t));
            b.SetBlend(blend);
            b.SetAlphaSource(tint != 0xFFFFFFFFu);
            b.Clear(0x406080);
            for (size_t n = 0; n < quads.size(); ++n) {
              const Quad& q = quads[n];
              DrawVertex v[4];
              for (int32_t k = 0; k < 4; ++k) v[k] = {q.x[k], q.y[k], 0, 1, tint, float(k % 2), float(k / 2)};
              const bool strip = n % 2 == 1;
              if (joined == 1) {
                const DrawVertex list[6] = {v[0], v[1], v[2], v[2], v[1], v[3]};
                ASSERT_TRUE(b.UploadVertices(strip ? v : list, strip ? 4 : 6));
                ASSERT_TRUE(b.DrawPrimitives(strip ? Primitive::TriangleStrip : Primitive::TriangleList, strip ? 4 : 6));
              } else {
                const DrawVertex first[3] = {v[0], v[1], v[2]};
                const DrawVertex second[3] = {strip ? v[1] : v[2], strip ? v[2] : v[1], v[3]};
                for (const DrawVertex* tri : {first, second}) {
                  ASSERT_TRUE(b.UploadVertices(tri, 3));
                  ASSERT_TRUE(b.DrawPrimitives(Primitive::TriangleList, 3));
                }
              }
            }
            int32_t w = 0, h = 0;
            ASSERT_TRUE(b.ReadFrame(frames[joined], w, h));
          }
          EXPECT_EQ(frames[0], frames[1]) << "low " << low << " vector " << vector << " blend " << blend
                                          << " tint " << std::hex << tint;
        }
      }
    }
  }
}

}  // namespace
}  // namespace tarq
