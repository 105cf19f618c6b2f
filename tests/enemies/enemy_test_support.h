#pragma once
// Shared set-up of the enemy tests: a game with the angle tables, a fixed seed, the
// forged sprite table's names (so sn finds "bullet2", "tanktracks" ...), a recording
// audio side, and a way to run a schedule the way the playing tick does.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "assets/record_archive.h"
#include "audio/game_audio.h"
#include "audio/recording_audio_layer.h"
#include "core/random.h"
#include "game/game.h"

namespace tarq::enemy_test {

// The record names of the forged sprite archive, lower case, in table order.
inline const std::vector<std::string>& ForgedSpriteNames() {
  static const std::vector<std::string> names = [] {
    TRecordArchive archive;
    archive.FileName = std::string(TARQ_DATA_DIR) + "/system/sprites.pak";
    archive.OpenMode = opReadOnly;
    std::vector<std::string> out;
    if (archive.Open() != 0) return out;
    for (int32_t i = 0; i < archive.RecordCount(); ++i) {
      std::string name = archive.RecordName(i);
      std::transform(name.begin(), name.end(), name.begin(),
                     [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
      out.push_back(name);
    }
    return out;
  }();
  return names;
}

// A playing field with nobody in it, the view at the bottom of the map.
struct TestGame {
  RecordingAudioLayer layer;
  GameAudio audio{layer, "data"};
  Game game;

  explicit TestGame(uint64_t seed = 1) {
    FillAngleTables();
    SeedRandom(seed);
    audio.Startup();
    audio.LogSounds = true;
    game.Audio = &audio;
    game.SpriteNames = ForgedSpriteNames();
    game.ScreenState = kScreenPlaying;
    game.ScrollY = kMaxScrollY;
    game.ScrollX = 32;
  }

  // Samples played since the last call, in order.
  std::vector<int32_t> TakeSounds() {
    std::vector<int32_t> samples;
    for (const SoundCall& s : audio.SoundLog) samples.push_back(s.sample);
    audio.SoundLog.clear();
    return samples;
  }

  // Reads schedule text into the game, rewound.
  void Schedule(const std::string& text) {
    ScheduleError error;
    ASSERT_TRUE(LoadEnemies(text, game.EnemySchedule, error)) << error.Line << ": " << error.Text;
    RewindSchedule(game);
  }

  // Runs whole playing ticks (players, scroll, bullets, effects, enemies, schedule).
  void Ticks(int32_t n) {
    for (int32_t i = 0; i < n; ++i) Timer1Process(game);
  }

  PlayerRecord& JoinAt(int32_t p, double x, double y) {
    PlayerRecord& player = game.Players[static_cast<size_t>(p)];
    player.Active = true;
    player.X = x;
    player.Y = y;
    player.Altitude = 256;
    player.Energy = 1000;
    player.Lives = 3;
    player.ShieldTime = 0;
    player.Armour = 0;
    return player;
  }

  // Adds a record and returns its index.
  size_t Add(int32_t kind, int32_t x, int32_t y, int32_t hitPoints = 10, ByteAngle angle = 0, uint8_t a = 0,
             uint8_t b = 0, uint8_t c = 0, int32_t intA = 0, int32_t intB = 0, int32_t intC = 0) {
    const size_t index = game.EnemyList.size();
    Enemy_Add(game, x, y, angle, kind, a, b, c, intA, intB, intC, hitPoints);
    return index;
  }
  EnemyRecord& At(size_t i) { return game.EnemyList.at(i); }
  size_t CountKind(int32_t kind) const {
    return static_cast<size_t>(std::count_if(game.EnemyList.begin(), game.EnemyList.end(),
                                             [&](const EnemyRecord& e) { return e.Kind == kind; }));
  }
};

}  // namespace tarq::enemy_test
