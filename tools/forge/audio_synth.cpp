#include "audio_synth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace tarq::forge::synth {

Rng::Rng(uint64_t seed) : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) { Next(); }

uint32_t Rng::Next() {
  const uint64_t old = state_;
  state_ = old * 6364136223846793005ULL + 1442695040888963407ULL;
  const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  const auto rot = static_cast<uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32 - rot) & 31));
}

double Rng::Uniform() { return Next() / 4294967296.0; }
double Rng::Bipolar() { return 2.0 * Uniform() - 1.0; }
int Rng::Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }

Biquad Biquad::LowPass(double rate, double cutoff, double q) {
  const double w = 2 * kPi * std::min(cutoff, rate * 0.49) / rate;
  const double alpha = std::sin(w) / (2 * q);
  const double c = std::cos(w);
  Biquad f;
  const double a0 = 1 + alpha;
  f.b0_ = (1 - c) / 2 / a0;
  f.b1_ = (1 - c) / a0;
  f.b2_ = (1 - c) / 2 / a0;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

Biquad Biquad::HighPass(double rate, double cutoff, double q) {
  const double w = 2 * kPi * std::min(cutoff, rate * 0.49) / rate;
  const double alpha = std::sin(w) / (2 * q);
  const double c = std::cos(w);
  Biquad f;
  const double a0 = 1 + alpha;
  f.b0_ = (1 + c) / 2 / a0;
  f.b1_ = -(1 + c) / a0;
  f.b2_ = (1 + c) / 2 / a0;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

Biquad Biquad::BandPass(double rate, double centre, double q) {
  const double w = 2 * kPi * std::min(centre, rate * 0.49) / rate;
  const double alpha = std::sin(w) / (2 * q);
  const double c = std::cos(w);
  Biquad f;
  const double a0 = 1 + alpha;
  f.b0_ = alpha / a0;
  f.b1_ = 0;
  f.b2_ = -alpha / a0;
  f.a1_ = -2 * c / a0;
  f.a2_ = (1 - alpha) / a0;
  return f;
}

double Biquad::Process(double x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

double OnePole::Process(double x, double rate, double cutoff) {
  const double a = 1.0 - std::exp(-2 * kPi * std::max(cutoff, 1.0) / rate);
  z += a * (x - z);
  return z;
}

void Normalize(Signal& s, double peak) {
  double m = 0;
  for (double v : s) m = std::max(m, std::fabs(v));
  if (m <= 0) return;
  for (double& v : s) v *= peak / m;
}

void FadeEdges(Signal& s, int fadeIn, int fadeOut) {
  const int n = static_cast<int>(s.size());
  for (int i = 0; i < fadeIn && i < n; ++i) s[i] *= static_cast<double>(i) / fadeIn;
  for (int i = 0; i < fadeOut && i < n; ++i) s[n - 1 - i] *= static_cast<double>(i) / fadeOut;
}

std::vector<int16_t> ToPcm16(const Signal& s) {
  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const double v = std::clamp(s[i], -1.0, 1.0) * 32767.0;
    out[i] = static_cast<int16_t>(std::lround(v));
  }
  return out;
}

Signal PeriodicWave(int length, int cycles, int harmonics, const std::function<double(int)>& amp,
                    const std::function<double(int)>& phase) {
  Signal s(static_cast<size_t>(length), 0.0);
  for (int h = 1; h <= harmonics; ++h) {
    const double a = amp(h);
    if (a == 0.0) continue;
    const double ph = phase ? phase(h) : 0.0;
    const double w = 2 * kPi * static_cast<double>(h) * cycles / length;
    for (int n = 0; n < length; ++n) s[n] += a * std::sin(w * n + ph);
  }
  return s;
}

void WriteWav16(const std::filesystem::path& path, const std::vector<int16_t>& pcm, int rate) {
  std::ofstream out(path, std::ios::binary);
  if (!out) throw std::runtime_error("cannot write " + path.string());
  const auto u32 = [&](uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out.write(b, 4);
  };
  const auto u16 = [&](uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out.write(b, 2);
  };
  const auto bytes = static_cast<uint32_t>(pcm.size() * 2);
  out.write("RIFF", 4);
  u32(36 + bytes);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(static_cast<uint32_t>(rate));
  u32(static_cast<uint32_t>(rate * 2));
  u16(2);
  u16(16);
  out.write("data", 4);
  u32(bytes);
  for (int16_t v : pcm) u16(static_cast<uint16_t>(v));
  if (!out) throw std::runtime_error("failed writing " + path.string());
}

}  // namespace tarq::forge::synth
