// Golden pictures of the in-game frame: a scripted run on the forged data, drawn by the
// software back end at a few ticks with a fixed seed. Each picture is compared with
// tests/golden/frame_<name>.png (TARQ_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include <filesystem>

#include "forged_scene_test.h"
#include "assets/asset_loader.h"
#include "core/random.h"
#include "game/game.h"
#include "game/menus.h"
#include "game/playing.h"
#include "render/frame.h"

namespace tarq {
namespace {

class FrameGoldenTest : public ForgedSceneTest {
 protected:
  void SetUp() override {
    LoadForgedScene(1, {.SpriteNames = false});
    if (HasFatalFailure()) return;
    tiles = std::make_unique<PatternTileSurface>([this](int32_t n) -> TPatternImage* {
      return n >= 0 && static_cast<size_t>(n) < assets.TileImages.size()
                 ? assets.TileImages[static_cast<size_t>(n)].get()
                 : nullptr;
    });
    game.WaterTiles = tiles.get();
    game.ScreenState = kScreenTitle;
  }

  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      // A pass of the timer: the frame's logic, then one tick.
      Timer1Render(game, nullptr);
      Timer1Process(game);
      for (ControlState& c : game.Controls) c.FirePressed = c.JumpPressed = c.PausePressed = 0;
    }
  }
  void Draw() { Timer1Render(game, canvas.get()); }

  std::unique_ptr<PatternTileSurface> tiles;
};

TEST_F(FrameGoldenTest, ScriptedRun) {
  // Player 2 starts, flies up and right while firing; player 1 joins later.
  game.Controls[1].FirePressed = 1;
  TitleTick(game);
  ASSERT_EQ(game.ScreenState, kScreenPlaying);
  ControlState& c2 = game.Controls[1];
  c2.FireHeld = 1;
  c2.UpHeld = 1;
  Tick(30);
  c2.UpHeld = 0;
  c2.RightHeld = 1;
  Tick(12);
  c2.RightHeld = 0;
  Tick(8);
  Draw();
  testing::ExpectGolden(*device, "frame_flying");

  // A jump: the helicopter and its shadow grow apart.
  c2.JumpPressed = 1;
  Tick(20);
  Draw();
  testing::ExpectGolden(*device, "frame_jump");

  // Player 1 joins; player 2 launches a nuke and takes a hit.
  game.Controls[0].FireHeld = 1;
  Tick(1);
  game.Controls[0].FireHeld = 0;
  game.Players[1].Nukes = 3;
  game.Players[0].Nukes = 1;
  game.Players[1].Energy = 450;
  game.Players[1].Colour = kHitTint;
  game.Controls[1].NukeHeld = 1;
  Tick(1);
  game.Controls[1].NukeHeld = 0;
  Tick(3);
  Draw();
  testing::ExpectGolden(*device, "frame_nuke");

  // Paused with armour, after the blast has faded: the steady glow, the in-game menu's
  // darkening and the HUD.
  Tick(160);
  ASSERT_EQ(game.NukeTimer, -1);
  game.Players[0].Armour = 550;
  game.Controls[0].PausePressed = 1;
  Tick(12);
  ASSERT_TRUE(game.Paused);
  Draw();
  testing::ExpectGolden(*device, "frame_paused");

  // Player 2 loses its last life: game-over text while the other flies on. (No armour
  // now: its flicker is deliberately random from frame to frame.)
  game.Controls[0].PausePressed = 1;
  Tick(40);
  game.Players[0].Armour = 0;
  game.Players[1].Lives = 0;
  game.Players[1].Energy = 0;
  Tick(230);
  Draw();
  testing::ExpectGolden(*device, "frame_game_over");
}

}  // namespace
}  // namespace tarq
