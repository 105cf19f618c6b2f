#pragma once
// The golden-picture scenes, drawn the same way on every back end: the software
// rasteriser's pictures are the goldens, and the OpenGL back end is held against them.
// Each scene draws one whole frame (BeginScene .. EndScene) on a device of the size
// named beside it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "draw_test_support.h"

namespace tarq::testing {

// Vertical bars of eight colours, darker in the lower half: a background on which
// every blend shows what it does.
inline void DrawBars(TDrawDevice& d, int32_t width, int32_t height) {
  const uint32_t colours[8] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00,
                               0xFF0000, 0x808080, 0xFFFF00, 0x4080C0};
  for (int32_t x = 0, i = 0; x < width; x += 6, ++i) {
    d.FillBox(x, 0, 6, height / 2, colours[i % 8], 0);
    d.FillBox(x, height / 2, 6, height - height / 2, colours[i % 8] & 0x7F7F7F, 0);
  }
}

// A soft round glow: white with alpha falling off from the centre.
inline std::vector<uint32_t> GlowTexels(int32_t size) {
  std::vector<uint32_t> t(static_cast<size_t>(size * size));
  for (int32_t y = 0; y < size; ++y) {
    for (int32_t x = 0; x < size; ++x) {
      const double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
      const double f = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy));
      const auto a = static_cast<uint32_t>(std::lround(f * 255));
      t[static_cast<size_t>(y * size + x)] = (a << 24) | (a << 16) | (a * 3 / 4 << 8) | (a / 3);
    }
  }
  return t;
}

// 200 x 160: "draw_effects". Rows 0-1: effects 0..9 untinted. Rows 2-3: the same with
// a half-transparent orange tint and the vertex-alpha bit.
inline void DrawEffectsScene(TDrawDevice& d) {
  GridImage sprite(d, 64, 32, 32, 32, SpriteTexels());
  d.BeginScene();
  d.Clear(0);
  DrawBars(d, 200, 160);
  for (int32_t e = 0; e < 10; ++e) {
    const int32_t x = 4 + (e % 5) * 40, y = 4 + (e / 5) * 40;
    d.DrawImage(&sprite, x, y, 0, e);
    d.DrawImageColored(&sprite, x, y + 80, 0x8040A0FF, 0, e | kEffectVertexAlpha);
  }
  d.EndScene();
}

// 256 x 128: "draw_operations", every drawing operation once.
inline void DrawOperationsScene(TDrawDevice& d) {
  GridImage sprite(d, 64, 32, 32, 32, SpriteTexels());
  d.BeginScene();
  d.Clear(0x402010);
  d.DrawImage(&sprite, 2, 2, 0, 2);
  d.DrawImage(&sprite, 36, 2, 1, 2);                        // second pattern
  d.DrawImageColored(&sprite, 70, 2, 0xFF00FFFF, 0, 2);     // yellow tint
  d.DrawImageScaled(&sprite, 104, 2, 128, 0xFFFFFF, 0, 2);  // half size
  d.DrawImageScaled(&sprite, 124, 2, 400, 0xFFFFFF, 0, 2);  // 50 x 50
  d.DrawImageStretched(&sprite, {178, 2, 254, 30}, 0xFFFFFF, 0, 2);
  d.DrawImageStretched(&sprite, {254, 34, 178, 62}, 0xFFFFFF, 0, 2);  // mirrored
  d.DrawQuad(&sprite, 4, 60, 60, 50, 50, 100, 10, 90, 0, 2);
  d.DrawQuadColored(&sprite, 70, 60, 120, 60, 140, 100, 60, 110, 0xFFFF8080, 0, 2);
  d.FillQuad(150, 70, 170, 64, 176, 120, 144, 110, 0xFF00FF00, 0);
  d.FillRect({180, 70, 210, 90}, 0x800000FF, 2 | kEffectVertexAlpha);
  d.FillBox(190, 80, 40, 40, 0xFFFF0000, 1);
  d.FillBox(234, 64, 20, 60, 0xFFFFFFFF, 7);
  d.EndScene();
}

