// The sixteen sound effects, synthesized at 22050 Hz mono. Each fits its event:
// short sounds for frequent events (they can stack five deep), longer ones for
// explosions. Frequent sounds are mastered quieter so stacked copies stay clean.
#include <cmath>
#include <cstdio>
#include <functional>

#include "audio_forge.h"
#include "audio_synth.h"

namespace tarq::forge {
namespace {

using synth::Biquad;
using synth::kPi;
using synth::OnePole;
using synth::Rng;
using synth::Signal;

constexpr double kRate = 22050.0;

Signal Make(double seconds) { return Signal(static_cast<size_t>(seconds * kRate), 0.0); }
double T(size_t i) { return static_cast<double>(i) / kRate; }

// Adds a sine whose frequency glides exponentially from f0 to f1 over `glide`
// seconds, with an exponential decay of time constant `decay`.
void AddSweep(Signal& s, double f0, double f1, double glide, double decay, double level,
              double start = 0.0) {
  double phase = 0;
  for (size_t i = static_cast<size_t>(start * kRate); i < s.size(); ++i) {
    const double t = T(i) - start;
    const double k = std::min(t / glide, 1.0);
    const double f = f0 * std::pow(f1 / f0, k);
    phase += 2 * kPi * f / kRate;
    s[i] += level * std::sin(phase) * std::exp(-t / decay);
  }
}

// Filtered noise with an envelope; `cutoff(t)` steers a one-pole low-pass.
void AddNoise(Signal& s, Rng& rng, const std::function<double(double)>& envelope,
              const std::function<double(double)>& cutoff, double level) {
  OnePole lp1, lp2;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    const double c = cutoff(t);
    const double n = lp2.Process(lp1.Process(rng.Bipolar(), kRate, c), kRate, c);
    s[i] += level * n * envelope(t);
  }
}

void AddPartials(Signal& s, double f, std::initializer_list<std::pair<double, double>> ratioLevel,
                 double decay, double start = 0.0) {
  for (auto [ratio, level] : ratioLevel) {
    for (size_t i = static_cast<size_t>(start * kRate); i < s.size(); ++i) {
      const double t = T(i) - start;
      s[i] += level * std::sin(2 * kPi * f * ratio * t) * std::exp(-t * ratio / decay);
    }
  }
}

Signal Finish(Signal s, double peak, double fadeOutSeconds = 0.01) {
  synth::Normalize(s, peak);
  synth::FadeEdges(s, 8, static_cast<int>(fadeOutSeconds * kRate));
  return s;
}

// 00: the players' volley, a tight "tk".
Signal Volley() {
  Rng rng(100);
  Signal s = Make(0.11);
  Biquad bp = Biquad::BandPass(kRate, 2600, 1.2);
  for (size_t i = 0; i < s.size(); ++i) s[i] += bp.Process(rng.Bipolar()) * std::exp(-T(i) / 0.018) * 2.5;
  AddSweep(s, 900, 180, 0.04, 0.025, 0.6);
  return Finish(s, 0.55, 0.02);
}

// 01 and 02: explosions, a thump under a roar whose brightness falls away.
Signal Explosion(uint64_t seed, double seconds, double bright, double thumpHz) {
  Rng rng(seed);
  Signal s = Make(seconds);
  AddNoise(
      s, rng, [&](double t) { return (t < 0.01 ? t / 0.01 : 1.0) * std::exp(-t / (seconds * 0.28)); },
      [&](double t) { return 150 + bright * std::exp(-t / 0.15); }, 3.0);
  AddSweep(s, thumpHz, thumpHz * 0.4, 0.3, 0.18, 0.8);
  // Crackle: sparse clicks early on.
  for (int k = 0; k < 40; ++k) {
    const double at = rng.Uniform() * seconds * 0.5;
    const size_t i0 = static_cast<size_t>(at * kRate);
    for (size_t j = 0; j < 60 && i0 + j < s.size(); ++j) {
      s[i0 + j] += 0.25 * rng.Bipolar() * std::exp(-static_cast<double>(j) / 12.0) * std::exp(-at / 0.3);
    }
  }
  return Finish(s, 0.85, 0.15);
}

// 03: a bullet striking: a dull clack.
Signal Hit() {
  Rng rng(103);
  Signal s = Make(0.14);
  Biquad bp = Biquad::BandPass(kRate, 1500, 2.0);
  for (size_t i = 0; i < s.size(); ++i) s[i] += bp.Process(rng.Bipolar()) * std::exp(-T(i) / 0.02) * 3.0;
  AddSweep(s, 260, 110, 0.05, 0.04, 0.9);
  return Finish(s, 0.6, 0.03);
}

// 04: a jet or missile starting: a rising whoosh.
Signal Launch() {
  Rng rng(104);
  Signal s = Make(0.8);
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    const double env = std::min(t / 0.15, 1.0) * std::exp(-std::max(t - 0.2, 0.0) / 0.25);
    phase += 2 * kPi * (300 + 900 * t) / kRate;
    s[i] += 0.15 * std::sin(phase) * env;
  }
  Biquad bp1 = Biquad::BandPass(kRate, 700, 0.8);
  AddNoise(
      s, rng, [](double t) { return std::min(t / 0.12, 1.0) * std::exp(-std::max(t - 0.2, 0.0) / 0.22); },
      [](double t) { return 600 + 4000 * t; }, 1.5);
  for (double& v : s) v = bp1.Process(v) * 0.5 + v * 0.5;
  return Finish(s, 0.7, 0.1);
}

