#include "audio/mixer_audio_layer.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <array>
#include <fstream>
#include <iterator>
#include <libopenmpt/libopenmpt.hpp>
#include <ostream>
#include <streambuf>
#include <vector>

namespace tarq {
namespace {

// Files larger than this are refused rather than read whole into memory.
constexpr std::streamoff kMaxModuleBytes = 64 << 20;

// libopenmpt reports warnings through a stream; the game shows no messages.
class DiscardBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
};

std::unique_ptr<SampleData> DecodeWav(const std::string& path) {
  SDL_AudioSpec wav{};
  uint8_t* raw = nullptr;
  uint32_t rawBytes = 0;
  if (!SDL_LoadWAV(path.c_str(), &wav, &raw, &rawBytes)) return nullptr;
  auto data = std::make_unique<SampleData>();
  data->channels = wav.channels >= 2 ? 2 : 1;
  data->rate = wav.freq > 0 ? wav.freq : 22050;
  // Converted once to float at the file's own rate; pitch is applied when mixing.
  SDL_AudioCVT cvt;
  const int built = SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, AUDIO_F32SYS,
                                      static_cast<uint8_t>(data->channels), wav.freq);
  if (built < 0 || wav.channels == 0) {
    SDL_FreeWAV(raw);
    return nullptr;
  }
  std::vector<uint8_t> work(static_cast<size_t>(rawBytes) * static_cast<size_t>(std::max(cvt.len_mult, 1)));
  std::copy(raw, raw + rawBytes, work.begin());
  SDL_FreeWAV(raw);
  cvt.buf = work.data();
  cvt.len = static_cast<int>(rawBytes);
  if (built == 1 && SDL_ConvertAudio(&cvt) != 0) return nullptr;
  const size_t bytes = built == 1 ? static_cast<size_t>(cvt.len_cvt) : rawBytes;
  const size_t floats = bytes / sizeof(float);
  data->data.resize(floats - floats % static_cast<size_t>(data->channels));
  std::memcpy(data->data.data(), work.data(), data->data.size() * sizeof(float));
  return data;
}

std::unique_ptr<openmpt::module> DecodeModule(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return nullptr;
  const std::streamoff size = file.tellg();
  if (size <= 0 || size > kMaxModuleBytes) return nullptr;
  std::vector<char> bytes(static_cast<size_t>(size));
  file.seekg(0);
  if (!file.read(bytes.data(), size)) return nullptr;
  static DiscardBuffer discard;
  static std::ostream quiet(&discard);
  try {
    return std::make_unique<openmpt::module>(bytes, quiet);
  } catch (...) {
    return nullptr;  // not a module libopenmpt understands
  }
}

}  // namespace

MixerAudioLayer::MixerAudioLayer() = default;

MixerAudioLayer::~MixerAudioLayer() { AudioFree(); }

void MixerAudioLayer::Callback(void* self, uint8_t* stream, int length) {
  auto* layer = static_cast<MixerAudioLayer*>(self);
  const int frames = length / static_cast<int>(2 * sizeof(float));
  std::lock_guard<std::mutex> guard(layer->lock_);
  layer->mixer_.Render(reinterpret_cast<float*>(stream), frames);
}

int MixerAudioLayer::AudioInit(int frequency) {
  if (device_ != 0) return kAudioOk;
  if (!subsystemStarted_) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return kAudioErrorInit;
    subsystemStarted_ = true;
  }
  // The mixer always runs at 44100 Hz; SDL converts if the hardware wants otherwise.
  (void)frequency;
  SDL_AudioSpec want{};
  want.freq = kMixRate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = &MixerAudioLayer::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) return kAudioErrorInit;
  return kAudioOk;
}

int MixerAudioLayer::AudioStart() {
  if (device_ == 0) return kAudioErrorInit;
  SDL_PauseAudioDevice(device_, 0);
  return kAudioOk;
}

int MixerAudioLayer::AudioStop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    mixer_.StopAll();
  }
  if (device_ == 0) return kAudioErrorInit;
  SDL_PauseAudioDevice(device_, 1);
  return kAudioOk;
}

