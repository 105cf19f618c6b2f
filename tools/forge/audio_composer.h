#pragma once
// Procedural composition of the forge's tunes. A tune is described by its key,
// scale, tempo, groove, instruments, chord progressions and a form (a list of
// sections, each four or eight bars). The composer turns that into XM patterns:
// drums, bass following the chords, voice-led pads, arpeggios, and a lead whose
// melody is built from a one-bar motif per theme: stated, answered, sequenced over
// the next chord and closed by a cadence, with repeated themes reusing their tune.
#include <array>
#include <cstdint>
#include <vector>

#include "audio_xm.h"

namespace tarq::forge::music {

enum class Drums { kSparse, kRock, kFourFloor, kMarch, kHalfTime, kBreakbeat };
enum class Bass { kHeld, kOctaves, kDriving, kSyncopated, kWalking };
enum class Arp { kUp, kUpDown, kBroken };

// Section flags: which parts play.
enum : uint32_t {
  kDrumsOn = 1u << 0,
  kBassOn = 1u << 1,
  kLeadOn = 1u << 2,
  kPadOn = 1u << 3,
  kArpOn = 1u << 4,
  kEchoOn = 1u << 5,
  kFillEnd = 1u << 6,   // a drum fill in the section's last bar
  kCrashIn = 1u << 7,   // a crash on the section's first beat
  kHatsOnly = 1u << 8,  // drums reduced to hats (and a soft kick)
  kRiserEnd = 1u << 9,  // a noise riser into the next section
  kLeadUp = 1u << 10,   // the lead an octave higher
  kPerc = 1u << 11,     // extra percussion (clank or tom) on off-beats
  kAll = kDrumsOn | kBassOn | kLeadOn | kPadOn | kArpOn | kEchoOn,
};

struct Section {
  char theme;       // melodic identity: the same letter repeats the same tune
  int progression;  // index into Tune::progressions
  uint32_t flags;
  int patterns;  // 1 (four bars) or 2 (eight bars: antecedent and consequent)
};

struct Tune {
  const char* name;
  uint64_t seed;
  int tonic;  // MIDI note of the key's tonic, around C3..G3
  std::array<int, 7> scale;
  int bpm;
  Drums drums;
  Bass bass;
  Arp arp;
  uint8_t lead, bassInstrument, padInstrument, arpInstrument;
  int busyness;  // 0 calm .. 2 busy melodies
  std::vector<std::array<int, 4>> progressions;  // chord degree (0 = tonic) per bar
  std::vector<Section> form;
  int restartOrder;  // where the module loops to (track 0: the title theme)
};

xm::Module Compose(const Tune& tune, const std::vector<xm::Instrument>& instruments);

}  // namespace tarq::forge::music
