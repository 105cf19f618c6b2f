#pragma once
// Spectrum of the music for the in-game menu: a 256-sample FFT of each channel of
// the last 256 stereo frames, 128 magnitudes per channel, left/right interleaved.
// A Hann window tames leakage; magnitudes are scaled so that a full-scale sine
// reads about 1.0 in its bin.
#include <array>
#include <memory>

#include "audio/audio_layer.h"

namespace tarq {

constexpr int kSpectrumFrames = 256;

class SpectrumAnalyser {
 public:
  SpectrumAnalyser();
  ~SpectrumAnalyser();
  SpectrumAnalyser(const SpectrumAnalyser&) = delete;
  SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

  // `frames`: kSpectrumFrames interleaved stereo frames, oldest first.
  // `out`: kSpectrumValues floats: bin k of the left channel at 2k, right at 2k + 1.
  void Analyse(const float* frames, float* out);

 private:
  struct Fft;
  std::unique_ptr<Fft> fft_;
  std::array<float, kSpectrumFrames> window_{};
};

}  // namespace tarq
