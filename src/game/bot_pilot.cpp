#include "game/bot_pilot.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/angles.h"
#include "game/game.h"

namespace tarq {

namespace {

constexpr int32_t kLookAhead = 28;     // ticks of flight the bot foresees
constexpr double kBulletReach = 27.0;  // an enemy bullet hurts within this distance
constexpr double kSafetyMargin = 10.0;
constexpr double kPreferredY = 380.0;  // low on the screen: time to see what comes
constexpr int32_t kShieldPickupKind = 254;

struct Point {
  double X = 0.0;
  double Y = 0.0;
};

// A player's velocity one tick on under held directions, as the helicopter moves.
double NextVelocity(double v, int32_t dir) {
  if (dir != 0) return std::clamp(v + 0.5 * dir, -4.0, 4.0);
  if (v > 0) return std::max(0.0, v - 0.2);
  return std::min(0.0, v + 0.2);
}

// The helicopter's screen path over the look-ahead for one choice of directions.
std::vector<Point> FlightPath(const PlayerRecord& p, int32_t dx, int32_t dy) {
  std::vector<Point> path;
  path.reserve(kLookAhead);
  double x = p.X, y = p.Y, vx = p.VelX, vy = p.VelY;
  for (int32_t t = 0; t < kLookAhead; ++t) {
    vx = NextVelocity(vx, dx);
    vy = NextVelocity(vy, dy);
    x = std::clamp(x + vx, 0.0, 639.0);
    y = std::clamp(y + vy, 0.0, 479.0);
    path.push_back({x, y});
  }
  return path;
}

// Danger of a path: bullets and bodies that come within reach, weighted by how soon.
// Also reports the first tick at which something would hit.
double PathDanger(const Game& game, const std::vector<Point>& path, int32_t& firstHit) {
  double danger = 0.0;
  firstHit = std::numeric_limits<int32_t>::max();
  for (const EnemyBullet& b : game.EnemyBullets) {
    const double sx = b.X - game.ScrollX;
    const double sy = b.Y - game.ScrollY;
    if (std::abs(sx - path.front().X) > 200 || std::abs(sy - path.front().Y) > 240) continue;
    const auto a = static_cast<ByteAngle>(b.Angle & 255);
    const double vx = b.Speed * SinTable[a];
    const double vy = -b.Speed * CosTable[a] + 0.25;  // the scroll drifts map objects down
    // The closest the bullet comes along the path, and when.
    double closest = std::numeric_limits<double>::max();
    int32_t when = 0;
    for (int32_t t = 0; t < kLookAhead; ++t) {
      const double d = std::hypot(sx + vx * (t + 1) - path[t].X, sy + vy * (t + 1) - path[t].Y);
      if (d < closest) {
        closest = d;
        when = t;
      }
    }
    const double reach = kBulletReach + kSafetyMargin;
    if (closest < reach) {
      danger += (reach - closest) * (1.0 + 20.0 / (when + 1));
      if (closest < kBulletReach) firstHit = std::min(firstHit, when);
    }
  }
  for (const EnemyRecord& e : game.EnemyList) {
    if (e.Dead || !e.Solid || e.Pickup || e.Height < 20) continue;
    const double sx = e.X - game.ScrollX;
    const double sy = e.Y - game.ScrollY;
    const double reach = e.Radius + 17.0 + 2 * kSafetyMargin;
    if (std::abs(sx - path.front().X) > 250 || std::abs(sy - path.front().Y) > 250) continue;
    for (int32_t t = 0; t < kLookAhead; t += 2) {
      const double d = std::hypot(sx - path[t].X, sy + 0.25 * t - path[t].Y);
      if (d < reach) {
        danger += 30.0 / (t + 1) + (reach - d) * 0.5;
        if (d < e.Radius + 17.0) firstHit = std::min(firstHit, t);
        break;
      }
    }
  }
  return danger;
}

// Where the bot wants to be: under a pick-up if one is in view, else under the
// nearest thing it can shoot, else the middle.
Point Goal(const Game& game, const PlayerRecord& p) {
  Point goal{320.0, kPreferredY};
  double best = std::numeric_limits<double>::max();
  for (const EnemyRecord& e : game.EnemyList) {
    if (e.Dead) continue;
    const double sx = e.X - game.ScrollX;
    const double sy = e.Y - game.ScrollY;
    if (sx < 0 || sx > 639 || sy < 0 || sy > 470) continue;
    if (e.Pickup && (e.Kind == kKindPowerUp || e.Kind == kShieldPickupKind)) {
      const double cost = std::hypot(sx - p.X, sy - p.Y) - 1000.0;
      if (cost < best) {
        best = cost;
        goal = {sx, std::clamp(sy, 60.0, 450.0)};
      }
      continue;
    }
    if (!e.Solid || !e.Shootable || e.Pickup || sy > p.Y - 40) continue;
    const double cost = std::abs(sx - p.X) + 0.3 * (p.Y - sy);
    if (cost < best) {
      best = cost;
      goal = {sx, kPreferredY};
    }
  }
  return goal;
}

int32_t CloseBullets(const Game& game, const PlayerRecord& p, double within) {
  int32_t n = 0;
  for (const EnemyBullet& b : game.EnemyBullets)
    if (std::hypot(b.X - game.ScrollX - p.X, b.Y - game.ScrollY - p.Y) < within) ++n;
  return n;
}

}  // namespace

BotControls ChooseBotControls(const Game& game, int32_t player) {
  BotControls out;
  const PlayerRecord& p = game.Players[static_cast<size_t>(player)];
  // Off the field, or waiting to join: tap Fire (a press needs a release before it).
  if (game.ScreenState != kScreenPlaying || !p.Active || p.Lives < 0) {
    out.Fire = game.TickCount % 2 == 0;
    return out;
  }
  if (game.Paused || p.Energy < 1) return out;
  out.Fire = true;

  const Point goal = Goal(game, p);
  double bestScore = std::numeric_limits<double>::max();
  int32_t bestDx = 0, bestDy = 0, bestHit = std::numeric_limits<int32_t>::max();
  for (int32_t dy = -1; dy <= 1; ++dy) {
    for (int32_t dx = -1; dx <= 1; ++dx) {
      const std::vector<Point> path = FlightPath(p, dx, dy);
      int32_t firstHit = 0;
      const double danger = PathDanger(game, path, firstHit);
      const Point& end = path.back();
      double score = danger * 50.0 + std::abs(end.X - goal.X) * 0.6 + std::abs(end.Y - goal.Y) * 0.3;
      // Edges leave no room to dodge.
      if (end.X < 24 || end.X > 615) score += 80.0;
      if (end.Y < 120) score += (120 - end.Y) * 2.0;
      if (end.Y > 440) score += (end.Y - 440) * 3.0;
      if (score < bestScore) {
        bestScore = score;
        bestDx = dx;
        bestDy = dy;
        bestHit = firstHit;
      }
    }
  }
  out.Left = bestDx < 0;
  out.Right = bestDx > 0;
  out.Up = bestDy < 0;
  out.Down = bestDy > 0;
  // Jump over a hit the best move cannot avoid; a jump needs a fresh press.
  out.Jump = bestHit <= 6 && p.Altitude == kGroundAltitude && game.TickCount % 2 == 0;
  // A nuke when crowded: many bullets close by, or no way out.
  out.Nuke = p.Nukes > 0 && game.NukeTimer == -1 &&
             (CloseBullets(game, p, 140.0) >= 8 || (bestHit <= 3 && p.Altitude == kGroundAltitude));
  return out;
}

std::vector<std::string> BotHeldCodes(const ControlBindingTable& bindings, int32_t player,
                                      const BotControls& c) {
  std::vector<std::string> codes;
  const auto& mine = bindings[static_cast<size_t>(player)];
  auto hold = [&](bool on, ControlIndex control) {
    const std::string& binding = mine[static_cast<size_t>(control)];
    if (on && binding.size() >= 4) codes.push_back(binding.substr(0, 4));
  };
  hold(c.Up, kCtlUp);
  hold(c.Down, kCtlDown);
  hold(c.Left, kCtlLeft);
  hold(c.Right, kCtlRight);
  hold(c.Fire, kCtlFire);
  hold(c.Jump, kCtlJump);
  hold(c.Nuke, kCtlNuke);
  return codes;
}

}  // namespace tarq
