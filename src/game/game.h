#pragma once
// The whole state of one running game and the routines of its tick. The main window
// (src/app) owns one Game; the headless runner owns another. Nothing in here touches
// SDL, OpenGL or files during a tick: the platform is reached only through the
// narrow interfaces held below (input snapshot, audio commands, drawing device).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/angles.h"
#include "core/colour.h"

namespace tarq {

class GameAudio;  // src/audio: the game side of sound and music (Sound, MusicPlay)

// ScreenState values.
enum : int32_t {
  kScreenTitle = 0,
  kScreenPlaying = 1,
  kScreenControlOptions = 2,
  kScreenGameOptions = 3,
  kScreenScores = 4,
  kScreenNameEntry = 5,
  kScreenCompletion = 6,
  kScreenIntro = 7,
};

struct Game {
  // --- Screen state and screen-level globals (main window) ---------------------------
  int32_t ScreenState = kScreenIntro;
  int32_t ScreenTicks = 0;
  int32_t MenuCursor = 0;
  bool InGameMenuOpen = false;
  bool Paused = false;
  int32_t TypedKey = 0;
  int64_t TickCount = 0;
  bool ShowOptionsAtStart = true;
  int32_t SoundVolume = 100;
  int32_t MusicVolume = 100;

  // Set when a menu asks the program to end (EXIT, QUIT TO WINDOWS); the shell
  // stops the timer and closes the window.
  bool QuitRequested = false;

  // --- Platform reached from the tick ------------------------------------------------
  GameAudio* Audio = nullptr;  // null: silent (headless runner, most tests)

  // Forwarders used by the game's rules; they do nothing without an audio side.
  void Sound(int32_t sample, int32_t x, int32_t rate);
  void MusicPlay(int32_t track, int32_t order, int32_t row);
};

// One tick of the game (the fixed-rate timer's process handler).
void Timer1Process(Game& game);

}  // namespace tarq
