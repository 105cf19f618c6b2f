#include "enemies/enemy_kinds.h"

namespace tarq {

void RegisterSeaBehaviours(EnemyBehaviourTable&) {}

}  // namespace tarq
