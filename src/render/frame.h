#pragma once
// Drawing one frame. The in-game frame draws the scrolling map, shadows, enemies,
// bullets, helicopters, explosions, flares, the nuke blast, the head-up display and
// the in-game menu's darkening, in that order; other screens have their own routines.
//
// The frame also does two pieces of game logic: it places ScrollX from the players at
// its start and raises a negative Armour to 0 before showing it. Those run also
// without anything to draw on (the headless runner renders with no canvas).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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
  // Text in the second game font centred on (x, y).
  virtual void Center(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                      int32_t scale) = 0;

  // The enemies' drawing passes: wrecks, shadows, ground and airborne enemies.
  virtual void EnemyDraw(bool shadows, bool ground, bool wrecks) = 0;
  // The in-game menu's items over the darkened field.
  virtual void DrawIngameMenu() = 0;

  // A whole menu or end screen, which brackets its own frame: 0 the title screen,
  // 2 the control options, 3 the game options, 4 the score table, 5 the score table
  // with the entry being named, 6 the completion screen, 7 the sponsor screen.
  virtual void DrawScreen(int32_t screenState) = 0;
};

// The game's canvas: the drawing device with the loaded sprite table, tile images and
// fonts. The enemy passes, the in-game menu's items and the other screens are drawn by
// their own routines, reached through the hooks; a screen without a hook shows a
// cleared frame.
class DeviceFrameCanvas : public FrameCanvas {
 public:
  DeviceFrameCanvas(TDrawDevice& device, GameAssets& assets) : device_(device), assets_(assets) {}

  std::function<void(bool shadows, bool ground, bool wrecks)> OnEnemyDraw;
  std::function<void()> OnIngameMenu;
  std::function<void(int32_t screenState)> OnScreen;

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
  void Center(const std::string& text, int32_t x, int32_t y, uint32_t colour,
              int32_t scale) override;
  void EnemyDraw(bool shadows, bool ground, bool wrecks) override;
  void DrawIngameMenu() override;
  void DrawScreen(int32_t screenState) override;

 private:
  TPatternImage* Resolve(ImageRef image) const;
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
