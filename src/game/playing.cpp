#include "game/playing.h"

namespace tarq {

// Placeholders until the players and the playing screen land.
void TitleTick(Game&) {}
void PlayingTick(Game&) {}

}  // namespace tarq
