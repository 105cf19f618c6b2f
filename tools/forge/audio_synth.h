#pragma once
// Small synthesis kit for the forge's sounds and instruments: a seeded generator,
// filters, envelopes and band-limited periodic waves. Everything is deterministic
// for a given seed.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace tarq::forge::synth {

constexpr double kPi = 3.14159265358979323846;

// PCG32: a small generator with a fixed output sequence for a seed.
class Rng {
 public:
  explicit Rng(uint64_t seed);
  uint32_t Next();
  double Uniform();          // [0, 1)
  double Bipolar();          // [-1, 1)
  int Below(int n);          // 0 .. n - 1 (0 for n <= 0)
  bool Chance(double p) { return Uniform() < p; }

 private:
  uint64_t state_ = 0;
};

// RBJ biquad filter.
class Biquad {
 public:
  static Biquad LowPass(double rate, double cutoff, double q = 0.707);
  static Biquad HighPass(double rate, double cutoff, double q = 0.707);
  static Biquad BandPass(double rate, double centre, double q);
  double Process(double x);

 private:
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A one-pole low-pass whose cutoff may change every sample.
struct OnePole {
  double z = 0.0;
  double Process(double x, double rate, double cutoff);
};

using Signal = std::vector<double>;

// Scales so the largest magnitude is `peak`.
void Normalize(Signal& s, double peak);
// Short fades at both ends so one-shots start and stop without clicks.
void FadeEdges(Signal& s, int fadeIn, int fadeOut);
std::vector<int16_t> ToPcm16(const Signal& s);

// One loop of `length` samples holding `cycles` whole cycles of a wave whose
// harmonic h has amplitude amp(h) and phase phase(h); the loop is seamless.
Signal PeriodicWave(int length, int cycles, int harmonics, const std::function<double(int)>& amp,
                    const std::function<double(int)>& phase = {});

// Writes 16-bit mono PCM WAV.
void WriteWav16(const std::filesystem::path& path, const std::vector<int16_t>& pcm, int rate);

}  // namespace tarq::forge::synth
