#include <gtest/gtest.h>

#include <string>

#include "audio/game_audio.h"
#include "audio/null_audio_layer.h"
#include "audio/recording_audio_layer.h"

namespace tarq {
namespace {

using State = RecordingAudioLayer::State;

struct Rig {
  RecordingAudioLayer layer;
  GameAudio audio{layer, "data"};
  Rig() {
    audio.Startup();
    audio.LoadMusic();
  }
  RecordingAudioLayer::Channel& Track(int t) { return layer.channels.at(audio.MusicTracks.at(t)); }
};

TEST(SoundFormulas, PanFollowsMapXTruncating) {
  EXPECT_EQ(SoundPan(0), -75);
  EXPECT_EQ(SoundPan(352), 0);
  EXPECT_EQ(SoundPan(703), 74);
  EXPECT_EQ(SoundPan(704), 75);
  EXPECT_EQ(SoundPan(1408), 225);   // beyond the map: as computed
  EXPECT_EQ(SoundPan(-704), -225);
  EXPECT_EQ(SoundPan(5), -74);      // 750 / 704 = 1.06 truncates to 1
  EXPECT_EQ(SoundPan(-3), -75);     // -450 / 704 truncates toward zero
}

TEST(SoundFormulas, FrequencyRoundsHalvesToEven) {
  EXPECT_EQ(SoundFrequency(100), 22050);
  EXPECT_EQ(SoundFrequency(101), 22270);  // 22270.5
  EXPECT_EQ(SoundFrequency(99), 21830);   // 21829.5
  EXPECT_EQ(SoundFrequency(97), 21388);   // 21388.5
}

TEST(GameAudio, StartupOpensOutputThenLoadsSixteenSamplesInOrder) {
  RecordingAudioLayer layer;
  layer.missing.push_back((std::filesystem::path("data") / "system" / "sounds" / "03.wav").string());
  GameAudio audio(layer, "data");
  audio.Startup();
  ASSERT_GE(layer.calls.size(), 18u);
  EXPECT_EQ(layer.calls[0], "AudioInit 44100");
  EXPECT_EQ(layer.calls[1], "AudioStart");
  const auto loads = layer.CallsStartingWith("SampleLoad");
  ASSERT_EQ(loads.size(), 16u);
  EXPECT_NE(loads[0].find("00.wav 5"), std::string::npos);
  EXPECT_NE(loads[15].find("15.wav 5"), std::string::npos);
  ASSERT_EQ(audio.Samples.size(), 16u);
  EXPECT_EQ(audio.Samples[3], 0u);  // missing file: unusable handle, kept in place
  EXPECT_EQ(audio.CurrentTrack, -1);
  EXPECT_EQ(audio.PreviousTrack, -1);

  // Playing the missing sample is harmless; others play with pan, rate and volume.
  audio.Sound(3, 352, 100, 80);
  audio.Sound(1, 0, 101, 80);
  audio.Sound(1, 703, 99, 0);  // volume 0 still plays, silently
  ASSERT_EQ(layer.playbacks.size(), 2u);
  EXPECT_EQ(layer.playbacks[0].frequency, 22270);
  EXPECT_EQ(layer.playbacks[0].pan, -75);
  EXPECT_EQ(layer.playbacks[0].volume, 80);
  EXPECT_EQ(layer.playbacks[1].frequency, 21830);
  EXPECT_EQ(layer.playbacks[1].pan, 74);
  EXPECT_EQ(layer.playbacks[1].volume, 0);
}

TEST(GameAudio, SoundIgnoresSampleNumbersOutsideTheTable) {
  Rig rig;
  rig.audio.LogSounds = true;
  rig.audio.Sound(-1, 352, 100, 100);
  rig.audio.Sound(16, 352, 100, 100);
  rig.audio.Sound(15, 352, 100, 100);
  EXPECT_EQ(rig.layer.playbacks.size(), 1u);
  ASSERT_EQ(rig.audio.SoundLog.size(), 1u);
  EXPECT_EQ(rig.audio.SoundLog[0].sample, 15);
  EXPECT_EQ(rig.audio.SoundLog[0].pan, 0);
  EXPECT_EQ(rig.audio.SoundLog[0].frequency, 22050);
}

TEST(GameAudio, MusicPhaseLoadsNineLoopingTracksWithCompressorAndFigures) {
  RecordingAudioLayer layer;
  GameAudio audio(layer, "data");
  std::vector<int32_t> figures;
  audio.LoadMusic([&](int32_t f) { figures.push_back(f); });
  audio.LoadMusic([&](int32_t f) { figures.push_back(f); });  // second run: skipped
  EXPECT_EQ(figures, (std::vector<int32_t>{0, 12, 25, 37, 50, 62, 75, 87, 100}));
  ASSERT_EQ(audio.MusicTracks.size(), 9u);
  ASSERT_EQ(audio.TrackInfo.size(), 9u);
  for (int t = 0; t < 9; ++t) {
    const auto& c = layer.channels.at(audio.MusicTracks[t]);
    EXPECT_NE(c.path.find(MusicTrackTable()[t].file), std::string::npos);
    ASSERT_TRUE(c.hasFx);
    EXPECT_FLOAT_EQ(c.compressor.gain, MusicTrackTable()[t].gain);
    EXPECT_FLOAT_EQ(c.compressor.attack, 0.5f);
    EXPECT_FLOAT_EQ(c.compressor.release, 50.0f);
    EXPECT_FLOAT_EQ(c.compressor.threshold, -12.0f);
    EXPECT_FLOAT_EQ(c.compressor.ratio, 10.0f);
    EXPECT_FLOAT_EQ(c.compressor.predelay, 1.0f);
    EXPECT_EQ(audio.TrackInfo[t].Title, MusicTrackTable()[t].title);
  }
  EXPECT_EQ(layer.CallsStartingWith("ModuleLoad")[0].substr(layer.CallsStartingWith("ModuleLoad")[0].size() - 5), " loop");
}

TEST(GameAudio, TracksLoadOnceInTableOrder) {
  RecordingAudioLayer layer;
  GameAudio audio(layer, "data");
  audio.LoadMusicTrack(1);  // out of order: ignored
  EXPECT_TRUE(audio.MusicTracks.empty());
  for (int i = 0; i < 9; ++i) audio.LoadMusicTrack(i);  // the asset loader's own loop
  EXPECT_TRUE(audio.MusicLoaded());
  audio.LoadMusicTrack(8);
  audio.LoadMusic();
  EXPECT_EQ(audio.MusicTracks.size(), 9u);
  EXPECT_EQ(layer.CallsStartingWith("ModuleLoad").size(), 9u);
}

TEST(GameAudio, TrackTextsStayInTheMenuFontsRange) {
  for (const MusicTrackEntry& e : MusicTrackTable()) {
    for (const char* text : {e.title, e.line1, e.line2}) {
      ASSERT_NE(text, nullptr);
      for (const char* p = text; *p; ++p) {
        const int upper = (*p >= 'a' && *p <= 'z') ? *p - 32 : static_cast<unsigned char>(*p);
        EXPECT_TRUE(upper >= 32 && upper <= 90) << text;
      }
    }
  }
}

TEST(GameAudio, MusicPlaySetsPositionStartsAndCrossFades) {
  Rig rig;
  rig.audio.MusicPlay(3, 2, 5);
  EXPECT_EQ(rig.Track(3).position, 2u + 65536u * 5u);
  EXPECT_EQ(rig.Track(3).state, State::kPlaying);
  EXPECT_EQ(rig.audio.CurrentTrack, 3);
  EXPECT_EQ(rig.audio.PreviousTrack, -1);

  rig.audio.MusicPlay(5, 0, 0);
  EXPECT_EQ(rig.audio.CurrentTrack, 5);
  EXPECT_EQ(rig.audio.PreviousTrack, 3);

  // Track 3 fades by one step on each even tick, from 100 to 0 in 200 ticks.
  int64_t tick = 1;
  int stoppedAt = -1;
  for (; tick <= 400 && stoppedAt < 0; ++tick) {
    rig.audio.MusicStep(tick, 80);
    EXPECT_EQ(rig.Track(5).volume, 80);
    if (rig.audio.PreviousTrack == -1) stoppedAt = static_cast<int>(tick);
  }
  EXPECT_EQ(stoppedAt, 200);
  EXPECT_EQ(rig.Track(3).volume, 0);
  EXPECT_EQ(rig.Track(3).state, State::kStopped);
  EXPECT_EQ(rig.Track(5).state, State::kPlaying);

  // -1 fades the current track without starting another.
  rig.audio.MusicPlay(-1, 0, 0);
  EXPECT_EQ(rig.audio.CurrentTrack, -1);
  EXPECT_EQ(rig.audio.PreviousTrack, 5);
}

TEST(GameAudio, VolumesFromTheSettingsFileAreClampedSoAFadeEndsWithin200Ticks) {
  // musicvolume=1000 in the settings file: the fade used to start from 1000 and the
  // two tunes overlapped for 2000 ticks (27 seconds).
  Rig rig;
  rig.audio.MusicPlay(1, 0, 0);
  rig.audio.MusicStep(1, 1000);
  EXPECT_EQ(rig.Track(1).volume, 100);
  rig.audio.MusicPlay(2, 0, 0);
  int64_t tick = 2;
  while (rig.audio.PreviousTrack != -1 && tick < 3000) {
    rig.audio.MusicStep(tick++, 1000);
    EXPECT_LE(rig.Track(1).volume, 100);
    EXPECT_EQ(rig.Track(2).volume, 100);
  }
  EXPECT_LE(tick - 2, 200);
  EXPECT_EQ(rig.Track(1).state, State::kStopped);
  // Below the range likewise: the mixer only ever sees 0..100.
  rig.audio.MusicStep(tick, -50);
  EXPECT_EQ(rig.Track(2).volume, 0);
  rig.audio.Sound(0, 352, 100.0, 1000);
  rig.audio.Sound(0, 352, 100.0, -7);
  ASSERT_EQ(rig.layer.playbacks.size(), 2u);
  EXPECT_EQ(rig.layer.playbacks[0].volume, 100);
  EXPECT_EQ(rig.layer.playbacks[1].volume, 0);
}

TEST(GameAudio, IdleTracksAreStoppedEveryTick) {
  Rig rig;
  rig.layer.channels.at(rig.audio.MusicTracks[7]).state = State::kPlaying;
  rig.audio.MusicPlay(1, 0, 0);
  rig.audio.MusicStep(1, 100);
  EXPECT_EQ(rig.Track(7).state, State::kStopped);
  EXPECT_EQ(rig.Track(1).state, State::kPlaying);
}

TEST(GameAudio, RestartingTheCurrentTrackKeepsItPlayingAtMusicVolume) {
  for (int32_t musicVolume : {100, 50, 1, 0}) {
    Rig rig;
    rig.audio.MusicPlay(0, 0, 0);  // intro
    for (int64_t t = 1; t <= 10; ++t) rig.audio.MusicStep(t, musicVolume);
    rig.audio.MusicPlay(0, 7, 0);  // the title logo lands
    EXPECT_EQ(rig.Track(0).position, 7u);
    EXPECT_EQ(rig.audio.CurrentTrack, 0);
    EXPECT_EQ(rig.audio.PreviousTrack, -1);
    for (int64_t t = 11; t <= 600; ++t) {
      rig.audio.MusicStep(t, musicVolume);
      ASSERT_EQ(rig.Track(0).volume, musicVolume) << "tick " << t;
    }
    EXPECT_EQ(rig.Track(0).state, State::kPlaying) << "music volume " << musicVolume;
  }
}

TEST(GameAudio, RestartingTheCurrentTrackLeavesAnotherFadeRunning) {
  Rig rig;
  rig.audio.MusicPlay(1, 0, 0);
  rig.audio.MusicPlay(2, 0, 0);
  rig.audio.MusicPlay(2, 4, 0);
  EXPECT_EQ(rig.audio.CurrentTrack, 2);
  EXPECT_EQ(rig.audio.PreviousTrack, 1);
  // A fading track cued again becomes current and plays at full music volume.
  rig.audio.MusicStep(2, 100);
  rig.audio.MusicPlay(1, 0, 0);
  rig.audio.MusicStep(3, 100);
  EXPECT_EQ(rig.Track(1).volume, 100);
  EXPECT_EQ(rig.audio.PreviousTrack, 2);
}

TEST(GameAudio, MusicCueWithAnyByteIsSafe) {
  Rig rig;
  rig.audio.MusicPlay(4, 0, 0);
  const size_t calls = rig.layer.calls.size();
  for (int32_t track : {9, 10, 200, 255, -2, 65535}) rig.audio.MusicPlay(track, 3, 3);
  EXPECT_EQ(rig.layer.calls.size(), calls);
  EXPECT_EQ(rig.audio.CurrentTrack, 4);
  EXPECT_EQ(rig.audio.PreviousTrack, -1);

  // Before the music phase nothing is a loaded track.
  RecordingAudioLayer layer;
  GameAudio early(layer, "data");
  early.MusicPlay(0, 0, 0);
  EXPECT_EQ(early.CurrentTrack, -1);
  early.MusicStep(2, 100);
}

TEST(GameAudio, MissingModulesKeepTrackNumbersAndTheSameFade) {
  RecordingAudioLayer layer;
  for (const auto& e : MusicTrackTable()) {
    layer.missing.push_back((std::filesystem::path("data") / "system" / "music" / e.file).string());
  }
  GameAudio audio(layer, "data");
  audio.LoadMusic();
  ASSERT_EQ(audio.MusicTracks.size(), 9u);
  audio.MusicPlay(2, 0, 0);
  audio.MusicPlay(6, 0, 0);
  int64_t t = 1;
  while (audio.PreviousTrack != -1 && t < 1000) audio.MusicStep(t++, 100);
  EXPECT_EQ(t - 1, 200);  // as with a sounding module
}

TEST(GameAudio, FocusPausesAndResumesCurrentAndFadingTracks) {
  Rig rig;
  rig.audio.MusicPlay(1, 0, 0);
  rig.audio.MusicPlay(2, 0, 0);
  rig.audio.FocusLost();
  EXPECT_EQ(rig.Track(1).state, State::kPaused);
  EXPECT_EQ(rig.Track(2).state, State::kPaused);
  rig.audio.FocusGained();
  EXPECT_EQ(rig.Track(1).state, State::kPlaying);
  EXPECT_EQ(rig.Track(2).state, State::kPlaying);
  EXPECT_EQ(rig.layer.CallsStartingWith("ChannelSetPosition").size(), 2u);  // not restarted
}

TEST(GameAudio, SpectrumComesFromTheCurrentTrack) {
  Rig rig;
  float data[kSpectrumValues] = {};
  EXPECT_FALSE(rig.audio.FetchSpectrum(data, kSpectrumValues));
  EXPECT_EQ(rig.audio.CurrentTrackInfo(), nullptr);
  rig.audio.MusicPlay(8, 0, 0);
  EXPECT_TRUE(rig.audio.FetchSpectrum(data, kSpectrumValues));
  EXPECT_EQ(rig.layer.calls.back(), "ChannelGetData " + std::to_string(rig.audio.MusicTracks[8]));
  ASSERT_NE(rig.audio.CurrentTrackInfo(), nullptr);
  EXPECT_EQ(rig.audio.CurrentTrackInfo()->Title, MusicTrackTable()[8].title);
}

TEST(GameAudio, CloseStopsAndFreesLastToFirstThenStopsOutput) {
  Rig rig;
  rig.audio.MusicPlay(0, 0, 0);
  rig.layer.calls.clear();
  rig.audio.Close();
  ASSERT_EQ(rig.layer.calls.size(), 19u);
  // Track 8 first: stop then free, down to track 0.
  EXPECT_EQ(rig.layer.calls[0].rfind("ChannelStop", 0), 0u);
  EXPECT_EQ(rig.layer.calls[1].rfind("ModuleFree", 0), 0u);
  EXPECT_GT(std::stoul(rig.layer.calls[0].substr(12)), std::stoul(rig.layer.calls[16].substr(12)));
  EXPECT_EQ(rig.layer.calls[18], "AudioStop");
  // Late ticks and focus changes after close are harmless.
  rig.audio.MusicStep(2, 100);
  rig.audio.FocusLost();
  rig.audio.Destroy();
  EXPECT_EQ(rig.layer.calls.back(), "AudioFree");
}

TEST(GameAudio, SilentLayerKeepsTheSameMusicState) {
  NullAudioLayer layer;
  GameAudio audio(layer, "nowhere");
  audio.Startup();
  audio.LoadMusic();
  audio.MusicPlay(1, 0, 0);
  audio.MusicPlay(2, 0, 0);
  audio.Sound(0, 352, 100, 100);
  for (int64_t t = 1; t <= 199; ++t) audio.MusicStep(t, 100);
  EXPECT_EQ(audio.PreviousTrack, 1);
  audio.MusicStep(200, 100);
  EXPECT_EQ(audio.PreviousTrack, -1);
  EXPECT_EQ(audio.CurrentTrack, 2);
  audio.Close();
  audio.Destroy();
}

}  // namespace
}  // namespace tarq
