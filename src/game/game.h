#pragma once
// The whole state of one running game and the routines of its tick. The main window
// (src/app) owns one Game; the headless runner owns another. Nothing in here touches
// SDL, OpenGL or files during a tick: the platform is reached only through the
// narrow interfaces held below (input snapshot, audio commands, drawing device).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/angles.h"
#include "core/colour.h"
#include "game/effects.h"
#include "game/players.h"
#include "game/weapons.h"
#include "input/controls.h"
#include "enemies/enemies.h"
#include "world/map.h"

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
  int32_t EditIndex = -1;  // high-score entry being named on the name-entry screen
  int64_t TickCount = 0;
  bool ShowOptionsAtStart = true;
  int32_t SoundVolume = 100;
  int32_t MusicVolume = 100;

  // Input polled by DoControls at the start of every tick: the devices (null: no
  // input, as in most tests), both players' ten bindings and the mouse movement taken
  // by DoControls. The resulting ControlState of each player is `Controls`.
  TInputDevices* Input = nullptr;
  ControlBindingTable ControlBindings = DefaultControlBindings();
  MouseMove Mouse;

  // Set when a menu asks the program to end (EXIT, QUIT TO WINDOWS); the shell
  // stops the timer and closes the window.
  bool QuitRequested = false;
  // Set by the in-game menu's "SWITCH TO FULLSCREEN / WINDOWED"; the shell switches the
  // display mode after the timer pass (the tick itself never touches the platform).
  bool SwitchScreenRequested = false;

  // --- Playing field: players, weapons, effects, map and scroll ---------------------
  // (owned by the players / weapons / effects / world code)
  std::array<PlayerRecord, 2> Players{};
  // Held and pressed flags of each player's controls, refreshed at the start of a tick.
  std::array<ControlState, 2> Controls{};
  std::vector<PlayerBullet> PlayerBullets;
  std::vector<ExplosionRecord> Explosions;
  std::vector<FlareRecord> Flares;
  int32_t ExplosionToggle = 0;  // alternates the two explosion animations
  int32_t NukeTimer = -1;       // -1: no nuke; else counts up from 1 (blast size n/256)
  int32_t NukeBrightness = 0;
  int32_t NukeX = 0;  // map pixels
  int32_t NukeY = 0;
  uint8_t ScrollTick = 0;  // unpaused playing ticks; the scroll moves on even ones
  int32_t InGameMenuSlide = 0;  // 0 .. 100: how far the in-game menu is shown
  int32_t ScrollY = kScrollYAtProgramStart;  // map y of the top screen row
  int32_t ScrollX = 0;                       // map x of the left screen column, 0 .. 64
  int32_t ScrollHold = 0;  // reasons the scroll is held; it moves only at 0
  WorldMap Map;
  std::vector<EnemyRecord> EnemyList;
  int32_t GooseLeader = -1;  // list index of the last kind-7 record, -1 none
  std::vector<EnemyBullet> EnemyBullets;
  PlasmaGrid Plasma{};
  // The title logo's fall: it drops from above the screen, bounces once and lands.
  double TitleLogoY = -256.0;
  double TitleLogoSpeed = 20.0;
  int32_t TitleLogoPhase = 100;  // 0 .. 200, phase of the logo's arc
  // Pixel access to the water tiles' images; null when there are none (headless).
  TileSurface* WaterTiles = nullptr;

  // --- Platform reached from the tick ------------------------------------------------
  GameAudio* Audio = nullptr;  // null: silent (headless runner, most tests)

  // --- Enemy schedule and sprite names ----------------------------------------------
  // The level script, read at start-up; ScheduleIndex is the next entry to fire.
  std::vector<ScheduleEntry> EnemySchedule;
  int32_t ScheduleIndex = 0;
  bool ScheduleDone = false;
  // The sprite table's names in table order (lower case), filled after loading; the
  // game's rules find images by name through sn.
  std::vector<std::string> SpriteNames;
  // The index of the first sprite with that name, else 0.
  int32_t sn(std::string_view name) const;

  // Forwarders used by the game's rules; they do nothing without an audio side.
  // The rate is a percentage and may have a fraction (enemy deaths: 90 + Random(200) / 10).
  void Sound(int32_t sample, int32_t x, double rate);
  void MusicPlay(int32_t track, int32_t order, int32_t row);
  // The per-tick music volume and cross-fade step.
  void MusicTick();
};

// One tick of the game (the fixed-rate timer's process handler).
void Timer1Process(Game& game);

}  // namespace tarq
