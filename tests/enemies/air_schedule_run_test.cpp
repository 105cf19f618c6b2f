// The hand-written schedule that places every aircraft and pick-up kind
// (tests/enemies/schedules/air_and_pickups.txt), played with one player firing all the
// way: every kind appears, enemies are shot down and score, nothing breaks.
#include <gtest/gtest.h>

#include <set>

#include "enemy_test_support.h"
#include "render/frame.h"

namespace tarq {
namespace {

using enemy_test::TestGame;

TEST(AirSchedule, EveryKindAppearsAndTheFiringPlayerScores) {
  TestGame t(5);
  std::vector<ScheduleEntry> entries;
  std::string message;
  ASSERT_TRUE(LoadEnemiesFile(std::string(TARQ_TEST_SOURCE_DIR) + "/enemies/schedules/air_and_pickups.txt", entries,
                              message))
      << message;
  std::set<int32_t> scheduled;
  for (const ScheduleEntry& e : entries) scheduled.insert(e.Kind);
  t.game.EnemySchedule = entries;
  t.game.ScreenState = kScreenTitle;
  t.game.Controls[1].FirePressed = true;
  Timer1Process(t.game);
  ASSERT_EQ(t.game.ScreenState, kScreenPlaying);
  t.game.Controls[1] = {};
  t.game.Controls[1].FireHeld = true;

  std::set<int32_t> seen, died;
  for (int tick = 0; tick < 2600 && t.game.ScreenState == kScreenPlaying; ++tick) {
    Timer1Render(t.game, nullptr);
    Timer1Process(t.game);
    for (const EnemyRecord& e : t.game.EnemyList) {
      seen.insert(e.Kind);
      if (e.Dead) died.insert(e.Kind);
    }
  }
  EXPECT_TRUE(t.game.ScheduleDone);
  scheduled.erase(kKindMusicCue);  // gone before anyone sees it
  for (const int32_t kind : scheduled) EXPECT_TRUE(seen.count(kind)) << "kind " << kind << " never appeared";
  EXPECT_GE(died.size(), 8u);
  EXPECT_GT(t.game.Players[1].Score, 2000);
}

}  // namespace
}  // namespace tarq
