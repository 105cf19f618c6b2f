#include "audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <libopenmpt/libopenmpt.hpp>

namespace tarq {
namespace {

// Handles: a type tag in the top 4 bits, a generation in the middle (so a freed and
// reused slot does not answer to an old handle) and the slot in the low 8 bits.
constexpr uint32_t kTagSample = 1;
constexpr uint32_t kTagMusic = 2;
constexpr uint32_t kTagFx = 3;

uint32_t MakeHandle(uint32_t tag, uint32_t generation, size_t slot) {
  return (tag << 28) | ((generation & 0xFFFFF) << 8) | static_cast<uint32_t>(slot);
}
uint32_t HandleTag(uint32_t h) { return h >> 28; }
uint32_t HandleGeneration(uint32_t h) { return (h >> 8) & 0xFFFFF; }
size_t HandleSlot(uint32_t h) { return h & 0xFF; }

// Balance: the far side is turned down, the near side stays at full level.
void PanGains(int volume, int pan, float* left, float* right) {
  const float v = static_cast<float>(std::clamp(volume, 0, 100)) / 100.0f;
  const int p = std::clamp(pan, -100, 100);
  *left = v * (p > 0 ? static_cast<float>(100 - p) / 100.0f : 1.0f);
  *right = v * (p < 0 ? static_cast<float>(100 + p) / 100.0f : 1.0f);
}

constexpr float kClipKnee = 0.8f;
constexpr float kClipCeiling = 0.99f;  // approached, never reached

}  // namespace

float SoftClip(float v) {
  if (!std::isfinite(v)) return 0.0f;
  const float a = std::fabs(v);
  if (a <= kClipKnee) return v;
  const float shaped =
      kClipKnee + (kClipCeiling - kClipKnee) * std::tanh((a - kClipKnee) / (kClipCeiling - kClipKnee));
  return v < 0.0f ? -shaped : shaped;
}

Mixer::Mixer() = default;
Mixer::~Mixer() = default;

Mixer::SampleSlot* Mixer::FindSample(SampleHandle h) {
  if (HandleTag(h) != kTagSample || HandleSlot(h) >= samples_.size()) return nullptr;
  SampleSlot& slot = samples_[HandleSlot(h)];
  if (!slot.data || (slot.generation & 0xFFFFF) != HandleGeneration(h)) return nullptr;
  return &slot;
}
const Mixer::SampleSlot* Mixer::FindSample(SampleHandle h) const {
  return const_cast<Mixer*>(this)->FindSample(h);
}

Mixer::ModuleSlot* Mixer::FindModule(MusicHandle h) {
  if (HandleTag(h) != kTagMusic && HandleTag(h) != kTagFx) return nullptr;
  if (HandleSlot(h) >= modules_.size()) return nullptr;
  ModuleSlot& slot = modules_[HandleSlot(h)];
  if (!slot.module || (slot.generation & 0xFFFFF) != HandleGeneration(h)) return nullptr;
  return &slot;
}
const Mixer::ModuleSlot* Mixer::FindModule(MusicHandle h) const {
  return const_cast<Mixer*>(this)->FindModule(h);
}

SampleHandle Mixer::AddSample(std::unique_ptr<SampleData> data, int maxPlaybacks) {
  if (!data || data->channels < 1 || data->channels > 2) return 0;
  for (size_t i = 0; i < samples_.size(); ++i) {
    SampleSlot& slot = samples_[i];
    if (slot.data) continue;
    slot.data = std::move(data);
    slot.voices = {};
    slot.maxPlaybacks = std::clamp(maxPlaybacks, 1, kMaxPlaybacksPerSample);
    slot.generation = nextGeneration_++;
    return MakeHandle(kTagSample, slot.generation, i);
  }
  return 0;
}

std::unique_ptr<SampleData> Mixer::RemoveSample(SampleHandle h) {
  SampleSlot* slot = FindSample(h);
  if (!slot) return nullptr;
  slot->voices = {};
  return std::move(slot->data);
}

int Mixer::PlaySample(SampleHandle h, int start, int frequency, int volume, int pan, bool loop) {
  SampleSlot* slot = FindSample(h);
  if (!slot) return kAudioErrorHandle;
  const SampleData& data = *slot->data;
  const size_t frames = data.Frames();
  if (frames == 0) return kAudioOk;
  // A free voice if there is one, otherwise the quietest; among equals the oldest.
  Voice* chosen = nullptr;
  for (int i = 0; i < slot->maxPlaybacks; ++i) {
    Voice& v = slot->voices[i];
    if (!v.active) {
      chosen = &v;
      break;
    }
    if (!chosen || v.volume < chosen->volume ||
        (v.volume == chosen->volume && v.started < chosen->started)) {
      chosen = &v;
    }
  }
  const int hz = frequency > 0 ? std::clamp(frequency, 100, 200000) : data.rate;
  Voice& v = *chosen;
  v.active = true;
  v.loop = loop;
  v.position = static_cast<double>(std::clamp<size_t>(static_cast<size_t>(std::max(start, 0)), 0, frames - 1));
  v.step = static_cast<double>(hz) / kMixRate;
  v.volume = std::clamp(volume, 0, 100);
  PanGains(v.volume, pan, &v.gainLeft, &v.gainRight);
  v.started = ++playCounter_;
  return kAudioOk;
}

int Mixer::ActivePlaybacks(SampleHandle h) const {
  const SampleSlot* slot = FindSample(h);
  if (!slot) return 0;
  return static_cast<int>(std::count_if(slot->voices.begin(), slot->voices.end(),
                                        [](const Voice& v) { return v.active; }));
}

std::vector<int> Mixer::PlaybackVolumes(SampleHandle h) const {
  std::vector<int> volumes;
  if (const SampleSlot* slot = FindSample(h)) {
    for (const Voice& v : slot->voices) {
      if (v.active) volumes.push_back(v.volume);
    }
  }
  return volumes;
}

MusicHandle Mixer::AddModule(std::unique_ptr<openmpt::module> module, bool loop) {
  if (!module) return 0;
  for (size_t i = 0; i < modules_.size(); ++i) {
    ModuleSlot& slot = modules_[i];
    if (slot.module) continue;
    module->set_repeat_count(loop ? -1 : 0);
    slot.module = std::move(module);
    slot.state = ChannelState::kStopped;
    slot.volume = 100;
    slot.pan = 0;
    slot.appliedLeft = slot.appliedRight = 1.0f;
    slot.fxActive = false;
    slot.compressor.Reset();
    slot.recent.fill(0.0f);
    slot.recentPos = 0;
    slot.generation = nextGeneration_++;
    return MakeHandle(kTagMusic, slot.generation, i);
  }
  return 0;
}

std::unique_ptr<openmpt::module> Mixer::RemoveModule(MusicHandle h) {
  if (HandleTag(h) != kTagMusic) return nullptr;
  ModuleSlot* slot = FindModule(h);
  if (!slot) return nullptr;
  slot->state = ChannelState::kStopped;
  slot->fxActive = false;
  return std::move(slot->module);
}

int Mixer::SetPosition(MusicHandle h, uint32_t position) {
  ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return kAudioErrorHandle;
  const int32_t order = static_cast<int32_t>(position & 0xFFFF);
  const int32_t row = static_cast<int32_t>(position >> 16);
  if (order >= slot->module->get_num_orders()) return kAudioErrorFormat;
  slot->module->set_position_order_row(order, row);
  return kAudioOk;
}

int Mixer::Play(MusicHandle h) {
  ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return kAudioErrorHandle;
  if (slot->state != ChannelState::kPlaying) {
    PanGains(slot->volume, slot->pan, &slot->appliedLeft, &slot->appliedRight);
  }
  slot->state = ChannelState::kPlaying;
  return kAudioOk;
}

int Mixer::Stop(MusicHandle h) {
  ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return kAudioErrorHandle;
  slot->state = ChannelState::kStopped;
  return kAudioOk;
}

int Mixer::Pause(MusicHandle h) {
  ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return kAudioErrorHandle;
  if (slot->state == ChannelState::kPlaying) slot->state = ChannelState::kPaused;
  return kAudioOk;
}

int Mixer::Resume(MusicHandle h) {
  ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return kAudioErrorHandle;
  // Only a paused channel resumes; a stopped one stays stopped.
  if (slot->state == ChannelState::kPaused) slot->state = ChannelState::kPlaying;
  return kAudioOk;
}

int Mixer::SetAttributes(MusicHandle h, int volume, int pan) {
  ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return kAudioErrorHandle;
  if (volume != kKeepVolume) slot->volume = std::clamp(volume, 0, 100);
  if (pan != kKeepPan) slot->pan = std::clamp(pan, -100, 100);
  return kAudioOk;
}

int Mixer::GetAttributes(MusicHandle h, int* volume, int* pan) const {
  const ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return kAudioErrorHandle;
  if (volume) *volume = slot->volume;
  if (pan) *pan = slot->pan;
  return kAudioOk;
}

bool Mixer::IsPlaying(MusicHandle h) const {
  const ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  return slot && slot->state == ChannelState::kPlaying;
}

double Mixer::PositionSeconds(MusicHandle h) const {
  const ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  return slot ? slot->module->get_position_seconds() : 0.0;
}

FxHandle Mixer::SetFx(MusicHandle h, FxType type) {
  ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot || type != FxType::kCompressor) return 0;
  // One compressor per channel: setting it again replaces the old one.
  slot->fxActive = true;
  slot->compressor.Configure(CompressorParameters{}, kMixRate);
  slot->compressor.Reset();
  return MakeHandle(kTagFx, slot->generation, HandleSlot(h));
}

