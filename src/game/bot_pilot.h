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
  // How long the directions are meant to be held (a short dodge or nudge is let go
  // after a few ticks); the bot holds them no longer than this before it thinks again.
  int32_t DirectionTicks = 1 << 20;
};

// What the bot remembers from one tick to the next: where each enemy was, so that it
// can tell how fast the aircraft move and foresee where their bodies will be.
class BotMemory {
 public:
  // A pilot's reaction time: the bot thinks again every this many ticks and holds its
  // directions, jump and nuke in between (Fire stays held). Without it the bot would
  // dodge like no player can, and the balance report would measure nothing.
  static constexpr int32_t kReactionTicks = 8;
  // The controls for `player` this tick: chosen afresh every kReactionTicks ticks, or
  // at once when the state around it changes (a run starts, the helicopter is lost).
  BotControls Fly(const Game& game, int32_t player);

  // Call once per tick, before the bots choose (it looks at the state the bots see).
  void Observe(const Game& game);
  // The enemy's map velocity (pixels per tick) as seen over the last tick; 0 for an
  // enemy the bot has not seen before.
  void VelocityOf(const Game& game, size_t index, double& vx, double& vy) const;

 private:
  struct Seen {
    int32_t Kind = 0;
    double X = 0.0;
    double Y = 0.0;
  };
  std::vector<Seen> previous_, current_;
  int64_t tick_ = -1;
  BotControls held_[2];
  int64_t decided_[2] = {-1000, -1000};
};

// The controls the bot holds for `player` (0 or 1) before the next tick. Without a
// memory the bot takes every enemy body for one that stands on the map.
BotControls ChooseBotControls(const Game& game, int32_t player, const BotMemory* memory = nullptr);

// The control codes that hold those controls under the player's bindings: the first
// code of each binding (a control with no binding cannot be held).
std::vector<std::string> BotHeldCodes(const ControlBindingTable& bindings, int32_t player,
                                      const BotControls& controls);

}  // namespace tarq
