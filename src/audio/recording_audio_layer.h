#pragma once
// A fake audio layer for tests of the game side: it keeps the state a real layer
// would (volumes, playing/paused/stopped, positions) and records every call as one
// line of text, so tests can check both the outcome and the order of calls.
#include <map>
#include <string>
#include <vector>

#include "audio/audio_layer.h"

namespace tarq {

class RecordingAudioLayer final : public AudioLayer {
 public:
  enum class State { kStopped, kPlaying, kPaused, kFreed };
  struct Channel {
    std::string path;
    State state = State::kStopped;
    int volume = 100;
    uint32_t position = 0;
    CompressorParameters compressor;
    bool hasFx = false;
  };
  struct Playback {
    SampleHandle sample;
    int frequency;
    int volume;
    int pan;
  };

  // Paths whose loads fail (as if the file were missing).
  std::vector<std::string> missing;

  std::vector<std::string> calls;
  std::vector<Playback> playbacks;
  std::map<MusicHandle, Channel> channels;
  std::map<SampleHandle, std::string> samples;

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

  // Calls whose text starts with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

 private:
  Channel* Find(MusicHandle music);
  void Record(std::string text) { calls.push_back(std::move(text)); }
  bool IsMissing(const std::string& path) const;
  uint32_t next_ = 1;
};

}  // namespace tarq
