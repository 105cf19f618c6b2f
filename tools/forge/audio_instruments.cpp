// The instruments of the forge's tunes, synthesized in code. Pitched ones are
// seamless loops of whole cycles, tuned so that C-4 sounds at middle C; drums are
// one-shots at 44100 Hz played at C-4.
#include <cmath>

#include "audio_forge.h"
#include "audio_synth.h"

namespace tarq::forge {
namespace {

using synth::kPi;
using synth::Rng;
using synth::Signal;

constexpr double kMiddleC = 261.6256;
constexpr double kDrumRate = 44100.0;

xm::Instrument FromSignal(const char* name, Signal s, double peak) {
  synth::Normalize(s, peak);
  xm::Instrument in;
  in.name = name;
  in.data = synth::ToPcm16(s);
  return in;
}

// A looped pitched instrument: `cycles` cycles in `length` samples, so one cycle
// lasts length / cycles samples; C-4 must play at middle C.
xm::Instrument Looped(const char* name, Signal s, int length, double cyclesAtPitch) {
  xm::Instrument in = FromSignal(name, std::move(s), 0.9);
  in.loopStart = 0;
  in.loopLength = length;
  xm::TuneForRate(in, kMiddleC * length / cyclesAtPitch);
  return in;
}

xm::Instrument Drum(const char* name, Signal s, double peak = 0.95) {
  synth::FadeEdges(s, 4, 200);
  xm::Instrument in = FromSignal(name, std::move(s), peak);
  xm::TuneForRate(in, kDrumRate);
  return in;
}

Signal MakeDrum(double seconds) { return Signal(static_cast<size_t>(seconds * kDrumRate), 0.0); }

Signal Kick() {
  Signal s = MakeDrum(0.4);
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kDrumRate;
    const double f = 45 + 110 * std::exp(-t / 0.035);
    phase += 2 * kPi * f / kDrumRate;
    s[i] = std::sin(phase) * std::exp(-t / 0.16) + (t < 0.004 ? 0.5 * (1 - t / 0.004) : 0.0);
  }
  return s;
}

Signal Snare() {
  Rng rng(2);
  Signal s = MakeDrum(0.28);
  synth::Biquad bp = synth::Biquad::BandPass(kDrumRate, 3500, 0.6);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kDrumRate;
    const double tone = 0.6 * std::sin(2 * kPi * 190 * t) * std::exp(-t / 0.04) +
                        0.3 * std::sin(2 * kPi * 330 * t) * std::exp(-t / 0.03);
    s[i] = tone + 0.9 * bp.Process(rng.Bipolar()) * std::exp(-t / 0.07) * 2.0;
  }
  return s;
}

Signal Hat(double decay, double seconds, uint64_t seed) {
  Rng rng(seed);
  Signal s = MakeDrum(seconds);
  synth::Biquad hp = synth::Biquad::HighPass(kDrumRate, 7000, 0.8);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kDrumRate;
    // A little metallic ring from square-ish partials under the noise.
    double ring = 0;
    for (double f : {3200.0, 4730.0, 6150.0, 8400.0}) ring += std::sin(2 * kPi * f * t) > 0 ? 0.1 : -0.1;
    s[i] = hp.Process(rng.Bipolar() + ring) * std::exp(-t / decay);
  }
  return s;
}

Signal Crash() {
  Rng rng(5);
  Signal s = MakeDrum(1.8);
  synth::Biquad hp = synth::Biquad::HighPass(kDrumRate, 4000, 0.7);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kDrumRate;
    double ring = 0;
    for (double f : {2950.0, 4330.0, 5210.0, 7450.0, 9110.0}) ring += 0.15 * std::sin(2 * kPi * f * t);
    s[i] = hp.Process(rng.Bipolar() + ring) * std::exp(-t / 0.55) * std::min(t / 0.002, 1.0);
  }
  return s;
}