int Mixer::SetFxParameters(FxHandle fx, const CompressorParameters& parameters) {
  ModuleSlot* slot = HandleTag(fx) == kTagFx ? FindModule(fx) : nullptr;
  if (!slot || !slot->fxActive) return kAudioErrorHandle;
  slot->compressor.Configure(parameters, kMixRate);
  return kAudioOk;
}

bool Mixer::RecentFrames(MusicHandle h, float* frames) const {
  const ModuleSlot* slot = HandleTag(h) == kTagMusic ? FindModule(h) : nullptr;
  if (!slot) return false;
  for (int i = 0; i < kSpectrumFrames; ++i) {
    const int from = (slot->recentPos + i) % kSpectrumFrames;
    frames[2 * i] = slot->recent[2 * from];
    frames[2 * i + 1] = slot->recent[2 * from + 1];
  }
  return true;
}

void Mixer::StopAll() {
  for (SampleSlot& s : samples_) s.voices = {};
  for (ModuleSlot& m : modules_) m.state = ChannelState::kStopped;
}

void Mixer::TakeAll(std::vector<std::unique_ptr<SampleData>>& samples,
                    std::vector<std::unique_ptr<openmpt::module>>& modules) {
  for (SampleSlot& s : samples_) {
    s.voices = {};
    if (s.data) samples.push_back(std::move(s.data));
  }
  for (ModuleSlot& m : modules_) {
    m.state = ChannelState::kStopped;
    m.fxActive = false;
    if (m.module) modules.push_back(std::move(m.module));
  }
}

