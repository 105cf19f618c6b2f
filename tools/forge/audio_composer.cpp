#include "audio_composer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "audio_forge.h"
#include "audio_synth.h"

namespace tarq::forge::music {
namespace {

enum Channel { kChKick, kChSnare, kChHat, kChBass, kChLead, kChPad1, kChPad2, kChPad3, kChArp, kChEcho, kChannels };

constexpr int kRowsPerBar = 16;
constexpr int kBarsPerPattern = 4;
constexpr int kRows = kRowsPerBar * kBarsPerPattern;
constexpr uint8_t kEffectPan = 0x08;

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Diatonic degree (0 = tonic, 7 = tonic an octave up) to a MIDI note.
int Midi(const Tune& t, int degree) {
  const int octave = FloorDiv(degree, 7);
  return t.tonic + 12 * octave + t.scale[static_cast<size_t>(degree - 7 * octave)];
}
// XM C-4 (49) sounds middle C, MIDI 60.
uint8_t XmNote(int midi) { return static_cast<uint8_t>(std::clamp(midi - 11, 1, 96)); }
uint8_t Vol(int v) { return static_cast<uint8_t>(0x10 + std::clamp(v, 0, 64)); }

bool IsChordTone(int degree, int chord) {
  const int d = ((degree - chord) % 7 + 7) % 7;
  return d == 0 || d == 2 || d == 4;
}
int NearestChordTone(int degree, int chord) {
  for (int delta : {0, -1, 1, -2, 2, -3, 3}) {
    if (IsChordTone(degree + delta, chord)) return degree + delta;
  }
  return degree;
}

struct Note {
  int row;     // within the pattern
  int degree;
  int length;  // rows
  int volume;
};

struct Motif {
  std::vector<int> onsets;  // rows within a bar
  std::vector<int> steps;   // scale steps from the previous note
};

const std::vector<std::vector<int>>& Rhythms(int busyness) {
  static const std::vector<std::vector<std::vector<int>>> table = {
      {{0, 8}, {0, 6, 8}, {0, 4, 8}, {0, 8, 12}, {0, 12}, {0, 4, 8, 12}},
      {{0, 4, 8, 12}, {0, 3, 6, 8}, {0, 6, 8, 12}, {0, 4, 6, 8}, {0, 3, 6, 12}, {0, 8, 10, 12}},
      {{0, 2, 4, 8, 12}, {0, 3, 6, 8, 10, 12}, {0, 2, 4, 6, 8, 12}, {0, 3, 6, 10, 12, 14}, {0, 4, 6, 8, 10, 12}},
  };
  return table[static_cast<size_t>(std::clamp(busyness, 0, 2))];
}

Motif MakeMotif(synth::Rng& rng, int busyness) {
  const auto& rhythms = Rhythms(busyness);
  Motif m;
  m.onsets = rhythms[static_cast<size_t>(rng.Below(static_cast<int>(rhythms.size())))];
  static const int kSteps[] = {1, 1, 2, -1, -1, -2, 3, -3, 0, 2, -1};
  // An arch: the motif tends upwards, the answer (its inversion) comes back down.
  for (size_t i = 0; i < m.onsets.size(); ++i) {
    int s = i == 0 ? 0 : kSteps[rng.Below(11)];
    if (i == 1 && s <= 0) s = 1 + rng.Below(2);
    m.steps.push_back(s);
  }
  return m;
}

class Composer {
 public:
  Composer(const Tune& tune, const std::vector<xm::Instrument>& instruments)
      : t_(tune), instruments_(instruments), rng_(tune.seed) {}

  xm::Module Run();

