#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>

#include "audio/compressor.h"
#include "audio/mixer.h"
#include "audio/mixer_audio_layer.h"
#include "audio/spectrum.h"

namespace tarq {
namespace {

std::unique_ptr<SampleData> Constant(float value, size_t frames, int rate = 22050) {
  auto d = std::make_unique<SampleData>();
  d->data.assign(frames, value);
  d->rate = rate;
  return d;
}

std::vector<float> Render(Mixer& mixer, int frames) {
  std::vector<float> out(static_cast<size_t>(2 * frames));
  mixer.Render(out.data(), frames);
  return out;
}

TEST(Mixer, BusySampleReplacesItsQuietestPlayback) {
  Mixer mixer;
  const SampleHandle h = mixer.AddSample(Constant(0.1f, 44100), 5);
  ASSERT_NE(h, 0u);
  for (int v : {50, 20, 80, 20, 90}) ASSERT_EQ(mixer.PlaySample(h, 0, 22050, v, 0, false), kAudioOk);
  EXPECT_EQ(mixer.ActivePlaybacks(h), 5);
  mixer.PlaySample(h, 0, 22050, 70, 0, false);
  auto volumes = mixer.PlaybackVolumes(h);
  std::sort(volumes.begin(), volumes.end());
  EXPECT_EQ(volumes, (std::vector<int>{20, 50, 70, 80, 90}));  // one of the two 20s went
  mixer.PlaySample(h, 0, 22050, 100, 0, false);
  volumes = mixer.PlaybackVolumes(h);
  std::sort(volumes.begin(), volumes.end());
  EXPECT_EQ(volumes, (std::vector<int>{50, 70, 80, 90, 100}));
}

TEST(Mixer, PitchUsesLinearInterpolationAndPanTurnsDownTheFarSide) {
  Mixer mixer;
  auto ramp = std::make_unique<SampleData>();
  for (int i = 0; i < 1000; ++i) ramp->data.push_back(static_cast<float>(i) / 2000.0f);
  const SampleHandle h = mixer.AddSample(std::move(ramp), 5);
  mixer.PlaySample(h, 0, kMixRate / 2, 100, -50, false);  // half speed, half right
  const auto out = Render(mixer, 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_NEAR(out[2 * i], i * 0.5f / 2000.0f, 1e-6f);          // between source frames
    EXPECT_NEAR(out[2 * i + 1], 0.5f * i * 0.5f / 2000.0f, 1e-6f);  // right at half level
  }
  // Playback ends at the sample's end and frees the voice.
  Render(mixer, 2100);
  EXPECT_EQ(mixer.ActivePlaybacks(h), 0);
}

TEST(Mixer, LoudMixSaturatesSoftlyAndNeverWraps) {
  EXPECT_FLOAT_EQ(SoftClip(0.5f), 0.5f);
  EXPECT_LT(SoftClip(100.0f), 1.0f);
  EXPECT_GT(SoftClip(100.0f), 0.98f);
  EXPECT_FLOAT_EQ(SoftClip(-3.0f), -SoftClip(3.0f));
  EXPECT_EQ(SoftClip(std::nanf("")), 0.0f);
  float previous = 0.0f;
  for (float x = 0.0f; x < 10.0f; x += 0.01f) {
    ASSERT_GE(SoftClip(x), previous);  // monotonic: louder input is never quieter
    previous = SoftClip(x);
  }
  Mixer mixer;
  for (int i = 0; i < 10; ++i) {
    const SampleHandle h = mixer.AddSample(Constant(0.9f, 4000), 5);
    mixer.PlaySample(h, 0, 22050, 100, 0, false);
  }
  const auto out = Render(mixer, 1000);
  for (float v : out) {
    ASSERT_GT(v, 0.95f);  // ten voices at 0.9 saturate near full scale ...
    ASSERT_LT(v, 1.0f);   // ... without reaching or wrapping past it
  }
}

TEST(Mixer, StaleAndForeignHandlesAreRefused) {
  Mixer mixer;
  const SampleHandle s = mixer.AddSample(Constant(0.1f, 10), 5);
  EXPECT_EQ(mixer.PlaySample(0, 0, 22050, 100, 0, false), kAudioErrorHandle);
  EXPECT_EQ(mixer.Play(s), kAudioErrorHandle);  // a sample is not a music channel
  EXPECT_EQ(mixer.SetFx(s, FxType::kCompressor), 0u);
  EXPECT_NE(mixer.RemoveSample(s), nullptr);
  EXPECT_EQ(mixer.PlaySample(s, 0, 22050, 100, 0, false), kAudioErrorHandle);
  const SampleHandle again = mixer.AddSample(Constant(0.1f, 10), 5);
  EXPECT_NE(again, s);  // the reused slot answers only to its new handle
  EXPECT_EQ(mixer.PlaySample(s, 0, 22050, 100, 0, false), kAudioErrorHandle);
  EXPECT_EQ(mixer.PlaySample(again, 50, -1, 100, 0, false), kAudioOk);  // start past the end
  Render(mixer, 64);
}

std::vector<float> Sine(double frequency, double amplitude, int frames) {
  std::vector<float> s(static_cast<size_t>(2 * frames));
  for (int i = 0; i < frames; ++i) {
    const auto v = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * frequency * i / kMixRate));
    s[2 * i] = v;
    s[2 * i + 1] = v;
  }
  return s;
}

