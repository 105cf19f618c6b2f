#include "audio/recording_audio_layer.h"

#include <algorithm>

namespace tarq {
namespace {
constexpr FxHandle kFxBit = 0x80000000u;  // fx handle = music handle | kFxBit
}

int RecordingAudioLayer::AudioInit(int frequency) {
  Record("AudioInit " + std::to_string(frequency));
  return kAudioOk;
}
int RecordingAudioLayer::AudioStart() {
  Record("AudioStart");
  return kAudioOk;
}
int RecordingAudioLayer::AudioStop() {
  Record("AudioStop");
  return kAudioOk;
}
int RecordingAudioLayer::AudioFree() {
  Record("AudioFree");
  return kAudioOk;
}

bool RecordingAudioLayer::IsMissing(const std::string& path) const {
  return std::find(missing.begin(), missing.end(), path) != missing.end();
}

SampleHandle RecordingAudioLayer::SampleLoad(const std::string& path, int maxPlaybacks) {
  Record("SampleLoad " + path + " " + std::to_string(maxPlaybacks));
  if (IsMissing(path)) return 0;
  const SampleHandle h = next_++;
  samples[h] = path;
  return h;
}

int RecordingAudioLayer::SamplePlay(SampleHandle sample, int start, int frequency, int volume,
                                    int pan, bool loop) {
  Record("SamplePlay " + std::to_string(sample) + " " + std::to_string(start) + " " +
         std::to_string(frequency) + " " + std::to_string(volume) + " " + std::to_string(pan) +
         (loop ? " loop" : ""));
  if (!samples.count(sample)) return kAudioErrorHandle;
  playbacks.push_back({sample, frequency, volume, pan});
  return kAudioOk;
}

MusicHandle RecordingAudioLayer::ModuleLoad(const std::string& path, bool loop) {
  Record("ModuleLoad " + path + (loop ? " loop" : ""));
  if (IsMissing(path)) return 0;
  const MusicHandle h = next_++;
  channels[h].path = path;
  return h;
}

RecordingAudioLayer::Channel* RecordingAudioLayer::Find(MusicHandle music) {
  auto it = channels.find(music);
  if (it == channels.end() || it->second.state == State::kFreed) return nullptr;
  return &it->second;
}

int RecordingAudioLayer::ModuleFree(MusicHandle music) {
  Record("ModuleFree " + std::to_string(music));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  c->state = State::kFreed;
  return kAudioOk;
}

int RecordingAudioLayer::ChannelSetPosition(MusicHandle music, uint32_t position) {
  Record("ChannelSetPosition " + std::to_string(music) + " " + std::to_string(position));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  c->position = position;
  return kAudioOk;
}

int RecordingAudioLayer::ChannelPlay(MusicHandle music) {
  Record("ChannelPlay " + std::to_string(music));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  c->state = State::kPlaying;
  return kAudioOk;
}

int RecordingAudioLayer::ChannelStop(MusicHandle music) {
  Record("ChannelStop " + std::to_string(music));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  c->state = State::kStopped;
  return kAudioOk;
}

int RecordingAudioLayer::ChannelPause(MusicHandle music) {
  Record("ChannelPause " + std::to_string(music));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  if (c->state == State::kPlaying) c->state = State::kPaused;
  return kAudioOk;
}

int RecordingAudioLayer::ChannelResume(MusicHandle music) {
  Record("ChannelResume " + std::to_string(music));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  if (c->state == State::kPaused) c->state = State::kPlaying;
  return kAudioOk;
}

int RecordingAudioLayer::ChannelSetAttributes(MusicHandle music, int frequency, int volume,
                                              int pan) {
  Record("ChannelSetAttributes " + std::to_string(music) + " " + std::to_string(frequency) + " " +
         std::to_string(volume) + " " + std::to_string(pan));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  if (volume != kKeepVolume) c->volume = std::clamp(volume, 0, 100);
  return kAudioOk;
}

int RecordingAudioLayer::ChannelGetAttributes(MusicHandle music, int* frequency, int* volume,
                                              int* pan) {
  Record("ChannelGetAttributes " + std::to_string(music));
  Channel* c = Find(music);
  if (!c) return kAudioErrorHandle;
  if (frequency) *frequency = kMixRate;
  if (volume) *volume = c->volume;
  if (pan) *pan = 0;
  return kAudioOk;
}

FxHandle RecordingAudioLayer::ChannelSetFX(MusicHandle music, FxType) {
  Record("ChannelSetFX " + std::to_string(music));
  Channel* c = Find(music);
  if (!c) return 0;
  c->hasFx = true;
  return music | kFxBit;
}

int RecordingAudioLayer::FXSetParameters(FxHandle fx, const CompressorParameters& p) {
  Record("FXSetParameters " + std::to_string(fx & ~kFxBit));
  Channel* c = (fx & kFxBit) ? Find(fx & ~kFxBit) : nullptr;
  if (!c || !c->hasFx) return kAudioErrorHandle;
  c->compressor = p;
  return kAudioOk;
}

size_t RecordingAudioLayer::ChannelGetData(MusicHandle music, float* out, size_t count) {
  Record("ChannelGetData " + std::to_string(music));
  Channel* c = Find(music);
  if (!c || !out || count < kSpectrumValues) return 0;
  std::fill(out, out + kSpectrumValues, 0.25f);
  return kSpectrumValues;
}

std::vector<std::string> RecordingAudioLayer::CallsStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& c : calls) {
    if (c.rfind(prefix, 0) == 0) found.push_back(c);
  }
  return found;
}

}  // namespace tarq
