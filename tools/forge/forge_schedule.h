#pragma once
// Enemy lines of the level script (system/enemies.txt), in the schedule's text format.
#include <string>
#include <vector>

namespace tarq::forge {

// Lines placing the first aircraft of the level; they belong right after the first
// section's music cue (their triggers lie between it and the next section's).
std::vector<std::string> OpeningAircraftLines();

}  // namespace tarq::forge
