// Drawing of the pick-ups: the power-up, the shield pick-up and its bubble.
#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq {

namespace {

ImageRef Sprite(EnemyDrawContext& c, std::string_view name) {
  return ImageRef::Sprite(c.canvas.SpriteIndex(name));
}

// Kind 253: the bubble with a dark overlay turning over it; shot open, a crater.
void DrawBubbleHolder(EnemyDrawContext& c) {
  if (c.E.Dead) {
    if (c.Pass == EnemyPass::Wrecks)
      c.canvas.DrawImageRotated(Sprite(c, "crater01"), c.X, c.Y, 64, 256, 0, kEffectAlpha);
    return;
  }
  if (c.Pass != EnemyPass::Ground) return;
  c.canvas.DrawImageRotatedColored(Sprite(c, "bubbleholder"), c.X, c.Y, 64, 256, 0xFFFFFF, 0, kEffectAlpha);
  c.canvas.DrawImageRotatedColored(Sprite(c, "bubbleholder1"), c.X - 1, c.Y - 1, c.E.ParamA, 288, 0xFFFFFF, 0,
                                   kEffectDarken);
}

// Kind 254 blinks between grey and white every 4 ticks, turning half a circle.
void DrawShieldPickup(EnemyDrawContext& c) {
  if (c.E.Dead || c.Pass != EnemyPass::Air) return;
  const ImageRef image = Sprite(c, "shield");
  if (c.E.Age % 8 > 3)
    c.canvas.DrawImageRotatedColored(image, c.X, c.Y, 192, 256, 0x7F7F7F, 0, kEffectAlpha);
  else
    c.canvas.DrawImageRotatedColored(image, c.X, c.Y, 64, 256, 0xFFFFFF, 0, kEffectAlpha);
}

// Kind 255: the power-up, swollen for a moment after it was knocked (IntC).
void DrawPowerUp(EnemyDrawContext& c) {
  if (c.E.Dead) return;
  const ImageRef image = Sprite(c, "powerups");
  const int32_t ic = c.E.IntC;
  if (c.Pass == EnemyPass::Shadows)
    c.canvas.DrawImageRotatedColored(image, c.X + c.S, c.Y + c.S, 64, ic * 3 / 4 + 192, 0, 0, kEffectAlpha);
  else if (c.Pass == EnemyPass::Air)
    c.canvas.DrawImageRotatedColored(image, c.X, c.Y, 64, ic + 256, c.E.Colour, c.E.ParamB, kEffectAlpha);
}

}  // namespace

void RegisterPickupDrawers(EnemyDrawTable& table) {
  table[253] = DrawBubbleHolder;
  table[254] = DrawShieldPickup;
  table[255] = DrawPowerUp;
}

}  // namespace tarq
