#include "audio/compressor.h"

#include <algorithm>
#include <cmath>

namespace tarq {
namespace {

// One-pole smoothing coefficient for a time constant in milliseconds.
float SmoothingCoefficient(float milliseconds, int sampleRate) {
  if (!(milliseconds > 0.0f)) return 0.0f;  // also catches NaN: react at once
  return std::exp(-1.0f / (milliseconds * 0.001f * static_cast<float>(sampleRate)));
}

}  // namespace

void Compressor::Configure(const CompressorParameters& p, int sampleRate) {
  const auto finite = [](float v, float fallback) { return std::isfinite(v) ? v : fallback; };
  attackCoef_ = SmoothingCoefficient(finite(p.attack, 0.0f), sampleRate);
  releaseCoef_ = SmoothingCoefficient(finite(p.release, 0.0f), sampleRate);
  thresholdDb_ = std::clamp(finite(p.threshold, 0.0f), -60.0f, 0.0f);
  const float ratio = std::clamp(finite(p.ratio, 1.0f), 1.0f, 100.0f);
  slope_ = 1.0f - 1.0f / ratio;
  makeupDb_ = std::clamp(finite(p.gain, 0.0f), -60.0f, 60.0f);
  const float predelayMs = std::clamp(finite(p.predelay, 0.0f), 0.0f, 10.0f);
  const int frames = static_cast<int>(predelayMs * 0.001f * static_cast<float>(sampleRate) + 0.5f);
  delayFrames_ = std::clamp(frames, 0, kMaxPredelayFrames - 1);
}

void Compressor::Reset() {
  delay_.fill(0.0f);
  writePos_ = 0;
  reductionDb_ = 0.0f;
}

void Compressor::Process(float* s, int frames) {
  for (int i = 0; i < frames; ++i) {
    float& left = s[2 * i];
    float& right = s[2 * i + 1];
    const float peak = std::max(std::fabs(left), std::fabs(right));
    const float levelDb = 20.0f * std::log10(std::max(peak, 1e-6f));
    const float over = levelDb - thresholdDb_;
    const float wanted = over > 0.0f ? over * slope_ : 0.0f;
    const float coef = wanted > reductionDb_ ? attackCoef_ : releaseCoef_;
    reductionDb_ = wanted + (reductionDb_ - wanted) * coef;

    // The delay line holds the last delayFrames_ input frames.
    float outLeft = left;
    float outRight = right;
    if (delayFrames_ > 0) {
      int readPos = writePos_ - delayFrames_;
      if (readPos < 0) readPos += kMaxPredelayFrames;
      outLeft = delay_[2 * readPos];
      outRight = delay_[2 * readPos + 1];
      delay_[2 * writePos_] = left;
      delay_[2 * writePos_ + 1] = right;
      writePos_ = (writePos_ + 1) % kMaxPredelayFrames;
    }
    const float gain = std::pow(10.0f, (makeupDb_ - reductionDb_) * 0.05f);
    left = outLeft * gain;
    right = outRight * gain;
  }
}

}  // namespace tarq
