// The menu screens' drawing calls, recorded: what is drawn where, in which order.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/menus.h"
#include "render/frame.h"
#include "render/screens.h"

namespace tarq {
namespace {

struct Call {
  std::string op;
  std::string image;
  std::vector<int64_t> args;
  std::string text;
};

// Records every call; sprite names come back from their indices.
class MenuCanvas : public FrameCanvas {
 public:
  int32_t SpriteIndex(std::string_view name) override {
    auto [it, added] = sprites_.try_emplace(std::string(name), static_cast<int32_t>(sprites_.size()) + 1);
    return it->second;
  }
  void BeginScene() override { Add("begin"); }
  void EndScene() override { Add("end"); }
  void Present() override { Add("present"); }
  void DrawImage(ImageRef i, int32_t x, int32_t y, int32_t pattern, int32_t effect) override {
    Add("image", i, {x, y, pattern, effect});
  }
  void DrawImageRotated(ImageRef i, int32_t x, int32_t y, int32_t angle, int32_t scale,
                        int32_t pattern, int32_t effect) override {
    Add("rotated", i, {x, y, angle, scale, pattern, effect});
  }
  void DrawImageRotatedColored(ImageRef i, int32_t x, int32_t y, int32_t angle, int32_t scale,
                               uint32_t colour, int32_t pattern, int32_t effect) override {
    Add("rotatedColored", i, {x, y, angle, scale, colour, pattern, effect});
  }
  void DrawQuad(ImageRef i, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                int32_t x4, int32_t y4, int32_t pattern, int32_t effect) override {
    Add("quad", i, {x1, y1, x2, y2, x3, y3, x4, y4, pattern, effect});
  }
  void DrawImageColored(ImageRef i, int32_t x, int32_t y, uint32_t colour, int32_t pattern,
                        int32_t effect) override {
    Add("imageColored", i, {x, y, colour, pattern, effect});
  }
  void Clear(uint32_t colour) override { Add("clear", {}, {colour}); }
  void FillBox(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, int32_t effect) override {
    Add("fill", {}, {x, y, w, h, colour, effect});
  }
  void Center(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    Text("center", t, x, y, c, s);
  }
  void Right(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    Text("right", t, x, y, c, s);
  }
  void Lft(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    Text("lft", t, x, y, c, s);
  }
  void Lft2(const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) override {
    Text("lft2", t, x, y, c, s);
  }
  int32_t TextWidth(int32_t, const std::string& text, int32_t scale) override {
    return static_cast<int32_t>(text.size()) * 10 * scale / 256;
  }
  void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override { Add("clip", {}, {x, y, w, h}); }

  std::vector<Call> Of(const std::string& op, const std::string& image = "") const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.op == op && (image.empty() || c.image == image)) out.push_back(c);
    return out;
  }
  // The text call with this text (the last one if several).
  Call TextCall(const std::string& text) const {
    Call found;
    for (const Call& c : calls)
      if (c.text == text) found = c;
    return found;
  }
  ptrdiff_t IndexOfText(const std::string& text) const {
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i].text == text) return static_cast<ptrdiff_t>(i);
    return -1;
  }

  std::vector<Call> calls;

 private:
  void Add(const std::string& op, ImageRef image = {}, std::vector<int64_t> args = {}) {
    std::string name;
    for (const auto& [n, index] : sprites_)
      if (index == image.Index) name = n;
    calls.push_back({op, name, std::move(args), ""});
  }
  void Text(const std::string& op, const std::string& t, int32_t x, int32_t y, uint32_t c, int32_t s) {
    calls.push_back({op, "", {x, y, c, s}, t});
  }
  std::map<std::string, int32_t> sprites_;
};

class MenuScreensTest : public ::testing::Test {
 protected:
  void SetUp() override { FillAngleTables(); }
  MenuCanvas canvas;
  Game game;
};

