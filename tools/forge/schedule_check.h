#pragma once
// The level script's checker: the rules every schedule the forge writes must keep, so a
// broken level never reaches the game. The forge refuses to write a schedule with
// problems; the tests run it on the forged one and on crafted broken lines.
#include <string>
#include <vector>

#include "level_plan.h"

namespace tarq::forge {

// Problems found in schedule lines (comments and blank lines allowed), each naming the
// line (1-based) and the rule it breaks; empty when the schedule is sound:
//   - every data line holds twelve decimal integers separated by single spaces;
//   - triggers never increase;
//   - no divisor taken from the schedule is 0 (IntC of kinds 4, 5, 6; IntB of 22, 23);
//   - every kind is one the game knows;
//   - ground units stand on land, water units on water, lava sources on lava, trains
//     and rail launchers on a rail row;
//   - no two units made by the same entry time stand on top of each other;
//   - the final boss locks in place before the map reaches the level's end;
//   - every kind with a behaviour is used, directly or launched by a kind that is.
std::vector<std::string> CheckSchedule(const std::vector<std::string>& lines, const Level& level);

}  // namespace tarq::forge
