#include "enemies/enemy_kinds.h"

namespace tarq {

void RegisterAircraftBehaviours(EnemyBehaviourTable&) {}

}  // namespace tarq