TEST_F(MenuScreensTest, TitleBackdropMenuAndFlashAppearInTurn) {
  game.ScreenState = kScreenTitle;
  ResetTitle(game);
  game.ScreenTicks = 150;
  game.TitleLogoY = 10.5;
  DrawTitleScreen(game, canvas);
  EXPECT_TRUE(canvas.Of("rotatedColored", "nuke").empty()) << "no backdrop up to 150 ticks";
  ASSERT_EQ(canvas.Of("image").size(), 3u);
  EXPECT_EQ(canvas.Of("image")[1].args, (std::vector<int64_t>{288, 10, 0, kEffectAlpha}))
      << "halves round to even";
  EXPECT_TRUE(canvas.Of("center").empty());

  // Landed and past 200 ticks: backdrop, menu, and the flash on top.
  canvas.calls.clear();
  game.ScreenTicks = 201;
  game.TitleLogoY = 64;
  game.TitleLogoSpeed = 0;
  game.MenuCursor = 1;
  game.NukeX = 320;
  game.NukeY = 192;
  game.NukeTimer = 20000;
  game.NukeBrightness = 200;
  DrawTitleScreen(game, canvas);
  const auto cells = canvas.Of("rotatedColored", "nuke");
  ASSERT_EQ(cells.size(), 88u + 2u);
  EXPECT_EQ(cells[12].args[0], 64);  // row 1, column 1
  EXPECT_EQ(cells[12].args[1], 68);
  EXPECT_EQ(canvas.TextCall("OPTIONS").args, (std::vector<int64_t>{320, 390, 0xFFFFFF, 300}));
  EXPECT_EQ(canvas.TextCall("EXIT").args, (std::vector<int64_t>{320, 420, 0x999999, 256}));
  // The flash: full size, then a quarter, in brightness 200 with q = 150.
  EXPECT_EQ(cells[88].args, (std::vector<int64_t>{320, 192, 0, 16384, 200 + 256 * 150 + 65536 * 150, 0, kEffectAdd}));
  EXPECT_EQ(cells[89].args, (std::vector<int64_t>{320, 192, 0, 4096, 200 + 256 * 200 + 65536 * 150, 0, kEffectAdd}));

  // Still moving (the speed is not exactly 0): no menu however long the screen shows.
  canvas.calls.clear();
  game.TitleLogoSpeed = 1e-9;
  game.ScreenTicks = 5000;
  DrawTitleScreen(game, canvas);
  EXPECT_TRUE(canvas.Of("center").empty());
}

TEST_F(MenuScreensTest, CellColoursAndScalesForEachBackdrop) {
  // Cell (0, 0): red phase 300 (level 211), green 200 or 100, blue 50.4 (level 50).
  game.Plasma[0][0][0].Phase = 300;
  game.Plasma[1][0][0].Phase = 200;
  game.Plasma[2][0][0].Phase = 50.4;
  game.ScreenTicks = 151;
  game.TitleLogoSpeed = 1;
  DrawTitleScreen(game, canvas);
  // Title: green 200 * 4 / 3 = 266, shown as 192 but scaling from 266.
  auto cell = canvas.Of("rotatedColored", "nuke")[0];
  EXPECT_EQ(cell.args, (std::vector<int64_t>{0, 0, 0, 3 * 266 + 256, 52 + 256 * 192 + 65536 * 25, 0,
                                              kEffectSquareAdd}));
  canvas.calls.clear();
  DrawSelectScreen(game, canvas);
  cell = canvas.Of("rotatedColored", "nuke")[0];
  EXPECT_EQ(cell.args[3], 4 * 96 + 256);
  EXPECT_EQ(cell.args[4], 26 + 256 * 96 + 65536 * 12);
  // A phase past 511 after rounding stays dark rather than wrapping.
  game.Plasma[1][0][0].Phase = 511.7;
  canvas.calls.clear();
  DrawSelectScreen(game, canvas);
  EXPECT_EQ(canvas.Of("rotatedColored", "nuke")[0].args[3], 256);
}

TEST_F(MenuScreensTest, GameOptionsShowTheSettingAndTheCursor) {
  game.MenuCursor = kOptionsStartup;
  game.ShowOptionsAtStart = false;
  DrawSelectScreen(game, canvas);
  EXPECT_EQ(canvas.Of("imageColored").size(), 3u);
  EXPECT_EQ(canvas.Of("imageColored")[2].args, (std::vector<int64_t>{544, 64, 0x1F3F1F, 0, kEffectAlpha}));
  EXPECT_EQ(canvas.TextCall("STARTUP OPTIONS").args, (std::vector<int64_t>{180, 106, 0xFFFFFF, 150}));
  EXPECT_EQ(canvas.TextCall("PLAYER 1 VEHICLE").args, (std::vector<int64_t>{180, 70, 0x999999, 128}));
  EXPECT_EQ(canvas.TextCall("Don't Show").args, (std::vector<int64_t>{205, 106, 0xE0E0E0, 256}));
  EXPECT_EQ(canvas.TextCall("RETURN TO MAIN MENU").args[3], 128);
  EXPECT_EQ(canvas.calls.back().op, "present");
}

