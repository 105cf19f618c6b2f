#include "render/enemy_draw.h"

namespace tarq {

void RegisterGroundDrawers(EnemyDrawTable&) {}

}  // namespace tarq
