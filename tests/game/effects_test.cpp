#include <gtest/gtest.h>

#include "core/random.h"
#include "game/game.h"

namespace tarq {
namespace {

int TicksUntilGone(Game& game) {
  int ticks = 0;
  while (!game.Explosions.empty() && ticks < 1000) {
    Explosion_Process(game);
    ++ticks;
  }
  return ticks;
}

TEST(Effects, SuccessiveExplosionsAlternateTheirAnimationsWhoeverAddsThem) {
  Game game;
  Explosion_Add(game, 0, 0, 256, 1);
  Spark_Add(game, 0, 0, 256);
  Explosion_Add(game, 0, 0, 256, 1);
  ASSERT_EQ(game.Explosions.size(), 3u);
  EXPECT_EQ(game.Explosions[0].BaseImage, 3);
  EXPECT_EQ(game.Explosions[0].LastFrame, 26);
  EXPECT_EQ(game.Explosions[1].BaseImage, 5);
  EXPECT_EQ(game.Explosions[1].LastFrame, 30);
  EXPECT_EQ(game.Explosions[1].Colour, 0xFFFFu) << "sparks are yellow";
  EXPECT_EQ(game.Explosions[2].BaseImage, 3);
  for (const ExplosionRecord& e : game.Explosions)
    EXPECT_TRUE(e.Colour == 0xFFFFFF || e.Colour == 0xCFCFFF || e.Colour == 0xCFFFFF ||
                e.Colour == 0xFFFF);
}

TEST(Effects, ExplosionLivesLastFramePlusOneFramesOfDelayPlusOneTicks) {
  for (int32_t delay : {0, 1, 2}) {
    for (int first : {0, 1}) {
      Game game;
      game.ExplosionToggle = first;
      Explosion_Add(game, 0, 0, 256, delay);
      const int frames = game.Explosions[0].LastFrame + 1;
      EXPECT_EQ(TicksUntilGone(game), frames * (delay + 1)) << "delay " << delay;
    }
  }
  // The base-3 explosion with delay 1: 27 frames of 2 ticks.
  Game game;
  Explosion_Add(game, 0, 0, 256, 1);
  EXPECT_EQ(TicksUntilGone(game), 54);
}

TEST(Effects, EffectsAreKeptInMapPixels) {
  Game game;
  game.ScrollX = 17;
  game.ScrollY = 90000;
  Explosion_Add(game, 100, 200, 64, 1);
  Flare_Add(game, 5, 6, 256, -16, 0, 0, 255, 0, 16);
  EXPECT_EQ(game.Explosions[0].X, 117);
  EXPECT_EQ(game.Explosions[0].Y, 90200);
  EXPECT_EQ(game.Flares[0].X, 22);
  EXPECT_EQ(game.Flares[0].Y, 90006);
}

TEST(Effects, FlareShrinksSpinsFadesAndLivesLifetimePlusOneTicks) {
  Game game;
  Flare_Add(game, 0, 0, 1024, -32, 1, ToByteAngle(-2), 255, 255, 32);
  Flare_Process(game);
  EXPECT_EQ(game.Flares[0].Angle, 255) << "spin 254 turns backwards by 2";
  EXPECT_EQ(game.Flares[0].Brightness, 254);
  Flare_Process(game);
  EXPECT_EQ(game.Flares[0].Brightness, 253);
  int drawnTicks = 2;  // drawn at ages 0 and 1 so far
  while (!game.Flares.empty()) {
    if (game.Flares[0].Age == 32) {
      EXPECT_EQ(game.Flares[0].Scale, 0);
    }
    ++drawnTicks;
    Flare_Process(game);
  }
  EXPECT_EQ(drawnTicks, 33);
}

TEST(Effects, RemovalKeepsCreationOrder) {
  Game game;
  Explosion_Add(game, 1, 0, 256, 0);   // base 3, 27 ticks
  Explosion_Add(game, 2, 0, 256, 0);   // base 5, 31 ticks
  Explosion_Add(game, 3, 0, 256, 0);   // base 3
  Explosion_Add(game, 4, 0, 256, 0);   // base 5
  for (int i = 0; i < 27; ++i) Explosion_Process(game);
  ASSERT_EQ(game.Explosions.size(), 2u);
  EXPECT_EQ(game.Explosions[0].X, 2);
  EXPECT_EQ(game.Explosions[1].X, 4);
}

}  // namespace
}  // namespace tarq
