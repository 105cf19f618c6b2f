#pragma once
// A playing field for the ground, sea and installation kinds: a fixed scroll, a seeded
// generator, the sprite names the behaviours look up, and a step that runs one enemy
// update and reports what appeared during it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/angles.h"
#include "core/random.h"
#include "enemies/enemies.h"
#include "enemies/enemy_kinds.h"
#include "game/game.h"

namespace tarq::testing_ground {

// What one tick produced.
struct StepLog {
  std::vector<EnemyBullet> Bullets;  // enemy bullets fired during the tick
  size_t Explosions = 0;             // explosions added during the tick
};

class GroundField {
 public:
  static constexpr int32_t kScrollY = 100000;
  static constexpr int32_t kScrollX = 32;

  explicit GroundField(uint64_t seed = 1) {
    FillAngleTables();
    SeedRandom(seed);
    game.ScreenState = kScreenPlaying;
    game.ScrollY = kScrollY;
    game.ScrollX = kScrollX;
    game.SpriteNames = {"none", "bullet1", "tanktracks", "jeeptracks", "bullet2", "bullet3",
                        "bigbullet"};
  }

  // Adds an enemy at a screen position (the field's scroll added), as a schedule line
  // or a behaviour would; returns its index.
  size_t Add(int32_t kind, int32_t screenX, int32_t screenY, ByteAngle angle = 0,
             uint8_t paramA = 0, uint8_t paramB = 0, uint8_t paramC = 0, int32_t intA = 0,
             int32_t intB = 0, int32_t intC = 0, int32_t hitPoints = 10) {
    const size_t index = game.EnemyList.size();
    Enemy_Add(game, screenX + kScrollX, screenY + kScrollY, angle, kind, paramA, paramB, paramC,
              intA, intB, intC, hitPoints);
    return index;
  }

  EnemyRecord& At(size_t index) { return game.EnemyList.at(index); }

  // One enemy update (behaviours, ageing, deaths, removal). Bullets fired this tick are
  // handed back and taken off the field, so every tick's shots are seen exactly once.
  StepLog Step() {
    const size_t explosionsBefore = game.Explosions.size();
    game.EnemyBullets.clear();
    Enemy_Process(game);
    ++ticks;
    StepLog log;
    log.Bullets = game.EnemyBullets;
    log.Explosions = game.Explosions.size() - explosionsBefore;
    game.EnemyBullets.clear();
    return log;
  }

  void Run(int n) {
    for (int i = 0; i < n; ++i) Step();
  }

  size_t Count(int32_t kind) const {
    size_t n = 0;
    for (const EnemyRecord& e : game.EnemyList) n += e.Kind == kind;
    return n;
  }

  // The most recent record of a kind (for children a behaviour launched).
  const EnemyRecord* Last(int32_t kind) const {
    for (size_t i = game.EnemyList.size(); i-- > 0;)
      if (game.EnemyList[i].Kind == kind) return &game.EnemyList[i];
    return nullptr;
  }

  // Records of a kind launched during the last step: they are first aged by the update
  // of the tick that launched them, so they are exactly one tick old.
  std::vector<const EnemyRecord*> Fresh(int32_t kind) const {
    std::vector<const EnemyRecord*> found;
    for (const EnemyRecord& e : game.EnemyList)
      if (e.Kind == kind && e.Age == 1 && !e.Dead) found.push_back(&e);
    return found;
  }

  // Places player 1 at a screen position (it becomes the target of every enemy).
  void PlacePlayer(double x, double y) {
    PlayerRecord& p = game.Players[0];
    p.Active = true;
    p.X = x;
    p.Y = y;
    p.Energy = 1000;
    p.Altitude = 256;
  }

  Game game;
  int ticks = 0;
};

}  // namespace tarq::testing_ground
