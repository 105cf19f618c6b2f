#include "game/effects.h"

#include <algorithm>

#include "core/random.h"
#include "game/game.h"

namespace tarq {

namespace {

ExplosionRecord& AppendExplosion(Game& game, int32_t x, int32_t y, int32_t scale, int32_t delay) {
  ExplosionRecord e;
  e.X = x + game.ScrollX;
  e.Y = y + game.ScrollY;
  e.Scale = scale;
  e.FrameDelay = delay;
  e.Frame = 0;
  e.FrameTimer = 0;
  // Successive explosions alternate between the two animations, whoever adds them.
  e.BaseImage = 2 * game.ExplosionToggle + kExplosionBaseA;
  game.ExplosionToggle = 1 - game.ExplosionToggle;
  e.LastFrame = e.BaseImage == kExplosionBaseA ? 26 : 30;
  e.Angle = ToByteAngle(Random(256));
  game.Explosions.push_back(e);
  return game.Explosions.back();
}

}  // namespace

void Explosion_Add(Game& game, int32_t x, int32_t y, int32_t scale, int32_t delay) {
  ExplosionRecord& e = AppendExplosion(game, x, y, scale, delay);
  switch (Random(3)) {
    case 0: e.Colour = 0xFFFFFF; break;
    case 1: e.Colour = 0xCFCFFF; break;
    default: e.Colour = 0xCFFFFF; break;
  }
}

void Spark_Add(Game& game, int32_t x, int32_t y, int32_t scale) {
  ExplosionRecord& e = AppendExplosion(game, x, y, scale, 1);
  e.Colour = 0xFFFF;  // red and green, no blue: yellow
}

void Flare_Add(Game& game, int32_t x, int32_t y, int32_t scale, int32_t scaleStep, uint8_t angle,
               uint8_t spin, uint8_t brightness, uint8_t brightnessStep, int32_t lifetime) {
  FlareRecord f;
  f.X = x + game.ScrollX;
  f.Y = y + game.ScrollY;
  f.Scale = scale;
  f.ScaleStep = scaleStep;
  f.Angle = angle;
  f.Spin = spin;
  f.Brightness = brightness;
  f.BrightnessStep = brightnessStep;
  f.Lifetime = lifetime;
  f.Age = 0;
  game.Flares.push_back(f);
}

void Explosion_Process(Game& game) {
  for (ExplosionRecord& e : game.Explosions) {
    if (e.FrameTimer >= e.FrameDelay) {
      e.Frame += 1;
      e.FrameTimer = 0;
    } else {
      e.FrameTimer += 1;
    }
  }
  // Stable removal keeps creation order, as removing from the last to the first does.
  std::erase_if(game.Explosions, [](const ExplosionRecord& e) { return e.Frame > e.LastFrame; });
}

void Flare_Process(Game& game) {
  for (FlareRecord& f : game.Flares) {
    f.Scale += f.ScaleStep;
    f.Angle = static_cast<uint8_t>(f.Angle + f.Spin);
    f.Brightness = static_cast<uint8_t>(f.Brightness + f.BrightnessStep);
    f.Age += 1;
  }
  std::erase_if(game.Flares, [](const FlareRecord& f) { return f.Age > f.Lifetime; });
}

}  // namespace tarq
