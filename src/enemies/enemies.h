#pragma once
// Enemies and their bullets as the rest of the game sees them. Everything in the level
// that is not a player, a bullet or an effect is an enemy record: aircraft, tanks,
// guns, boss parts, pick-ups, track marks, even music cues.
//
// The behaviours, damage, collisions and the level schedule fill these lists; until
// they exist the routines below do the minimum the players' side relies on.
#include <cstdint>

#include "core/angles.h"
#include "core/colour.h"

namespace tarq {

struct Game;

// Kinds the players' side treats specially.
constexpr int32_t kKindTank = 1;
constexpr int32_t kKindPowerUp = 255;

struct EnemyRecord {
  double X = 0.0;  // map pixels, centre
  double Y = 0.0;
  ByteAngle Angle = 0;
  int32_t Age = 0;  // ticks since creation; restarts at 0 on death
  int32_t HitPoints = 0;
  int32_t Kind = 0;
  int32_t Height = 256;  // 0 on the ground .. 256 high; below 20 counts as ground level
  uint8_t ParamA = 0;
  uint8_t ParamB = 0;
  uint8_t ParamC = 0;
  uint8_t TrackSide = 0;
  bool Dead = false;
  int32_t IntA = 0;
  int32_t IntB = 0;
  int32_t IntC = 0;
  int32_t IntD = 0;
  int32_t IntE = 0;
  uint32_t Colour = kWhite;  // a hit tints it 0x4040FF; fades back to white
  bool Pickup = false;
  int32_t Radius = 32;
  int32_t HalfWidth = 0;
  int32_t HalfHeight = 0;
  bool RoundHit = true;  // bullets test the circle of Radius, else the box
  bool Solid = true;     // can be hit and collides with players
  bool Shootable = true; // takes damage; a Solid one that is not only deflects bullets
  int32_t LastHitBy = -1;  // player credited with the kill, -1 none
  int32_t ScoreValue = 250;
  int32_t TopMargin = -1000;  // removed when Y < ScrollY + TopMargin
  int32_t BottomMargin = 580; // removed when Y > ScrollY + BottomMargin
  bool Armoured = false;      // hits sound heavier
  // Set by a boss while it holds the map's scroll, so that it releases only its own hold.
  bool HoldsScroll = false;
};

struct EnemyBullet {
  double X = 0.0;  // map pixels
  double Y = 0.0;
  int32_t Angle = 0;
  double Speed = 0.0;
  int32_t Image = 0;  // sprite table index
  int32_t Frame = 0;
  int32_t LastFrame = 0;  // the animation runs 0 .. LastFrame and wraps
};

// Appends an enemy with the given values and the defaults of a new record. Enemies
// created while a nuke is under way start 50 hit points down (pick-ups excepted).
void Enemy_Add(Game& game, int32_t x, int32_t y, ByteAngle angle, int32_t kind, uint8_t paramA,
               uint8_t paramB, uint8_t paramC, int32_t intA, int32_t intB, int32_t intC,
               int32_t hitPoints);

// Per-tick movers of the enemy side, called by the playing tick in its fixed order.
void Enemy_MoveBullets(Game& game);
void Enemy_Process(Game& game);
void CheckEnemies(Game& game);
// A new run fires the level schedule again from its first entry.
void RewindSchedule(Game& game);

// The enemy bullets' animation step, taken together with the scroll step.
void Enemy_AnimateBullets(Game& game);

// The nuke's effect on the enemy side: every shootable enemy that is not a pick-up
// loses 50 hit points and every enemy bullet is gone.
void Enemy_NukeStrike(Game& game);

}  // namespace tarq
