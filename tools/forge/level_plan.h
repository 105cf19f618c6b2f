#pragma once
// The level plan: the one description of the level that both the terrain (the map)
// and the enemy schedule are made from. The level runs from the bottom of the map
// (ScrollY 261631, rows 4087-4095 in view) up to ScrollY 126272 (row 1973 at the top
// of the view), where the final boss pins the scroll. It is cut into sections, each
// with its own terrain and music; the set pieces the schedule needs (rails, runway,
// fortresses, bunker doors, silos, lava, long water, the arena) are recorded in map
// pixels so enemies can be placed exactly on them.
#include <string>
#include <vector>

#include "map_builder.h"

namespace tarq::forge {

constexpr int kLevelStartScrollY = 261631;  // (4096 - 9) * 64 + 63
constexpr int kLevelEndScrollY = 126272;    // row 1973: the final boss pins it here
constexpr int kLevelTopRow = 1970;          // the arena's first row
constexpr int kLevelBottomRow = 4095;

struct Section {
  std::string name;
  int top_row = 0;     // the section's last rows to scroll into view
  int bottom_row = 0;  // the first
  int music_track = 1;  // 1-8; track 0 is the intro and title music
  // ScrollY at which the section's music cue fires: the first section on the first
  // tick, the others when their bottom edge reaches the middle of the view.
  int music_trigger = 0;
};

// A place the schedule will put enemies. Coordinates are map pixels; rows inclusive.
struct Reservation {
  std::string kind;  // see the list in level_plan.cpp
  int x = 0;         // the key point (a door centre, a fortress centre, a rail's line)
  int y = 0;
  int row_top = 0;   // the area covered, in map rows and columns
  int row_bottom = 0;
  int col_left = 0;
  int col_right = 0;
  int param = 0;     // kind-specific (a bunker door's mirror flag, a river's width)
  std::string section;
};

struct Level {
  std::vector<Section> sections;  // in playing order: the start (map bottom) first
  std::vector<Reservation> reserved;
  MapBuilder map;                 // resolved: At() gives the final tile numbers

  // All reservations of one kind, in playing order.
  std::vector<const Reservation*> Reserved(const std::string& kind) const;
  // The section that holds a map row (nullptr above the level).
  const Section* SectionAt(int row) const;
};

// Builds the plan and the map from it (deterministic; a few hundred milliseconds).
Level BuildLevel(const TileCatalogue& tiles);
// The level built from the game's tile catalogue, once.
const Level& TheLevel();

// The enemy schedule lines the plan gives today: one music cue (kind 252) per section.
std::vector<std::string> MusicCueLines(const Level& level);

}  // namespace tarq::forge
