#include "enemies/mechanics.h"

#include <cstdlib>

#include "core/numeric.h"
#include "enemies/enemy_bullets.h"
#include "game/game.h"

namespace tarq {

void MoveAlong(EnemyRecord& e, double distance, ByteAngle heading) {
  e.X += distance * SinTable[heading];
  e.Y -= distance * CosTable[heading];
}

ByteAngle TurnOneStep(ByteAngle angle, ByteAngle wanted) {
  const auto ahead = ToByteAngle(wanted - angle);   // clockwise distance to the wanted heading
  const auto behind = ToByteAngle(angle - wanted);  // counter-clockwise distance
  return ahead >= behind ? ToByteAngle(angle - 1) : ToByteAngle(angle + 1);
}

ByteAngle GradedTurn(ByteAngle angle, ByteAngle aim) {
  const int32_t plain = std::abs(int32_t{angle} - int32_t{aim});
  const int32_t step = plain < 33 ? 1 : (plain < 49 ? 2 : 5);
  const auto ahead = ToByteAngle(aim - angle);
  const auto behind = ToByteAngle(angle - aim);
  return ahead >= behind ? ToByteAngle(angle - step) : ToByteAngle(angle + step);
}

void EnemyExplosion(Game& game, const EnemyRecord& e, int32_t scale, int32_t delay) {
  Explosion_Add(game, Round(e.X) - game.ScrollX, Round(e.Y) - game.ScrollY, scale, delay);
}

void EnemySound(Game& game, const EnemyRecord& e, int32_t sample, double rate) {
  game.Sound(sample, Round(e.X), rate);
}

void LaunchMissile(Game& game, double x, double y, ByteAngle angle) {
  Enemy_Add(game, Round(x), Round(y), angle, kKindMissile, 0, 0, 0, 0, 50, 0, 1);
}

void FirePlain(Game& game, ByteAngle angle, double x, double y, double forward, double side,
               double speed) {
  Enemy_AddBullet(game, angle, kPlainBulletImage, x, y, forward, side, speed);
}

void Leave(EnemyRecord& e) { e.Y += 1000; }

void EndWhenAgeReaches(EnemyRecord& e, int32_t age) {
  if (e.Age >= age) Leave(e);
}

void Sink(EnemyRecord& e) {
  e.Y += e.IntC / 7.5;
  if (e.Age >= 31) Leave(e);
}

void StartNukeAt(Game& game, int32_t mapX, int32_t mapY, int32_t pan) {
  game.NukeX = mapX;
  game.NukeY = mapY;
  game.NukeTimer = 1;
  game.NukeBrightness = 255;
  Enemy_NukeStrike(game);
  game.Sound(9, pan, 100);
}

}  // namespace tarq
