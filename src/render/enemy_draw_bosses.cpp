// Drawing of the set-piece enemies: the goose formation, the two fortresses and the
// cannon, the sliding platform and the final boss.
#include <algorithm>

#include "core/numeric.h"
#include "enemies/enemies.h"
#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq {
namespace {

constexpr uint32_t kSilhouette = 0;

ImageRef Sprite(EnemyDrawContext& ctx, const char* name) {
  return ImageRef::Sprite(ctx.canvas.SpriteIndex(name));
}

bool AliveIn(const EnemyDrawContext& ctx, EnemyPass pass) { return !ctx.E.Dead && ctx.Pass == pass; }

// The formation's leader, when there is one this frame.
const EnemyRecord* GooseLeaderOf(const EnemyDrawContext& ctx) {
  const int32_t index = ctx.game.GooseLeader;
  if (index < 0 || static_cast<size_t>(index) >= ctx.game.EnemyList.size()) return nullptr;
  return &ctx.game.EnemyList[static_cast<size_t>(index)];
}

// The parts take the leader's tint, so the whole formation flashes when it is hit.
uint32_t FormationColour(const EnemyDrawContext& ctx) {
  const EnemyRecord* leader = GooseLeaderOf(ctx);
  return leader != nullptr ? leader->Colour : ctx.E.Colour;
}

void DrawGooseLeader(EnemyDrawContext& ctx) {
  const ImageRef goose = Sprite(ctx, "goose1");
  const int32_t angle = (ctx.H + 192) & 255;
  if (AliveIn(ctx, EnemyPass::Shadows))
    ctx.canvas.DrawImageRotatedColored(goose, ctx.X + ctx.S, ctx.Y + ctx.S, angle, 192, kSilhouette,
                                       ctx.E.ParamB, kEffectAlpha);
  if (AliveIn(ctx, EnemyPass::Air))
    ctx.canvas.DrawImageRotatedColored(goose, ctx.X, ctx.Y, angle, 256, ctx.E.Colour, ctx.E.ParamB,
                                       kEffectAlpha);
}

// The rotor parts; the front one also carries the big rotor over the leader.
void DrawGooseTail(EnemyDrawContext& ctx) {
  if (ctx.E.Dead) return;
  const ImageRef body = Sprite(ctx, "goose2");
  const ImageRef rotors = Sprite(ctx, "rotors1");
  const bool front = ctx.E.ParamA == 1;
  const EnemyRecord* leader = GooseLeaderOf(ctx);
  const int32_t s = ctx.S;
  if (ctx.Pass == EnemyPass::Shadows) {
    ctx.canvas.DrawImageRotatedColored(body, ctx.X + s, ctx.Y + s, 64, 192, kSilhouette, 0, kEffectAlpha);
    if (!front) return;
    ctx.canvas.DrawImageRotated(rotors, ctx.X + s, ctx.Y + s - 18, ctx.E.ParamC, 192, 0, kEffectDarken);
    if (leader != nullptr)
      ctx.canvas.DrawImageRotated(rotors, Round(leader->X) - ctx.game.ScrollX + s,
                                  Round(leader->Y) - ctx.game.ScrollY + s + 21, leader->ParamA, 384, 0,
                                  kEffectDarken);
  } else if (ctx.Pass == EnemyPass::Air) {
    ctx.canvas.DrawImageRotatedColored(body, ctx.X, ctx.Y, 64, 256, FormationColour(ctx), 0, kEffectAlpha);
    if (!front) return;
    ctx.canvas.DrawImageRotated(rotors, ctx.X, ctx.Y - 24, ctx.E.ParamC, 256, 0, kEffectDarken);
    if (leader != nullptr)
      ctx.canvas.DrawImageRotated(rotors, Round(leader->X) - ctx.game.ScrollX,
                                  Round(leader->Y) - ctx.game.ScrollY + 28, leader->ParamA, 512, 0,
                                  kEffectDarken);
  }
}

void DrawGooseWing(EnemyDrawContext& ctx) {
  const ImageRef wing = Sprite(ctx, "goose3");
  if (AliveIn(ctx, EnemyPass::Shadows))
    ctx.canvas.DrawImageRotatedColored(wing, ctx.X + ctx.S, ctx.Y + ctx.S, 64, 192, kSilhouette, 0,
                                       kEffectAlpha);
  if (AliveIn(ctx, EnemyPass::Air))
    ctx.canvas.DrawImageRotatedColored(wing, ctx.X, ctx.Y, 64, 256, FormationColour(ctx), 0, kEffectAlpha);
}

// A beam bar from just under the gun to below the bottom of the screen, 14 pixels wide
// at the first step of a pulse and 2 pixels narrower each step after.
void DrawBeam(EnemyDrawContext& ctx, int32_t top, int32_t copies) {
  const int32_t step = ctx.E.IntE;
  if (step < 1 || step > 8) return;
  const ImageRef bar = Sprite(ctx, "bar1");
  const int32_t left = ctx.X + step - 9;
  const int32_t right = ctx.X - step + 7;
  for (int32_t i = 0; i < copies; ++i)
    ctx.canvas.DrawQuad(bar, left, top, right, top, right, 680, left, 680, 0, kEffectAlphaAdd);
}

void DrawFortress(EnemyDrawContext& ctx) {
  if (ctx.E.Dead) return;
  // The gun rears up as a beam pulse starts and settles as it fades.
  const int32_t rise = ctx.E.IntE > 0 ? std::max(14 - ctx.E.IntE, 0) : 0;
  FrameCanvas& cv = ctx.canvas;
  const ImageRef gun = Sprite(ctx, "boss1gun");
  if (ctx.Pass == EnemyPass::Shadows) {
    cv.DrawImageColored(gun, ctx.X - 16, ctx.Y - rise - 80, kSilhouette, 0, kEffectAlpha);
    return;
  }
  if (ctx.Pass != EnemyPass::Air) return;
  cv.DrawImageColored(gun, ctx.X - 32, ctx.Y - rise - 96, ctx.E.Colour, 0, kEffectAlpha);
  const ImageRef doors = Sprite(ctx, "boss1doors");
  cv.SetClipRect(ctx.X - 124, ctx.Y - 115, 64, 128);
  cv.DrawImage(doors, ctx.X - 124, ctx.Y - ctx.E.ParamA - 120, 0, kEffectAlpha);
  cv.SetClipRect(ctx.X + 64, ctx.Y - 115, 64, 128);
  cv.DrawImage(doors, ctx.X + 64, ctx.Y - ctx.E.ParamB - 120, 1, kEffectAlpha);
  cv.SetClipRect(0, 0, 640, 480);
  DrawBeam(ctx, ctx.Y - rise + 110, 8);
}

void DrawCitadel(EnemyDrawContext& ctx) {
  if (!AliveIn(ctx, EnemyPass::Air)) return;
  const int32_t door = ctx.E.ParamA;
  const ImageRef image = Sprite(ctx, door > 3 ? "boss2b" : "boss2a");
  ctx.canvas.DrawImageColored(image, ctx.X - 64, ctx.Y - 64, ctx.E.Colour, door > 3 ? door - 4 : door,
                              kEffectAlpha);
  DrawBeam(ctx, ctx.Y + 32, 1);
}

void DrawCitadelCannon(EnemyDrawContext& ctx) {
  if (!AliveIn(ctx, EnemyPass::Ground)) return;
  ctx.canvas.DrawImageColored(Sprite(ctx, "boss2cannon"), ctx.X - 20, ctx.Y - 21, ctx.E.Colour, 0,
                              kEffectAlpha);
}

void DrawPlatform(EnemyDrawContext& ctx) {
  if (!AliveIn(ctx, EnemyPass::Air)) return;
  ctx.canvas.DrawImageColored(Sprite(ctx, "boss3"), ctx.X - 64, ctx.Y - 32 - ctx.E.IntA, ctx.E.Colour,
                              0, kEffectAlpha);
}

// The final boss: a 3 x 3 block of hull patterns with four corner pods, then the arena
// pieces that stay at fixed places on the map: the hatch and the two launchers, each
// launcher kicked up by its flash.
void DrawFinalBoss(EnemyDrawContext& ctx) {
  if (!AliveIn(ctx, EnemyPass::Air)) return;
  struct Piece {
    int32_t Pattern, Dx, Dy;
  };
  static constexpr Piece kHull[] = {
      {5, -32, -32},  {4, -96, -32},   {6, 32, -32},   {1, -32, -96},  {0, -96, -96},
      {2, 32, -96},   {9, -32, 32},    {8, -96, 32},   {10, 32, 32},   {12, -127, -112},
      {12, 65, -112}, {12, -127, 24},  {12, 65, 24},
  };
  FrameCanvas& cv = ctx.canvas;
  const ImageRef hull = Sprite(ctx, "boss4");
  for (const Piece& p : kHull)
    cv.DrawImageColored(hull, ctx.X + p.Dx, ctx.Y + p.Dy, ctx.E.Colour, p.Pattern, kEffectAlpha);
  const int32_t scrollY = ctx.game.ScrollY;
  cv.DrawImage(Sprite(ctx, "boss4x1"), ctx.X - 29, 126272 - scrollY, 0, kEffectAlpha);
  const ImageRef launcher = Sprite(ctx, "boss1gun");
  cv.DrawImage(launcher, ctx.X - 212, 126192 - scrollY - ctx.E.ParamB, 0, kEffectAlpha);
  cv.DrawImage(launcher, ctx.X + 148, 126192 - scrollY - ctx.E.ParamC, 0, kEffectAlpha);
}

}  // namespace

void RegisterBossDrawers(EnemyDrawTable& table) {
  table[7] = DrawGooseLeader;
  table[13] = DrawGooseTail;
  table[14] = DrawGooseWing;
  table[101] = DrawFortress;
  table[102] = DrawCitadel;
  table[103] = DrawCitadelCannon;
  table[104] = DrawPlatform;
  table[105] = DrawFinalBoss;
}

}  // namespace tarq