// 240 x 150: "draw_rotation_linear" or "draw_rotation_nearest" by the device's
// filtering; six angles at three scales.
inline void DrawRotationScene(TDrawDevice& d) {
  GridImage sprite(d, 64, 32, 32, 32, SpriteTexels());
  d.BeginScene();
  d.Clear(0x303030);
  const int32_t angles[6] = {0, 10, 32, 64, 100, 192};
  const int32_t scales[3] = {128, 256, 400};
  for (int32_t s = 0; s < 3; ++s) {
    for (int32_t a = 0; a < 6; ++a) {
      d.DrawImageRotated(&sprite, 20 + a * 40, 22 + s * 50, angles[a], scales[s], 0, 2);
    }
  }
  d.EndScene();
}

// 144 x 40: "draw_mirror_flip".
inline void DrawMirrorFlipScene(TDrawDevice& d) {
  GridImage sprite(d, 64, 32, 32, 32, SpriteTexels());
  d.BeginScene();
  d.Clear(0x202020);
  const int32_t flags[4] = {0, kEffectMirror, kEffectFlip, kEffectMirror | kEffectFlip};
  for (int32_t i = 0; i < 4; ++i) d.DrawImage(&sprite, 4 + i * 36, 4, 0, 2 | flags[i]);
  d.EndScene();
}

// 160 x 120: "draw_clipping", geometry across, beyond and far beyond the viewport.
inline void DrawClippingScene(TDrawDevice& d) {
  GridImage sprite(d, 64, 32, 32, 32, SpriteTexels());
  GridImage glow(d, 32, 32, 32, 32, GlowTexels(32));
  d.BeginScene();
  d.Clear(0x000040);
  d.SetViewport({20, 16, 140, 100});
  DrawBars(d, 160, 120);
  // A glow 40 times its size centred in the view, additive.
  d.DrawImageScaled(&glow, 80 - 640, 58 - 640, 40 * 256, 0xFFFFFF, 0, 1);
  // Sprites across every edge, and a rotated one across a corner.
  d.DrawImage(&sprite, 4, 40, 0, 2);
  d.DrawImage(&sprite, 124, 50, 0, 2);
  d.DrawImage(&sprite, 60, 0, 0, 2);
  d.DrawImage(&sprite, 70, 90, 0, 2);
  d.DrawImageRotated(&sprite, 136, 18, 40, 300, 0, 2);
  // Wholly outside, and enormous and wholly outside.
  d.DrawImage(&sprite, -200, 40, 0, 0);
  d.DrawImageScaled(&glow, 2000, -5000, 64 * 256, 0xFFFFFF, 0, 1);
  d.SetViewport({0, 0, 160, 120});
  d.FillBox(0, 118, 160, 2, 0xFF00FF00, 0);
  d.SetViewport({150, 10, 140, 20});  // inverted: clips everything
  d.FillBox(0, 0, 160, 120, 0xFFFFFFFF, 0);
  d.EndScene();
}

// 128 x 64 on a 16-bit target: "draw_16bit", ramps and glows that show the banding.
inline void DrawSixteenBitScene(TDrawDevice& d) {
  GridImage glow(d, 32, 32, 32, 32, GlowTexels(32));
  d.BeginScene();
  d.Clear(0x000000);
  for (int32_t x = 0; x < 128; ++x) {
    const auto v = static_cast<uint32_t>(x * 2);
    d.FillBox(x, 0, 1, 32, v | (v << 8) | (v << 16), 0);  // grey ramp: visible banding
    d.FillBox(x, 32, 1, 32, 0x8000 | (v << 16), 0);
  }
  d.DrawImageScaled(&glow, 16, 0, 512, 0xFFFFFF, 0, 2);
  d.DrawImageScaled(&glow, 80, 16, 256, 0xFFFFFF, 0, 1);
  d.EndScene();
}

}  // namespace tarq::testing
