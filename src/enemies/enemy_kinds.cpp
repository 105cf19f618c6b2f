#include "enemies/enemy_kinds.h"

#include "game/game.h"

namespace tarq {

EnemyRecord& EnemyTick::Self() const { return game.EnemyList[Index]; }

const EnemyBehaviourTable& EnemyBehaviours() {
  static const EnemyBehaviourTable table = [] {
    EnemyBehaviourTable t{};
    RegisterAircraftBehaviours(t);
    RegisterPickupBehaviours(t);
    RegisterGroundBehaviours(t);
    RegisterSeaBehaviours(t);
    RegisterInstallationBehaviours(t);
    RegisterBossBehaviours(t);
    return t;
  }();
  return table;
}

void Enemy_Tick(Game& game) {
  const EnemyBehaviourTable& table = EnemyBehaviours();
  const size_t count = game.EnemyList.size();
  for (size_t i = 0; i < count && i < game.EnemyList.size(); ++i) {
    const EnemyRecord& e = game.EnemyList[i];
    if (e.Kind < 0 || e.Kind > 255) continue;
    const EnemyKindBehaviour& kind = table[static_cast<size_t>(e.Kind)];
    EnemyBehaviour run = e.Dead ? kind.Dead : kind.Alive;
    if (run == nullptr) continue;
    EnemyTick tick{game, i};
    run(tick);
  }
}

}  // namespace tarq
