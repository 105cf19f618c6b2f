#pragma once
// Drawing one frame. The in-game frame draws the scrolling map, shadows, enemies,
// bullets, helicopters, explosions, flares, the nuke blast, the head-up display and
// the in-game menu's darkening, in that order; other screens have their own routines.
//
// The frame also does two pieces of game logic: it places ScrollX from the players at
// its start and raises a negative Armour to 0 before showing it. Those run also
// without anything to draw on (the headless runner renders with no canvas).
#include <cstdint>
#include <string>
#include <string_view>

#include "render/text.h"

namespace tarq {

struct Game;
struct GameAssets;
class TDrawDevice;
class TPatternImage;

// An image the frame draws: a map tile by tile number, or a sprite by its index in the
// sprite table.
struct ImageRef {
  enum class Kind : uint8_t { Sprite, Tile };
  Kind Type = Kind::Sprite;
  int32_t Index = 0;
  static ImageRef Sprite(int32_t index) { return {Kind::Sprite, index}; }
  static ImageRef Tile(int32_t number) { return {Kind::Tile, number}; }
  bool operator==(const ImageRef&) const = default;
};

// Blend effects the frame uses (the drawing device's codes).
enum : int32_t {
  kEffectCopy = 0,
  kEffectAdd = 1,
  kEffectAlpha = 2,
  kEffectAlphaAdd = 3,
  kEffectSquareAdd = 6,
  kEffectDarken = 7,
};

// What the frame draws on: the drawing device with the loaded sprites, tiles and fonts
// in the game, a recorder in tests. Coordinates are pixels of the 640 x 480 frame;
// angles are byte angles, scales n/256, colours 0xAABBGGRR.
class FrameCanvas {
 public:
  virtual ~FrameCanvas() = default;

  // The sprite table index of a name (the first sprite of that name, else 0).
  virtual int32_t SpriteIndex(std::string_view name) = 0;

  virtual void BeginScene() = 0;
  virtual void EndScene() = 0;
  virtual void Present() = 0;

  virtual void DrawImage(ImageRef image, int32_t x, int32_t y, int32_t pattern, int32_t effect) = 0;
  virtual void DrawImageRotated(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                                int32_t pattern, int32_t effect) = 0;
  virtual void DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y, int32_t angle,
                                       int32_t scale, uint32_t colour, int32_t pattern,
                                       int32_t effect) = 0;
  // Corners in the order top-left, top-right, bottom-right, bottom-left.
  virtual void DrawQuad(ImageRef image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                        int32_t y3, int32_t x4, int32_t y4, int32_t pattern, int32_t effect) = 0;
  virtual void DrawImageColored(ImageRef image, int32_t x, int32_t y, uint32_t colour,
                                int32_t pattern, int32_t effect) = 0;
  virtual void Clear(uint32_t colour) = 0;
  virtual void FillBox(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour,
                       int32_t effect) = 0;

  // Text placement (see text.h): Center, Right and Lft2 use the stencil font (Font2),
  // Lft the serif font (Font1). Each sets its font's scale and leaves it set.
  virtual void Center(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                      int32_t scale) = 0;
  virtual void Right(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                     int32_t scale) = 0;
  virtual void Lft(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                   int32_t scale) = 0;
  virtual void Lft2(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                    int32_t scale) = 0;
  // Width of a text in font 1 (serif) or 2 (stencil) at a scale; sets that scale.
  virtual int32_t TextWidth(int32_t font, const std::string& text, int32_t scale) = 0;
  // Limits all further drawing to x .. x + w, y .. y + h (inclusive), clamped to the
  // screen; SetClipRect(0, 0, 640, 480) restores the whole screen.
  virtual void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
};

// The game's canvas: the drawing device with the loaded sprite table, tile images and
// fonts.
class DeviceFrameCanvas : public FrameCanvas {
 public:
  DeviceFrameCanvas(TDrawDevice& device, GameAssets& assets) : device_(device), assets_(assets) {}

  int32_t SpriteIndex(std::string_view name) override;
  void BeginScene() override;
  void EndScene() override;
  void Present() override;
  void DrawImage(ImageRef image, int32_t x, int32_t y, int32_t pattern, int32_t effect) override;
  void DrawImageRotated(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                        int32_t pattern, int32_t effect) override;
  void DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                               uint32_t colour, int32_t pattern, int32_t effect) override;
  void DrawQuad(ImageRef image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3,
                int32_t y3, int32_t x4, int32_t y4, int32_t pattern, int32_t effect) override;
  void DrawImageColored(ImageRef image, int32_t x, int32_t y, uint32_t colour, int32_t pattern,
                        int32_t effect) override;
  void Clear(uint32_t colour) override;
  void FillBox(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour,
               int32_t effect) override;
  void Center(const std::string& text, int32_t x, int32_t y, uint32_t colour,
              int32_t scale) override;
  void Right(const std::string& text, int32_t x, int32_t y, uint32_t colour,
             int32_t scale) override;
  void Lft(const std::string& text, int32_t x, int32_t y, uint32_t colour, int32_t scale) override;
  void Lft2(const std::string& text, int32_t x, int32_t y, uint32_t colour,
            int32_t scale) override;
  int32_t TextWidth(int32_t font, const std::string& text, int32_t scale) override;
  void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override;

 private:
  TPatternImage* Resolve(ImageRef image) const;
  TextContext Text() const;
  TDrawDevice& device_;
  GameAssets& assets_;
};

// The render handler: draws the frame of the current screen. With no canvas only the
// frame's game logic runs (ScrollX placement and the armour clamp on the playing field).
void Timer1Render(Game& game, FrameCanvas* canvas);

// The in-game frame (any ScreenState that is not a menu or end screen).
void DrawPlayingFrame(Game& game, FrameCanvas* canvas);

// Pieces of the in-game frame, exposed for the tests.

// Colours of the armour glow: the first and the second copy for an armour charge.
struct ArmourGlowColours {
  uint32_t First;
  uint32_t Second;
};
ArmourGlowColours ArmourGlow(int32_t armour);

// The corner offset s of the in-game menu's darkening quad for a slide of 1 .. 100.
int32_t MenuDarkeningInset(int32_t slide);

// The top of a player's damage bar: the bar runs from here to the bottom of the screen.
int32_t DamageBarTop(int32_t energy);

}  // namespace tarq
