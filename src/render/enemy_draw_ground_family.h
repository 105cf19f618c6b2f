#pragma once
// Small drawing pieces shared by the ground, sea and installation drawers
// (enemy_draw_ground.cpp, _sea, _installations).
#include <cstdint>
#include <string_view>

#include "enemies/enemies.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq::ground_draw {

inline ImageRef Sprite(EnemyDrawContext& ctx, std::string_view name) {
  return ImageRef::Sprite(ctx.canvas.SpriteIndex(name));
}

inline bool Alive(const EnemyDrawContext& ctx) { return !ctx.E.Dead; }

// A sprite centred on the unit's screen position.
inline void Centred(EnemyDrawContext& ctx, std::string_view name, int32_t angle, int32_t scale,
                    uint32_t colour, int32_t pattern, int32_t dx = 0, int32_t dy = 0) {
  ctx.canvas.DrawImageRotatedColored(Sprite(ctx, name), ctx.X + dx, ctx.Y + dy, angle, scale,
                                     colour, pattern, kEffectAlpha);
}

// The crater a destroyed ground unit leaves, in the wreck pass.
inline void Crater(EnemyDrawContext& ctx, int32_t scale) {
  ctx.canvas.DrawImageRotated(Sprite(ctx, "crater01"), ctx.X, ctx.Y, 64, scale, 0, kEffectAlpha);
}

// Craters sized by ParamC (224 .. 479): drawn in the wreck pass once the unit is dead.
inline bool DrawCraterWhenDead(EnemyDrawContext& ctx) {
  if (ctx.Pass != EnemyPass::Wrecks || Alive(ctx)) return false;
  Crater(ctx, ctx.E.ParamC + 224);
  return true;
}

}  // namespace tarq::ground_draw
