#pragma once
// The two players' helicopters: their record and the per-tick update of one player on
// the playing screen (movement, firing, nukes, jumps, energy, lives).
#include <cstdint>
#include <string>

#include "core/angles.h"

namespace tarq {

struct Game;

struct PlayerRecord {
  bool Active = false;  // takes part in the current run
  double X = 320.0;     // screen pixels, centre of the helicopter
  double Y = 340.0;
  double VelX = 0.0;  // pixels per tick, limited to -4 .. 4 at the end of each update
  double VelY = 0.0;
  ByteAngle Heading = 0;  // always up for the helicopter
  ByteAngle RotorAngle = 0;
  int32_t BodyPattern = 0;  // flips on every scroll step
  int32_t Altitude = 512;   // drawing scale n/256; 256 is level flight
  int32_t ClimbSpeed = 0;   // altitude change per tick times 3
  int32_t Energy = 1000;    // below 1: destroyed
  int32_t Lives = 0;        // below 0: out of the run
  int32_t DeathTimer = 0;   // ticks since destruction
  int32_t ShieldTime = 2000000000;  // ticks of invulnerability left
  int32_t Armour = 0;
  int32_t FireRate = 1;     // 1 .. 5
  int32_t WeaponLevel = 1;  // 1 .. 5
  int32_t Spread = 0;       // 0 or 3
  int32_t Nukes = 0;
  uint32_t Colour = 0xFFFFFF;  // drawing tint; a hit sets 0x4040FF
  int32_t Score = 0;
  std::string ScoreText = "00000000";  // the score as shown, rolling towards Score
  uint8_t FireCounter = 0;  // ticks since the last volley
};

// Level flight; the helicopter sinks to it after spawning and after a jump.
constexpr int32_t kGroundAltitude = 256;
constexpr int32_t kFullEnergy = 1000;
constexpr uint32_t kHitTint = 0x4040FF;

// Puts a player into the state it has when the program starts (inactive).
void ResetPlayerForProgramStart(PlayerRecord& player);

// A player joins the run: fresh helicopter, three lives, score 0. The displayed score
// text, the body pattern, the climb speed, the death timer and the fire counter are
// kept, so a new run's score rolls down from the old one.
void JoinPlayer(PlayerRecord& player);

// One player's update on the playing screen (also while paused: some steps stop).
void UpdatePlayer(Game& game, int32_t index);

// One step of the displayed score for a player: each digit that differs from the
// score's digit counts down by one, 0 wrapping to 9.
void RollScoreText(PlayerRecord& player);

}  // namespace tarq