// 05: an enemy shot: a falling "pew".
Signal EnemyShot() {
  Signal s = Make(0.16);
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    const double f = 1700 * std::pow(300.0 / 1700.0, t / 0.16);
    phase += 2 * kPi * f / kRate;
    const double square = std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5;
    s[i] = square * std::exp(-t / 0.07);
  }
  return Finish(s, 0.45, 0.02);
}

// 06: missile warning: a clean two-tone beep.
Signal Warning() {
  Signal s = Make(0.18);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    const double f = t < 0.09 ? 1480 : 1110;
    const double env = std::min({t / 0.005, 1.0, (0.18 - t) / 0.01});
    s[i] = (std::sin(2 * kPi * f * t) + 0.3 * std::sin(2 * kPi * 2 * f * t)) * std::max(env, 0.0);
  }
  return Finish(s, 0.5, 0.005);
}

// 07: power-up: a rising major arpeggio of bell tones.
Signal PowerUp() {
  Signal s = Make(0.55);
  const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
  for (int k = 0; k < 4; ++k) AddPartials(s, notes[k], {{1.0, 1.0}, {2.0, 0.3}, {3.0, 0.1}}, 0.15, 0.07 * k);
  return Finish(s, 0.6, 0.05);
}

// 08: never played; a near-silent spare keeps the set complete.
Signal Spare() { return Make(0.05); }

// 09: the big explosion: crack, long roar and a rumbling tail.
Signal BigExplosion() {
  Rng rng(109);
  Signal s = Make(2.6);
  AddNoise(
      s, rng, [](double t) { return (t < 0.01 ? t / 0.01 : 1.0) * std::exp(-t / 0.7); },
      [](double t) { return 120 + 5000 * std::exp(-t / 0.25); }, 3.0);
  AddNoise(
      s, rng, [](double t) { return std::min(t / 0.2, 1.0) * std::exp(-t / 1.0) * (0.7 + 0.3 * std::sin(2 * kPi * 7 * t)); },
      [](double) { return 110.0; }, 5.0);
  AddSweep(s, 70, 28, 0.8, 0.6, 1.0);
  return Finish(s, 0.9, 0.4);
}

// 10: an installation activating: a heavy clunk with a hiss of air.
Signal Clunk() {
  Rng rng(110);
  Signal s = Make(0.45);
  AddPartials(s, 170, {{1.0, 1.0}, {2.41, 0.6}, {4.53, 0.35}}, 0.06);
  AddPartials(s, 150, {{1.0, 0.7}, {2.7, 0.4}}, 0.05, 0.09);
  Biquad hp = Biquad::HighPass(kRate, 2500);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    s[i] += 0.35 * hp.Process(rng.Bipolar()) * (t > 0.08 ? std::exp(-(t - 0.08) / 0.12) : 0.0);
  }
  return Finish(s, 0.7, 0.05);
}

