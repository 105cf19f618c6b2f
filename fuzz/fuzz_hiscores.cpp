// Feeds arbitrary bytes to the high-score reader. Any bytes must give a table: no
// crash, no read past the end, no name longer than the game ever saves; and a table the
// reader gives must come back unchanged through the writer and the reader.
#include <cstdint>
#include <string_view>

#include "game/hiscores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tarq::HiScoreTable table = tarq::DecodeHiScores(bytes);
  for (const tarq::HiScoreEntry& e : table) {
    if (e.Name.size() > tarq::kHiScoreNameLimit) __builtin_trap();
    // A name byte of 255 would end the name early when written back.
    for (const char c : e.Name)
      if (static_cast<uint8_t>(c) == 255) __builtin_trap();
  }
  if (tarq::DecodeHiScores(tarq::EncodeHiScores(table)) != table) __builtin_trap();
  return 0;
}
