// Drawing of the units that drive on the ground: tanks, jeeps and their track marks,
// trains, rail launchers, ground spitters, missile tanks and the big tank. Shadows go in
// the shadow pass, bodies in the ground pass (below the map's overlays), craters and
// track marks in the wreck pass.
#include "core/angles.h"
#include "core/numeric.h"
#include "render/enemy_draw_ground_family.h"

namespace tarq {

namespace {

using ground_draw::Alive;
using ground_draw::Centred;
using ground_draw::Crater;
using ground_draw::DrawCraterWhenDead;
using ground_draw::Sprite;

constexpr uint32_t kShadow = 0;

// Kind 1: hull, and a turret pivoting 14 pixels ahead of the centre along its own
// heading (ParamA), each with a soft shadow of stacked dark copies.
void DrawTank(EnemyDrawContext& ctx) {
  if (DrawCraterWhenDead(ctx) || !Alive(ctx)) return;
  const EnemyRecord& e = ctx.E;
  if (ctx.Pass == EnemyPass::Shadows) {
    for (int32_t j = 1; j <= 4; ++j) Centred(ctx, "tank0b", ctx.H, 256, kShadow, 0, j, j);
    return;
  }
  if (ctx.Pass != EnemyPass::Ground) return;
  const int32_t turret = e.ParamA;
  const auto back = static_cast<ByteAngle>(turret - 64);
  const int32_t tx = Round(14 * CosTable[back]);
  const int32_t ty = Round(14 * SinTable[back]);
  Centred(ctx, "tank0b", ctx.H, 256, e.Colour, 0);
  for (int32_t j = 1; j <= 3; ++j) Centred(ctx, "tank0t", turret, 256, kShadow, 0, tx + j, ty + j);
  Centred(ctx, "tank0t", turret, 256, e.Colour, 0, tx, ty);
}

// Kind 25: the jeep, its wheel frame in ParamC.
void DrawJeep(EnemyDrawContext& ctx) {
  if (DrawCraterWhenDead(ctx) || !Alive(ctx)) return;
  if (ctx.Pass == EnemyPass::Shadows) {
    for (int32_t j = 1; j <= 4; ++j) Centred(ctx, "enemyjeep", ctx.H, 256, kShadow, ctx.E.ParamC, j, j);
  } else if (ctx.Pass == EnemyPass::Ground) {
    Centred(ctx, "enemyjeep", ctx.H, 256, ctx.E.Colour, ctx.E.ParamC);
  }
}

// Kind 89: a track mark; its image (tank or jeep tracks) is the sprite index in IntA.
void DrawTrackMark(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Wrecks) return;
  ctx.canvas.DrawImageRotatedColored(ImageRef::Sprite(ctx.E.IntA), ctx.X, ctx.Y, ctx.H, 256, kWhite,
                                     ctx.E.ParamA, kEffectAlpha);
}

// Kinds 10 and 11: engine and carriages, their look in ParamA.
void DrawTrainPart(EnemyDrawContext& ctx, const char* image) {
  if (ctx.Pass != EnemyPass::Ground || !Alive(ctx)) return;
  Centred(ctx, image, ctx.H, 256, ctx.E.Colour, ctx.E.ParamA);
}
void DrawEngine(EnemyDrawContext& ctx) { DrawTrainPart(ctx, "train1"); }
void DrawCarriage(EnemyDrawContext& ctx) { DrawTrainPart(ctx, "carriage1"); }

// Kind 22: rail launcher.
void DrawRailLauncher(EnemyDrawContext& ctx) {
  if (DrawCraterWhenDead(ctx) || !Alive(ctx)) return;
  if (ctx.Pass == EnemyPass::Ground) Centred(ctx, "raillauncher", 64, 256, ctx.E.Colour, 0);
}

// Kind 26: ground spitter, its frame in ParamC.
void DrawSpitter(EnemyDrawContext& ctx) {
  if (DrawCraterWhenDead(ctx) || !Alive(ctx)) return;
  if (ctx.Pass == EnemyPass::Shadows)
    Centred(ctx, "groundspitter", 64, 256, kShadow, 0, 4, 4);
  else if (ctx.Pass == EnemyPass::Ground)
    Centred(ctx, "groundspitter", 64, 256, ctx.E.Colour, ctx.E.ParamC);
}

// Kind 90: missile tank (no crater: it is carried off whole).
void DrawMissileTank(EnemyDrawContext& ctx) {
  if (!Alive(ctx)) return;
  if (ctx.Pass == EnemyPass::Shadows)
    Centred(ctx, "missiletank", ctx.H, 256, kShadow, 0, 2, 2);
  else if (ctx.Pass == EnemyPass::Ground)
    Centred(ctx, "missiletank", ctx.H, 256, ctx.E.Colour, 0);
}

// Kind 98: the big tank's hatch, double size, above the map's overlays; its frame
// (ParamA) opens as the flier comes out. Drawn alive or dead.
void DrawBigTankHatch(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Shadows && ctx.Pass != EnemyPass::Air) return;
  Centred(ctx, "bigtank", 64, 512, kWhite, ctx.E.ParamA);
}

// Kind 99: the big tank's hull in four quarters (patterns 0 .. 3), two 64-pixel rows
// below and around its centre; its shadow is cast to the lower right.
void DrawBigTankHull(EnemyDrawContext& ctx) {
  if (ctx.E.Dead) {
    if (ctx.Pass == EnemyPass::Wrecks) Crater(ctx, ctx.E.ParamB + 480);
    return;
  }
  struct Quarter {
    int32_t Pattern, X, Y;
  };
  if (ctx.Pass == EnemyPass::Shadows) {
    static constexpr Quarter kShadowQuarters[] = {
        {2, -37, -53}, {0, 59, -53}, {3, -37, 75}, {1, 59, 75}};
    for (const Quarter& q : kShadowQuarters) Centred(ctx, "bigtank1", ctx.H, 256, kShadow, q.Pattern, q.X, q.Y);
  } else if (ctx.Pass == EnemyPass::Ground) {
    static constexpr Quarter kBodyQuarters[] = {{2, -48, 0}, {0, 48, 0}, {3, -48, 64}, {1, 48, 64}};
    const ImageRef image = Sprite(ctx, "bigtank1");
    for (const Quarter& q : kBodyQuarters)
      ctx.canvas.DrawImageRotated(image, ctx.X + q.X, ctx.Y + q.Y, ctx.H, 256, q.Pattern, kEffectAlpha);
  }
}

}  // namespace

void RegisterGroundDrawers(EnemyDrawTable& table) {
  table[1] = DrawTank;
  table[10] = DrawEngine;
  table[11] = DrawCarriage;
  table[22] = DrawRailLauncher;
  table[25] = DrawJeep;
  table[26] = DrawSpitter;
  table[89] = DrawTrackMark;
  table[90] = DrawMissileTank;
  table[98] = DrawBigTankHatch;
  table[99] = DrawBigTankHull;
}

}  // namespace tarq
