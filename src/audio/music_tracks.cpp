#include "audio/game_audio.h"

namespace tarq {

// The nine tunes, in track order: 0 plays on the intro and title, 1 .. 8 are cued by
// the level. Texts keep to characters the menu font draws (codes 32 .. 90 once
// upper-cased).
const std::array<MusicTrackEntry, kMusicTrackCount>& MusicTrackTable() {
  static const std::array<MusicTrackEntry, kMusicTrackCount> table = {{
      {"skybreak.xm", "SKYBREAK", "TITLE THEME", "COLDFORGE STUDIOS", 4.0f},
      {"first_light.xm", "FIRST LIGHT", "CALM FLIGHT", "COLDFORGE STUDIOS", 4.0f},
      {"salt_and_rotors.xm", "SALT AND ROTORS", "SEA BREEZE", "COLDFORGE STUDIOS", 4.0f},
      {"foundry_row.xm", "FOUNDRY ROW", "HEAVY INDUSTRY", "COLDFORGE STUDIOS", 4.0f},
      {"runway_zero.xm", "RUNWAY ZERO", "FULL THROTTLE", "COLDFORGE STUDIOS", 4.0f},
      {"strange_signals.xm", "STRANGE SIGNALS", "STRANGE SKIES", "COLDFORGE STUDIOS", 4.0f},
      {"iron_citadel.xm", "IRON CITADEL", "SIEGE THEME", "COLDFORGE STUDIOS", 4.0f},
      {"last_stand.xm", "LAST STAND", "FINAL BATTLE AND ENDING", "COLDFORGE STUDIOS", 4.0f},
      {"magma_fields.xm", "MAGMA FIELDS", "FIRE AND ASH", "COLDFORGE STUDIOS", 4.0f},
  }};
  return table;
}

}  // namespace tarq
