// The title logo's fall, bounce and landing, with the title theme's entry on landing.
#include <gtest/gtest.h>

#include "audio/game_audio.h"
#include "audio/recording_audio_layer.h"
#include "core/random.h"
#include "game/game.h"
#include "game/menus.h"
#include "game/playing.h"

namespace tarq {
namespace {

TEST(TitleLogo, FallsBouncesOnceAndLandsWithTheTitleThemeEntry) {
  FillAngleTables();
  SeedRandom(3);
  RecordingAudioLayer layer;
  GameAudio audio{layer, "data"};
  audio.Startup();
  audio.LoadMusic();
  audio.LogSounds = true;
  Game game;
  game.Audio = &audio;
  game.ScreenState = kScreenTitle;
  ResetTitle(game);

  int bounces = 0;
  int landed_at = -1;
  for (int tick = 1; tick <= 400 && landed_at < 0; ++tick) {
    const double speed = game.TitleLogoSpeed;
    TitleTick(game);
    if (game.TitleLogoSpeed < speed && game.TitleLogoSpeed > 0) ++bounces;
    if (game.TitleLogoSpeed == 0) landed_at = tick;
  }
  ASSERT_GT(landed_at, 0) << "the logo never came to rest";
  EXPECT_EQ(bounces, 1);
  EXPECT_EQ(game.TitleLogoY, 64.0);
  EXPECT_EQ(audio.CurrentTrack, 0);
  EXPECT_EQ(game.NukeTimer, 1 + 1024);  // started, then grown once on the same tick
  EXPECT_EQ(game.NukeBrightness, 255);
  // The bounce thud, then the landing's big explosion and the two side booms.
  ASSERT_GE(audio.SoundLog.size(), 4u);
  EXPECT_EQ(audio.SoundLog[audio.SoundLog.size() - 3].sample, 9);

  // At rest the logo stays put and the flash grows, then fades out for good.
  for (int tick = 0; tick < 400; ++tick) TitleTick(game);
  EXPECT_EQ(game.TitleLogoY, 64.0);
  EXPECT_EQ(game.NukeTimer, -1);
}

}  // namespace
}  // namespace tarq
