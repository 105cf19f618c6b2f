#include "render/enemy_draw.h"

namespace tarq {

void RegisterPickupDrawers(EnemyDrawTable&) {}

}  // namespace tarq
