#include "game/section_start.h"

#include <algorithm>

#include "game/game.h"

namespace tarq {

namespace {
constexpr int32_t kMusicCueKind = 252;
}

int32_t ScheduleSectionCount(const Game& game) {
  return static_cast<int32_t>(std::count_if(game.EnemySchedule.begin(), game.EnemySchedule.end(),
                                            [](const ScheduleEntry& e) { return e.Kind == kMusicCueKind; }));
}

bool ApplyStartSection(Game& game, int32_t section) {
  if (section <= 1) return section == 1;
  int32_t seen = 0;
  for (size_t i = 0; i < game.EnemySchedule.size(); ++i) {
    const ScheduleEntry& e = game.EnemySchedule[i];
    if (e.Kind != kMusicCueKind || ++seen != section) continue;
    game.ScrollY = std::min(e.Trigger, kMaxScrollY);
    game.ScheduleIndex = static_cast<int32_t>(i);
    game.ScheduleDone = false;
    return true;
  }
  return false;
}

}  // namespace tarq