 private:
  void Phrase(xm::Pattern& p, const Section& s, int half, const std::array<int, 4>& chords,
              std::vector<Note>& out);
  std::vector<Note> Realize(const Motif& m, int bar, int chord, int start, bool invert);
  void WriteLead(xm::Pattern& p, const std::vector<Note>& notes, uint32_t flags);
  void WriteDrums(xm::Pattern& p, const Section& s, bool lastPatternOfSection, bool firstOfSection);
  void WriteBass(xm::Pattern& p, const std::array<int, 4>& chords, const std::array<int, 4>& next);
  void WritePads(xm::Pattern& p, const std::array<int, 4>& chords, bool firstOfSection);
  void WriteArp(xm::Pattern& p, const std::array<int, 4>& chords);
  void Put(xm::Pattern& p, int row, int ch, uint8_t note, uint8_t inst, int vol, uint8_t fx = 0,
           uint8_t param = 0) {
    if (row < 0 || row >= p.rows) return;
    xm::Cell& c = p.At(row, ch);
    c.note = note;
    c.instrument = inst;
    c.volume = vol >= 0 ? Vol(vol) : 0;
    if (fx || param) {
      c.effect = fx;
      c.param = param;
    }
  }
  void KeyOff(xm::Pattern& p, int row, int ch) {
    if (row < 0 || row >= p.rows) return;
    if (p.At(row, ch).note == 0) p.At(row, ch).note = xm::kKeyOff;
  }

