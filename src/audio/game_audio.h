#pragma once
// The game side of sound and music: the sixteen effect samples and Sound, the nine
// music tracks with MusicPlay, the per-tick music volume and cross-fade, pausing
// with the window's focus, the spectrum for the in-game menu and the shut-down
// order. It reaches sound only through an AudioLayer, so the same rules run with
// the real mixer, silently (headless) or against a recording fake in tests; its own
// state (CurrentTrack, PreviousTrack, the fade) never depends on which one it is.
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "audio/audio_layer.h"

namespace tarq {

// One row of the compiled-in music track table.
struct MusicTrackEntry {
  const char* file;   // in system/music/
  const char* title;  // texts shown upper-cased by the in-game menu
  const char* line1;
  const char* line2;
  float gain;  // compressor make-up gain, dB
};

constexpr int kMusicTrackCount = 9;
constexpr int kSampleCount = 16;
// Each sample plays at most this many times at once; a new playback replaces the quietest.
constexpr int kSamplePlaybacks = 5;
// Sound's rates are percentages of the samples' recording rate.
constexpr int kSampleBaseRate = 22050;

const std::array<MusicTrackEntry, kMusicTrackCount>& MusicTrackTable();

struct TrackText {
  std::string Title;
  std::string Line1;
  std::string Line2;
};

// A Sound call as it reached the layer (for the headless dump and tests).
struct SoundCall {
  int32_t sample;
  int32_t pan;
  int32_t frequency;
};

// Pan for a map x: x x 150 / 704 - 75, truncating (-75 .. 75 for 0 .. 704).
int32_t SoundPan(int32_t position);
// Playback frequency for a rate in percent of 22050 Hz, rounded halves to even.
int32_t SoundFrequency(double ratePercent);
// The music phase's progress figure after `loaded` tracks: loaded x 100 div 8.
int32_t MusicLoadingFigure(int32_t loaded);

class GameAudio {
 public:
  // `root` is the game's data folder (holding system/).
  explicit GameAudio(AudioLayer& layer, std::filesystem::path root = ".");

  AudioLayer& Layer() { return layer_; }

  // Start-up: AudioInit, AudioStart, no tracks current, samples 00 .. 15 in order.
  void Startup();

  // The music phase of the asset loading: loads track `index` of the table as a
  // looping channel with its compressor and appends its handle and texts. A module
  // that fails to load still takes its place (with the unusable handle 0), so
  // track numbers always follow the table. Tracks must come in table order; an
  // index that is not the next track is ignored, so nothing loads twice.
  void LoadMusicTrack(int index);
  // The whole phase, once per run: `drawFrame(figure)` is called before each track.
  void LoadMusic(const std::function<void(int32_t figure)>& drawFrame = {});
  bool MusicLoaded() const { return musicLoaded_; }

  // Plays `sample` once, panned by a map x (0 .. 704) at `rate` percent of 22050 Hz,
  // at `soundVolume`. Sample numbers outside the loaded ones are ignored.
  void Sound(int32_t sample, int32_t position, double rate, int32_t soundVolume);

  // Starts `track` at order/row and makes it current; the old current track fades
  // out. -1 just fades the current track. Track numbers that are not loaded tracks
  // are ignored (the music cue can pass any byte).
  void MusicPlay(int32_t track, int32_t order, int32_t row);

  // The music step at the start of every tick: volume, fade, idle tracks stopped.
  void MusicStep(int64_t tickCount, int32_t musicVolume);

  // Focus: the current and fading tracks pause and resume in place.
  void FocusLost();
  void FocusGained();

  // The current track's spectrum (kSpectrumValues floats); false when none plays.
  bool FetchSpectrum(float* out, size_t count);
  // Texts of the current track; null when none.
  const TrackText* CurrentTrackInfo() const;

  // Window close: every track stopped and freed, last to first, then AudioStop.
  void Close();
  // Window destruction: AudioFree.
  void Destroy();

  std::vector<SampleHandle> Samples;
  std::vector<MusicHandle> MusicTracks;
  std::vector<TrackText> TrackInfo;
  int32_t CurrentTrack = -1;
  int32_t PreviousTrack = -1;

  // When set, every Sound call that reaches the layer is appended to SoundLog.
  bool LogSounds = false;
  std::vector<SoundCall> SoundLog;

 private:
  bool IsTrack(int32_t track) const {
    return track >= 0 && static_cast<size_t>(track) < MusicTracks.size();
  }
  void SetTrackVolume(int32_t track, int32_t volume);

  AudioLayer& layer_;
  std::filesystem::path root_;
  bool musicLoaded_ = false;
  // The volume last given to each track's channel. The fade lowers this figure
  // rather than reading it back from the layer, so a track whose module failed to
  // load fades on the same ticks as a sounding one.
  std::vector<int32_t> trackVolume_;
};

}  // namespace tarq
