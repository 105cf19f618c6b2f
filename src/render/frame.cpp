#include "render/frame.h"

#include <algorithm>

#include "assets/asset_loader.h"
#include "gfx/draw_device.h"
#include "core/numeric.h"
#include "core/random.h"
#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/screens.h"
#include "render/text.h"

namespace tarq {

namespace {

uint32_t Grey(int32_t k) {
  const auto b = static_cast<uint32_t>(k & 0xFF);
  return b | (b << 8) | (b << 16);
}

void DrawMapLayers(const Game& game, FrameCanvas& canvas, int32_t firstLayer, int32_t lastLayer) {
  const ScrollRows rows = RowsForScroll(game.ScrollY);
  for (int32_t i = 0; i < kDrawnRows; ++i) {
    for (int32_t c = 0; c < kDrawnColumns; ++c) {
      for (int32_t layer = firstLayer; layer <= lastLayer; ++layer) {
        const int32_t tile = game.Map.DrawnTile(rows.FirstRow + i, c, layer);
        if (tile < 0) continue;
        canvas.DrawImage(ImageRef::Tile(tile), kTileSize * c - game.ScrollX,
                         kTileSize * i - rows.Offset, 0, layer == 0 ? kEffectCopy : kEffectAlpha);
      }
    }
  }
}

bool Flying(const PlayerRecord& p) { return p.Active && p.Energy > 0; }

// A quarter turn back from the heading, as a table index: the body sits behind the
// rotor hub along the heading.
size_t BodyAngle(const PlayerRecord& p) { return ToByteAngle(p.Heading - 64); }

void DrawShadow(const PlayerRecord& p, FrameCanvas& canvas, int32_t heli, int32_t rotors) {
  const size_t a = BodyAngle(p);
  const int32_t s = p.Altitude / 6;  // the higher, the further the shadow falls
  canvas.DrawImageRotatedColored(ImageRef::Sprite(heli), Round(p.X - 6 * CosTable[a]) + s,
                                 Round(p.Y - 6 * SinTable[a]) + s, p.Heading, 192, 0,
                                 p.BodyPattern, kEffectAlpha);
  canvas.DrawImageRotated(ImageRef::Sprite(rotors), Round(p.X) + s, Round(p.Y) + s, p.RotorAngle,
                          192, 0, kEffectDarken);
}

void DrawArmourGlow(const Game& game, const PlayerRecord& p, FrameCanvas& canvas) {
  const ArmourGlowColours colours = ArmourGlow(p.Armour);
  const ImageRef shield = ImageRef::Sprite(canvas.SpriteIndex("shield"));
  const int32_t scale = p.Altitude * 6 / 5;
  auto copy = [&](bool first) {
    canvas.DrawImageRotatedColored(shield, Round(p.X), Round(p.Y), first ? 64 : 192, scale,
                                   first ? colours.First : colours.Second, 0, kEffectAlphaAdd);
  };
  if (game.Paused) {
    // A steady glow while the game stands still.
    copy(true);
    copy(true);
    copy(false);
    return;
  }
  // Alternates every 4 ticks and flickers in brightness: 1 to 4 copies per frame.
  const bool first = game.TickCount % 8 < 4;
  const int32_t n = VisualRandom(4) + 1;
  for (int32_t k = 0; k < n; ++k) copy(first);
}

void DrawHelicopter(const Game& game, const PlayerRecord& p, FrameCanvas& canvas, int32_t heli,
                    int32_t rotors) {
  const size_t a = BodyAngle(p);
  const int32_t h = p.Altitude;
  canvas.DrawImageRotatedColored(ImageRef::Sprite(heli), Round(p.X - 8 * CosTable[a]),
                                 Round(p.Y - 8 * SinTable[a]), p.Heading, h, p.Colour,
                                 p.BodyPattern, kEffectAlpha);
  canvas.DrawImageRotated(ImageRef::Sprite(rotors), Round(p.X), Round(p.Y), p.RotorAngle, h, 0,
                          kEffectDarken);
  if (p.Armour > 0) DrawArmourGlow(game, p, canvas);
}

void DrawHud(const Game& game, FrameCanvas& canvas) {
  const PlayerRecord& p1 = game.Players[0];
  const PlayerRecord& p2 = game.Players[1];
  // Damage bars grow upward from the bottom as energy falls.
  const ImageRef bar = ImageRef::Sprite(canvas.SpriteIndex("bar1"));
  if (p1.Active) {
    const int32_t t = DamageBarTop(p1.Energy);
    canvas.DrawQuad(bar, 0, t, 16, t, 16, 480, 0, 480, 0, kEffectAlphaAdd);
  }
  if (p2.Active) {
    const int32_t t = DamageBarTop(p2.Energy);
    canvas.DrawQuad(bar, 624, t, 640, t, 640, 480, 624, 480, 0, kEffectAlphaAdd);
  }
  // Nukes and lives in stock, whether the player is in the run or not.
  const ImageRef powerups = ImageRef::Sprite(canvas.SpriteIndex("powerups"));
  for (int32_t k = 0; k < std::min(p1.Nukes, 18); ++k)
    canvas.DrawImageRotated(powerups, 10 + 20 * k, 450, 64, 128, 4, kEffectSquareAdd);
  for (int32_t k = 0; k < std::min(p2.Nukes, 18); ++k)
    canvas.DrawImageRotated(powerups, 629 - 20 * k, 450, 64, 128, 4, kEffectSquareAdd);
  const ImageRef lives = ImageRef::Sprite(canvas.SpriteIndex("lives1"));
  for (int32_t k = 0; k < std::min(p1.Lives, 18); ++k)
    for (int copy = 0; copy < 2; ++copy)  // the second copy brightens the first
      canvas.DrawImageRotated(lives, 16 + 28 * k, 472, 64, 256, 0, kEffectSquareAdd);
  for (int32_t k = 0; k < std::min(p2.Lives, 18); ++k)
    for (int copy = 0; copy < 2; ++copy)
      canvas.DrawImageRotated(lives, 623 - 28 * k, 472, 64, 256, 1, kEffectSquareAdd);
  // The nuke blast and its bright core.
  if (game.NukeTimer > 0) {
    const int32_t z = std::min(game.NukeTimer, 16384);
    const ImageRef nuke = ImageRef::Sprite(canvas.SpriteIndex("nuke"));
    const int32_t x = game.NukeX - game.ScrollX;
    const int32_t y = game.NukeY - game.ScrollY;
    canvas.DrawImageRotatedColored(nuke, x, y, 0, z, Grey(game.NukeBrightness), 0, kEffectAdd);
    canvas.DrawImageRotatedColored(nuke, x, y, 0, z / 8, Grey(game.NukeBrightness), 0, kEffectAdd);
  }
}

void DrawGameOverMessages(const Game& game, FrameCanvas& canvas) {
  for (int32_t p = 0; p < 2; ++p) {
    const PlayerRecord& pl = game.Players[static_cast<size_t>(p)];
    if (!pl.Active || pl.Lives >= 0) continue;
    if (pl.DeathTimer > 0) {
      const std::string text = "GAME OVER PLAYER " + std::to_string(p + 1);
      canvas.Center(text, 380 * p + 132, 70, 0x7F000000, 192);
      canvas.Center(text, 380 * p + 130, 68, 0x7F00FFFF, 192);
    }
    if (pl.DeathTimer > 225) {
      canvas.Center("TRY AGAIN!", 380 * p + 132, 94, 0x7F000000, 256);
      canvas.Center("TRY AGAIN!", 380 * p + 130, 92, 0x7F0000FF, 256);
    }
  }
}

void DrawReadouts(const Game& game, FrameCanvas& canvas) {
  const PlayerRecord& p1 = game.Players[0];
  const PlayerRecord& p2 = game.Players[1];
  auto shadowed = [&](const std::string& text, int32_t x, int32_t y, int32_t shadowY,
                      uint32_t colour, int32_t scale) {
    canvas.Center(text, x + 2, shadowY, 0, scale);
    canvas.Center(text, x, y, colour, scale);
  };
  shadowed(p1.ScoreText, 60, 12, 14, 0xFFD0C0, 192);
  shadowed(p2.ScoreText, 579, 12, 14, 0xFFD0C0, 192);
  shadowed("SHIELD: " + std::to_string(p1.Armour) + "%", 60, 32, 33, 0xFFA070, 160);
  shadowed("SHIELD: " + std::to_string(p2.Armour) + "%", 579, 32, 33, 0xFFA070, 160);
}

}  // namespace

ArmourGlowColours ArmourGlow(int32_t armour) {
  if (armour > 600) return {0xFF4040, 0x407F7F};
  if (armour > 500) return {0xFF7F7F, 0x7F3F3F};
  if (armour > 300) return {0x7FFF7F, 0x3F7F3F};
  return {0xFFFFFF, 0x7F7F7F};
}

int32_t MenuDarkeningInset(int32_t slide) { return (100 - slide) * 430 / 100; }

int32_t DamageBarTop(int32_t energy) { return energy * 480 / 1000; }

void DrawPlayingFrame(Game& game, FrameCanvas* canvas) {
  if (canvas != nullptr) canvas->BeginScene();
  PlaceScrollX(game);
  if (canvas != nullptr) {
    FrameCanvas& cv = *canvas;
    DrawMapLayers(game, cv, 0, 2);
    Enemy_Draw(game, cv, EnemyPass::Wrecks);
    const int32_t heli = cv.SpriteIndex("heli2");
    const int32_t rotors = cv.SpriteIndex("rotors1");
    for (const PlayerRecord& p : game.Players)
      if (Flying(p)) DrawShadow(p, cv, heli, rotors);
    Enemy_Draw(game, cv, EnemyPass::Shadows);
    Enemy_Draw(game, cv, EnemyPass::Ground);
    DrawMapLayers(game, cv, 3, 4);
    Enemy_Draw(game, cv, EnemyPass::Air);
    for (const EnemyBullet& b : game.EnemyBullets)
      cv.DrawImageRotated(ImageRef::Sprite(b.Image), Round(b.X) - game.ScrollX,
                          Round(b.Y) - game.ScrollY, b.Angle, 256, b.Frame, kEffectAlpha);
    const ImageRef bullet = ImageRef::Sprite(cv.SpriteIndex("playerbullet"));
    for (const PlayerBullet& b : game.PlayerBullets)
      cv.DrawImageRotated(bullet, Round(b.X), Round(b.Y), b.Angle, 256, b.Pattern, kEffectAlpha);
    // Player 2 first, so player 1 is on top.
    for (size_t i = 2; i-- > 0;)
      if (Flying(game.Players[i])) DrawHelicopter(game, game.Players[i], cv, heli, rotors);
    for (const ExplosionRecord& e : game.Explosions)
      cv.DrawImageRotatedColored(ImageRef::Sprite(e.BaseImage + e.Frame / 16), e.X - game.ScrollX,
                                 e.Y - game.ScrollY, e.Angle, e.Scale, e.Colour, e.Frame % 16,
                                 kEffectSquareAdd);
    const ImageRef flare = ImageRef::Sprite(cv.SpriteIndex("flare"));
    for (const FlareRecord& f : game.Flares)
      cv.DrawImageRotatedColored(flare, f.X - game.ScrollX, f.Y - game.ScrollY, f.Angle, f.Scale,
                                 Grey(f.Brightness), 0, kEffectSquareAdd);
    DrawHud(game, cv);
    DrawGameOverMessages(game, cv);
  }
  for (PlayerRecord& p : game.Players)
    if (p.Armour < 0) p.Armour = 0;
  if (canvas == nullptr) {
    FindGooseLeader(game);  // what the enemy drawing would have left
    return;
  }
  FrameCanvas& cv = *canvas;
  DrawReadouts(game, cv);
  if (game.InGameMenuSlide > 0) {
    // The nuke glow darkens the field, opening from a thin band at the centre.
    const int32_t s = MenuDarkeningInset(game.InGameMenuSlide);
    cv.DrawQuad(ImageRef::Sprite(cv.SpriteIndex("nuke")), s - 200, s - 200, 839 - s, s - 200,
                839 - s, 679 - s, s - 200, 679 - s, 0, kEffectDarken);
    DrawIngameMenu(game, cv);
  }
  cv.EndScene();
  cv.Present();
}

TPatternImage* DeviceFrameCanvas::Resolve(ImageRef image) const {
  if (image.Type == ImageRef::Kind::Tile) {
    // Numbers without a loaded image draw nothing.
    if (image.Index < 0 || static_cast<size_t>(image.Index) >= assets_.TileImages.size())
      return nullptr;
    return assets_.TileImages[static_cast<size_t>(image.Index)].get();
  }
  return assets_.Sprite(image.Index);
}

int32_t DeviceFrameCanvas::SpriteIndex(std::string_view name) {
  return assets_.sn(std::string(name));
}

void DeviceFrameCanvas::BeginScene() { device_.BeginScene(); }
void DeviceFrameCanvas::EndScene() { device_.EndScene(); }
void DeviceFrameCanvas::Present() { device_.Present(); }

void DeviceFrameCanvas::DrawImage(ImageRef image, int32_t x, int32_t y, int32_t pattern,
                                  int32_t effect) {
  if (TPatternImage* img = Resolve(image)) device_.DrawImage(img, x, y, pattern, effect);
}

void DeviceFrameCanvas::DrawImageRotated(ImageRef image, int32_t x, int32_t y, int32_t angle,
                                         int32_t scale, int32_t pattern, int32_t effect) {
  if (TPatternImage* img = Resolve(image))
    device_.DrawImageRotated(img, x, y, angle, scale, pattern, effect);
}

void DeviceFrameCanvas::DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y,
                                                int32_t angle, int32_t scale, uint32_t colour,
                                                int32_t pattern, int32_t effect) {
  if (TPatternImage* img = Resolve(image))
    device_.DrawImageRotatedColored(img, x, y, angle, scale, colour, pattern, effect);
}

