#include "game/weapons.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>
#include <cmath>
#include <cstdlib>

#include "core/numeric.h"
#include "core/random.h"
#include "game/game.h"

namespace tarq {

void Player_AddBullet(Game& game, ByteAngle angle, double x, double y, double side, double forward,
                      double speed, int32_t owner) {
  PlayerBullet b;
  b.X = x + Round(forward * SinTable[angle]) + Round(side * CosTable[angle]);
  b.Y = y - Round(forward * CosTable[angle]) + Round(side * SinTable[angle]);
  b.Angle = angle;
  b.Speed = speed;
  b.Owner = owner;
  b.Pattern = Random(2);
  game.PlayerBullets.push_back(b);
}

void FireVolley(Game& game, int32_t player) {
  const PlayerRecord& p = game.Players[static_cast<size_t>(player)];
  const int32_t h = p.Heading;
  const int32_t s = p.Spread;
  const int32_t level = p.WeaponLevel;
  auto shot = [&](int32_t angle, double forward, double side) {
    Player_AddBullet(game, ToByteAngle(angle), p.X, p.Y, side, forward, kPlayerBulletSpeed, player);
  };
  if (level % 2 != 0) {
    if (level > 0) shot(h, 0, 0);
    if (level > 2) {
      shot(h - 2 * s, -5, -10);
      shot(h + 2 * s, -5, 10);
    }
    if (level > 4) {
      shot(h - 4 * s, -10, -20);
      shot(h + 4 * s, -10, 20);
    }
  } else {
    if (level > 1) {
      shot(h - s, 0, -5);
      shot(h + s, 0, 5);
    }
    if (level > 3) {
      shot(h - 3 * s, -5, -15);
      shot(h + 3 * s, -5, 15);
    }
  }
}

namespace {

bool BulletHits(const EnemyRecord& e, double bx, double by) {
  if (e.RoundHit) {
    const double dx = bx - e.X;
    const double dy = by - e.Y;
    return std::sqrt(dx * dx + dy * dy) < e.Radius;
  }
  return e.X - e.HalfWidth < bx && bx < e.X + e.HalfWidth && e.Y - e.HalfHeight < by &&
         by < e.Y + e.HalfHeight;
}

// A power-up that is shot is knocked up the screen and changes what it grants: it steps
// through shield, weapon, spread and fire rate, with a one-in-fifteen chance of a nuke,
// a life or armour instead.
void KnockPowerUp(EnemyRecord& e) {
  e.Y -= 64;
  e.IntC = 128;
  e.IntA = 255;
  e.IntB = -std::abs(e.IntB);
  e.ParamC = static_cast<uint8_t>(e.ParamC + 1);
  if (e.ParamC > 3) e.ParamC = 0;
  if (Random(15) == 0) e.ParamC = static_cast<uint8_t>(4 + Random(3));
}

// A hit on enemy `e` by bullet `b`: damage (or a knock, or a deflection), sound.
void HitEnemy(Game& game, EnemyRecord& e, const PlayerBullet& b) {
  if (e.Kind == kKindPowerUp && e.IntC == 0) {
    KnockPowerUp(e);
  } else if (e.Shootable) {
    e.HitPoints -= 1;
    e.Colour = kHitTint;
    e.LastHitBy = b.Owner;
    const int32_t scale = 64 + Random(64);
    Explosion_Add(game, Round(b.X), Round(b.Y), scale, 1 + Random(2));
  } else {
    // Armour that bullets cannot pierce throws them off with a flare.
    const auto angle = ToByteAngle(Random(256));
    const auto spin = ToByteAngle(Random(4) - 2);
    Flare_Add(game, Round(b.X), Round(b.Y), 256, -16, angle, spin, 255, 0, 16);
  }
  if (e.HitPoints > 0) game.Sound(e.Armoured && e.Shootable ? 13 : 3, Round(b.X) + game.ScrollX, 100);
}

// The bullets on the field sorted into 32-pixel cells of the screen, so that each enemy
// only tests the bullets near it. Bullets are never moved during the hit walk; spent
// ones are flagged and removed together at the end. The cells of one row are
// contiguous, with the bullets' positions beside their indices.
class BulletGrid {
 public:
  static constexpr int32_t kCell = 32;  // about an enemy's size: few cells and few bullets to test
  static constexpr int32_t kColumns = static_cast<int32_t>((kBulletMaxX - kBulletMinX) / kCell) + 1;
  static constexpr int32_t kRows = static_cast<int32_t>((kBulletMaxY - kBulletMinY) / kCell) + 1;

  struct Entry {
    double X, Y;     // screen position
    uint32_t Index;  // in the bullet list
  };

  void Fill(const std::vector<PlayerBullet>& bullets) {
    std::array<uint32_t, kColumns * kRows + 1> counts{};
    cell_of_.resize(bullets.size());
    for (size_t i = 0; i < bullets.size(); ++i) {
      cell_of_[i] = Cell(Column(bullets[i].X), Row(bullets[i].Y));
      ++counts[static_cast<size_t>(cell_of_[i]) + 1];
    }
    for (size_t c = 1; c < counts.size(); ++c) counts[c] += counts[c - 1];
    start_ = counts;
    entries_.resize(bullets.size());
    for (size_t i = 0; i < bullets.size(); ++i)
      entries_[counts[static_cast<size_t>(cell_of_[i])]++] = {bullets[i].X, bullets[i].Y, static_cast<uint32_t>(i)};
  }

