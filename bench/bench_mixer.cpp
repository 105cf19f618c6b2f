// Cost of the mixer at 44100 Hz: one module playing, one module fading out under
// it, both with their compressors, and ten samples sounding at all times. The
// counter "cpu_percent" is the share of one core the audio thread would need.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "audio/game_audio.h"
#include "audio/mixer_audio_layer.h"

namespace {

namespace fs = std::filesystem;

// The forged data folder: $TARQ_DATA_DIR, else data/ beside the build tree.
fs::path DataDir() {
  if (const char* env = std::getenv("TARQ_DATA_DIR")) return env;
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "data";
}

void BM_MixerOneSecond(benchmark::State& state) {
  using namespace tarq;
  MixerAudioLayer layer;
  const fs::path root = DataDir();
  std::vector<MusicHandle> music;
  for (int t : {0, 6}) {
    const MusicHandle h = layer.ModuleLoad((root / "system" / "music" / MusicTrackTable()[t].file).string(), true);
    if (h == 0) {
      state.SkipWithError("forged music not found; build the gamedata target or set TARQ_DATA_DIR");
      return;
    }
    const FxHandle fx = layer.ChannelSetFX(h, FxType::kCompressor);
    layer.FXSetParameters(fx, {4.0f, 0.5f, 50.0f, -12.0f, 10.0f, 1.0f});
    layer.ChannelSetPosition(h, 7);
    layer.ChannelPlay(h);
    music.push_back(h);
  }
  std::vector<SampleHandle> samples;
  for (int i = 0; i < 10; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "%02d.wav", i == 8 ? 15 : i);
    samples.push_back(layer.SampleLoad((root / "system" / "sounds" / name).string(), 5));
  }
  constexpr int kCallback = 1024;  // frames per audio callback
  std::vector<float> out(2 * kCallback);
  int volume = 100;
  for (auto _ : state) {
    // One second of audio, as 43 callbacks; a tick's worth of game calls between them.
    for (int done = 0; done < kMixRate; done += kCallback) {
      volume = volume > 0 ? volume - 1 : 100;
      layer.ChannelSetAttributes(music[1], kKeepFrequency, volume, kKeepPan);
      for (size_t k = 0; k < samples.size(); ++k) {
        if (layer.ActivePlaybacks(samples[k]) == 0) layer.SamplePlay(samples[k], 0, 22050, 80, 0, false);
      }
      layer.RenderOffline(out.data(), kCallback);
      benchmark::DoNotOptimize(out.data());
    }
  }
  // Each iteration is one second of audio: CPU seconds per iteration x 100.
  state.counters["cpu_percent"] = benchmark::Counter(
      static_cast<double>(state.iterations()) / 100.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MixerOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace
