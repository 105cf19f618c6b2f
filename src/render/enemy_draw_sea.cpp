#include "render/enemy_draw.h"

namespace tarq {

void RegisterSeaDrawers(EnemyDrawTable&) {}

}  // namespace tarq