void DeviceFrameCanvas::DrawQuad(ImageRef image, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                 int32_t x3, int32_t y3, int32_t x4, int32_t y4, int32_t pattern,
                                 int32_t effect) {
  if (TPatternImage* img = Resolve(image))
    device_.DrawQuad(img, x1, y1, x2, y2, x3, y3, x4, y4, pattern, effect);
}

void DeviceFrameCanvas::DrawImageColored(ImageRef image, int32_t x, int32_t y, uint32_t colour,
                                         int32_t pattern, int32_t effect) {
  if (TPatternImage* img = Resolve(image))
    device_.DrawImageColored(img, x, y, colour, pattern, effect);
}

void DeviceFrameCanvas::Clear(uint32_t colour) { device_.Clear(colour); }

void DeviceFrameCanvas::FillBox(int32_t x, int32_t y, int32_t width, int32_t height,
                                uint32_t colour, int32_t effect) {
  device_.FillBox(x, y, width, height, colour, effect);
}

TextContext DeviceFrameCanvas::Text() const {
  return TextContext{&assets_.Font1, &assets_.Font2, &device_};
}

void DeviceFrameCanvas::Center(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                               int32_t scale) {
  ::tarq::Center(Text(), text, x, y, colour, scale);
}

void DeviceFrameCanvas::Right(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                              int32_t scale) {
  ::tarq::Right(Text(), text, x, y, colour, scale);
}

