#pragma once
// Enemy bullets: straight shots at constant speed that exist only on screen and hurt a
// player they pass within 27 pixels of.
#include <cstdint>

#include "core/angles.h"

namespace tarq {

struct Game;

// The plain bullet's image index in the sprite table.
constexpr int32_t kPlainBulletImage = 1;

// Fires a bullet from the muzzle point: (x, y) moved `forward` pixels along the heading
// and `side` pixels to its right, each offset rounded. A muzzle point off the screen
// fires nothing and makes no sound.
void Enemy_AddBullet(Game& game, ByteAngle angle, int32_t image, double x, double y,
                     double forward, double side, double speed);

// Moves every bullet, drops those that left the screen and resolves hits on the
// players. Once per unpaused playing tick.
void Enemy_MoveBullets(Game& game);

// The bullets' animation step, taken together with the scroll step.
void Enemy_AnimateBullets(Game& game);

// The highest animation frame of a bullet image ("bullet2" 11, "bullet3" 2,
// "bigbullet" 3, any other 0).
int32_t EnemyBulletLastFrame(const Game& game, int32_t image);

}  // namespace tarq
