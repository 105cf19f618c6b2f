#include "audio/game_audio.h"

#include <algorithm>
#include <cstdio>

#include "core/numeric.h"

namespace tarq {
namespace {

// Compressor settings every music channel gets; only the make-up gain varies.
constexpr float kCompressorAttack = 0.5f;
constexpr float kCompressorRelease = 50.0f;
constexpr float kCompressorThreshold = -12.0f;
constexpr float kCompressorRatio = 10.0f;
constexpr float kCompressorPredelay = 1.0f;

// The mixer's volume range. The settings file may hold any number (the in-game menu
// keeps 0..100, the file does not), so every volume is clamped before it is sent:
// a fade then starts at 100 at most and ends within 200 ticks.
constexpr int32_t kMinVolume = 0;
constexpr int32_t kMaxVolume = 100;
int32_t MixerVolume(int32_t volume) { return Clamp(volume, kMinVolume, kMaxVolume); }

}  // namespace

int32_t SoundPan(int32_t position) {
  return static_cast<int32_t>(Div(static_cast<int64_t>(position) * 150, 704) - 75);
}

int32_t SoundFrequency(double ratePercent) { return Round(ratePercent * kSampleBaseRate / 100.0); }

int32_t MusicLoadingFigure(int32_t loaded) { return static_cast<int32_t>(Div(loaded * 100, 8)); }

GameAudio::GameAudio(AudioLayer& layer, std::filesystem::path root)
    : layer_(layer), root_(std::move(root)) {}

void GameAudio::Startup() {
  layer_.AudioInit(kMixRate);  // results unchecked: without a device the game is silent
  layer_.AudioStart();
  CurrentTrack = -1;
  PreviousTrack = -1;
  Samples.clear();
  for (int i = 0; i < kSampleCount; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "%02d.wav", i);
    const std::filesystem::path path = root_ / "system" / "sounds" / name;
    Samples.push_back(layer_.SampleLoad(path.string(), kSamplePlaybacks));
  }
}

void GameAudio::LoadMusicTrack(int index) {
  // Tracks load once, in table order, so track numbers always match the table.
  if (index < 0 || index >= kMusicTrackCount || static_cast<size_t>(index) != MusicTracks.size()) return;
  const MusicTrackEntry& entry = MusicTrackTable()[index];
  const std::filesystem::path path = root_ / "system" / "music" / entry.file;
  const MusicHandle music = layer_.ModuleLoad(path.string(), true);
  MusicTracks.push_back(music);
  trackVolume_.push_back(100);  // a new channel plays at full volume
  const FxHandle fx = layer_.ChannelSetFX(music, FxType::kCompressor);
  CompressorParameters parameters;
  parameters.gain = entry.gain;
  parameters.attack = kCompressorAttack;
  parameters.release = kCompressorRelease;
  parameters.threshold = kCompressorThreshold;
  parameters.ratio = kCompressorRatio;
  parameters.predelay = kCompressorPredelay;
  layer_.FXSetParameters(fx, parameters);
  TrackInfo.push_back({entry.title, entry.line1, entry.line2});
  if (MusicTracks.size() == kMusicTrackCount) musicLoaded_ = true;
}

void GameAudio::LoadMusic(const std::function<void(int32_t)>& drawFrame) {
  if (musicLoaded_) return;
  for (int i = static_cast<int>(MusicTracks.size()); i < kMusicTrackCount; ++i) {
    if (drawFrame) drawFrame(MusicLoadingFigure(i));
    LoadMusicTrack(i);
  }
}

void GameAudio::Sound(int32_t sample, int32_t position, double rate, int32_t soundVolume) {
  if (sample < 0 || static_cast<size_t>(sample) >= Samples.size()) return;
  const int32_t pan = SoundPan(position);
  const int32_t frequency = SoundFrequency(rate);
  layer_.SamplePlay(Samples[sample], 0, frequency, MixerVolume(soundVolume), pan, false);
  if (LogSounds) SoundLog.push_back({sample, pan, frequency});
}

void GameAudio::MusicPlay(int32_t track, int32_t order, int32_t row) {
  if (track != -1 && !IsTrack(track)) return;
  if (track != -1) {
    const MusicHandle music = MusicTracks[track];
    const uint32_t position =
        (static_cast<uint32_t>(order) & 0xFFFF) | ((static_cast<uint32_t>(row) & 0xFFFF) << 16);
    layer_.ChannelSetPosition(music, position);
    layer_.ChannelPlay(music);
  }
  // Restarting the current track keeps it current and leaves any other fade alone:
  // making it its own fading track would let the fade stop the very track that is
  // meant to play whenever the music volume is 1 or less.
  if (track != -1 && track == CurrentTrack) return;
  PreviousTrack = CurrentTrack;
  CurrentTrack = track;
}

void GameAudio::SetTrackVolume(int32_t track, int32_t volume) {
  volume = MixerVolume(volume);
  trackVolume_[track] = volume;
  layer_.ChannelSetAttributes(MusicTracks[track], kKeepFrequency, volume, kKeepPan);
}

void GameAudio::MusicStep(int64_t tickCount, int32_t musicVolume) {
  if (IsTrack(CurrentTrack)) SetTrackVolume(CurrentTrack, musicVolume);
  if (IsTrack(PreviousTrack) && tickCount % 2 == 0) {
    const int32_t volume = std::max(trackVolume_[PreviousTrack] - 1, 0);
    SetTrackVolume(PreviousTrack, volume);
    if (volume == 0) {
      layer_.ChannelStop(MusicTracks[PreviousTrack]);
      PreviousTrack = -1;
    }
  }
  for (size_t i = 0; i < MusicTracks.size(); ++i) {
    const auto track = static_cast<int32_t>(i);
    if (track != CurrentTrack && track != PreviousTrack) layer_.ChannelStop(MusicTracks[i]);
  }
}

void GameAudio::FocusLost() {
  if (IsTrack(CurrentTrack)) layer_.ChannelPause(MusicTracks[CurrentTrack]);
  if (IsTrack(PreviousTrack)) layer_.ChannelPause(MusicTracks[PreviousTrack]);
}

void GameAudio::FocusGained() {
  if (IsTrack(CurrentTrack)) layer_.ChannelResume(MusicTracks[CurrentTrack]);
  if (IsTrack(PreviousTrack)) layer_.ChannelResume(MusicTracks[PreviousTrack]);
}

bool GameAudio::FetchSpectrum(float* out, size_t count) {
  if (!IsTrack(CurrentTrack)) return false;
  return layer_.ChannelGetData(MusicTracks[CurrentTrack], out, count) > 0;
}

const TrackText* GameAudio::CurrentTrackInfo() const {
  if (CurrentTrack < 0 || static_cast<size_t>(CurrentTrack) >= TrackInfo.size()) return nullptr;
  return &TrackInfo[CurrentTrack];
}

void GameAudio::Close() {
  for (size_t i = MusicTracks.size(); i-- > 0;) {
    layer_.ChannelStop(MusicTracks[i]);
    layer_.ModuleFree(MusicTracks[i]);
  }
  MusicTracks.clear();  // the handles are gone; later calls must not reach them
  trackVolume_.clear();
  layer_.AudioStop();
}

void GameAudio::Destroy() { layer_.AudioFree(); }

}  // namespace tarq
