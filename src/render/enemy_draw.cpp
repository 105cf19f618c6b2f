#include "render/enemy_draw.h"

#include "core/numeric.h"
#include "game/game.h"
#include "render/frame.h"

namespace tarq {

const EnemyDrawTable& EnemyDrawers() {
  static const EnemyDrawTable table = [] {
    EnemyDrawTable t{};
    RegisterAircraftDrawers(t);
    RegisterPickupDrawers(t);
    RegisterGroundDrawers(t);
    RegisterSeaDrawers(t);
    RegisterInstallationDrawers(t);
    RegisterBossDrawers(t);
    return t;
  }();
  return table;
}

void FindGooseLeader(Game& game) {
  game.GooseLeader = -1;
  for (size_t i = 0; i < game.EnemyList.size(); ++i)
    if (game.EnemyList[i].Kind == 7) game.GooseLeader = static_cast<int32_t>(i);
}

void Enemy_Draw(Game& game, FrameCanvas& canvas, EnemyPass pass) {
  FindGooseLeader(game);
  const EnemyDrawTable& table = EnemyDrawers();
  for (size_t i = 0; i < game.EnemyList.size(); ++i) {
    const EnemyRecord& e = game.EnemyList[i];
    if (e.Kind < 0 || e.Kind > 255) continue;
    EnemyDrawer draw = table[static_cast<size_t>(e.Kind)];
    if (draw == nullptr) continue;
    EnemyDrawContext ctx{game, canvas, pass, e, i};
    ctx.X = Round(e.X) - game.ScrollX;
    ctx.Y = Round(e.Y) - game.ScrollY;
    ctx.H = e.Angle;
    ctx.Q = (e.Angle + 192) & 255;
    ctx.S = e.Height / 6;
    draw(ctx);
  }
}

}  // namespace tarq
