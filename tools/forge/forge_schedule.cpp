// The enemies of the level script. For now a handful of aircraft at the start of the
// level, so that a new run meets enemies at once; the full level schedule replaces
// these lines later.
#include "forge_schedule.h"

namespace tarq::forge {

std::vector<std::string> OpeningAircraftLines() {
  return {
      "; opening aircraft",
      // Trigger Kind ParamA ParamB ParamC IntA IntB IntC Angle X YOffset HitPoints
      "261500 0 0 0 0 0 0 0 128 200 -40 3",
      "261500 0 0 1 0 0 0 0 128 500 -40 3",
      "261300 8 0 0 0 0 0 0 128 352 -60 6",
      "261100 9 0 0 0 0 0 300 128 150 -40 2",
      "261100 9 0 0 0 0 0 300 128 550 -40 2",
      "260900 3 0 0 0 0 0 0 128 300 -40 4",
      "260700 12 0 0 0 60 0 0 128 250 -40 3",
  };
}

}  // namespace tarq::forge
