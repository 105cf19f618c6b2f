#pragma once
// A stereo-linked feed-forward compressor for music channels.
//
// Per frame: the detector takes the louder of the two input channels as a level in
// dB. Above the threshold the wanted gain reduction is (level - threshold) x
// (1 - 1 / ratio) dB. The applied reduction follows the wanted one with a one-pole
// smoother whose time constant is the attack while the reduction grows and the
// release while it shrinks. The audio itself passes through a short delay line (the
// pre-delay), so the detector "looks ahead" and catches a transient before it
// reaches the output. Finally the make-up gain is added. All state is fixed-size:
// processing never allocates, so it runs on the audio thread.
#include <array>

#include "audio/audio_layer.h"

namespace tarq {

class Compressor {
 public:
  static constexpr int kMaxPredelayFrames = 512;  // > 10 ms at 44100 Hz

  Compressor() { Configure(CompressorParameters{}, kMixRate); }

  // Takes new parameters; keeps the delay line and the current reduction so a
  // change mid-stream does not click.
  void Configure(const CompressorParameters& parameters, int sampleRate);
  void Reset();
  void Process(float* interleavedStereo, int frames);

  // The reduction applied to the last frame, dB (>= 0).
  float ReductionDb() const { return reductionDb_; }

 private:
  std::array<float, 2 * kMaxPredelayFrames> delay_{};
  int delayFrames_ = 0;
  int writePos_ = 0;
  float attackCoef_ = 0.0f;
  float releaseCoef_ = 0.0f;
  float thresholdDb_ = 0.0f;
  float slope_ = 0.0f;  // 1 - 1 / ratio
  float makeupDb_ = 0.0f;
  float reductionDb_ = 0.0f;
};

}  // namespace tarq
