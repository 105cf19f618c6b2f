// Golden pictures of the menu screens on the forged data, drawn by the software back
// end with a fixed seed: the title while the logo falls and after it has landed, the
// game options, the control options, and the in-game menu at full slide with a
// spectrum. Each is compared with tests/golden/menu_<name>.png (TARQ_UPDATE_GOLDEN=1
// rewrites them).
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "forged_scene_test.h"
#include "assets/asset_loader.h"
#include "audio/game_audio.h"
#include "core/random.h"
#include "game/game.h"
#include "game/menus.h"
#include "game/playing.h"
#include "render/frame.h"

namespace tarq {
namespace {

class MenuGoldenTest : public ForgedSceneTest {
 protected:
  void SetUp() override {
    LoadForgedScene(7, {.SpriteNames = false});
    if (HasFatalFailure()) return;
    game.ScreenState = kScreenTitle;
    ResetTitle(game);
  }

  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      Timer1Render(game, nullptr);
      Timer1Process(game);
    }
  }
  void Draw() { Timer1Render(game, canvas.get()); }
};

TEST_F(MenuGoldenTest, TitleBeforeAndAfterTheLanding) {
  Tick(30);
  ASSERT_GT(game.TitleLogoSpeed, 0.0);
  Draw();
  testing::ExpectGolden(*device, "menu_title_falling");

  int landed = -1;
  for (int t = 0; t < 400 && landed < 0; ++t) {
    Tick();
    if (game.TitleLogoSpeed == 0.0) landed = game.ScreenTicks;
  }
  ASSERT_GT(landed, 0);
  // The menu (after 200 ticks on screen) over the backdrop, the flash of the landing
  // fading.
  Tick(std::max(0, 350 - game.ScreenTicks));
  ASSERT_GT(game.NukeTimer, 0);
  game.MenuCursor = kTitleStart;
  Draw();
  testing::ExpectGolden(*device, "menu_title");
}

TEST_F(MenuGoldenTest, OptionsScreens) {
  Tick(400);
  game.ScreenState = kScreenGameOptions;
  game.MenuCursor = kOptionsStartup;
  game.ShowOptionsAtStart = false;
  Tick(40);
  Draw();
  testing::ExpectGolden(*device, "menu_game_options");

  game.ScreenState = kScreenControlOptions;
  game.MenuCursor = 12;
  game.ControlBindings[1][kCtlFire] += "KB2D";
  game.ControlBindings[0][kCtlNuke] = "";
  Tick(40);
  Draw();
  testing::ExpectGolden(*device, "menu_control_options");
}

