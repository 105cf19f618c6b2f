#pragma once
// A bot pilot for the headless runner: it decides, from the game state alone, which of a
// player's controls to hold on the next tick. It joins, dodges enemy bullets and bodies,
// lines up under targets while holding Fire, collects power-ups and shields, jumps over
// what it cannot dodge and uses a nuke when crowded. It reads the game and never changes
// it, so a bot run is as deterministic as a scripted one.
#include <cstdint>
#include <string>
#include <vector>

#include "input/controls.h"

namespace tarq {

struct Game;

struct BotControls {
  bool Up = false;
  bool Down = false;
  bool Left = false;
  bool Right = false;
  bool Fire = false;
  bool Jump = false;
  bool Nuke = false;
};

// The controls the bot holds for `player` (0 or 1) before the next tick.
BotControls ChooseBotControls(const Game& game, int32_t player);

// The control codes that hold those controls under the player's bindings: the first
// code of each binding (a control with no binding cannot be held).
std::vector<std::string> BotHeldCodes(const ControlBindingTable& bindings, int32_t player,
                                      const BotControls& controls);

}  // namespace tarq