Signal Riser() {
  Rng rng(13);
  Signal s = MakeDrum(3.0);
  synth::OnePole lp;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kDrumRate;
    const double cutoff = 300 * std::pow(30.0, t / 3.0);
    s[i] = lp.Process(rng.Bipolar(), kDrumRate, cutoff) * (t / 3.0) * (t / 3.0) * 3.0;
  }
  return s;
}

Signal Clank() {
  Signal s = MakeDrum(0.35);
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kDrumRate;
    s[i] = (std::sin(2 * kPi * 520 * t + 2.5 * std::sin(2 * kPi * 1430 * t) * std::exp(-t / 0.05))) *
           std::exp(-t / 0.09);
  }
  return s;
}

Signal Tom() {
  Signal s = MakeDrum(0.45);
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const double t = i / kDrumRate;
    phase += 2 * kPi * (110 + 60 * std::exp(-t / 0.08)) / kDrumRate;
    s[i] = std::sin(phase) * std::exp(-t / 0.2);
  }
  return s;
}

// A struck bell: inharmonic partials decaying at different speeds, not looped.
xm::Instrument Bell() {
  const double f = kMiddleC * 2;  // sampled an octave up for brightness headroom
  const double rate = 44100.0;
  Signal s(static_cast<size_t>(1.6 * rate), 0.0);
  const double partials[][3] = {{1.0, 1.0, 0.9}, {2.0, 0.5, 0.6}, {2.76, 0.35, 0.35},
                                {4.07, 0.2, 0.2}, {5.4, 0.12, 0.12}};
  for (const auto& p : partials) {
    for (size_t i = 0; i < s.size(); ++i) {
      const double t = i / rate;
      s[i] += p[1] * std::sin(2 * kPi * f * p[0] * t) * std::exp(-t / p[2]);
    }
  }
  synth::FadeEdges(s, 4, 400);
  xm::Instrument in = FromSignal("bell", std::move(s), 0.9);
  xm::TuneForRate(in, rate / 2);  // C-4 plays the C5 recording an octave down
  return in;
}

}  // namespace

