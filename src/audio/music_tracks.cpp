#include "audio/game_audio.h"

namespace tarq {

// The nine tunes, in track order: 0 plays on the intro and title, 1 .. 8 are cued by
// the level. Texts keep to characters the menu font draws (codes 32 .. 90 once
// upper-cased).
const std::array<MusicTrackEntry, kMusicTrackCount>& MusicTrackTable() {
  static const std::array<MusicTrackEntry, kMusicTrackCount> table = {{
      {"skybreak.xm", "SKYBREAK", "TITLE THEME", "COLDFORGE STUDIOS", 4.0f},
      {"first_light.xm", "FIRST LIGHT", "SECTOR ONE - THE VALLEY", "COLDFORGE STUDIOS", 4.0f},
      {"salt_and_rotors.xm", "SALT AND ROTORS", "SECTOR TWO - THE COAST", "COLDFORGE STUDIOS", 4.0f},
      {"foundry_row.xm", "FOUNDRY ROW", "SECTOR THREE - THE WORKS", "COLDFORGE STUDIOS", 4.0f},
      {"runway_zero.xm", "RUNWAY ZERO", "SECTOR FOUR - THE AIRBASE", "COLDFORGE STUDIOS", 4.0f},
      {"strange_signals.xm", "STRANGE SIGNALS", "SECTOR FIVE - THE CRASH SITE", "COLDFORGE STUDIOS", 4.0f},
      {"iron_citadel.xm", "IRON CITADEL", "FORTRESS THEME", "COLDFORGE STUDIOS", 4.0f},
      {"last_stand.xm", "LAST STAND", "FINAL BOSS AND ENDING", "COLDFORGE STUDIOS", 4.0f},
      {"magma_fields.xm", "MAGMA FIELDS", "SECTOR SIX - THE VOLCANO", "COLDFORGE STUDIOS", 4.0f},
  }};
  return table;
}

}  // namespace tarq