  const Tune& t_;
  const std::vector<xm::Instrument>& instruments_;
  synth::Rng rng_;
  std::map<char, Motif> motifs_;
  std::map<std::pair<char, int>, std::vector<Note>> melodies_;  // theme and half
  int lastLeadDegree_ = 9;
  std::array<int, 3> voicing_{2, 4, 7};
  int previousPadChord_ = -1;
};

std::vector<Note> Composer::Realize(const Motif& m, int bar, int chord, int start, bool invert) {
  std::vector<Note> notes;
  int degree = NearestChordTone(start, chord);
  for (size_t i = 0; i < m.onsets.size(); ++i) {
    int step = m.steps[i] * (invert ? -1 : 1);
    int next = degree + step;
    // Stay in the lead's range by turning back rather than leaping an octave.
    if (next > 17 || next < 6) next = degree - step;
    degree = next;
    // Chord tones on the strong half-bar beats; scale steps between them pass.
    if (m.onsets[i] % 8 == 0 || i + 1 == m.onsets.size()) degree = NearestChordTone(degree, chord);
    const int end = i + 1 < m.onsets.size() ? m.onsets[i + 1] : kRowsPerBar;
    notes.push_back({bar * kRowsPerBar + m.onsets[i], degree, end - m.onsets[i], m.onsets[i] % 4 == 0 ? 56 : 48});
  }
  return notes;
}

// One four-bar phrase: motif, answer, motif over the third chord, cadence. The
// first half of an eight-bar section ends open (on the fifth or third), the second
// closes on the tonic.
void Composer::Phrase(xm::Pattern&, const Section& s, int half, const std::array<int, 4>& chords,
                      std::vector<Note>& out) {
  auto found = motifs_.find(s.theme);
  if (found == motifs_.end()) found = motifs_.emplace(s.theme, MakeMotif(rng_, t_.busyness)).first;
  const Motif& motif = found->second;
  std::vector<Note> notes = Realize(motif, 0, chords[0], lastLeadDegree_, false);
  auto answer = Realize(motif, 1, chords[1], notes.back().degree, half == 0);
  if (half == 1) {
    // The consequent varies its second bar: the answer's rhythm shifted by an eighth.
    for (Note& n : answer) {
      if (n.row % kRowsPerBar != 0) n.row = std::min(n.row + 2, 2 * kRowsPerBar - 2);
    }
  }
  notes.insert(notes.end(), answer.begin(), answer.end());
  auto third = Realize(motif, 2, chords[2], notes.back().degree + (half == 0 ? 1 : -1), false);
  notes.insert(notes.end(), third.begin(), third.end());
  // Cadence bar: a chord tone on the downbeat, then the goal held.
  const int approach = NearestChordTone(notes.back().degree, chords[3]);
  const int goalBase = half == 0 ? 4 : 0;  // fifth (open) or tonic (closed)
  int goal = goalBase + 7;
  if (std::abs(goal + 7 - approach) < std::abs(goal - approach)) goal += 7;
  if (half == 0 && !IsChordTone(goal, chords[3])) goal = NearestChordTone(goal, chords[3]);
  notes.push_back({3 * kRowsPerBar, approach, 6, 54});
  notes.push_back({3 * kRowsPerBar + 6, goal, 10, 58});
  // Note lengths follow the onsets; fix them up after the rhythm shift.
  for (size_t i = 0; i + 1 < notes.size(); ++i) notes[i].length = notes[i + 1].row - notes[i].row;
  lastLeadDegree_ = goal;
  out = notes;
}

void Composer::WriteLead(xm::Pattern& p, const std::vector<Note>& notes, uint32_t flags) {
  const int octave = (flags & kLeadUp) ? 7 : 0;
  for (const Note& n : notes) {
    if (n.length <= 0) continue;
    const uint8_t note = XmNote(Midi(t_, n.degree + octave));
    Put(p, n.row, kChLead, note, t_.lead, n.volume, kEffectPan, 0x68);
    // Long notes breathe: released before the next one begins.
    if (n.length > 6) KeyOff(p, n.row + n.length - 1, kChLead);
    if (flags & kEchoOn) {
      const int row = n.row + 3;
      if (row < p.rows) {
        Put(p, row, kChEcho, note, t_.lead, n.volume * 2 / 5, kEffectPan, 0xB0);
        if (n.length > 6 && row + n.length - 1 < p.rows) KeyOff(p, row + n.length - 1, kChEcho);
      }
    }
  }
}

void Composer::WriteDrums(xm::Pattern& p, const Section& s, bool lastPattern, bool first) {
  const bool full = (s.flags & kDrumsOn) && !(s.flags & kHatsOnly);
  for (int bar = 0; bar < kBarsPerPattern; ++bar) {
    const int b = bar * kRowsPerBar;
    const bool fill = (s.flags & kFillEnd) && lastPattern && bar == kBarsPerPattern - 1;
    std::vector<int> kick, snare, hats, openHats;
    switch (t_.drums) {
      case Drums::kSparse:
        kick = {0, 10};
        snare = {8};
        hats = {0, 4, 8, 12};
        break;
      case Drums::kRock:
        kick = {0, 8, 10};
        snare = {4, 12};
        hats = {0, 2, 4, 6, 8, 10, 12, 14};
        break;
      case Drums::kFourFloor:
        kick = {0, 4, 8, 12};
        snare = {4, 12};
        hats = {0, 4, 8, 12};
        openHats = {2, 6, 10, 14};
        break;
      case Drums::kMarch:
        kick = {0, 8};
        snare = {4, 10, 11, 12, 15};
        hats = {0, 4, 8, 12};
        break;
      case Drums::kHalfTime:
        kick = {0, 3, 10};
        snare = {8};
        hats = {0, 2, 4, 6, 8, 10, 12, 14};
        break;
      case Drums::kBreakbeat:
        kick = {0, 6, 10};
        snare = {4, 12, 15};
        hats = {0, 2, 3, 4, 6, 8, 10, 11, 12, 14};
        break;
    }
    if (bar % 2 == 1 && t_.drums == Drums::kRock) kick = {0, 6, 8};
    if (!(s.flags & kDrumsOn)) continue;
    for (int r : kick) {
      if (fill && r >= 8) continue;
      if (full || r == 0) Put(p, b + r, kChKick, XmNote(60), kInstKick, full ? 64 : 36);
    }
    if (full) {
      for (int r : snare) {
        if (fill && r >= 8) continue;
        const bool ghost = (t_.drums == Drums::kMarch && r != 4 && r != 12) || r == 15;
        Put(p, b + r, kChSnare, XmNote(60), kInstSnare, ghost ? 22 : 50);
      }
    }
    for (int r : hats) {
      if (fill && r >= 12) continue;
      Put(p, b + r, kChHat, XmNote(60), kInstHatClosed, (r % 4 == 0) ? 30 : 20);
    }
    for (int r : openHats) Put(p, b + r, kChHat, XmNote(60), kInstHatOpen, 22);
    if ((s.flags & kPerc) && full) {
      const uint8_t inst = t_.drums == Drums::kFourFloor ? kInstClank : kInstTom;
      for (int r : {7, 14}) {
        if (p.At(b + r, kChSnare).note == 0) Put(p, b + r, kChSnare, XmNote(inst == kInstTom ? 55 : 60), inst, 30);
      }
    }
    if (fill) {
      // A snare run growing louder, toms falling, into the next section.
      for (int r = 8; r < 16; ++r) Put(p, b + r, kChSnare, XmNote(60), kInstSnare, 26 + (r - 8) * 4);
      for (int r = 8; r < 16; r += 2) Put(p, b + r, kChKick, XmNote(62 - (r - 8)), kInstTom, 44);
    }
  }
  if ((s.flags & kCrashIn) && first) Put(p, 0, kChHat, XmNote(60), kInstCrash, 48);
  if ((s.flags & kRiserEnd) && lastPattern) Put(p, 2 * kRowsPerBar, kChArp, XmNote(60), kInstRiser, 40);
}

void Composer::WriteBass(xm::Pattern& p, const std::array<int, 4>& chords, const std::array<int, 4>& next) {
  for (int bar = 0; bar < kBarsPerPattern; ++bar) {
    const int b = bar * kRowsPerBar;
    const int root = chords[bar] - 7;
    const int nextRoot = (bar + 1 < kBarsPerPattern ? chords[bar + 1] : next[0]) - 7;
    const uint8_t inst = t_.bassInstrument;
    const auto put = [&](int row, int degree, int vol) { Put(p, b + row, kChBass, XmNote(Midi(t_, degree)), inst, vol); };
    switch (t_.bass) {
      case Bass::kHeld:
        put(0, root, 52);
        put(10, root + 4, 40);
        KeyOff(p, b + 15, kChBass);
        break;
      case Bass::kOctaves:
        for (int r = 0; r < 16; r += 2) put(r, (r / 2) % 2 ? root + 7 : root, (r / 2) % 2 ? 40 : 52);
        break;
      case Bass::kDriving:
        for (int r = 0; r < 16; ++r) {
          const int degree = r >= 14 ? (r == 14 ? root + 4 : nextRoot + 1) : root;
          put(r, degree, r % 4 == 0 ? 54 : 38);
        }
        break;
      case Bass::kSyncopated:
        put(0, root, 54);
        put(3, root, 44);
        put(6, root + 4, 46);
        KeyOff(p, b + 8, kChBass);
        put(10, root + 7, 48);
        put(12, root, 50);
        put(14, root + 4, 44);
        break;
      case Bass::kWalking: {
        const int approach = nextRoot + (nextRoot > root ? -1 : 1);
        put(0, root, 52);
        put(4, root + 2, 46);
        put(8, root + 4, 48);
        put(12, approach, 46);
        break;
      }
    }
  }
}

void Composer::WritePads(xm::Pattern& p, const std::array<int, 4>& chords, bool first) {
  static const uint8_t kPans[3] = {0x48, 0x80, 0xB8};
  for (int bar = 0; bar < kBarsPerPattern; ++bar) {
    const int chord = chords[bar];
    if (chord == previousPadChord_ && !(first && bar == 0)) continue;
    // Voice leading: of the three inversions, in the octave that fits, take the
    // one whose voices move least.
    std::array<int, 3> best{};
    int bestCost = 1 << 30;
    for (int inversion = 0; inversion < 3; ++inversion) {
      std::array<int, 3> v{};
      const int tones[5] = {chord, chord + 2, chord + 4, chord + 7, chord + 9};
      for (int i = 0; i < 3; ++i) v[static_cast<size_t>(i)] = tones[inversion + i];
      for (int shift = -14; shift <= 14; shift += 7) {
        std::array<int, 3> w = v;
        for (int& x : w) x += shift;
        if (w[0] < 1 || w[2] > 11) continue;
        int cost = 0;
        for (size_t i = 0; i < 3; ++i) cost += std::abs(w[i] - voicing_[i]);
        if (cost < bestCost) {
          bestCost = cost;
          best = w;
        }
      }
    }
    if (bestCost == (1 << 30)) best = {chord, chord + 2, chord + 4};
    voicing_ = best;
    previousPadChord_ = chord;
    for (int i = 0; i < 3; ++i) {
      Put(p, bar * kRowsPerBar, kChPad1 + i, XmNote(Midi(t_, best[static_cast<size_t>(i)])), t_.padInstrument, 26,
          kEffectPan, kPans[i]);
    }
  }
}

void Composer::WriteArp(xm::Pattern& p, const std::array<int, 4>& chords) {
  static const int kUp[] = {0, 1, 2, 3};
  static const int kUpDown[] = {0, 1, 2, 3, 2, 1};
  static const int kBroken[] = {0, 2, 1, 3, 1, 2};
  for (int bar = 0; bar < kBarsPerPattern; ++bar) {
    const int c = chords[bar];
    const int tones[4] = {c + 7, c + 9, c + 11, c + 14};
    for (int r = 0; r < kRowsPerBar; r += 2) {
      const int step = bar * 8 + r / 2;
      int index = 0;
      switch (t_.arp) {
        case Arp::kUp: index = kUp[step % 4]; break;
        case Arp::kUpDown: index = kUpDown[step % 6]; break;
        case Arp::kBroken: index = kBroken[step % 6]; break;
      }
      if (p.At(bar * kRowsPerBar + r, kChArp).note) continue;  // a riser owns the row
      Put(p, bar * kRowsPerBar + r, kChArp, XmNote(Midi(t_, tones[index])), t_.arpInstrument,
          r % 4 == 0 ? 30 : 22, kEffectPan, r % 4 == 0 ? 0x90 : 0x60);
    }
  }
}

xm::Module Composer::Run() {
  xm::Module m;
  m.name = t_.name;
  m.channels = kChannels;
  m.speed = 6;
  m.tempo = t_.bpm;
  m.restart = t_.restartOrder;
  m.instruments = instruments_;
  // Every order gets its own pattern, so an end-of-song jump is heard only once.
  std::vector<std::pair<const Section*, int>> orders;
  for (const Section& s : t_.form) {
    for (int half = 0; half < s.patterns; ++half) orders.push_back({&s, half});
  }
  for (size_t o = 0; o < orders.size(); ++o) {
    const Section& s = *orders[o].first;
    const int half = orders[o].second;
    const auto& chords = t_.progressions[static_cast<size_t>(s.progression)];
    // The chords that follow: the next order's, or the loop point's after the end.
    const size_t following = o + 1 < orders.size() ? o + 1 : static_cast<size_t>(t_.restartOrder);
    const auto& next = t_.progressions[static_cast<size_t>(orders[following].first->progression)];
    xm::Pattern p(kRows, kChannels);
    const bool first = half == 0;
    const bool last = half == s.patterns - 1;
    WriteDrums(p, s, last, first);
    if (s.flags & kBassOn) WriteBass(p, chords, next);
    if (s.flags & kPadOn) {
      WritePads(p, chords, first);
    } else {
      previousPadChord_ = -1;
    }
    if (s.flags & kArpOn) WriteArp(p, chords);
    if (s.flags & kLeadOn) {
      const auto key = std::make_pair(s.theme, half);
      auto found = melodies_.find(key);
      if (found == melodies_.end()) {
        std::vector<Note> notes;
        Phrase(p, s, half, chords, notes);
        found = melodies_.emplace(key, notes).first;
      }
      WriteLead(p, found->second, s.flags);
    }
    // Parts that stop at a section boundary are released rather than cut.
    if (!(s.flags & kLeadOn)) {
      KeyOff(p, 0, kChLead);
      KeyOff(p, 0, kChEcho);
    }
    if (!(s.flags & kPadOn)) {
      for (int ch = kChPad1; ch <= kChPad3; ++ch) KeyOff(p, 0, ch);
    }
    if (!(s.flags & kBassOn)) KeyOff(p, 0, kChBass);
    m.patterns.push_back(std::move(p));
    m.orders.push_back(static_cast<uint8_t>(o));
  }
  // The last row jumps back to the loop point (the title theme for track 0).
  xm::Cell& jump = m.patterns.back().At(kRows - 1, kChKick);
  jump.effect = xm::kEffectJump;
  jump.param = static_cast<uint8_t>(t_.restartOrder);
  return m;
}

}  // namespace

xm::Module Compose(const Tune& tune, const std::vector<xm::Instrument>& instruments) {
  return Composer(tune, instruments).Run();
}

}  // namespace tarq::forge::music