TEST_F(MenuScreensTest, ControlOptionsListEveryBindingByName) {
  game.MenuCursor = kControlsReturn;
  game.ControlBindings[1][kCtlNuke] = "";
  DrawOptionsScreen(game, canvas);
  // Only RETURN is highlighted.
  for (const Call& c : canvas.Of("right")) EXPECT_EQ(c.args[3], 128) << c.text;
  EXPECT_EQ(canvas.TextCall("RETURN TO PREVIOUS MENU").args, (std::vector<int64_t>{320, 420, 0xFFFFFF, 150}));
  const auto values = canvas.Of("lft");
  ASSERT_EQ(values.size(), 16u);
  EXPECT_EQ(values[0].text, "Joystick 1 Y axis -.");
  EXPECT_EQ(values[0].args, (std::vector<int64_t>{175, 70, 0xE0E0E0, 256}));
  EXPECT_EQ(values[8 + 4].text, "Joystick 2 button 1, or A.");
  EXPECT_EQ(values[8 + 4].args[1], 240 + 18 * 4);
  EXPECT_EQ(values[8 + 6].text, "Undefined");               // the Nuke line: the eighth binding
  EXPECT_EQ(values[8 + 7].text, "Joystick 2 button 10, or P.");  // Pause
  // Player 1's lines, player 2's labels, RETURN, then player 2's values.
  EXPECT_LT(canvas.IndexOfText("PLAYER 2 PAUSE"), canvas.IndexOfText("RETURN TO PREVIOUS MENU"));
  EXPECT_LT(canvas.IndexOfText("RETURN TO PREVIOUS MENU"), canvas.IndexOfText("Undefined"));
  EXPECT_LT(canvas.IndexOfText("Joystick 1 button 10."), canvas.IndexOfText("PLAYER 2 UP"));

  canvas.calls.clear();
  game.MenuCursor = 9;
  DrawOptionsScreen(game, canvas);
  EXPECT_EQ(canvas.TextCall("PLAYER 2 DOWN").args, (std::vector<int64_t>{150, 240 + 18, 0xFFFFFF, 150}));
  EXPECT_EQ(canvas.TextCall("RETURN TO PREVIOUS MENU").args[3], 128);
}

TEST_F(MenuScreensTest, InGameMenuSlidesWobblesAndShowsTheVolumes) {
  game.InGameMenuSlide = 50;
  game.InGameMenuCursor = kInGameMusicVolume;
  game.TickCount = 4;  // wobble: 3 * sin(64) = 3
  game.SoundVolume = 0;
  game.MusicVolume = 100;
  game.NowPlaying = {2, "Tune", "by us", "for you"};
  DrawIngameMenu(game, canvas);
  EXPECT_EQ(canvas.TextCall("RETURN TO GAME").args, (std::vector<int64_t>{620, 160, 0xC0C0C0, 192}));
  EXPECT_EQ(canvas.TextCall("SWITCH TO FULLSCREEN").args[0], 20);
  EXPECT_EQ(canvas.TextCall("MUSIC VOLUME").args, (std::vector<int64_t>{23, 260, 0xFFFFFF, 256}));
  // Now playing slides at 5 pixels per step: 570 and 70.
  EXPECT_EQ(canvas.TextCall("- CURRENTLY PLAYING -").args, (std::vector<int64_t>{570, 40, 0x40FFFF, 192}));
  EXPECT_EQ(canvas.TextCall("TUNE").args, (std::vector<int64_t>{70, 60, 0x7FFFFF, 128}));
  EXPECT_EQ(canvas.TextCall("BY US").args, (std::vector<int64_t>{570, 75, 0x7FFFFF, 128}));
  EXPECT_EQ(canvas.TextCall("FOR YOU").args[1], 90);

  const auto bars = canvas.Of("quad", "bar1");
  ASSERT_EQ(bars.size(), 3u + 4u) << "the highlighted music bar has its taller strip";
  // Sound at 0: a strip of no width at x0 - 100 (x0 = 620).
  EXPECT_EQ(bars[2].args, (std::vector<int64_t>{520, 227, 520, 239, 520, 239, 520, 227, 0, kEffectAlphaAdd}));
  // Music at 100: 200 pixels from x0 - 100 (x0 = 20), and the taller copy.
  EXPECT_EQ(bars[5].args, (std::vector<int64_t>{120, 277, 120, 289, -80, 289, -80, 277, 0, kEffectAlphaAdd}));
  EXPECT_EQ(bars[6].args[1], 276);
  EXPECT_EQ(bars[6].args[3], 290);
  // Caps of the sound bar around x0 = 620, base line 260.
  EXPECT_EQ(bars[0].args, (std::vector<int64_t>{515, 224, 515, 242, 520, 242, 520, 224, 0, kEffectAlphaAdd}));
  EXPECT_EQ(canvas.Of("quad", "bar3").size(), 260u);
}