std::vector<xm::Instrument> BuildInstruments() {
  std::vector<xm::Instrument> list(kInstrumentCount);
  list[kInstKick - 1] = Drum("kick", Kick());
  list[kInstSnare - 1] = Drum("snare", Snare(), 0.9);
  list[kInstHatClosed - 1] = Drum("hat closed", Hat(0.025, 0.12, 3), 0.7);
  list[kInstHatOpen - 1] = Drum("hat open", Hat(0.16, 0.5, 4), 0.7);
  list[kInstCrash - 1] = Drum("crash", Crash(), 0.8);
  list[kInstRiser - 1] = Drum("riser", Riser(), 0.8);
  list[kInstClank - 1] = Drum("clank", Clank(), 0.8);
  list[kInstTom - 1] = Drum("tom", Tom());

  // Bass: saw and square blended, rolled off above the 12th harmonic.
  {
    const int len = 256;
    Signal s = synth::PeriodicWave(len, 1, 40, [](int h) {
      const double saw = 1.0 / h;
      const double square = (h % 2) ? 1.0 / h : 0.0;
      return (0.6 * saw + 0.5 * square) / (1.0 + std::pow(h / 12.0, 2));
    });
    xm::Instrument in = Looped("bass", s, len, 1);
    in.volumeEnvelope.points = {{0, 64}, {6, 52}, {30, 40}};
    in.volumeEnvelope.sustain = 2;
    in.fadeout = 2400;
    list[kInstBass - 1] = in;
  }
  // Sub bass: nearly a sine with a little second harmonic.
  {
    const int len = 256;
    Signal s = synth::PeriodicWave(len, 1, 3, [](int h) { return h == 1 ? 1.0 : (h == 2 ? 0.25 : 0.08); });
    xm::Instrument in = Looped("sub bass", s, len, 1);
    in.volumeEnvelope.points = {{0, 64}, {40, 50}};
    in.volumeEnvelope.sustain = 1;
    in.fadeout = 1200;
    list[kInstSubBass - 1] = in;
  }
  // Pulse lead: 30% duty pulse, gentle roll-off, delayed vibrato.
  {
    const int len = 256;
    Signal s = synth::PeriodicWave(len, 1, 24, [](int h) {
      return std::sin(kPi * h * 0.3) / h / (1.0 + std::pow(h / 10.0, 2));
    });
    xm::Instrument in = Looped("pulse lead", s, len, 1);
    in.volumeEnvelope.points = {{0, 40}, {2, 64}, {12, 50}};
    in.volumeEnvelope.sustain = 2;
    in.fadeout = 1600;
    in.vibratoType = 0;
    in.vibratoSweep = 40;
    in.vibratoDepth = 3;
    in.vibratoRate = 10;
    list[kInstLeadPulse - 1] = in;
  }
  // Brass lead: two slightly detuned bright saws (100 and 101 cycles per loop).
  {
    const int cycles = 100, len = 128 * cycles;
    Signal a = synth::PeriodicWave(len, cycles, 20, [](int h) { return 1.0 / h / (1.0 + std::pow(h / 8.0, 2)); });
    Signal b = synth::PeriodicWave(len, cycles + 1, 20, [](int h) { return 1.0 / h / (1.0 + std::pow(h / 8.0, 2)); });
    for (size_t i = 0; i < a.size(); ++i) a[i] += b[i];
    xm::Instrument in = Looped("brass lead", a, len, cycles + 0.5);
    in.volumeEnvelope.points = {{0, 20}, {3, 64}, {10, 54}};
    in.volumeEnvelope.sustain = 2;
    in.fadeout = 1400;
    in.vibratoSweep = 60;
    in.vibratoDepth = 2;
    in.vibratoRate = 9;
    list[kInstLeadBrass - 1] = in;
  }
  // Pad: three soft saws 11 cents apart, slow attack and release.
  {
    const int cycles = 150, len = 128 * cycles;
    const auto soft = [](int h) { return 1.0 / h / (1.0 + std::pow(h / 5.0, 2)); };
    Signal s(static_cast<size_t>(len), 0.0);
    int k = 0;
    for (int c : {cycles - 1, cycles, cycles + 1}) {
      Signal w = synth::PeriodicWave(len, c, 16, soft, [&](int h) { return 0.7 * h * (k + 1); });
      for (size_t i = 0; i < s.size(); ++i) s[i] += w[i];
      ++k;
    }
    xm::Instrument in = Looped("pad", s, len, cycles);
    in.volumeEnvelope.points = {{0, 0}, {20, 64}, {60, 56}};
    in.volumeEnvelope.sustain = 2;
    in.fadeout = 500;
    list[kInstPad - 1] = in;
  }
  // Pluck for arpeggios: a triangle-ish wave with a quick decay.
  {
    const int len = 256;
    Signal s = synth::PeriodicWave(len, 1, 15, [](int h) {
      return (h % 2) ? 1.0 / (h * h) + 0.3 / h / (1.0 + h) : 0.15 / h;
    });
    xm::Instrument in = Looped("pluck", s, len, 1);
    in.volumeEnvelope.points = {{0, 64}, {4, 40}, {14, 14}, {30, 0}};
    list[kInstPluck - 1] = in;
  }
  list[kInstBell - 1] = Bell();
  // Organ: drawbar-style harmonics, steady.
  {
    const int len = 256;
    Signal s = synth::PeriodicWave(len, 1, 8, [](int h) {
      switch (h) {
        case 1: return 1.0;
        case 2: return 0.7;
        case 3: return 0.45;
        case 4: return 0.35;
        case 6: return 0.2;
        case 8: return 0.15;
        default: return 0.0;
      }
    });
    xm::Instrument in = Looped("organ", s, len, 1);
    in.volumeEnvelope.points = {{0, 0}, {3, 64}, {20, 58}};
    in.volumeEnvelope.sustain = 2;
    in.fadeout = 1000;
    in.vibratoSweep = 80;
    in.vibratoDepth = 2;
    in.vibratoRate = 14;
    list[kInstOrgan - 1] = in;
  }
  return list;
}

}  // namespace tarq::forge