int MixerAudioLayer::AudioFree() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);  // waits for the callback to finish
    device_ = 0;
  }
  if (subsystemStarted_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystemStarted_ = false;
  }
  std::vector<std::unique_ptr<SampleData>> samples;
  std::vector<std::unique_ptr<openmpt::module>> modules;
  {
    std::lock_guard<std::mutex> guard(lock_);
    mixer_.TakeAll(samples, modules);
  }
  return kAudioOk;  // freed here, outside the lock
}

SampleHandle MixerAudioLayer::SampleLoad(const std::string& path, int maxPlaybacks) {
  std::unique_ptr<SampleData> data = DecodeWav(path);
  if (!data) return 0;
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.AddSample(std::move(data), maxPlaybacks);
}

int MixerAudioLayer::SamplePlay(SampleHandle sample, int start, int frequency, int volume, int pan,
                                bool loop) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.PlaySample(sample, start, frequency, volume, pan, loop);
}

MusicHandle MixerAudioLayer::ModuleLoad(const std::string& path, bool loop) {
  std::unique_ptr<openmpt::module> module = DecodeModule(path);
  if (!module) return 0;
  MusicHandle handle = 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    handle = mixer_.AddModule(std::move(module), loop);
  }
  return handle;  // when every slot is taken, `module` is freed here
}

int MixerAudioLayer::ModuleFree(MusicHandle music) {
  std::unique_ptr<openmpt::module> module;
  {
    std::lock_guard<std::mutex> guard(lock_);
    module = mixer_.RemoveModule(music);
  }
  return module ? kAudioOk : kAudioErrorHandle;
}

int MixerAudioLayer::ChannelSetPosition(MusicHandle music, uint32_t position) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.SetPosition(music, position);
}

int MixerAudioLayer::ChannelPlay(MusicHandle music) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.Play(music);
}

int MixerAudioLayer::ChannelStop(MusicHandle music) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.Stop(music);
}

int MixerAudioLayer::ChannelPause(MusicHandle music) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.Pause(music);
}

int MixerAudioLayer::ChannelResume(MusicHandle music) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.Resume(music);
}

int MixerAudioLayer::ChannelSetAttributes(MusicHandle music, int, int volume, int pan) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.SetAttributes(music, volume, pan);
}

int MixerAudioLayer::ChannelGetAttributes(MusicHandle music, int* frequency, int* volume, int* pan) {
  std::lock_guard<std::mutex> guard(lock_);
  const int result = mixer_.GetAttributes(music, volume, pan);
  if (result == kAudioOk && frequency) *frequency = kMixRate;
  return result;
}

FxHandle MixerAudioLayer::ChannelSetFX(MusicHandle music, FxType type) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.SetFx(music, type);
}

int MixerAudioLayer::FXSetParameters(FxHandle fx, const CompressorParameters& parameters) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.SetFxParameters(fx, parameters);
}

size_t MixerAudioLayer::ChannelGetData(MusicHandle music, float* out, size_t count) {
  if (!out || count < kSpectrumValues) return 0;
  std::array<float, 2 * kSpectrumFrames> frames{};
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (!mixer_.RecentFrames(music, frames.data())) return 0;
  }
  spectrum_.Analyse(frames.data(), out);  // the FFT runs on the caller's thread
  return kSpectrumValues;
}

void MixerAudioLayer::RenderOffline(float* out, int frames) {
  std::lock_guard<std::mutex> guard(lock_);
  mixer_.Render(out, frames);
}

int MixerAudioLayer::ActivePlaybacks(SampleHandle sample) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.ActivePlaybacks(sample);
}

std::vector<int> MixerAudioLayer::PlaybackVolumes(SampleHandle sample) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.PlaybackVolumes(sample);
}

bool MixerAudioLayer::IsPlaying(MusicHandle music) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.IsPlaying(music);
}

double MixerAudioLayer::PositionSeconds(MusicHandle music) {
  std::lock_guard<std::mutex> guard(lock_);
  return mixer_.PositionSeconds(music);
}

}  // namespace tarq