TEST_F(MenuGoldenTest, InGameMenuAtFullSlideWithTheSpectrum) {
  StartRun(game, 0);
  game.Controls = {};
  Tick(60);
  game.InGameMenuOpen = true;
  game.Paused = true;
  game.InGameMenuCursor = kInGameMusicVolume;
  game.SoundVolume = 70;
  game.MusicVolume = 85;
  Tick(27);
  ASSERT_EQ(game.InGameMenuSlide, 100);
  // Stereo pairs 2 .. 66 of a spectrum the mixer gave for the title theme.
  static const float kPairs[] = {
      0.1398f, 0.0672f, 0.1285f, 0.0851f, 0.1040f, 0.0608f, 0.0187f, 0.0079f, 0.0364f, 0.0270f,
      0.0216f, 0.0320f, 0.0225f, 0.0316f, 0.0045f, 0.0054f, 0.0131f, 0.0091f, 0.0242f, 0.0213f,
      0.0136f, 0.0185f, 0.0105f, 0.0079f, 0.0145f, 0.0111f, 0.0089f, 0.0110f, 0.0111f, 0.0127f,
      0.0060f, 0.0058f, 0.0053f, 0.0064f, 0.0068f, 0.0117f, 0.0082f, 0.0105f, 0.0078f, 0.0054f,
      0.0071f, 0.0056f, 0.0010f, 0.0012f, 0.0078f, 0.0050f, 0.0047f, 0.0034f, 0.0005f, 0.0014f,
      0.0015f, 0.0028f, 0.0019f, 0.0023f, 0.0038f, 0.0035f, 0.0044f, 0.0051f, 0.0008f, 0.0024f,
      0.0044f, 0.0026f, 0.0041f, 0.0035f, 0.0036f, 0.0045f, 0.0039f, 0.0041f, 0.0028f, 0.0025f,
      0.0028f, 0.0021f, 0.0024f, 0.0015f, 0.0007f, 0.0007f, 0.0030f, 0.0023f, 0.0028f, 0.0022f,
      0.0015f, 0.0027f, 0.0011f, 0.0015f, 0.0013f, 0.0011f, 0.0011f, 0.0010f, 0.0006f, 0.0015f,
      0.0014f, 0.0016f, 0.0027f, 0.0021f, 0.0022f, 0.0020f, 0.0007f, 0.0005f, 0.0010f, 0.0005f,
      0.0005f, 0.0001f, 0.0002f, 0.0002f, 0.0005f, 0.0004f, 0.0012f, 0.0012f, 0.0010f, 0.0008f,
      0.0003f, 0.0009f, 0.0005f, 0.0008f, 0.0011f, 0.0008f, 0.0008f, 0.0007f, 0.0007f, 0.0009f,
      0.0002f, 0.0000f, 0.0008f, 0.0008f, 0.0017f, 0.0016f, 0.0014f, 0.0013f, 0.0009f, 0.0008f,
  };
  std::copy(std::begin(kPairs), std::end(kPairs), game.SpectrumData.begin() + 4);
  const MusicTrackEntry& track = MusicTrackTable()[1];
  game.NowPlaying = {1, track.title, track.line1, track.line2};
  Draw();
  testing::ExpectGolden(*device, "menu_ingame");
}

// The screens with the colour-cell backdrop are the same pixel for pixel whether the
// software back end draws them with its four-pixel kernels or one pixel at a time:
// the title with its landing flash, and the options screens in both bit depths.
TEST_F(MenuGoldenTest, BackdropScreensAreTheSameOnBothKernelSets) {
  auto both = [&](TDrawDevice& d, DeviceFrameCanvas& c, const char* what) {
    std::vector<uint32_t> frames[2];
    for (int32_t k = 0; k < 2; ++k) {
      static_cast<SoftwareBackend*>(d.Backend())->SetVectorKernels(k == 0);
      Timer1Render(game, &c);
      frames[k] = testing::Frame(d);
    }
    static_cast<SoftwareBackend*>(d.Backend())->SetVectorKernels(true);
    EXPECT_TRUE(frames[0] == frames[1]) << what;
  };
  Tick(350);
  ASSERT_GT(game.NukeTimer, 0);
  both(*device, *canvas, "title with the flash");
  Tick(300);
  ASSERT_LE(game.NukeTimer, 0);
  both(*device, *canvas, "title");
  game.ScreenState = kScreenGameOptions;
  game.MenuCursor = kOptionsStartup;
  Tick(40);
  both(*device, *canvas, "game options");

  // The same frames on a 16-bit target, with the graphics loaded onto it.
  auto low = testing::SoftwareDevice(640, 480, true);
  GameAssets low_assets;
  AssetLoaderContext ctx;
  ctx.Device = low.get();
  ctx.Root = TARQ_DATA_DIR;
  ASSERT_TRUE(LoadGraphics(low_assets, ctx).Ok);
  {
    DeviceFrameCanvas low_canvas(*low, low_assets);
    both(*low, low_canvas, "game options, 16 bits");
    game.ScreenState = kScreenTitle;
    both(*low, low_canvas, "title, 16 bits");
  }
  ReleaseGraphics(low_assets, nullptr);
}

}  // namespace
}  // namespace tarq
