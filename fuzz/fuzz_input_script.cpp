// Feeds arbitrary text to the headless runner's input-script parser. A parse error is
// fine; crashes, overruns, leaks and events out of tick order are not.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<tarq::ScriptEvent> events;
  std::string error;
  if (!tarq::ParseInputScript(std::string_view(reinterpret_cast<const char*>(data), size), events, error)) {
    if (error.empty()) __builtin_trap();  // every refusal carries a reason
    return 0;
  }
  for (size_t i = 1; i < events.size(); ++i) {
    if (events[i].Tick < events[i - 1].Tick) __builtin_trap();
  }
  return 0;
}
