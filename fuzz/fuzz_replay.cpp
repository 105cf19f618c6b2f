// Feeds arbitrary bytes to the replay reader. A refusal is fine; crashes, overruns,
// leaks and unbounded memory are not, and whatever it accepts must write back to text
// that reads back the same.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarq::Replay replay;
  std::string error;
  if (!tarq::ParseReplay(std::string_view(reinterpret_cast<const char*>(data), size), replay, error)) {
    if (error.empty()) __builtin_trap();  // every refusal carries a reason
    return 0;
  }
  tarq::Replay again;
  if (!tarq::ParseReplay(tarq::WriteReplayText(replay), again, error)) __builtin_trap();
  if (!(again == replay)) __builtin_trap();
  return 0;
}
