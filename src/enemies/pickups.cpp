#include "enemies/enemy_kinds.h"

namespace tarq {

void RegisterPickupBehaviours(EnemyBehaviourTable&) {}

}  // namespace tarq
