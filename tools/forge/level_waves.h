#pragma once
// The level script (system/enemies.txt) made from the level plan: each section's music
// cue, then its waves in the order the scroll meets them. Aircraft formations come from
// the section's theme; ground, rail, water and set-piece units stand where the plan
// reserved room for them (roads, rails, water, gun pits, doors, silos, lava, the boss
// set pieces); power-ups and shield holders are spaced so that a player keeps up, with
// more before each boss. Difficulty rises with the section: denser waves, more hit
// points, faster fire.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "level_plan.h"

namespace tarq::forge {

// One line of the schedule before it is written out.
struct WaveEntry {
  int32_t Trigger = 0;
  int32_t Kind = 0;
  int32_t ParamA = 0, ParamB = 0, ParamC = 0;
  int32_t IntA = 0, IntB = 0, IntC = 0;
  int32_t Angle = 0;
  int32_t X = 0;
  int32_t YOffset = 0;
  int32_t HitPoints = 1;
  std::string Text() const;  // the twelve values, separated by single spaces
};

// How hard each section is: the numbers the waves are made from. One per section,
// in playing order (also written to docs/level.md).
struct SectionDifficulty {
  int WaveGapRows = 6;       // rows of scroll between two waves
  int HitPointsPercent = 100;  // scales every unit's hit points
  int FirePeriod = 120;      // ticks between a ground gun's shots
  int PowerUpEveryWaves = 4;
  int ExtraAircraft = 0;       // aircraft added to every formation
  bool GroundEveryWave = false;  // a theme ground unit in every wave, not every other
  int BatFirePeriod = 400;     // ticks between a bat's shots
};
SectionDifficulty DifficultyOf(int sectionIndex);

// The whole schedule: comment lines naming each section and wave, then entries, in
// order of decreasing Trigger.
std::vector<std::string> LevelScheduleLines(const Level& level);

// Writes map_enemies.png into the sheets folder: the section map with a marker where
// each schedule entry makes its unit (after map_sections.png has been written).
void WriteScheduleSheet(const std::filesystem::path& sheets, const Level& level,
                        const std::vector<std::string>& lines);

// The final boss must lock before the map reaches the level's end: with t = 700 +
// 2 (YOffset + 914) ticks from its creation to the lock, its Trigger must lie above
// kLevelEndScrollY + t / 2.
bool FinalBossLocksInTime(int32_t trigger, int32_t yOffset);

}  // namespace tarq::forge