void Mixer::MixVoice(const SampleData& data, Voice& v, float* mix, int frames) {
  const size_t length = data.Frames();
  const float* d = data.data.data();
  const bool stereo = data.channels == 2;
  for (int i = 0; i < frames; ++i) {
    if (v.position >= static_cast<double>(length)) {
      if (!v.loop) {
        v.active = false;
        return;
      }
      v.position = std::fmod(v.position, static_cast<double>(length));
    }
    const size_t index = static_cast<size_t>(v.position);
    const float frac = static_cast<float>(v.position - static_cast<double>(index));
    // Linear interpolation towards the next frame (silence after the end).
    const bool hasNext = index + 1 < length || v.loop;
    const size_t next = index + 1 < length ? index + 1 : 0;
    if (stereo) {
      const float l0 = d[2 * index], r0 = d[2 * index + 1];
      const float l1 = hasNext ? d[2 * next] : 0.0f, r1 = hasNext ? d[2 * next + 1] : 0.0f;
      mix[2 * i] += (l0 + (l1 - l0) * frac) * v.gainLeft;
      mix[2 * i + 1] += (r0 + (r1 - r0) * frac) * v.gainRight;
    } else {
      const float s0 = d[index];
      const float s1 = hasNext ? d[next] : 0.0f;
      const float s = s0 + (s1 - s0) * frac;
      mix[2 * i] += s * v.gainLeft;
      mix[2 * i + 1] += s * v.gainRight;
    }
    v.position += v.step;
  }
}

void Mixer::MixModule(ModuleSlot& slot, float* mix, int frames) {
  float* buffer = scratch_.data();
  size_t got = 0;
  try {
    got = slot.module->read_interleaved_stereo(kMixRate, static_cast<size_t>(frames), buffer);
  } catch (...) {
    got = 0;
  }
  if (got < static_cast<size_t>(frames)) {
    // The module ended (only without looping): the rest is silence, the channel stops.
    std::fill(buffer + 2 * got, buffer + 2 * frames, 0.0f);
    slot.state = ChannelState::kStopped;
  }
  if (slot.fxActive) slot.compressor.Process(buffer, frames);
  for (int i = 0; i < frames; ++i) {
    slot.recent[2 * slot.recentPos] = buffer[2 * i];
    slot.recent[2 * slot.recentPos + 1] = buffer[2 * i + 1];
    slot.recentPos = (slot.recentPos + 1) % kSpectrumFrames;
  }
  // Volume changes ramp across the block so per-tick fades do not click.
  float left = 0.0f, right = 0.0f;
  PanGains(slot.volume, slot.pan, &left, &right);
  const float stepLeft = (left - slot.appliedLeft) / static_cast<float>(frames);
  const float stepRight = (right - slot.appliedRight) / static_cast<float>(frames);
  float gl = slot.appliedLeft, gr = slot.appliedRight;
  for (int i = 0; i < frames; ++i) {
    gl += stepLeft;
    gr += stepRight;
    mix[2 * i] += buffer[2 * i] * gl;
    mix[2 * i + 1] += buffer[2 * i + 1] * gr;
  }
  slot.appliedLeft = left;
  slot.appliedRight = right;
}

void Mixer::Render(float* out, int frames) {
  while (frames > 0) {
    const int n = std::min(frames, kBlockFrames);
    std::fill(mix_.begin(), mix_.begin() + 2 * n, 0.0f);
    for (SampleSlot& s : samples_) {
      if (!s.data) continue;
      for (int i = 0; i < s.maxPlaybacks; ++i) {
        if (s.voices[i].active) MixVoice(*s.data, s.voices[i], mix_.data(), n);
      }
    }
    for (ModuleSlot& m : modules_) {
      if (m.module && m.state == ChannelState::kPlaying) MixModule(m, mix_.data(), n);
    }
    for (int i = 0; i < 2 * n; ++i) out[i] = SoftClip(mix_[i]);
    out += 2 * n;
    frames -= n;
  }
}

}  // namespace tarq
