// Golden pictures of the aircraft and pick-up kinds on the forged data, drawn by the
// software back end: every kind in flight with its shadow, then the same kinds shot
// down a few ticks later. Compared with tests/golden/enemies_<name>.png
// (TARQ_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include "forged_scene_test.h"
#include "assets/asset_loader.h"
#include "core/random.h"
#include "game/game.h"
#include "render/frame.h"

namespace tarq {
namespace {

class EnemyGoldenTest : public ForgedSceneTest {
 protected:
  void SetUp() override {
    LoadForgedScene(4);
    if (HasFatalFailure()) return;
    game.ScreenState = kScreenPlaying;
    game.ScrollY = 250000;
  }

  // One of each kind on a grid, in flight; the render handler places ScrollX (no
  // player: the view stays centred).
  void PlaceEveryKind() {
    Timer1Render(game, nullptr);
    const int32_t kinds[] = {0, 3, 5, 12, 18, 8, 9, 2, 16, 24, 29, 30, 31, 38, 39, 41, 42, 45, 97, 253, 254, 255, 17};
    int32_t slot = 0;
    for (const int32_t kind : kinds) {
      const int32_t col = slot % 6;
      const int32_t row = slot / 6;
      ++slot;
      const int32_t x = 60 + 104 * col + game.ScrollX;
      const int32_t y = 50 + 100 * row + game.ScrollY;
      const size_t i = game.EnemyList.size();
      Enemy_Add(game, x, y, 160, kind, 0, 0, 0, 0, 0, 0, 5);
      EnemyRecord& e = game.EnemyList[i];
      e.Height = kind == 253 ? 0 : 200;  // in the air: shadows fall down and right
      e.ParamA = 40;
      e.ParamB = 16;
      e.ParamC = kind == 97 ? 255 : 3;
      if (kind == 29) e.IntB = 0x00C0FF;
      if (kind == 255) e.ParamB = 2;
      if (kind == 17) {
        e.X = 560 + game.ScrollX;
        e.Y = 400 + game.ScrollY;
        e.Height = 256;
      }
    }
  }
};

TEST_F(EnemyGoldenTest, AircraftAndPickupsInFlightAndShotDown) {
  PlaceEveryKind();
  Timer1Render(game, canvas.get());
  testing::ExpectGolden(*device, "enemies_in_flight");

  // Everything shot down by player 1 at once: a few ticks into the death sequences.
  for (EnemyRecord& e : game.EnemyList) {
    if (e.Pickup) continue;
    e.HitPoints = 0;
    e.LastHitBy = 0;
  }
  for (int tick = 0; tick < 6; ++tick) {
    game.TickCount += 1;
    Enemy_Process(game);
    Explosion_Process(game);
  }
  EXPECT_GT(game.Players[0].Score, 0);
  Timer1Render(game, canvas.get());
  testing::ExpectGolden(*device, "enemies_shot_down");
}

}  // namespace
}  // namespace tarq
