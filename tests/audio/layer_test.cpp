// The real layer against the forged data folder and against broken files.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>

#include "audio/game_audio.h"
#include "audio/mixer_audio_layer.h"

namespace tarq {
namespace {

namespace fs = std::filesystem;

fs::path DataDir() { return fs::path(TARQ_DATA_DIR); }
std::string SoundPath(int i) {
  char name[8];
  std::snprintf(name, sizeof name, "%02d.wav", i);
  return (DataDir() / "system" / "sounds" / name).string();
}
std::string MusicPath(int t) { return (DataDir() / "system" / "music" / MusicTrackTable()[t].file).string(); }

fs::path Scratch(const std::string& name) {
  const fs::path dir = fs::path(TARQ_BINARY_DIR) / "test_scratch" / "audio";
  fs::create_directories(dir);
  return dir / name;
}
void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

TEST(ForgedSounds, SixteenMono16BitWavsAt22050HzThatLoad) {
  MixerAudioLayer layer;
  for (int i = 0; i < 16; ++i) {
    SDL_AudioSpec wav{};
    uint8_t* buffer = nullptr;
    uint32_t bytes = 0;
    ASSERT_NE(SDL_LoadWAV(SoundPath(i).c_str(), &wav, &buffer, &bytes), nullptr) << SoundPath(i);
    EXPECT_EQ(wav.freq, 22050);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.format, AUDIO_S16LSB);
    const double seconds = bytes / 2.0 / 22050.0;
    int peak = 0;
    for (uint32_t k = 0; k < bytes / 2; ++k) {
      peak = std::max(peak, std::abs(static_cast<int>(reinterpret_cast<int16_t*>(buffer)[k])));
    }
    SDL_FreeWAV(buffer);
    if (i == 0 || i == 3 || i == 5 || i == 6 || i == 13) {
      EXPECT_LE(seconds, 0.2) << i;  // frequent sounds stay short
    }
    if (i == 9) {
      EXPECT_GE(seconds, 1.5);  // the big explosion
    }
    if (i != 8) {
      EXPECT_GT(peak, 32767 / 4) << i;  // audible; only the spare is silent
    }
    EXPECT_NE(layer.SampleLoad(SoundPath(i), 5), 0u) << i;
  }
}

TEST(ForgedMusic, NineModulesPlayOneAndAHalfToThreeMinutesBeforeLooping) {
  for (int t = 0; t < kMusicTrackCount; ++t) {
    const std::string bytes = ReadBytes(MusicPath(t));
    ASSERT_FALSE(bytes.empty()) << MusicPath(t);
    std::ostringstream log;
    openmpt::module module(bytes.data(), bytes.size(), log);
    const double seconds = module.get_duration_seconds();
    EXPECT_GE(seconds, 90.0) << MusicTrackTable()[t].file;
    EXPECT_LE(seconds, 180.0) << MusicTrackTable()[t].file;
    EXPECT_GE(module.get_num_channels(), 4);
  }
}

TEST(ForgedMusic, TitleThemeLoopsBackToOrderSeven) {
  const std::string bytes = ReadBytes(MusicPath(0));
  std::ostringstream log;
  openmpt::module module(bytes.data(), bytes.size(), log);
  ASSERT_GE(module.get_num_orders(), 9);
  module.set_repeat_count(-1);
  module.set_position_order_row(module.get_num_orders() - 1, 60);
  std::vector<float> buffer(2 * 44100);
  module.read_interleaved_stereo(44100, 44100, buffer.data());  // past the last row
  EXPECT_EQ(module.get_current_order(), 7);
}

TEST(ForgedMusic, ModulesArePeakMasteredAndSoundInEverySecond) {
  for (int t = 0; t < kMusicTrackCount; ++t) {
    const std::string bytes = ReadBytes(MusicPath(t));
    std::ostringstream log;
    openmpt::module module(bytes.data(), bytes.size(), log);
    std::vector<float> second(2 * 44100);
    double peak = 0.0;
    int silentSeconds = 0;
    // The first 45 seconds: the title's build-up and each tune's first sections.
    for (int s = 0; s < 45 && module.read_interleaved_stereo(44100, 44100, second.data()) == 44100; ++s) {
      double energy = 0.0;
      for (float v : second) {
        peak = std::max(peak, static_cast<double>(std::fabs(v)));
        energy += v * v;
      }
      if (std::sqrt(energy / second.size()) < 0.003) ++silentSeconds;
    }
    const double peakDb = 20.0 * std::log10(peak);
    EXPECT_GT(peakDb, -6.5) << t;
    EXPECT_LT(peakDb, 0.0) << t;
    EXPECT_EQ(silentSeconds, 0) << t;
  }
}

// Ten samples over a playing module with its compressor: offline mix.
TEST(MixerLayer, ModuleAndTenSamplesAreNeverSilentAndNeverClipHard) {
  MixerAudioLayer layer;
  const MusicHandle music = layer.ModuleLoad(MusicPath(6), true);
  ASSERT_NE(music, 0u);
  const FxHandle fx = layer.ChannelSetFX(music, FxType::kCompressor);
  CompressorParameters p{MusicTrackTable()[6].gain, 0.5f, 50.0f, -12.0f, 10.0f, 1.0f};
  ASSERT_EQ(layer.FXSetParameters(fx, p), kAudioOk);
  ASSERT_EQ(layer.ChannelPlay(music), kAudioOk);
  std::vector<SampleHandle> samples;
  for (int i : {0, 1, 2, 3, 4, 5, 7, 9, 14, 15}) samples.push_back(layer.SampleLoad(SoundPath(i), 5));
  constexpr int kBlock = 441;  // 10 ms
  std::vector<float> out(2 * kBlock);
  int loudBlocks = 0;
  float previous = 0.0f;
  for (int block = 0; block < 500; ++block) {
    if (block % 7 == 0) {  // a busy battle: everything fires again and again
      for (size_t k = 0; k < samples.size(); ++k) {
        ASSERT_EQ(layer.SamplePlay(samples[k], 0, 22050 + 200 * static_cast<int>(k), 100,
                                   static_cast<int>(k) * 20 - 90, false),
                  kAudioOk);
      }
    }
    layer.RenderOffline(out.data(), kBlock);
    double energy = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
      const float v = out[i];
      ASSERT_LT(std::fabs(v), 1.0f);
      if (i % 2 == 0) {
        ASSERT_LT(std::fabs(v - previous), 1.0f) << "a jump like a wrap";
        previous = v;
      }
      energy += v * v;
    }
    if (std::sqrt(energy / out.size()) > 0.01) ++loudBlocks;
  }
  EXPECT_EQ(loudBlocks, 500);
}

