#include "game/bot_pilot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/angles.h"
#include "game/game.h"

namespace tarq {

namespace {

constexpr int32_t kLookAhead = 32;       // ticks of flight the bot foresees
constexpr double kBulletReach = 27.0;    // an enemy bullet hurts within this distance
constexpr double kBodyReach = 17.0;      // the helicopter's body radius
constexpr double kBulletMargin = 14.0;   // near misses are worth avoiding too
constexpr double kBodyMargin = 28.0;     // and flying into a formation's row even more
constexpr double kMaxEnemySpeed = 14.0;  // a larger jump in position is a new record
constexpr int32_t kNoHitAltitude = 260;  // above this nothing touches the helicopter
constexpr double kPreferredY = 390.0;    // low on the screen: time to see what comes
constexpr int32_t kMissileKind = 2;
constexpr int32_t kShieldPickupKind = 254;
constexpr int32_t kShieldHolderKind = 253;
constexpr int32_t kFortressKind = 101;
constexpr int32_t kCitadelKind = 102;

struct Point {
  double X = 0.0;
  double Y = 0.0;
  bool Safe = false;      // high enough in a jump that nothing can hit
  bool Shielded = false;  // shield time left: bodies do no harm
};

// Something that can hurt: its screen position and velocity, and how close is a hit.
struct Threat {
  double X, Y, VX, VY, Reach, Margin;
  double HomingSpeed = 0.0;  // a homing missile: it flies straight at the helicopter
  bool Body = false;         // an aircraft's body rather than a bullet
};

// One plan: directions held for some ticks, then let go (a long push, a dodge, a nudge).
struct Plan {
  int32_t Dx = 0, Dy = 0, HoldTicks = 0;
};

double NextVelocity(double v, int32_t dir) {
  if (dir != 0) return v + 0.5 * dir;
  if (v > 0) return std::max(0.0, v - 0.2);
  return std::min(0.0, v + 0.2);
}

// The helicopter's screen path over the look-ahead for one plan, as Move moves it.
std::array<Point, kLookAhead> FlightPath(const PlayerRecord& p, const Plan& plan) {
  std::array<Point, kLookAhead> path{};
  double x = p.X, y = p.Y, vx = p.VelX, vy = p.VelY;
  int32_t altitude = p.Altitude, climb = p.ClimbSpeed;
  for (int32_t t = 0; t < kLookAhead; ++t) {
    const bool held = t < plan.HoldTicks;
    vx = NextVelocity(vx, held ? plan.Dx : 0);
    vy = NextVelocity(vy, held ? plan.Dy : 0);
    x = std::clamp(x + vx, 0.0, 639.0);
    y = std::clamp(y + vy, 0.0, 479.0);
    vx = std::clamp(vx, -4.0, 4.0);
    vy = std::clamp(vy, -4.0, 4.0);
    altitude = std::max(kGroundAltitude, altitude + climb / 3);
    climb = std::max(-256, climb - 1);
    // Shield time (less the tick's own count-down) blocks every kind of damage, but a
    // player still dodges bullets under a shield: it may run out any moment.
    path[static_cast<size_t>(t)] = {x, y, altitude >= kNoHitAltitude, t + 2 < p.ShieldTime};
  }
  return path;
}

bool IsBeamBoss(int32_t kind) { return kind == kFortressKind || kind == kCitadelKind; }

// A fortress's beam burns 16 pixels either side of its middle; its hull is hit 24
// pixels either side (the first fortress) or within 64 (the second): the bot shoots
// from between the two.
double BeamAimOffset(int32_t kind) { return kind == kFortressKind ? 23.0 : 40.0; }

// Bullets and bodies that could reach the helicopter within the look-ahead.
std::vector<Threat> GatherThreats(const Game& game, const PlayerRecord& p, const BotMemory* memory) {
  std::vector<Threat> threats;
  const double drift = game.ScrollHold == 0 ? 0.5 : 0.0;  // the map slides down the screen
  auto add = [&](double x, double y, double vx, double vy, double reach, double margin,
                 double homing = 0.0, bool body = false) {
    // Keep only what comes near anywhere the helicopter can fly to in time.
    for (int32_t t = 1; t <= kLookAhead; t += 4) {
      const double range = reach + margin + (4.5 + homing) * t + 8.0;
      if (std::abs(x + vx * t - p.X) < range && std::abs(y + vy * t - p.Y) < range) {
        threats.push_back({x, y, vx, vy, reach, margin, homing, body});
        return;
      }
    }
  };
  for (const EnemyBullet& b : game.EnemyBullets) {
    const auto a = static_cast<ByteAngle>(b.Angle & 255);
    add(b.X - game.ScrollX, b.Y - game.ScrollY, b.Speed * SinTable[a],
        -b.Speed * CosTable[a] + drift, kBulletReach, kBulletMargin);
  }
  for (size_t i = 0; i < game.EnemyList.size(); ++i) {
    const EnemyRecord& e = game.EnemyList[i];
    if (e.Dead || !e.Solid || e.Pickup || e.Height < 20) continue;
    double vx = 0.0, vy = 0.0;
    if (memory) memory->VelocityOf(game, i, vx, vy);
    // A missile still steering: taken to fly straight at wherever the helicopter goes.
    const double homing = e.Kind == kMissileKind && e.Age < e.IntA ? std::min(5.0, e.IntC / 20.0 + 0.5) : 0.0;
    add(e.X - game.ScrollX, e.Y - game.ScrollY, vx, vy + drift, e.Radius + kBodyReach, kBodyMargin, homing, true);
  }
  return threats;
}

struct PlanRisk {
  int32_t FirstHit = std::numeric_limits<int32_t>::max();  // tick of the first hit
  double NearMisses = 0.0;
};

PlanRisk RiskOf(const Game& game, const std::array<Point, kLookAhead>& path,
                const std::vector<Threat>& threats) {
  PlanRisk r;
  for (const Threat& th : threats) {
    const double warn = th.Reach + th.Margin;
    for (int32_t t = 0; t < kLookAhead; ++t) {
      const Point& at = path[static_cast<size_t>(t)];
      if (at.Safe || (at.Shielded && th.Body)) continue;
      double dx = th.X + th.VX * (t + 1) - at.X;
      double dy = th.Y + th.VY * (t + 1) - at.Y;
      if (th.HomingSpeed > 0.0) {
        // It closes the distance at its speed, whichever way the helicopter turns.
        dx = th.X - at.X;
        dy = th.Y - at.Y;
        const double d0 = std::sqrt(dx * dx + dy * dy);
        const double left = std::max(0.0, d0 - th.HomingSpeed * (t + 1));
        if (d0 > 0.0) {
          dx *= left / d0;
          dy *= left / d0;
        }
      }
      if (std::abs(dx) >= warn || std::abs(dy) >= warn) continue;
      const double d = std::sqrt(dx * dx + dy * dy);
      if (d >= warn) continue;
      if (d < th.Reach) {
        r.FirstHit = std::min(r.FirstHit, t);
        break;
      }
      r.NearMisses += (warn - d) / th.Margin * 8.0 / (8.0 + t);
    }
  }
  // A fortress's beam burns the column under it, below the top of the screen.
  for (const EnemyRecord& e : game.EnemyList) {
    if (e.Dead || !IsBeamBoss(e.Kind)) continue;
    const double column = e.X - game.ScrollX;
    for (int32_t t = 0; t < kLookAhead; ++t) {
      const Point& at = path[static_cast<size_t>(t)];
      if (at.Safe || at.Shielded || at.Y <= 110 || std::abs(at.X - column) >= 20) continue;
      if (e.IntE > 0 && e.IntE < 9) {
        r.FirstHit = std::min(r.FirstHit, t);
        break;
      }
      // Out of it even while it rests: it may fire before the bot thinks again.
      r.NearMisses += 3.0 * 8.0 / (8.0 + t);
    }
  }
  return r;
}

// Where the bot wants to be: at a pick-up if one is in view, else under the thing it
// can shoot that is most worth it, else low in the middle.
Point Goal(const Game& game, const PlayerRecord& p) {
  Point goal{320.0, kPreferredY};
  double best = std::numeric_limits<double>::max();
  for (const EnemyRecord& e : game.EnemyList) {
    if (e.Dead) continue;
    const double sx = e.X - game.ScrollX;
    const double sy = e.Y - game.ScrollY;
    if (sx < 0 || sx > 639 || sy < 0 || sy > 470) continue;
    if (e.Pickup && (e.Kind == kKindPowerUp || e.Kind == kShieldPickupKind)) {
      if (sy < 50) continue;  // not yet worth flying up to the top for
      const double cost = std::hypot(sx - p.X, sy - p.Y) - 1000.0;
      if (cost < best) {
        best = cost;
        goal = {sx, std::clamp(sy + 10.0, 60.0, 450.0)};
      }
      continue;
    }
    if (!e.Shootable || e.Pickup || sy > p.Y - 60) continue;
    // Shield holders hide a shield: worth a detour.
    const double bonus = e.Kind == kShieldHolderKind ? 200.0 : 0.0;
    // A fortress is shot from just beside its beam.
    // The side it is heading for, so that it does not swing across the beam.
    const double side = p.X + 10.0 * p.VelX < sx ? -1.0 : 1.0;
    const double aimX = IsBeamBoss(e.Kind) ? sx + side * BeamAimOffset(e.Kind) : sx;
    const double cost = std::abs(aimX - p.X) + 0.3 * (p.Y - sy) - bonus;
    if (cost < best) {
      best = cost;
      goal = {aimX, kPreferredY};
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

int32_t CloseAircraft(const Game& game, const PlayerRecord& p, double within) {
  int32_t n = 0;
  for (const EnemyRecord& e : game.EnemyList)
    if (!e.Dead && e.Solid && e.Shootable && !e.Pickup && e.Height >= 20 &&
        std::hypot(e.X - game.ScrollX - p.X, e.Y - game.ScrollY - p.Y) < within)
      ++n;
  return n;
}

}  // namespace

void BotMemory::Observe(const Game& game) {
  if (game.TickCount == tick_) return;
  tick_ = game.TickCount;
  previous_.swap(current_);
  current_.clear();
  for (const EnemyRecord& e : game.EnemyList) current_.push_back({e.Kind, e.X, e.Y});
}

void BotMemory::VelocityOf(const Game& game, size_t index, double& vx, double& vy) const {
  vx = vy = 0.0;
  const EnemyRecord& e = game.EnemyList[index];
  // Records keep their order and new ones come last; removals only move later ones
  // down, so the record was at the same place or a little further on.
  double best = kMaxEnemySpeed * kMaxEnemySpeed;
  for (size_t i = index; i < previous_.size() && i <= index + 24; ++i) {
    const Seen& s = previous_[i];
    if (s.Kind != e.Kind) continue;
    const double dx = e.X - s.X, dy = e.Y - s.Y;
    const double d = dx * dx + dy * dy;
    if (d < best) {
      best = d;
      vx = dx;
      vy = dy;
      if (d < 1e-9) break;
    }
  }
}

BotControls BotMemory::Fly(const Game& game, int32_t player) {
  const size_t i = static_cast<size_t>(player);
  const PlayerRecord& p = game.Players[i];
  const bool flying = game.ScreenState == kScreenPlaying && p.Active && p.Lives >= 0 && !game.Paused &&
                      p.Energy >= 1;
  if (!flying || game.TickCount - decided_[i] >= kReactionTicks || game.TickCount < decided_[i]) {
    held_[i] = ChooseBotControls(game, player, this);
    decided_[i] = flying ? game.TickCount : -1000;
  }
  BotControls c = held_[i];
  if (game.TickCount - decided_[i] >= c.DirectionTicks) c.Left = c.Right = c.Up = c.Down = false;
  return c;
}

BotControls ChooseBotControls(const Game& game, int32_t player, const BotMemory* memory) {
  BotControls out;
  const PlayerRecord& p = game.Players[static_cast<size_t>(player)];
  // Off the field, or waiting to join: tap Fire (a press needs a release before it).
  if (game.ScreenState != kScreenPlaying || !p.Active || p.Lives < 0) {
    out.Fire = game.TickCount % 2 == 0;
    return out;
  }
  if (game.Paused || p.Energy < 1) return out;
  out.Fire = true;

  const std::vector<Threat> threats = GatherThreats(game, p, memory);
  const Point goal = Goal(game, p);
  double bestScore = std::numeric_limits<double>::max();
  Plan best;
  PlanRisk bestRisk;
  for (int32_t hold : {kLookAhead, 6, 2}) {
    for (int32_t dy = -1; dy <= 1; ++dy) {
      for (int32_t dx = -1; dx <= 1; ++dx) {
        const Plan plan{dx, dy, hold};
        const std::array<Point, kLookAhead> path = FlightPath(p, plan);
        const PlanRisk risk = RiskOf(game, path, threats);
        const Point& end = path.back();
        const Point& mid = path[kLookAhead / 2];
        double score = risk.NearMisses * 40.0 + std::abs(end.X - goal.X) * 0.6 +
                       std::abs(end.Y - goal.Y) * 0.3 + std::abs(mid.X - goal.X) * 0.3;
        if (risk.FirstHit < kLookAhead) score += 4000.0 * (kLookAhead - risk.FirstHit);
        // Edges leave no room to dodge.
        if (end.X < 30) score += (30 - end.X) * 4.0;
        if (end.X > 609) score += (end.X - 609) * 4.0;
        if (end.Y < 150) score += (150 - end.Y) * 2.0;
        if (end.Y > 430) score += (end.Y - 430) * 4.0;
        if (score < bestScore) {
          bestScore = score;
          best = plan;
          bestRisk = risk;
        }
      }
    }
  }
  out.Left = best.Dx < 0;
  out.Right = best.Dx > 0;
  out.Up = best.Dy < 0;
  out.Down = best.Dy > 0;
  out.DirectionTicks = best.HoldTicks;
  const bool grounded = p.Altitude == kGroundAltitude;
  // Jump over a hit the best move cannot avoid; a jump needs a fresh press.
  out.Jump = bestRisk.FirstHit <= 6 && grounded && game.TickCount % 2 == 0;
  // A nuke when crowded (many bullets or aircraft close by) or with no way out.
  out.Nuke = p.Nukes > 0 && game.NukeTimer == -1 &&
             (CloseBullets(game, p, 140.0) >= 8 || CloseAircraft(game, p, 160.0) >= 6 ||
              (bestRisk.FirstHit <= 3 && grounded && p.ShieldTime < 2));
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
