// The tick dispatch: the counter, the controls and the screen handlers.
#include <gtest/gtest.h>

#include "game/game.h"

namespace tarq {
namespace {

TEST(GameTick, IntroLasts613TicksAndNoInputSkipsIt) {
  Game game;
  TInputDevices input(std::make_unique<ScriptedInputSource>());
  ASSERT_EQ(input.Initialize(), 0);
  auto* source = static_cast<ScriptedInputSource*>(input.Source());
  game.Input = &input;
  for (const char* code : {"KB1E", "KB1C", "KB01", "KB39", "J0B0", "J1B0"}) source->Hold(code);
  for (int i = 1; i <= 612; ++i) {
    Timer1Process(game);
    ASSERT_EQ(game.ScreenState, kScreenIntro) << i;
    ASSERT_EQ(game.ScreenTicks, i);
  }
  EXPECT_EQ(game.TickCount, 612);
  EXPECT_TRUE(game.Controls[1].FireHeld);  // the controls were polled on every tick
  Timer1Process(game);
  EXPECT_EQ(game.TickCount, 613);
  EXPECT_EQ(game.ScreenState, kScreenTitle);
  EXPECT_EQ(game.ScreenTicks, 0);
}

TEST(GameTick, ScreensWithoutLogicYetHoldStill) {
  const int32_t screens[] = {kScreenControlOptions, kScreenGameOptions, 8, -1};
  for (int32_t screen : screens) {
    Game game;
    game.ScreenState = screen;
    game.ScreenTicks = 5;
    for (int i = 0; i < 2000; ++i) Timer1Process(game);
    EXPECT_EQ(game.TickCount, 2000);
    EXPECT_EQ(game.ScreenState, screen);
  }
}

TEST(GameTick, WithoutInputDevicesTheControlsStayReleased) {
  Game game;
  game.ScreenState = kScreenScores;
  Timer1Process(game);
  EXPECT_EQ(game.TickCount, 1);
  EXPECT_FALSE(game.Controls[0].FireHeld);
  EXPECT_FALSE(game.Controls[1].FirePressed);
}

}  // namespace
}  // namespace tarq