void DeviceFrameCanvas::Lft(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                            int32_t scale) {
  ::tarq::Lft(Text(), text, x, y, colour, scale);
}

void DeviceFrameCanvas::Lft2(const std::string& text, int32_t x, int32_t y, uint32_t colour,
                             int32_t scale) {
  ::tarq::Lft2(Text(), text, x, y, colour, scale);
}

int32_t DeviceFrameCanvas::TextWidth(int32_t font, const std::string& text, int32_t scale) {
  TBitmapFont& f = font == 1 ? assets_.Font1 : assets_.Font2;
  f.Scale = scale;
  return f.TextWidth(text);
}

void DeviceFrameCanvas::SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) {
  ::tarq::SetClipRect(Text(), x, y, w, h);
}

void Timer1Render(Game& game, FrameCanvas* canvas) {
  // Menus and end screens draw whole frames of their own and have no game logic, so
  // without a canvas nothing runs for them.
  switch (game.ScreenState) {
    case kScreenTitle: if (canvas) DrawTitleScreen(game, *canvas); return;
    case kScreenControlOptions: if (canvas) DrawOptionsScreen(game, *canvas); return;
    case kScreenGameOptions: if (canvas) DrawSelectScreen(game, *canvas); return;
    case kScreenScores: if (canvas) DrawScores(game, *canvas, -1); return;
    case kScreenNameEntry: if (canvas) DrawScores(game, *canvas, game.EditIndex); return;
    case kScreenCompletion: if (canvas) DrawGameOver(game, *canvas); return;
    case kScreenIntro: if (canvas) DrawSponsors(game, *canvas); return;
    default: DrawPlayingFrame(game, canvas);
  }
}

}  // namespace tarq
