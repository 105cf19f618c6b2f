#include "enemies/enemies.h"

#include "game/game.h"

namespace tarq {

// The record with its defaults and the given values. The per-kind set-up, children and
// behaviours come with the enemy catalogue; the nuke rule is already here because the
// crater the nuke leaves is created through this call.
void Enemy_Add(Game& game, int32_t x, int32_t y, ByteAngle angle, int32_t kind, uint8_t paramA,
               uint8_t paramB, uint8_t paramC, int32_t intA, int32_t intB, int32_t intC,
               int32_t hitPoints) {
  EnemyRecord e;
  e.X = x;
  e.Y = y;
  e.Angle = angle;
  e.Kind = kind;
  e.ParamA = paramA;
  e.ParamB = paramB;
  e.ParamC = paramC;
  e.IntA = intA;
  e.IntB = intB;
  e.IntC = intC;
  e.HitPoints = hitPoints;
  if (kind == kKindTank) {
    e.Height = 0;
    e.ScoreValue = 500;
    e.IntD = x;
    e.IntE = y;
  }
  if (!e.Pickup && game.NukeTimer > 0 && game.NukeTimer < 32768) e.HitPoints -= 50;
  game.EnemyList.push_back(e);
}

// Until the enemy update exists, a record whose hit points are used up is simply
// marked dead (no score: nothing credits it yet) and records outside the band around
// the view are removed, so that the nuke's crater record does not pile up.
void Enemy_Process(Game& game) {
  auto& list = game.EnemyList;
  for (size_t i = list.size(); i-- > 0;) {
    EnemyRecord& e = list[i];
    e.Age += 1;
    if (e.HitPoints < 1 && !e.Dead) {
      e.Dead = true;
      e.Age = 0;
    }
    if (e.Y > game.ScrollY + e.BottomMargin || e.Y < game.ScrollY + e.TopMargin)
      list.erase(list.begin() + static_cast<ptrdiff_t>(i));
  }
}

void Enemy_MoveBullets(Game&) {}

void CheckEnemies(Game&) {}

void RewindSchedule(Game&) {}

void Enemy_AnimateBullets(Game& game) {
  for (EnemyBullet& b : game.EnemyBullets) b.Frame = b.Frame < b.LastFrame ? b.Frame + 1 : 0;
}

void Enemy_NukeStrike(Game& game) {
  for (EnemyRecord& e : game.EnemyList)
    if (!e.Pickup && e.Shootable) e.HitPoints -= 50;
  game.EnemyBullets.clear();
}

}  // namespace tarq
