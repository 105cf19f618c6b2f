#pragma once
// Section practice: a run that starts at a later section of the level. Each section of
// the level script opens with its music cue (kind 252), so the N-th cue marks where
// section N begins: the run starts with the view there and the schedule at that cue,
// which fires on the first tick and plays the section's music.
#include <cstdint>

namespace tarq {

struct Game;

// The number of sections the schedule has (its music cues).
int32_t ScheduleSectionCount(const Game& game);

// Moves a run that has just started to the start of section `section` (1-based): the
// ScrollY of its cue (at most the level's start) and the schedule index of the cue.
// Section 1, or a section the schedule does not have, leaves the run as it is and
// returns false for the latter.
bool ApplyStartSection(Game& game, int32_t section);

}  // namespace tarq
