#pragma once
// The mixer: sample playbacks and tracker-module channels summed into 44100 Hz
// stereo float, softly clipped. It is not thread-safe by itself; MixerAudioLayer
// guards it with a short lock. Everything Render touches is allocated beforehand
// (slots, voices, scratch buffers), so rendering never allocates and can run on the
// audio thread. Loading and freeing happen outside: data is built by the caller and
// handed in, and removed data is handed back to be destroyed outside the lock.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/audio_layer.h"
#include "audio/compressor.h"
#include "audio/spectrum.h"

namespace openmpt {
class module;
}

namespace tarq {

// A decoded sample in the mixer's format: float frames at the file's own rate.
struct SampleData {
  std::vector<float> data;  // interleaved when stereo
  int channels = 1;         // 1 or 2
  int rate = 22050;         // Hz, used when a playback asks for no frequency
  size_t Frames() const { return channels > 0 ? data.size() / static_cast<size_t>(channels) : 0; }
};

// Soft clipping: linear up to the knee (0.8), then a tanh curve towards a ceiling
// just below full scale, so loud mixes saturate smoothly instead of wrapping.
float SoftClip(float v);

class Mixer {
 public:
  static constexpr int kMaxSamples = 64;
  static constexpr int kMaxModules = 16;
  static constexpr int kMaxPlaybacksPerSample = 16;
  static constexpr int kBlockFrames = 512;

  Mixer();
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  SampleHandle AddSample(std::unique_ptr<SampleData> data, int maxPlaybacks);
  std::unique_ptr<SampleData> RemoveSample(SampleHandle sample);
  int PlaySample(SampleHandle sample, int start, int frequency, int volume, int pan, bool loop);
  // Playbacks of a sample still sounding, and their volumes (for tests).
  int ActivePlaybacks(SampleHandle sample) const;
  std::vector<int> PlaybackVolumes(SampleHandle sample) const;

  MusicHandle AddModule(std::unique_ptr<openmpt::module> module, bool loop);
  std::unique_ptr<openmpt::module> RemoveModule(MusicHandle music);
  int SetPosition(MusicHandle music, uint32_t position);
  int Play(MusicHandle music);
  int Stop(MusicHandle music);
  int Pause(MusicHandle music);
  int Resume(MusicHandle music);
  int SetAttributes(MusicHandle music, int volume, int pan);
  int GetAttributes(MusicHandle music, int* volume, int* pan) const;
  bool IsPlaying(MusicHandle music) const;
  // Playback position of a module in seconds (for tests).
  double PositionSeconds(MusicHandle music) const;
  FxHandle SetFx(MusicHandle music, FxType type);
  int SetFxParameters(FxHandle fx, const CompressorParameters& parameters);
  // Copies the last kSpectrumFrames stereo frames the module produced (after its
  // effect, before its volume), oldest first. False for an unknown handle.
  bool RecentFrames(MusicHandle music, float* frames) const;

  // Stops every playback and every module channel.
  void StopAll();
  // Takes every sample and module out (for freeing outside the lock).
  void TakeAll(std::vector<std::unique_ptr<SampleData>>& samples,
               std::vector<std::unique_ptr<openmpt::module>>& modules);

  // Mixes `frames` stereo frames into `out` (interleaved, overwritten).
  void Render(float* out, int frames);

 private:
  struct Voice {
    bool active = false;
    bool loop = false;
    double position = 0.0;  // in source frames
    double step = 1.0;      // source frames per output frame
    int volume = 0;
    float gainLeft = 0.0f;
    float gainRight = 0.0f;
    uint64_t started = 0;
  };
  struct SampleSlot {
    std::unique_ptr<SampleData> data;
    std::array<Voice, kMaxPlaybacksPerSample> voices{};
    int maxPlaybacks = 1;
    uint32_t generation = 0;
  };
  enum class ChannelState { kStopped, kPlaying, kPaused };
  struct ModuleSlot {
    std::unique_ptr<openmpt::module> module;
    ChannelState state = ChannelState::kStopped;
    int volume = 100;
    int pan = 0;
    float appliedLeft = 1.0f;  // gains reached at the end of the last block
    float appliedRight = 1.0f;
    bool fxActive = false;
    Compressor compressor;
    std::array<float, 2 * kSpectrumFrames> recent{};
    int recentPos = 0;  // next frame to write
    uint32_t generation = 0;
  };

  SampleSlot* FindSample(SampleHandle handle);
  const SampleSlot* FindSample(SampleHandle handle) const;
  ModuleSlot* FindModule(MusicHandle handle);
  const ModuleSlot* FindModule(MusicHandle handle) const;
  void MixVoice(const SampleData& data, Voice& voice, float* mix, int frames);
  void MixModule(ModuleSlot& slot, float* mix, int frames);

  std::array<SampleSlot, kMaxSamples> samples_;
  std::array<ModuleSlot, kMaxModules> modules_;
  std::array<float, 2 * kBlockFrames> mix_{};
  std::array<float, 2 * kBlockFrames> scratch_{};
  uint64_t playCounter_ = 0;
  uint32_t nextGeneration_ = 1;
};

}  // namespace tarq
