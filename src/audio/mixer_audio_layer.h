#pragma once
// The real audio layer: the mixer behind SDL2 audio output (44100 Hz stereo float).
// The mixer runs in SDL's audio callback; calls from the game take a short lock on
// it that never spans file reading, decoding or freeing, so the audio thread waits
// at most for a few field updates. When no device can be opened the layer still
// loads and tracks everything and simply produces no output: the game runs
// silently. RenderOffline mixes into a buffer without any device (tests, tools).
#include <cstdint>
#include <mutex>

#include "audio/audio_layer.h"
#include "audio/mixer.h"
#include "audio/spectrum.h"

namespace tarq {

class MixerAudioLayer final : public AudioLayer {
 public:
  MixerAudioLayer();
  ~MixerAudioLayer() override;
  MixerAudioLayer(const MixerAudioLayer&) = delete;
  MixerAudioLayer& operator=(const MixerAudioLayer&) = delete;

  int AudioInit(int frequency) override;
  int AudioStart() override;
  int AudioStop() override;
  int AudioFree() override;
  SampleHandle SampleLoad(const std::string& path, int maxPlaybacks) override;
  int SamplePlay(SampleHandle sample, int start, int frequency, int volume, int pan,
                 bool loop) override;
  MusicHandle ModuleLoad(const std::string& path, bool loop) override;
  int ModuleFree(MusicHandle music) override;
  int ChannelSetPosition(MusicHandle music, uint32_t position) override;
  int ChannelPlay(MusicHandle music) override;
  int ChannelStop(MusicHandle music) override;
  int ChannelPause(MusicHandle music) override;
  int ChannelResume(MusicHandle music) override;
  int ChannelSetAttributes(MusicHandle music, int frequency, int volume, int pan) override;
  int ChannelGetAttributes(MusicHandle music, int* frequency, int* volume, int* pan) override;
  FxHandle ChannelSetFX(MusicHandle music, FxType type) override;
  int FXSetParameters(FxHandle fx, const CompressorParameters& parameters) override;
  size_t ChannelGetData(MusicHandle music, float* out, size_t count) override;

  // Mixes `frames` stereo frames into `out` on the calling thread.
  void RenderOffline(float* out, int frames);
  bool DeviceOpen() const { return device_ != 0; }

  // Read-only views for tests.
  int ActivePlaybacks(SampleHandle sample);
  std::vector<int> PlaybackVolumes(SampleHandle sample);
  bool IsPlaying(MusicHandle music);
  double PositionSeconds(MusicHandle music);

 private:
  static void Callback(void* self, uint8_t* stream, int length);

  std::mutex lock_;  // guards mixer_
  Mixer mixer_;
  SpectrumAnalyser spectrum_;  // used on the game thread only
  uint32_t device_ = 0;
  bool subsystemStarted_ = false;
};

}  // namespace tarq
