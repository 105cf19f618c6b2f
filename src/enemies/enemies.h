#pragma once
// Enemies and their bullets as the rest of the game sees them. Everything in the level
// that is not a player, a bullet or an effect is an enemy record: aircraft, tanks,
// guns, boss parts, pick-ups, track marks, even music cues. All of them are created by
// Enemy_Add (catalogue.cpp), run by Enemy_Process (enemy_process.cpp), which calls the
// behaviours (Enemy_Tick, enemy_kinds.cpp), and are drawn by Enemy_Draw (src/render).
#include <cstdint>

#include "core/angles.h"
#include "core/colour.h"

namespace tarq {

struct Game;

// Kinds the rest of the game treats specially.
constexpr int32_t kKindTank = 1;     // also the crater the nuke leaves
constexpr int32_t kKindMissile = 2;  // homing missile: strikes aircraft it flies into
constexpr int32_t kKindTrackMark = 89;
constexpr int32_t kKindMusicCue = 252;
constexpr int32_t kKindShieldPickup = 254;
constexpr int32_t kKindPowerUp = 255;

struct EnemyRecord {
  double X = 0.0;  // map pixels, centre
  double Y = 0.0;  // grows downward
  ByteAngle Angle = 0;  // heading: 0 up, 64 right, 128 down, 192 left
  int32_t Age = 0;  // ticks since creation; restarts at 0 on death
  int32_t HitPoints = 0;  // below 1 means killed
  int32_t Kind = 0;
  int32_t Height = 256;  // 0 on the ground .. 256 high; below 20 counts as ground level
  uint8_t ParamA = 0;
  uint8_t ParamB = 0;
  uint8_t ParamC = 0;
  uint8_t TrackSide = 0;  // 0 or 128: added to the heading of the track marks laid
  bool Dead = false;      // playing its death sequence
  int32_t IntA = 0;
  int32_t IntB = 0;
  int32_t IntC = 0;
  int32_t IntD = 0;
  int32_t IntE = 0;
  uint32_t Colour = kWhite;  // drawing tint 0x00BBGGRR; a hit sets 0x4040FF, fading back
  bool Pickup = false;       // touching it is a pick-up, not a collision
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
};

struct EnemyBullet {
  double X = 0.0;  // map pixels
  double Y = 0.0;
  int32_t Angle = 0;  // byte angle 0 .. 255
  double Speed = 0.0;
  int32_t Image = 0;  // sprite table index
  int32_t Frame = 0;
  int32_t LastFrame = 0;  // the animation runs 0 .. LastFrame and wraps
};

// Appends an enemy of `kind` with the given values, the defaults of a new record and
// its kind's initial values, and adds its children (track marks, carriages, chains,
// columns, goose parts). Enemies created while a nuke is under way start 50 hit points
// down (pick-ups excepted). The list may move in memory: references into EnemyList do
// not survive this call.
void Enemy_Add(Game& game, int32_t x, int32_t y, ByteAngle angle, int32_t kind, uint8_t paramA,
               uint8_t paramB, uint8_t paramC, int32_t intA, int32_t intB, int32_t intC,
               int32_t hitPoints);

// The per-tick driver of all enemies (behaviours, ageing, deaths and scores, removal,
// contact with the players, pick-ups, missile strikes).
void Enemy_Process(Game& game);

// The nuke's effect on the enemy side: every shootable enemy that is not a pick-up
// loses 50 hit points and every enemy bullet is gone.
void Enemy_NukeStrike(Game& game);

}  // namespace tarq

// The enemy bullets and the level schedule are declared beside their code; they are
// part of what callers of this header expect to see.
#include "enemies/enemy_bullets.h"
#include "enemies/schedule.h"
