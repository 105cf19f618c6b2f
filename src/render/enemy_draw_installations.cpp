#include "render/enemy_draw.h"

namespace tarq {

void RegisterInstallationDrawers(EnemyDrawTable&) {}

}  // namespace tarq
