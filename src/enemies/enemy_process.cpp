// Enemy_Process: the per-tick driver of all enemies.
#include <cmath>
#include <vector>

#include "core/numeric.h"
#include "core/random.h"
#include "enemies/enemy_kinds.h"
#include "enemies/mechanics.h"
#include "game/game.h"

namespace tarq {

namespace {

constexpr int32_t kContactHeight = 20;       // below this an enemy is at ground level
constexpr int32_t kContactAltitude = 260;    // above this a player touches nothing
constexpr int32_t kPlayerBodyRadius = 17;
constexpr double kMissileStrikeDistance = 27.0;
constexpr int32_t kMissileArmingAge = 64;

bool NukeSilencesKills(const Game& game) { return game.NukeTimer >= 0 && game.NukeTimer <= 32769; }

// Ageing, death with its score credit, and removal outside the band around the view.
void AgeAndRemove(Game& game) {
  auto& list = game.EnemyList;
  for (size_t i = list.size(); i-- > 0;) {
    EnemyRecord& e = list[i];
    e.Age += 1;
    if (e.HitPoints < 1 && !e.Dead) {
      e.Dead = true;
      e.Age = 0;
      if (e.LastHitBy == 0 || e.LastHitBy == 1) {
        PlayerRecord& p = game.Players[static_cast<size_t>(e.LastHitBy)];
        p.Score = static_cast<int32_t>(std::min<int64_t>(int64_t{p.Score} + e.ScoreValue, INT32_MAX));
      }
      if (!NukeSilencesKills(game)) {
        const int32_t sample = 1 + Random(2);
        const double rate = 90 + Random(200) / 10.0;
        game.Sound(sample, Round(e.X), rate);
      }
    }
  }
  // Removal in one stable pass after the walk: nothing in the walk moves a record or
  // changes its margins, so the same records go, in the same order, as when each was
  // erased on its turn.
  std::erase_if(list, [&](const EnemyRecord& e) {
    return e.Y > game.ScrollY + e.BottomMargin || e.Y < game.ScrollY + e.TopMargin;
  });
}

void CollectPowerUp(Game& game, PlayerRecord& p, EnemyRecord& e) {
  switch (e.ParamC) {
    case 0: p.ShieldTime += 1125; break;
    case 1:
      p.Spread = 0;
      p.WeaponLevel = std::min(p.WeaponLevel + 1, 5);
      break;
    case 2: p.Spread = 3; break;
    case 3: p.FireRate = std::min(p.FireRate + 1, 5); break;
    case 4: p.Nukes += 1; break;
    case 5: p.Lives += 1; break;
    case 6: p.Armour += 500; break;
    default: break;
  }
  Leave(e);  // gone on the next update without counting as missed
  game.Sound(7, Round(e.X) - game.ScrollX, 100);
}

// The shield pick-up gives armour; picked up while armoured it also sets off the nuke.
// `index` is the pick-up's place in the list (the nuke does not move records).
void CollectShield(Game& game, PlayerRecord& p, size_t index) {
  if (p.Armour < 1) {
    p.Armour = 300;
    Leave(game.EnemyList[index]);
  } else {
    p.Armour = 300;
    const EnemyRecord& e = game.EnemyList[index];
    const int32_t screenX = Round(e.X) - game.ScrollX;
    game.NukeX = Round(e.X);
    game.NukeY = Round(e.Y);
    game.NukeTimer = 1;
    game.NukeBrightness = 255;
    Enemy_NukeStrike(game);
    Leave(game.EnemyList[index]);
    game.Sound(9, screenX, 100);
  }
  game.Sound(12, Round(p.X), 100);
}

void Collide(Game& game, PlayerRecord& p, int32_t player, EnemyRecord& e) {
  if (e.Shootable) {
    Damage(e, 1);
    e.Colour = kHitTint;
    e.LastHitBy = player;
  }
  game.Sound(e.Armoured && e.Shootable ? 13 : 3, Round(e.X), 100);
  if (p.ShieldTime < 1) {
    if (p.Armour < 1) p.Energy -= 1005;  // more than a whole helicopter: fatal
    else p.Armour -= 100;
    p.Colour = kHitTint;
  }
}

void PlayerContact(Game& game) {
  if (game.TickCount % 4 != 0) return;
  for (int32_t player = 0; player < 2; ++player) {
    PlayerRecord& p = game.Players[static_cast<size_t>(player)];
    if (!p.Active) continue;
    if (p.Altitude > kContactAltitude) continue;
    for (size_t i = game.EnemyList.size(); i-- > 0;) {
      EnemyRecord& e = game.EnemyList[i];
      if (e.Height < kContactHeight) continue;
      if (e.Dead || !e.Solid) continue;
      const double dx = std::abs((e.X - game.ScrollX) - p.X);
      const double dy = std::abs((e.Y - game.ScrollY) - p.Y);
      if (!(std::sqrt(dx * dx + dy * dy) < e.Radius + kPlayerBodyRadius)) continue;
      if (e.Pickup) {
        if (e.Kind == kKindPowerUp) CollectPowerUp(game, p, e);
        else if (e.Kind == kKindShieldPickup) CollectShield(game, p, i);
        continue;
      }
      Collide(game, p, player, e);
    }
  }
}

// Homing missiles that have flown long enough blow up against any aircraft they meet
// (other missiles included), and both take the damage.
void MissileStrikes(Game& game) {
  auto& list = game.EnemyList;
  for (EnemyRecord& m : list) {
    if (m.Kind != kKindMissile || m.Dead || m.Age <= kMissileArmingAge) continue;
    for (EnemyRecord& e : list) {
      if (&e == &m) continue;
      if (e.Height <= 0 || e.Dead || !e.Solid || !e.Shootable) continue;
      // The distance below 27, compared squared: this pair loop runs every tick.
      const double dx = e.X - m.X, dy = e.Y - m.Y;
      if (std::abs(dx) < kMissileStrikeDistance &&
          dx * dx + dy * dy < kMissileStrikeDistance * kMissileStrikeDistance) {
        Damage(m, 5);
        Damage(e, 5);
      }
    }
  }
}

}  // namespace

void Enemy_Process(Game& game) {
  Enemy_Tick(game);
  AgeAndRemove(game);
  PlayerContact(game);
  MissileStrikes(game);
}

}  // namespace tarq
