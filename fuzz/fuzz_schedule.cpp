// Feeds arbitrary text to the enemy schedule reader. A refused line is fine; crashes,
// overruns, leaks and a refusal without its line and reason are not.
#include <cstdint>
#include <string_view>
#include <vector>

#include "enemies/schedule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<tarq::ScheduleEntry> entries;
  tarq::ScheduleError error;
  if (!tarq::LoadEnemies(std::string_view(reinterpret_cast<const char*>(data), size), entries, error)) {
    if (error.Line < 1 || error.Text.empty()) __builtin_trap();
  }
  return 0;
}