TEST(MixerLayer, PauseAndResumeKeepThePosition) {
  MixerAudioLayer layer;
  const MusicHandle music = layer.ModuleLoad(MusicPath(1), true);
  ASSERT_NE(music, 0u);
  layer.ChannelSetPosition(music, 2);  // order 2, row 0
  const double start = layer.PositionSeconds(music);
  EXPECT_GT(start, 0.0);
  layer.ChannelPlay(music);
  std::vector<float> out(2 * 44100);
  layer.RenderOffline(out.data(), 22050);
  const double playing = layer.PositionSeconds(music);
  EXPECT_NEAR(playing - start, 0.5, 0.05);

  EXPECT_EQ(layer.ChannelPause(music), kAudioOk);
  EXPECT_FALSE(layer.IsPlaying(music));
  layer.RenderOffline(out.data(), 44100);
  for (float v : out) ASSERT_EQ(v, 0.0f);
  EXPECT_DOUBLE_EQ(layer.PositionSeconds(music), playing);

  EXPECT_EQ(layer.ChannelResume(music), kAudioOk);
  layer.RenderOffline(out.data(), 22050);
  EXPECT_NEAR(layer.PositionSeconds(music) - playing, 0.5, 0.05);

  // A stopped channel does not resume; volume reads back as set.
  layer.ChannelStop(music);
  layer.ChannelResume(music);
  EXPECT_FALSE(layer.IsPlaying(music));
  EXPECT_EQ(layer.ChannelSetAttributes(music, kKeepFrequency, 37, kKeepPan), kAudioOk);
  int volume = 0;
  EXPECT_EQ(layer.ChannelGetAttributes(music, nullptr, &volume, nullptr), kAudioOk);
  EXPECT_EQ(volume, 37);
  // Position: order in the low 16 bits, row in the high 16 bits.
  EXPECT_EQ(layer.ChannelSetPosition(music, 3u | (16u << 16)), kAudioOk);
  EXPECT_EQ(layer.ChannelSetPosition(music, 250u), kAudioErrorFormat);  // no such order
}

TEST(MixerLayer, SpectrumFollowsWhatPlays) {
  MixerAudioLayer layer;
  const MusicHandle music = layer.ModuleLoad(MusicPath(0), true);
  layer.ChannelSetPosition(music, 7);
  layer.ChannelPlay(music);
  std::vector<float> out(2 * 4410);
  layer.RenderOffline(out.data(), 4410);
  float data[kSpectrumValues];
  ASSERT_EQ(layer.ChannelGetData(music, data, kSpectrumValues), kSpectrumValues);
  float total = 0.0f;
  for (float v : data) {
    ASSERT_TRUE(std::isfinite(v));
    ASSERT_GE(v, 0.0f);
    total += v;
  }
  EXPECT_GT(total, 0.01f);
  EXPECT_EQ(layer.ChannelGetData(music, data, kSpectrumValues - 1), 0u);  // too small
  EXPECT_EQ(layer.ChannelGetData(0, data, kSpectrumValues), 0u);
}

