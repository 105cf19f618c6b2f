#pragma once
// A writer for extended tracker modules (XM, version 1.04): patterns of note cells,
// one-sample instruments with 16-bit sample data and volume envelopes.
#include <cstdint>
#include <string>
#include <vector>

namespace tarq::forge::xm {

constexpr uint8_t kKeyOff = 97;
// Effect numbers used by the forge.
constexpr uint8_t kEffectJump = 0x0B;        // Bxx: jump to order xx
constexpr uint8_t kEffectSetVolume = 0x0C;   // Cxx
constexpr uint8_t kEffectGlobalVolume = 0x10;  // Gxx

struct Cell {
  uint8_t note = 0;        // 1 = C-0 .. 96 = B-7, 97 = key off, 0 = none
  uint8_t instrument = 0;  // 1-based, 0 = none
  uint8_t volume = 0;      // volume column byte (0x10 + 0..64 sets volume), 0 = none
  uint8_t effect = 0;
  uint8_t param = 0;
  bool Empty() const { return !note && !instrument && !volume && !effect && !param; }
};

struct Pattern {
  int rows = 64;
  int channels = 8;
  std::vector<Cell> cells;  // row-major
  Pattern(int r, int c) : rows(r), channels(c), cells(static_cast<size_t>(r * c)) {}
  Cell& At(int row, int channel) { return cells[static_cast<size_t>(row * channels + channel)]; }
  const Cell& At(int row, int channel) const {
    return cells[static_cast<size_t>(row * channels + channel)];
  }
};

struct Envelope {
  std::vector<std::pair<uint16_t, uint16_t>> points;  // (tick, 0..64), at most 12
  int sustain = -1;  // point index held until key off, -1 = none
  bool On() const { return !points.empty(); }
};

struct Instrument {
  std::string name;
  std::vector<int16_t> data;
  int loopStart = 0;   // in samples
  int loopLength = 0;  // 0 = no loop
  int volume = 64;
  int finetune = 0;      // -128 .. 127
  int relativeNote = 0;  // semitones relative to C-4 at 8363 Hz
  int panning = 128;
  Envelope volumeEnvelope;
  int fadeout = 0;
  int vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

struct Module {
  std::string name;
  int channels = 8;
  int speed = 6;    // ticks per row
  int tempo = 125;  // BPM
  int restart = 0;  // order the song loops to at its end
  std::vector<uint8_t> orders;
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;
};

// Chooses relative note and finetune so that C-4 plays the sample at `rate` Hz.
void TuneForRate(Instrument& instrument, double rate);

std::vector<uint8_t> Write(const Module& module);

}  // namespace tarq::forge::xm