  // Calls visit(entry) for every bullet in the cells covering screen x lo..hi, y lo..hi.
  template <typename Visit>
  void ForEachNear(double xLo, double xHi, double yLo, double yHi, Visit visit) const {
    if (!(xHi >= kBulletMinX && xLo <= kBulletMaxX && yHi >= kBulletMinY && yLo <= kBulletMaxY)) return;
    const int32_t c0 = Column(std::max(xLo, kBulletMinX)), c1 = Column(std::min(xHi, kBulletMaxX));
    const int32_t r0 = Row(std::max(yLo, kBulletMinY)), r1 = Row(std::min(yHi, kBulletMaxY));
    for (int32_t r = r0; r <= r1; ++r) {
      const uint32_t end = start_[static_cast<size_t>(Cell(c1, r)) + 1];
      for (uint32_t k = start_[static_cast<size_t>(Cell(c0, r))]; k < end; ++k) visit(entries_[k]);
    }
  }

 private:
  static int32_t Column(double x) {
    return std::clamp(static_cast<int32_t>((x - kBulletMinX) / kCell), 0, kColumns - 1);
  }
  static int32_t Row(double y) { return std::clamp(static_cast<int32_t>((y - kBulletMinY) / kCell), 0, kRows - 1); }
  static int32_t Cell(int32_t column, int32_t row) { return row * kColumns + column; }

  std::vector<int32_t> cell_of_;
  std::vector<Entry> entries_;
  std::array<uint32_t, kColumns * kRows + 1> start_{};
};

}  // namespace

void Player_MoveBullets(Game& game) {
  auto& bullets = game.PlayerBullets;
  for (PlayerBullet& b : bullets) {
    const auto a = static_cast<size_t>(ToByteAngle(b.Angle - 64));
    b.X += b.Speed * CosTable[a];
    b.Y += b.Speed * SinTable[a];
  }
  std::erase_if(bullets, [](const PlayerBullet& b) {
    return !(kBulletMinX <= b.X && b.X <= kBulletMaxX && kBulletMinY <= b.Y && b.Y <= kBulletMaxY);
  });
  if (bullets.empty()) return;

  // Newest enemy first; each enemy takes the bullets that hit it, newest bullet first,
  // and a spent bullet hits nothing after. Only the bullets in the cells around an enemy
  // can hit it. A hit that moves the enemy (a knocked power-up) changes which of the
  // remaining (older) bullets hit it, so they are gathered again from its new place.
  // Working buffers kept between ticks (the tick runs on one thread).
  static thread_local BulletGrid grid;
  static thread_local std::vector<uint8_t> spent;
  static thread_local std::vector<uint32_t> hits;
  grid.Fill(bullets);
  spent.assign(bullets.size(), 0);
  auto& enemies = game.EnemyList;
  for (size_t ei = enemies.size(); ei-- > 0;) {
    EnemyRecord& e = enemies[ei];
    // Only solid, living enemies can be hit; the others let every bullet through.
    if (e.Dead || !e.Solid) continue;
    const double reachX = e.RoundHit ? e.Radius : e.HalfWidth;
    const double reachY = e.RoundHit ? e.Radius : e.HalfHeight;
    if (reachX <= 0 || reachY <= 0) continue;  // nothing is nearer than 0
    uint32_t below = static_cast<uint32_t>(bullets.size());  // bullets still to walk: 0 .. below - 1
    bool moved = true;
    while (moved) {
      moved = false;
      // One pixel more than the reach; the exact test decides.
      const double sx = e.X - game.ScrollX;
      const double sy = e.Y - game.ScrollY;
      hits.clear();
      grid.ForEachNear(sx - reachX - 1, sx + reachX + 1, sy - reachY - 1, sy + reachY + 1,
                       [&](const BulletGrid::Entry& b) {
                         if (std::abs(b.X - sx) > reachX + 1 || std::abs(b.Y - sy) > reachY + 1) return;
                         if (b.Index >= below || spent[b.Index]) return;
                         if (BulletHits(e, b.X + game.ScrollX, b.Y + game.ScrollY)) hits.push_back(b.Index);
                       });
      if (hits.empty()) break;
      std::sort(hits.begin(), hits.end(), std::greater<>());
      for (const uint32_t bi : hits) {
        const double x = e.X, y = e.Y;
        HitEnemy(game, e, bullets[bi]);
        spent[bi] = 1;
        if (e.X != x || e.Y != y) {
          below = bi;
          moved = true;
          break;
        }
      }
    }
  }
  size_t kept = 0;
  for (size_t i = 0; i < bullets.size(); ++i)
    if (!spent[i]) bullets[kept++] = bullets[i];
  bullets.resize(kept);
}

}  // namespace tarq
