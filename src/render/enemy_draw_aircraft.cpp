#include "render/enemy_draw.h"

namespace tarq {

void RegisterAircraftDrawers(EnemyDrawTable&) {}

}  // namespace tarq