TEST_F(MenuScreensTest, SpectrumBarsFollowTheSineOfTheValue) {
  EXPECT_EQ(SpectrumBarHeight(0.03f, 100, 100), 255);  // n = 61, near a quarter turn
  EXPECT_EQ(SpectrumBarHeight(-0.03f, 100, 100), 255);
  EXPECT_EQ(SpectrumBarHeight(0.0625f, 100, 100), 0);  // n = 128: back to nothing
  EXPECT_GT(SpectrumBarHeight(0.08f, 100, 100), 100);  // and up again beyond
  EXPECT_EQ(SpectrumBarHeight(1e30f, 100, 100), 6);    // at most n = 255
  EXPECT_EQ(SpectrumBarHeight(0.03f, 50, 100), 127);
  EXPECT_EQ(SpectrumBarHeight(0.03f, 50, 50), 63);
  EXPECT_EQ(SpectrumBarHeight(std::numeric_limits<float>::quiet_NaN(), 100, 100), 6);

  game.InGameMenuSlide = 100;
  game.MusicVolume = 100;
  game.FullScreen = true;
  game.SpectrumData[4 + 2 * 3] = 0.03f;  // left bar 3
  game.SpectrumData[5] = 0.03f;          // right bar 0
  DrawIngameMenu(game, canvas);
  const auto bars = canvas.Of("quad", "bar3");
  ASSERT_EQ(bars.size(), 260u);
  // Left bar 3 rises from the bottom, then hangs from the top.
  EXPECT_EQ(bars[6].args, (std::vector<int64_t>{15, 225, 25, 225, 25, 480, 15, 480, 5, kEffectAlphaAdd}));
  EXPECT_EQ(bars[7].args, (std::vector<int64_t>{15, 255, 25, 255, 25, 0, 15, 0, 5, kEffectAlphaAdd}));
  // Right bar 0 at the right edge, after all the left bars.
  EXPECT_EQ(bars[130].args, (std::vector<int64_t>{635, 225, 645, 225, 645, 480, 635, 480, 5, kEffectAlphaAdd}));
  // No track playing: no now-playing block; full screen offers the window.
  EXPECT_EQ(canvas.IndexOfText("- CURRENTLY PLAYING -"), -1);
  EXPECT_EQ(canvas.TextCall("SWITCH TO WINDOWED").args, (std::vector<int64_t>{320, 185, 0xC0C0C0, 192}));
  EXPECT_EQ(canvas.TextCall("RETURN TO GAME").args, (std::vector<int64_t>{320, 160, 0xFFFFFF, 256}))
      << "TickCount 0: no wobble";
}

TEST_F(MenuScreensTest, TheRenderHandlerDrawsEachMenuScreen) {
  game.ScreenState = kScreenGameOptions;
  Timer1Render(game, &canvas);
  EXPECT_NE(canvas.IndexOfText("GAME OPTIONS"), -1);
  canvas.calls.clear();
  game.ScreenState = kScreenControlOptions;
  Timer1Render(game, &canvas);
  EXPECT_NE(canvas.IndexOfText("PRESS ENTER TO REDEFINE KEY"), -1);
  canvas.calls.clear();
  game.ScreenState = kScreenPlaying;
  game.InGameMenuSlide = 100;
  Timer1Render(game, &canvas);
  EXPECT_NE(canvas.IndexOfText("QUIT TO WINDOWS"), -1);
  EXPECT_EQ(canvas.calls.back().op, "present");
}

}  // namespace
}  // namespace tarq
