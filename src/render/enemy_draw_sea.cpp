// Drawing of the things on the water: water things (shadow and body growing with their
// height), splashes fading by their colour, hovercraft with sliding deck doors and the
// shell spitters they drop.
#include "render/enemy_draw_ground_family.h"

namespace tarq {

namespace {

using ground_draw::Alive;
using ground_draw::Centred;
using ground_draw::Sprite;

constexpr uint32_t kShadow = 0;

// Kind 32: a water thing; the higher it leaps the further off its shadow falls and the
// bigger it looks.
void DrawWaterThing(EnemyDrawContext& ctx) {
  if (!Alive(ctx)) return;
  if (ctx.Pass == EnemyPass::Shadows)
    Centred(ctx, "waterthing1", 64, 192, kShadow, 0, ctx.S, ctx.S);
  else if (ctx.Pass == EnemyPass::Air)
    Centred(ctx, "waterthing1", 64, ctx.S + 192, ctx.E.Colour, 0);
}

// Kind 35: a splash, added on the water at scale IntB in colour IntC (fading to black).
void DrawSplash(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Ground || !Alive(ctx)) return;
  ctx.canvas.DrawImageRotatedColored(Sprite(ctx, "splash"), ctx.X, ctx.Y, 64, ctx.E.IntB,
                                     static_cast<uint32_t>(ctx.E.IntC), 0, kEffectSquareAdd);
}

// Kind 36: the hovercraft; its turret shows until it is dropped (ParamB), and the two
// deck doors slide ParamA pixels apart inside the deck opening.
void DrawHovercraft(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Ground || !Alive(ctx)) return;
  const EnemyRecord& e = ctx.E;
  ctx.canvas.DrawImageColored(Sprite(ctx, "hovercraft1"), ctx.X - 45, ctx.Y - 62, e.Colour, 0,
                              kEffectAlpha);
  if (e.ParamB == 0) Centred(ctx, "shellspitter", 64, 256, kWhite, 0, 0, 7);
  ctx.canvas.SetClipRect(ctx.X - 25, ctx.Y - 9, 49, 31);
  const ImageRef door = Sprite(ctx, "hovercraft1a");
  ctx.canvas.DrawImageColored(door, ctx.X - e.ParamA - 25, ctx.Y - 9, e.Colour, 0, kEffectAlpha);
  ctx.canvas.DrawImageColored(door, ctx.X + e.ParamA, ctx.Y - 9, e.Colour, 0, kEffectAlpha);
  ctx.canvas.SetClipRect(0, 0, 640, 480);
}

// Kind 37: the shell spitter once dropped, flying.
void DrawShellSpitter(EnemyDrawContext& ctx) {
  if (!Alive(ctx)) return;
  if (ctx.Pass == EnemyPass::Shadows)
    Centred(ctx, "shellspitter", 64, 192, kShadow, 0, ctx.S, ctx.S);
  else if (ctx.Pass == EnemyPass::Air)
    Centred(ctx, "shellspitter", 64, 256, ctx.E.Colour, 0);
}

}  // namespace

void RegisterSeaDrawers(EnemyDrawTable& table) {
  table[32] = DrawWaterThing;
  table[35] = DrawSplash;
  table[36] = DrawHovercraft;
  table[37] = DrawShellSpitter;
}

}  // namespace tarq
