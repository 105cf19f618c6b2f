// Drawing of the fixed works: gun emplacements (above the map's overlays), ground bombs
// and cannons rising out of the ground, the hatch cannon behind its sliding doors, the
// tarpaulin gun, tech guns and doors, airport shooters and domes.
#include <algorithm>

#include "gfx/draw_device.h"
#include "render/enemy_draw_ground_family.h"

namespace tarq {

namespace {

using ground_draw::Alive;
using ground_draw::Centred;
using ground_draw::Crater;
using ground_draw::DrawCraterWhenDead;
using ground_draw::Sprite;

constexpr uint32_t kShadow = 0;

// Kind 4: ground gun; the recoil (ParamC) pushes it up the screen.
void DrawGroundGun(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Air || !Alive(ctx)) return;
  ctx.canvas.DrawImageColored(Sprite(ctx, "camogun1"), ctx.X - 32, ctx.Y - 32 - ctx.E.ParamC,
                              ctx.E.Colour, 0, kEffectAlpha);
}

// Kind 6: big gun; the recoil pushes it up and to the left.
void DrawBigGun(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Air || !Alive(ctx)) return;
  const int32_t recoil = ctx.E.ParamC;
  ctx.canvas.DrawImageColored(Sprite(ctx, "biggun"), ctx.X - 35 - recoil, ctx.Y - 35 - recoil,
                              ctx.E.Colour, 0, kEffectAlpha);
}

// Kinds 19 and 20: nothing shows until the unit surfaces at Age IntA; its rising and
// blinking frame is ParamA.
void DrawRising(EnemyDrawContext& ctx, const char* image) {
  if (DrawCraterWhenDead(ctx) || !Alive(ctx)) return;
  if (ctx.Pass != EnemyPass::Ground || ctx.E.Age < ctx.E.IntA) return;
  Centred(ctx, image, 64, 256, ctx.E.Colour, ctx.E.ParamA);
}
void DrawGroundBomb(EnemyDrawContext& ctx) { DrawRising(ctx, "groundbomb"); }
void DrawGroundCannon(EnemyDrawContext& ctx) { DrawRising(ctx, "groundcannon1anim"); }

// Kind 21: the pit and cannon ("groundcannon2b") under two hatch doors
// ("groundcannon2a") that slide ParamB pixels apart inside the 60 x 60 pit; once they
// are fully open the raised cannon (frame ParamC div 2) is drawn over them.
void DrawHatchCannon(EnemyDrawContext& ctx) {
  const EnemyRecord& e = ctx.E;
  const int32_t left = ctx.X - 30;
  const int32_t top = ctx.Y - 30;
  if (e.Dead) {
    if (ctx.Pass != EnemyPass::Wrecks) return;
    ctx.canvas.DrawImage(Sprite(ctx, "groundcannon2b"), left, top, 0, kEffectAlpha);
    Crater(ctx, 300);
    return;
  }
  if (ctx.Pass != EnemyPass::Ground) return;
  const int32_t clipLeft = std::clamp(left, 0, 639);
  const int32_t clipRight = std::clamp(ctx.X + 30, 0, 639);
  const int32_t clipTop = std::clamp(top, 0, 479);
  const int32_t clipBottom = std::clamp(ctx.Y + 30, 0, 479);
  ctx.canvas.SetClipRect(clipLeft, clipTop, clipRight - clipLeft, clipBottom - clipTop);
  const ImageRef pit = Sprite(ctx, "groundcannon2b");
  const ImageRef doors = Sprite(ctx, "groundcannon2a");
  ctx.canvas.DrawImageColored(pit, left, top, e.Colour, 0, kEffectAlpha);
  ctx.canvas.DrawImageColored(doors, left, top - e.ParamB, e.Colour, 0, kEffectCopy);
  ctx.canvas.DrawImageColored(doors, left, ctx.Y + e.ParamB, e.Colour, 1, kEffectCopy);
  ctx.canvas.SetClipRect(0, 0, 640, 480);
  if (e.ParamB >= 31) ctx.canvas.DrawImageColored(pit, left, top, e.Colour, e.ParamC / 2, kEffectAlpha);
}

// Kind 23: the gun peeks out (ParamC) from under its tarpaulin. It is drawn in every
// pass but the ground pass, its crater likewise.
void DrawTarpGun(EnemyDrawContext& ctx) {
  if (ctx.Pass == EnemyPass::Ground) return;
  const EnemyRecord& e = ctx.E;
  if (e.Dead) {
    Crater(ctx, e.ParamC + 224);
    return;
  }
  Centred(ctx, "camogun1", 64, 256, e.Colour, 0, 0, 16 - e.ParamC);
  Centred(ctx, "tarpgun", 64, 256, e.Colour, 0);
}

// Kind 27: the tech gun, mirrored left to right when it came out on the right (ParamC).
void DrawTechGun(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Ground || !Alive(ctx)) return;
  const int32_t effect = ctx.E.ParamC == 0 ? kEffectAlpha : (int32_t{kEffectAlpha} | int32_t{kEffectMirror});
  ctx.canvas.DrawImageColored(Sprite(ctx, "tech1"), ctx.X - 64, ctx.Y - 32, ctx.E.Colour, 0, effect);
}

// Kind 28: a door sliding ParamA pixels left (or right, with ParamC) inside its
// 40 x 57 frame. Drawn alive or dead.
void DrawTechDoors(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Air) return;
  const EnemyRecord& e = ctx.E;
  ctx.canvas.SetClipRect(ctx.X - 20, ctx.Y - 28, 39, 56);
  const ImageRef door = Sprite(ctx, "techdoors");
  if (e.ParamC == 0)
    ctx.canvas.DrawImage(door, ctx.X - 20 - e.ParamA, ctx.Y - 28, 0, kEffectCopy);
  else
    ctx.canvas.DrawImage(door, ctx.X - 20 + e.ParamA, ctx.Y - 28, 1, kEffectCopy);
  ctx.canvas.SetClipRect(0, 0, 640, 480);
}

// Kind 34: airport shooter, its shadow falling further off as it hops up.
void DrawAirportShooter(EnemyDrawContext& ctx) {
  if (!Alive(ctx)) return;
  if (ctx.Pass == EnemyPass::Shadows)
    Centred(ctx, "airportshooter", 64, 192, kShadow, 0, ctx.S, ctx.S);
  else if (ctx.Pass == EnemyPass::Ground)
    Centred(ctx, "airportshooter", 64, 256, ctx.E.Colour, 0);
}

// Kind 43: the dome until it bursts open (ParamA 1).
void DrawDome(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Air || !Alive(ctx) || ctx.E.ParamA != 0) return;
  ctx.canvas.DrawImage(Sprite(ctx, "dome"), ctx.X - 49, ctx.Y - 41, 0, kEffectCopy);
}

}  // namespace

void RegisterInstallationDrawers(EnemyDrawTable& table) {
  table[4] = DrawGroundGun;
  table[6] = DrawBigGun;
  table[19] = DrawGroundBomb;
  table[20] = DrawGroundCannon;
  table[21] = DrawHatchCannon;
  table[23] = DrawTarpGun;
  table[27] = DrawTechGun;
  table[28] = DrawTechDoors;
  table[34] = DrawAirportShooter;
  table[43] = DrawDome;
}

}  // namespace tarq
