#pragma once
// Short-lived decoration anything in the game can spawn: animated explosions (sparks
// are their yellow variant) and flares, a single image that shrinks, spins and fades.
// They never collide. Callers give screen pixels; the effects keep map pixels so that
// they stay on the ground while the map scrolls.
#include <cstdint>

#include "core/angles.h"

namespace tarq {

struct Game;

struct ExplosionRecord {
  int32_t X = 0;  // map pixels, centre
  int32_t Y = 0;
  int32_t BaseImage = 3;  // sprite index of the first image: 3 or 5
  int32_t Frame = 0;      // image BaseImage + Frame div 16, pattern Frame mod 16
  int32_t LastFrame = 26;
  int32_t Scale = 256;
  ByteAngle Angle = 0;
  int32_t FrameTimer = 0;
  int32_t FrameDelay = 0;  // a frame lasts FrameDelay + 1 ticks
  uint32_t Colour = 0xFFFFFF;
};

struct FlareRecord {
  int32_t X = 0;  // map pixels
  int32_t Y = 0;
  int32_t Scale = 256;
  int32_t ScaleStep = 0;
  ByteAngle Angle = 0;
  uint8_t Spin = 0;  // added to Angle each tick; 254 turns backwards by 2
  uint8_t Brightness = 255;
  uint8_t BrightnessStep = 0;  // added each tick; 255 fades by 1
  int32_t Age = 0;
  int32_t Lifetime = 0;  // removed once Age exceeds it
};

// The two explosion animations alternate: base image 3 (27 frames), then 5 (31 frames).
constexpr int32_t kExplosionBaseA = 3;
constexpr int32_t kExplosionBaseB = 5;

void Explosion_Add(Game& game, int32_t x, int32_t y, int32_t scale, int32_t delay);
void Spark_Add(Game& game, int32_t x, int32_t y, int32_t scale);
void Flare_Add(Game& game, int32_t x, int32_t y, int32_t scale, int32_t scaleStep, uint8_t angle,
               uint8_t spin, uint8_t brightness, uint8_t brightnessStep, int32_t lifetime);

// Once per unpaused playing tick, after the bullet movers.
void Explosion_Process(Game& game);
void Flare_Process(Game& game);

}  // namespace tarq
