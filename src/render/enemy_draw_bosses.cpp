#include "render/enemy_draw.h"

namespace tarq {

void RegisterBossDrawers(EnemyDrawTable&) {}

}  // namespace tarq
