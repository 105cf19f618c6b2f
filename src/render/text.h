#pragma once
// Text placement: four routines put a line of text relative to a point, one limits all
// drawing to a rectangle. Every screen draws its text through them, including the
// loading screen, which runs before the game proper exists; so they are small inline
// routines over the fonts and the device, with no state of their own.
//
// Each text routine sets its font's Scale to the scale argument and leaves it set.
// w and h are the font's TextWidth and TextHeight at that scale; div truncates:
//   Center  Font2  left x - w div 2   top y - h div 2
//   Right   Font2  left x - w         top y - h div 2
//   Lft     Font1  left x             top y - h div 2 - 1
//   Lft2    Font2  left x             top y - h div 2 - 1
#include <cstdint>
#include <string>

#include "assets/bitmap_font.h"
#include "gfx/draw_device.h"
#include "core/numeric.h"

namespace tarq {

// The game's two fonts and its drawing device. Font1 is the serif face, Font2 the
// stencil face used by most screens.
struct TextContext {
  TBitmapFont* Font1 = nullptr;
  TBitmapFont* Font2 = nullptr;
  TDrawDevice* Device = nullptr;
};

namespace text_detail {

// Sets the scale, measures and draws at the left edge the alignment gives.
enum class Align { kCentre, kRight, kLeft };

inline void Place(TBitmapFont* font, const std::string& text, int32_t x, int32_t y,
                  uint32_t colour, int32_t scale, Align align, int32_t lift) {
  if (!font) return;
  font->Scale = scale;
  const int32_t w = font->TextWidth(text);
  const int32_t h = font->TextHeight(text);
  int32_t left = x;
  if (align == Align::kCentre) left = x - static_cast<int32_t>(Div(w, 2));
  if (align == Align::kRight) left = x - w;
  font->TextOut(text, left, y - static_cast<int32_t>(Div(h, 2)) - lift, colour);
}

}  // namespace text_detail

inline void Center(const TextContext& ctx, const std::string& text, int32_t x, int32_t y,
                   uint32_t colour, int32_t scale) {
  text_detail::Place(ctx.Font2, text, x, y, colour, scale, text_detail::Align::kCentre, 0);
}

inline void Right(const TextContext& ctx, const std::string& text, int32_t x, int32_t y,
                  uint32_t colour, int32_t scale) {
  text_detail::Place(ctx.Font2, text, x, y, colour, scale, text_detail::Align::kRight, 0);
}

inline void Lft(const TextContext& ctx, const std::string& text, int32_t x, int32_t y,
                uint32_t colour, int32_t scale) {
  text_detail::Place(ctx.Font1, text, x, y, colour, scale, text_detail::Align::kLeft, 1);
}

inline void Lft2(const TextContext& ctx, const std::string& text, int32_t x, int32_t y,
                 uint32_t colour, int32_t scale) {
  text_detail::Place(ctx.Font2, text, x, y, colour, scale, text_detail::Align::kLeft, 1);
}

// The viewport SetClipRect gives: left x, top y, right x + w + 1, bottom y + h + 1
// (right and bottom exclusive), each edge clamped to 0 and above, then left and right
// to at most 640, top and bottom to at most 480. A rectangle wholly off the screen
// comes out empty and clips everything.
inline DrawRect ClipRectFor(int32_t x, int32_t y, int32_t w, int32_t h) {
  auto edge = [](int64_t v, int64_t limit) {
    return static_cast<int32_t>(Clamp<int64_t>(v, 0, limit));
  };
  DrawRect r;
  r.Left = edge(x, 640);
  r.Top = edge(y, 480);
  r.Right = edge(static_cast<int64_t>(x) + w + 1, 640);
  r.Bottom = edge(static_cast<int64_t>(y) + h + 1, 480);
  return r;
}

// Limits all further drawing to the rectangle; SetClipRect(0, 0, 640, 480) restores
// the whole screen.
inline void SetClipRect(const TextContext& ctx, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (ctx.Device) ctx.Device->SetViewport(ClipRectFor(x, y, w, h));
}

}  // namespace tarq
