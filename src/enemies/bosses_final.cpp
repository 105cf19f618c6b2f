// The final boss (kind 105). It sinks into view, climbs back to sit 136 pixels below
// the top of the screen, and when the view reaches its arena the map stops for good.
// Its two launchers fire missiles until it is destroyed; then every player in the game
// gets a million points, the nuke goes off, and the game hands over to the completion
// screen.
#include <algorithm>
#include <limits>

#include "core/random.h"
#include "enemies/bosses.h"
#include "enemies/mechanics.h"
#include "game/game.h"

namespace tarq {
namespace {

constexpr int32_t kDescentEndAge = 700;
constexpr int32_t kLockBelowTop = 136;
constexpr int32_t kCompletionBonus = 1000000;
constexpr int32_t kHandOverAge = 50;

// A launcher's flash: set when it fires, fading one step a tick.
void StepFlash(uint8_t& flash, bool fired) {
  if (fired) flash = 32;
  else if (flash > 0) flash -= 1;
}

void FinalBossAlive(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (game.ScrollY > kFinalBossScrollY) {
    if (e.ParamA == 0 && e.Age < kDescentEndAge) {
      e.Y += 1;
    } else if (e.ParamA == 0 && e.Age > kDescentEndAge) {
      e.Y -= 1;
      if (e.Y - game.ScrollY <= kLockBelowTop) e.ParamA = 1;
    }
    if (e.ParamA == 1) e.Y = game.ScrollY + kLockBelowTop;
    return;
  }
  // The arena: the map stops here for the rest of the game.
  game.ScrollHold = 1;
  e.HoldsScroll = true;
  game.ScrollY = kFinalBossScrollY;
  e.Shootable = true;
  const bool leftFires = e.Age % 350 == 0;
  const bool rightFires = e.Age % 375 == 0;
  const double x = e.X;
  const double y = e.Y;
  StepFlash(e.ParamB, leftFires);
  StepFlash(e.ParamC, rightFires);
  if (leftFires) LaunchMissile(game, x - 180, y - 16, 128);
  if (rightFires) LaunchMissile(game, x + 180, y - 16, 128);
}

void FinalBossDead(EnemyTick& tick) {
  Game& game = tick.game;
  EnemyRecord& e = tick.Self();
  if (e.Age == 1) {
    for (PlayerRecord& p : game.Players)
      if (p.Active)
        p.Score = p.Score > std::numeric_limits<int32_t>::max() - kCompletionBonus
                      ? std::numeric_limits<int32_t>::max()
                      : p.Score + kCompletionBonus;
    StartNukeAtBoss(game, e);
  }
  if (e.Age % 16 == 0) BigBossDeathBlast(game, e);
  if (e.Age > kHandOverAge) {
    game.ScreenTicks = 0;
    game.ScreenState = kScreenCompletion;
    Leave(e);
  }
}

}  // namespace

void RegisterFinalBossBehaviours(EnemyBehaviourTable& table) {
  table[kKindFinalBoss] = {FinalBossAlive, FinalBossDead, false};
}

}  // namespace tarq
