#include "enemies/enemy_kinds.h"

namespace tarq {

void RegisterInstallationBehaviours(EnemyBehaviourTable&) {}

}  // namespace tarq
