#include "game/game.h"

namespace tarq {

int32_t Game::sn(std::string_view name) const {
  for (size_t i = 0; i < SpriteNames.size(); ++i)
    if (SpriteNames[i] == name) return static_cast<int32_t>(i);
  return 0;
}

}  // namespace tarq