double PeakDb(const std::vector<float>& s, size_t from) {
  float peak = 0.0f;
  for (size_t i = from; i < s.size(); ++i) peak = std::max(peak, std::fabs(s[i]));
  return 20.0 * std::log10(peak);
}

TEST(Compressor, LowersGainAboveTheThresholdOnly) {
  CompressorParameters p;
  p.gain = 0.0f;
  p.attack = 0.5f;
  p.release = 50.0f;
  p.threshold = -12.0f;
  p.ratio = 10.0f;
  p.predelay = 1.0f;

  Compressor loud;
  loud.Configure(p, kMixRate);
  auto s = Sine(440, 1.0, kMixRate);
  loud.Process(s.data(), kMixRate);
  // 12 dB over the threshold comes out 1.2 dB over it (allowing for the ripple of
  // a fast detector on a sine).
  EXPECT_LT(PeakDb(s, s.size() / 2), -8.0);
  EXPECT_GT(PeakDb(s, s.size() / 2), -12.0);
  EXPECT_GT(loud.ReductionDb(), 8.0f);

  Compressor quiet;
  quiet.Configure(p, kMixRate);
  auto q = Sine(440, 0.1, kMixRate);  // -20 dB: untouched
  quiet.Process(q.data(), kMixRate);
  EXPECT_NEAR(PeakDb(q, q.size() / 2), -20.0, 0.05);

  // Make-up gain raises everything; pre-delay shifts the signal by 1 ms.
  p.gain = 6.0f;
  Compressor delayed;
  delayed.Configure(p, kMixRate);
  std::vector<float> impulse(200, 0.0f);
  impulse[0] = impulse[1] = 0.05f;
  delayed.Process(impulse.data(), 100);
  const int expectedDelay = 44;  // 1 ms at 44100 Hz
  for (int i = 0; i < 100; ++i) {
    if (i == expectedDelay) {
      EXPECT_NEAR(impulse[2 * i], 0.05f * std::pow(10.0f, 6.0f / 20.0f), 1e-4f);
    } else {
      EXPECT_EQ(impulse[2 * i], 0.0f) << i;
    }
  }
}

TEST(Compressor, NonsenseParametersStayFinite) {
  CompressorParameters p;
  p.gain = std::nanf("");
  p.attack = -5.0f;
  p.release = std::numeric_limits<float>::infinity();
  p.threshold = 50.0f;
  p.ratio = 0.0f;
  p.predelay = 1e9f;
  Compressor c;
  c.Configure(p, kMixRate);
  auto s = Sine(100, 1.0, 2000);
  c.Process(s.data(), 2000);
  for (float v : s) ASSERT_TRUE(std::isfinite(v));
}

TEST(Spectrum, PureSinePeaksAtItsBin) {
  SpectrumAnalyser analyser;
  for (int bin : {1, 20, 64, 127}) {
    const double frequency = bin * static_cast<double>(kMixRate) / kSpectrumFrames;
    std::vector<float> frames = Sine(frequency, 0.5, kSpectrumFrames);
    // Left only: the right channel stays silent.
    for (int i = 0; i < kSpectrumFrames; ++i) frames[2 * i + 1] = 0.0f;
    float out[kSpectrumValues];
    analyser.Analyse(frames.data(), out);
    int best = 0;
    for (int k = 0; k < 128; ++k) {
      if (out[2 * k] > out[2 * best]) best = k;
      ASSERT_NEAR(out[2 * k + 1], 0.0f, 1e-6f);
    }
    EXPECT_EQ(best, bin);
    EXPECT_NEAR(out[2 * bin], 0.5f, 0.01f);
  }
}

}  // namespace
}  // namespace tarq