TEST(MixerLayer, BrokenFilesGiveUnusableHandlesAndNoCrash) {
  MixerAudioLayer layer;
  EXPECT_EQ(layer.SampleLoad((Scratch("none") / "missing.wav").string(), 5), 0u);
  WriteBytes(Scratch("garbage.wav"), "RIFF\x10\0\0\0WAVEjunkjunkjunk");
  EXPECT_EQ(layer.SampleLoad(Scratch("garbage.wav").string(), 5), 0u);
  const std::string good = ReadBytes(SoundPath(1));
  WriteBytes(Scratch("truncated.wav"), good.substr(0, 30));
  EXPECT_EQ(layer.SampleLoad(Scratch("truncated.wav").string(), 5), 0u);
  WriteBytes(Scratch("empty.wav"), "");
  EXPECT_EQ(layer.SampleLoad(Scratch("empty.wav").string(), 5), 0u);

  EXPECT_EQ(layer.ModuleLoad((Scratch("none") / "missing.xm").string(), true), 0u);
  WriteBytes(Scratch("empty.xm"), "");
  EXPECT_EQ(layer.ModuleLoad(Scratch("empty.xm").string(), true), 0u);
  WriteBytes(Scratch("garbage.xm"), std::string(5000, '\x37'));
  EXPECT_EQ(layer.ModuleLoad(Scratch("garbage.xm").string(), true), 0u);
  const std::string module = ReadBytes(MusicPath(2));
  WriteBytes(Scratch("cut.xm"), module.substr(0, module.size() / 3));
  const MusicHandle cut = layer.ModuleLoad(Scratch("cut.xm").string(), true);
  if (cut != 0) {  // a cut module may still load with what is left: it must play safely
    layer.ChannelPlay(cut);
    std::vector<float> out(2 * 4096);
    layer.RenderOffline(out.data(), 4096);
  }

  // Every call on the unusable handle fails quietly.
  EXPECT_EQ(layer.SamplePlay(0, 0, 22050, 100, 0, false), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelPlay(0), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelStop(0), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelPause(0), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelResume(0), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelSetPosition(0, 0), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelSetAttributes(0, -1, 50, -101), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelGetAttributes(0, nullptr, nullptr, nullptr), kAudioErrorHandle);
  EXPECT_EQ(layer.ChannelSetFX(0, FxType::kCompressor), 0u);
  EXPECT_EQ(layer.FXSetParameters(0, CompressorParameters{}), kAudioErrorHandle);
  EXPECT_EQ(layer.ModuleFree(0), kAudioErrorHandle);

  // A freed module's handle goes stale.
  const MusicHandle music = layer.ModuleLoad(MusicPath(3), true);
  ASSERT_NE(music, 0u);
  EXPECT_EQ(layer.ModuleFree(music), kAudioOk);
  EXPECT_EQ(layer.ChannelPlay(music), kAudioErrorHandle);
  EXPECT_EQ(layer.ModuleFree(music), kAudioErrorHandle);
}

TEST(MixerLayer, RunsOnTheDummyDriverAndSilentlyWithoutAnyDevice) {
  // With the dummy driver the callback runs on SDL's thread while the game calls in.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  {
    MixerAudioLayer layer;
    ASSERT_EQ(layer.AudioInit(kMixRate), kAudioOk);
    EXPECT_EQ(layer.AudioStart(), kAudioOk);
    GameAudio audio(layer, DataDir());
    audio.Startup();
    audio.LoadMusic();
    audio.MusicPlay(0, 0, 0);
    for (int64_t tick = 1; tick <= 30; ++tick) {
      audio.MusicStep(tick, 100);
      audio.Sound(static_cast<int32_t>(tick % 16), static_cast<int32_t>(tick * 23), 100, 100);
      if (tick == 10) audio.MusicPlay(3, 0, 0);
      SDL_Delay(2);
    }
    audio.FocusLost();
    audio.FocusGained();
    audio.Close();
    audio.Destroy();
  }
  // No usable driver: initialisation fails, everything else still works silently.
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  {
    MixerAudioLayer layer;
    GameAudio audio(layer, DataDir());
    audio.Startup();
    EXPECT_FALSE(layer.DeviceOpen());
    audio.LoadMusic();
    audio.MusicPlay(2, 0, 0);
    audio.MusicStep(2, 100);
    audio.Sound(9, 352, 100, 100);
    std::vector<float> out(2 * 1024);
    layer.RenderOffline(out.data(), 1024);
    audio.Close();
    audio.Destroy();
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace tarq