// 11: a boss beam pulse: a buzzing electric zap.
Signal Zap() {
  Rng rng(111);
  Signal s = Make(0.42);
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    const double f = 95 + 20 * std::sin(2 * kPi * 23 * t) + 30 * rng.Bipolar();
    phase += 2 * kPi * f / kRate;
    const double saw = 2.0 * (phase / (2 * kPi) - std::floor(phase / (2 * kPi))) - 1.0;
    const double env = std::min(t / 0.01, 1.0) * std::exp(-t / 0.2);
    s[i] = (saw * std::sin(2 * kPi * 1800 * t) * 0.6 + saw * 0.4) * env;
  }
  Biquad bp = Biquad::BandPass(kRate, 2200, 0.7);
  for (double& v : s) v = 0.6 * v + 0.8 * bp.Process(v);
  return Finish(s, 0.65, 0.05);
}

// 12: the shield pick-up: a shimmering upward sweep.
Signal Shield() {
  Signal s = Make(0.55);
  double phase[4] = {};
  const double spread[4] = {1.0, 1.5, 2.0, 3.0};
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = T(i);
    const double f = 500 * std::pow(4.0, t / 0.55);
    const double env = std::min(t / 0.03, 1.0) * std::exp(-std::max(t - 0.3, 0.0) / 0.08);
    double v = 0;
    for (int k = 0; k < 4; ++k) {
      phase[k] += 2 * kPi * f * spread[k] / kRate;
      v += std::sin(phase[k]) / (k + 1);
    }
    s[i] = v * env * (0.75 + 0.25 * std::sin(2 * kPi * 18 * t));
  }
  return Finish(s, 0.6, 0.05);
}

// 13: a hit on armour: a short metallic ping.
Signal Ping() {
  Signal s = Make(0.18);
  AddPartials(s, 1250, {{1.0, 1.0}, {2.76, 0.5}, {5.40, 0.25}, {8.93, 0.12}}, 0.06);
  return Finish(s, 0.5, 0.02);
}

// 14: a cannon shell: a flame whoosh with crackle.
Signal Flame() {
  Rng rng(114);
  Signal s = Make(0.7);
  AddNoise(
      s, rng, [](double t) { return std::min(t / 0.03, 1.0) * std::exp(-t / 0.22); },
      [](double t) { return 400 + 2500 * std::exp(-t / 0.2); }, 3.0);
  Biquad bp = Biquad::BandPass(kRate, 900, 1.0);
  for (size_t i = 0; i < s.size(); ++i) {
    if (rng.Chance(0.004)) s[i] += 0.6 * rng.Bipolar();
    s[i] = 0.6 * s[i] + 0.6 * bp.Process(s[i]);
  }
  AddSweep(s, 120, 60, 0.2, 0.12, 0.5);
  return Finish(s, 0.7, 0.1);
}

// 15: a lava source waking: a deep rumble with bubbling.
Signal Lava() {
  Rng rng(115);
  Signal s = Make(1.6);
  AddNoise(
      s, rng,
      [](double t) { return std::min(t / 0.3, 1.0) * std::exp(-std::max(t - 0.6, 0.0) / 0.4) * (0.7 + 0.3 * std::sin(2 * kPi * 3.3 * t)); },
      [](double) { return 180.0; }, 6.0);
  for (int k = 0; k < 14; ++k) {
    const double at = 0.1 + rng.Uniform() * 1.1;
    AddSweep(s, 90 + 80 * rng.Uniform(), 220 + 120 * rng.Uniform(), 0.06, 0.05, 0.35, at);
  }
  return Finish(s, 0.85, 0.3);
}

}  // namespace

void ForgeSoundEffects(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  const Signal sounds[16] = {Volley(),  Explosion(101, 1.0, 3500, 90), Explosion(102, 0.8, 5000, 120),
                             Hit(),     Launch(),  EnemyShot(),  Warning(),   PowerUp(),
                             Spare(),   BigExplosion(), Clunk(),  Zap(),   Shield(),
                             Ping(),    Flame(),   Lava()};
  for (int i = 0; i < 16; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "%02d.wav", i);
    synth::WriteWav16(folder / name, synth::ToPcm16(sounds[i]), static_cast<int>(kRate));
  }
}

}  // namespace tarq::forge
