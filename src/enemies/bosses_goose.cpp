// The goose formation: a leader (kind 7) that sinks in, gathers its four parts, roams
// over the top of the view firing missiles, and scatters power-ups when it dies; and
// the parts (kinds 13 and 14) that fly in with a lead and then ride on it.
#include <algorithm>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/bosses.h"
#include "enemies/mechanics.h"
#include "game/game.h"

namespace tarq {
namespace {

constexpr int32_t kPartsInFormation = 4;

void PickRoamingTarget(Game& game, EnemyRecord& e) {
  e.IntD = 96 + Random(512);
  e.IntE = game.ScrollY;
}

// A missile from the leader's flank with a longer blind run than the usual one.
void LaunchFlankMissile(Game& game, double x, double y, ByteAngle angle) {
  Enemy_Add(game, Round(x), Round(y), angle, 2, 0, 0, 0, 0, 100, 0, 1);
}

void GooseLeaderAlive(EnemyTick& tick) {
  Game& game = tick.game;
  game.GooseLeader = static_cast<int32_t>(tick.Index);
  EnemyRecord& e = tick.Self();
  if (e.ParamC <= kPartsInFormation) e.Y += e.IntA / 250.0;
  e.IntA = std::max(e.IntA - 1, 0);
  if (e.Age == 200) PickRoamingTarget(game, e);
  if (e.Age > 200 && (e.Age - 200) % 8 == 0 && e.ParamB < 4) e.ParamB += 1;
  if (e.Age >= 201) e.Shootable = true;
  if (e.ParamC >= kPartsInFormation) {
    const Bearing way = BearingOf(e.X - e.IntD, e.Y - e.IntE);
    if (way.Distance < 64) PickRoamingTarget(game, e);
    MoveAlong(e, Round(Clamp(way.Distance, 100.0, 550.0)) / 200.0, way.Heading);
    const int32_t age = e.Age;
    const double x = e.X;
    const double y = e.Y;
    if (age % 500 == 0) LaunchFlankMissile(game, x - 64, y, 192);
    if (age % 525 == 0) LaunchFlankMissile(game, x + 64, y, 64);
  }
  EnemyRecord& self = tick.Self();
  self.Angle = 128;
  self.ParamA = static_cast<uint8_t>(self.ParamA + 6);
}

void GooseLeaderDead(EnemyTick& tick) {
  Game& game = tick.game;
  game.GooseLeader = static_cast<int32_t>(tick.Index);
  EnemyRecord& e = tick.Self();
  if (e.Age == 1 || e.Age == 8 || e.Age == 45) EnemySound(game, e, 9);
  if (e.Age == 5 && e.IntC > 0) {
    // The power-ups fall out on a ring around the wreck, evenly spaced, the first a
    // third of a step round from straight down.
    const int32_t count = e.IntC;
    const int32_t step = 256 / count;
    const double x = e.X;
    const double y = e.Y;
    for (int32_t b = 0; b < count; ++b) {
      const ByteAngle k = ToByteAngle(int64_t{step} * b + step / 3);
      Enemy_Add(game, Round(x + 72 * SinTable[k]), Round(y + 72 * CosTable[k] - 72), 0,
                kKindPowerUp, 0, 0, 0, 0, 50, 0, 1);
    }
  }
  EnemyRecord& self = tick.Self();
  if (self.Age % 8 == 0) EnemyExplosion(game, self, 2100 - 7 * self.Age + Random(512), 1 + Random(2));
  if (self.Age > 150) Leave(self);
}

// The leader a part follows: the kind-7 record the walk last passed, which must come
// before the part in the list (a part is always appended after its own leader). With
// no such record (it left the view alive, or the index is stale) there is none.
const EnemyRecord* LeaderOf(const EnemyTick& tick) {
  const int32_t index = tick.game.GooseLeader;
  if (index < 0 || static_cast<size_t>(index) >= tick.Index) return nullptr;
  const EnemyRecord& leader = tick.game.EnemyList[static_cast<size_t>(index)];
  return leader.Kind == kKindGooseLeader ? &leader : nullptr;
}

void GoosePartAlive(EnemyTick& tick) {
  const EnemyRecord* leader = LeaderOf(tick);
  EnemyRecord& e = tick.Self();
  if (e.Kind == kKindGooseTail) e.ParamC = static_cast<uint8_t>(e.ParamC + 12);
  // Without a living leader the part has nothing to ride on and leaves at once.
  if (leader == nullptr || leader->Dead) {
    Leave(e);
    return;
  }
  const EnemyRecord& L = *leader;
  const bool second = e.ParamA == 1;
  if (e.ParamB != 0) {
    if (e.Kind == kKindGooseTail) {
      e.X = L.X;
      e.Y = second ? L.Y - 48 : L.Y + 80;
    } else {
      e.X = second ? L.X - 32 : L.X + 32;
      e.Y = L.Y + 10;
    }
    return;
  }
  // Approach: aim at the docking point pushed out by a lead that shrinks with age, so
  // the parts sweep in from the sides rather than flying straight at the leader.
  const double lead = static_cast<double>(std::max<int64_t>(2 * int64_t{L.IntB} - e.Age, 0));
  double dx = 0;
  double dy = 0;
  if (e.Kind == kKindGooseTail) {
    if (!second) {
      dx = lead + Round(e.X - L.X);
      dy = Round(e.Y - L.Y - 80) - lead;
    } else {
      dx = Round(e.X - L.X) - lead;
      dy = Round(e.Y - L.Y + 48) - lead / 8;
    }
  } else {
    dx = second ? Round(e.X - L.X - 32) - lead : lead + Round(e.X - L.X + 32);
    dy = Round(e.Y - L.Y - 10) - lead;
  }
  const Bearing way = BearingOf(dx, dy);
  const double slowest = e.Kind == kKindGooseTail ? 100.0 : 50.0;
  MoveAlong(e, Clamp(way.Distance, slowest, 550.0) / 100.0, way.Heading);
  if (way.Distance < 3) {
    const size_t leaderIndex = static_cast<size_t>(tick.game.GooseLeader);
    EnemyRecord& docking = tick.game.EnemyList[leaderIndex];
    docking.ParamC = static_cast<uint8_t>(docking.ParamC + 1);
    e.ParamB = 1;
  }
}

// The parts cannot be shot; should anything kill one, it simply goes.
void GoosePartDead(EnemyTick& tick) { Leave(tick.Self()); }

}  // namespace

void RegisterGooseBehaviours(EnemyBehaviourTable& table) {
  table[kKindGooseLeader] = {GooseLeaderAlive, GooseLeaderDead, false};
  table[kKindGooseTail] = {GoosePartAlive, GoosePartDead, false};
  table[kKindGooseWing] = {GoosePartAlive, GoosePartDead, false};
}

}  // namespace tarq
