#include "enemies/enemy_kinds.h"

namespace tarq {

void RegisterGroundBehaviours(EnemyBehaviourTable&) {}

}  // namespace tarq
