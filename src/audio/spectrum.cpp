#include "audio/spectrum.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#if __has_include(<kiss_fftr.h>)
#include <kiss_fftr.h>
#define TARQ_HAVE_KISSFFT 1
#endif

namespace tarq {

#ifdef TARQ_HAVE_KISSFFT
struct SpectrumAnalyser::Fft {
  kiss_fftr_cfg cfg = kiss_fftr_alloc(kSpectrumFrames, 0, nullptr, nullptr);
  std::array<kiss_fft_scalar, kSpectrumFrames> in{};
  std::array<kiss_fft_cpx, kSpectrumFrames / 2 + 1> out{};
  ~Fft() { kiss_fftr_free(cfg); }
  // Magnitudes |X_k| of bins 0 .. N/2 - 1 of `in`.
  void Magnitudes(float* mags) {
    kiss_fftr(cfg, in.data(), out.data());
    for (int k = 0; k < kSpectrumFrames / 2; ++k) mags[k] = std::hypot(out[k].r, out[k].i);
  }
};
#else
// Plain DFT when the FFT library is missing: the same numbers, only slower.
struct SpectrumAnalyser::Fft {
  std::array<float, kSpectrumFrames> in{};
  void Magnitudes(float* mags) {
    for (int k = 0; k < kSpectrumFrames / 2; ++k) {
      std::complex<double> sum = 0.0;
      for (int n = 0; n < kSpectrumFrames; ++n) {
        sum += static_cast<double>(in[n]) *
               std::polar(1.0, -2.0 * std::numbers::pi * k * n / kSpectrumFrames);
      }
      mags[k] = static_cast<float>(std::abs(sum));
    }
  }
};
#endif

SpectrumAnalyser::SpectrumAnalyser() : fft_(std::make_unique<Fft>()) {
  for (int n = 0; n < kSpectrumFrames; ++n) {
    window_[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / kSpectrumFrames));
  }
}

SpectrumAnalyser::~SpectrumAnalyser() = default;

void SpectrumAnalyser::Analyse(const float* frames, float* out) {
  // A sine of amplitude A gives |X_k| = A x sum(window) / 2 = A x N / 4.
  constexpr float kScale = 4.0f / kSpectrumFrames;
  std::array<float, kSpectrumFrames / 2> mags{};
  for (int channel = 0; channel < 2; ++channel) {
    for (int n = 0; n < kSpectrumFrames; ++n) fft_->in[n] = frames[2 * n + channel] * window_[n];
    fft_->Magnitudes(mags.data());
    for (int k = 0; k < kSpectrumFrames / 2; ++k) out[2 * k + channel] = mags[k] * kScale;
  }
}

}  // namespace tarq
