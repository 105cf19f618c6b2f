// The whole level flown by the bot, shielded from harm: every schedule entry fires,
// every boss appears and dies, the map stops at the final boss and the run reaches the
// completion screen. Under the sanitizers the run covers the last two sections only
// (the sliding platform and the final boss), to stay within CI time.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "app/headless.h"
#include "game/game.h"

#if defined(__SANITIZE_ADDRESS__)
#define TARQ_SOAK_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARQ_SOAK_SANITIZED 1
#endif
#endif
#ifndef TARQ_SOAK_SANITIZED
#define TARQ_SOAK_SANITIZED 0
#endif

namespace tarq {
namespace {

struct SoakRecord {
  int32_t MinScrollY = 1 << 30;
  bool Completed = false;
  bool ScheduleDone = false;
  size_t ScheduleSize = 0;
  std::set<int32_t> BossesSeen, BossesDead;
  int64_t Ticks = 0;
};

TEST(LevelSoak, TheBotFliesToTheCompletionScreen) {
  const std::filesystem::path start = std::filesystem::current_path();
  HeadlessOptions o;
  o.Ticks = 400000;
  o.DataDir = std::string(TARQ_BINARY_DIR) + "/data";
  o.Bot[0] = true;
  o.Invulnerable = true;
  o.StartSection = TARQ_SOAK_SANITIZED ? 11 : 1;
  SoakRecord r;
  const std::set<int32_t> bosses = TARQ_SOAK_SANITIZED ? std::set<int32_t>{104, 105}
                                                       : std::set<int32_t>{7, 101, 102, 104, 105};
  o.Observer = [&](const Game& game) {
    r.Ticks = game.TickCount;
    if (game.ScreenState == kScreenPlaying) r.MinScrollY = std::min(r.MinScrollY, game.ScrollY);
    r.ScheduleDone = r.ScheduleDone || game.ScheduleDone;
    r.ScheduleSize = game.EnemySchedule.size();
    for (const EnemyRecord& e : game.EnemyList) {
      if (!bosses.count(e.Kind)) continue;
      r.BossesSeen.insert(e.Kind);
      if (e.Dead) r.BossesDead.insert(e.Kind);
    }
    if (game.ScreenState == kScreenCompletion) {
      r.Completed = true;
      return false;
    }
    return true;
  };
  const int status = RunHeadless(o);
  std::filesystem::current_path(start);
  ASSERT_EQ(status, 0);
  EXPECT_TRUE(r.Completed) << "ended at tick " << r.Ticks;
  EXPECT_TRUE(r.ScheduleDone) << "every entry fired";
  EXPECT_EQ(r.MinScrollY, 126272) << "the final boss pins the map there";
  EXPECT_EQ(r.BossesSeen, bosses);
  EXPECT_EQ(r.BossesDead, bosses);
}

}  // namespace
}  // namespace tarq
