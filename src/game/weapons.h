#pragma once
// The players' guns: the pattern of shots in a volley for each weapon level, the player
// bullet, its flight and what it does to the enemy it hits.
#include <cstdint>

#include "core/angles.h"

namespace tarq {

struct Game;

struct PlayerBullet {
  double X = 0.0;  // screen pixels: bullets do not move with the scroll
  double Y = 0.0;
  int32_t Angle = 0;  // byte angle of flight, 0 = up
  double Speed = 0.0;
  int32_t Owner = 0;    // player credited with its hits
  int32_t Pattern = 0;  // 0 or 1, flips every unpaused tick
};

constexpr double kPlayerBulletSpeed = 15.0;

// Bullets that leave this box are gone.
constexpr double kBulletMinX = -31.0;
constexpr double kBulletMaxX = 670.0;
constexpr double kBulletMinY = -20.0;
constexpr double kBulletMaxY = 499.0;

// Ticks between volleys while Fire is held: 20, 17, 14, 11, 8 for FireRate 1 .. 5.
constexpr int32_t FirePeriod(int32_t fireRate) { return 23 - 3 * fireRate; }

// Adds the bullets of one volley for `player` from its centre (the sound is the
// caller's). Odd levels fire a centre shot plus pairs 10 and 20 pixels out; even
// levels pairs 5 and 15 pixels out; the outer pairs start behind the inner ones.
// Spread fans the shots by multiples of its angle step.
void FireVolley(Game& game, int32_t player);

// Appends one bullet: a positive forward offset moves the start along the flight
// direction, a positive side offset to its right.
void Player_AddBullet(Game& game, ByteAngle angle, double x, double y, double side, double forward,
                      double speed, int32_t owner);

// Moves every bullet, drops those off the screen and resolves hits on enemies (newest
// enemy first; a bullet is spent on the first enemy it hits).
void Player_MoveBullets(Game& game);

}  // namespace tarq
