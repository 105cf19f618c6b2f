#include "enemies/enemy_kinds.h"

namespace tarq {

void RegisterBossBehaviours(EnemyBehaviourTable&) {}

}  // namespace tarq
