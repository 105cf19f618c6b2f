// Golden pictures of the ground, sea and installation kinds on the forged map, alive,
// firing and wrecked, drawn by the software back end with a fixed seed. Each picture is
// compared with tests/golden/ground_<name>.png (TARQ_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include "forged_scene_test.h"
#include "assets/asset_loader.h"
#include "core/random.h"
#include "game/game.h"
#include "render/frame.h"

namespace tarq {
namespace {

class GroundGoldenTest : public ForgedSceneTest {
 protected:
  void SetUp() override {
    LoadForgedScene(5);
    if (HasFatalFailure()) return;
    game.ScreenState = kScreenPlaying;
    game.ScrollX = 32;
  }

  // Map pixels; the view stays where the scene put it.
  void Add(int32_t kind, int32_t x, int32_t y, ByteAngle angle, uint8_t a, uint8_t b, uint8_t c,
           int32_t intA, int32_t intB, int32_t intC, int32_t hitPoints = 10) {
    Enemy_Add(game, x, y, angle, kind, a, b, c, intA, intB, intC, hitPoints);
  }

  // The enemy side of a playing tick, with the view held still.
  void Tick(int n) {
    for (int i = 0; i < n; ++i) {
      ++game.TickCount;
      if (game.TickCount % 2 == 0) Enemy_AnimateBullets(game);
      Enemy_MoveBullets(game);
      Explosion_Process(game);
      Enemy_Process(game);
    }
  }
  void Draw() { Timer1Render(game, canvas.get()); }
};

// The rail yard: a train, a rail launcher firing missiles both ways, a tank swinging its
// turret, a jeep and a missile tank laying tracks, a ground spitter; then all wrecked.
TEST_F(GroundGoldenTest, RailYardAliveFiringAndWrecked) {
  game.ScrollY = 223600;
  Add(10, 260, 223904, 0, 0, 3, 0, 0, 20, 0);      // engine and three carriages, eastward
  Add(22, 520, 223776, 0, 0, 0, 0, -30, 40, 0);    // rail launcher rolling west
  Add(1, 120, 223690, 64, 0, 0, 10, 10, 8, 0);     // tank heading east
  Add(25, 640, 224000, 192, 0, 0, 0, 1000, 15, 0); // jeep heading west
  Add(90, 420, 223650, 128, 0, 0, 0, 0, 10, 0);    // missile tank creeping south
  Add(26, 300, 223970, 64, 0, 0, 0, 5, 0, 0);      // ground spitter
  Add(4, 560, 224040, 0, 0, 0, 0, 0, 20, 12);      // ground gun
  Tick(90);
  Draw();
  testing::ExpectGolden(*device, "ground_rail_yard");

  for (EnemyRecord& e : game.EnemyList)
    if (e.Kind != 89 && e.Kind != 2) e.HitPoints = 0;
  Tick(30);
  Draw();
  testing::ExpectGolden(*device, "ground_rail_yard_burning");
  // Once the fires are out: craters where tanks, jeeps, the spitter and the launcher
  // died (none for the train and the missile tank), and the tracks they laid.
  Tick(100);
  Draw();
  testing::ExpectGolden(*device, "ground_rail_yard_craters");
}

// The desert's emplacements: ground gun and big gun with recoil, the tarpaulin gun, a
// ground bomb and a ground cannon risen, the hatch cannon open with its missile away,
// the big tank with its hatch, an airport shooter hopping.
TEST_F(GroundGoldenTest, EmplacementsRisenAndFiring) {
  game.ScrollY = 215100;
  Add(4, 352, 215456, 0, 0, 0, 0, 0, 20, 25);
  Add(6, 160, 215260, 0, 0, 0, 0, 0, 0, 10);
  Add(23, 560, 215300, 0, 0, 0, 0, 20, 9, 0);
  Add(19, 260, 215420, 0, 0, 0, 0, 10, 0, 0);
  Add(20, 460, 215200, 0, 0, 0, 0, 10, 0, 0);
  Add(21, 610, 215470, 0, 0, 0, 0, 5, 0, 0);
  Add(99, 420, 215290, 0, 0, 0, 0, 0, 0, 0, 100);
  Add(98, 420, 215300, 0, 0, 0, 0, 60, 0, 0);
  Add(34, 60, 215160, 0, 0, 0, 0, 150, 10, 0, 1);
  Tick(170);
  Draw();
  testing::ExpectGolden(*device, "ground_emplacements");
}

// Open water: a column of water things leaping and splashing, a hovercraft with its
// doors open dropping a shell spitter, a spitter already sweeping its fan.
TEST_F(GroundGoldenTest, WaterThingsSplashesAndHovercraft) {
  game.ScrollY = 235000;
  Add(32, 200, 235040, 0, 100, 0, 2, 0, 0, 10);
  Add(32, 480, 234980, 0, 20, 0, 0, 0, 0, 10);
  Add(36, 400, 235150, 0, 0, 0, 0, 0, 0, 0, 40);
  Add(37, 560, 235300, 0, 0, 0, 0, 10, 0, 0, 20);
  game.EnemyList[4].IntA = 30;  // the hovercraft wakes early
  Tick(140);
  Draw();
  testing::ExpectGolden(*device, "ground_water");
}

// The tech base: doors releasing their guns on both sides, a dome still closed.
TEST_F(GroundGoldenTest, TechDoorsAndDome) {
  game.ScrollY = 181500;
  Add(28, 160, 181824, 0, 0, 0, 0, 20, 0, 0);
  Add(28, 544, 181700, 0, 0, 0, 1, 50, 0, 0);
  Add(43, 352, 181600, 0, 0, 0, 0, 0, 0, 0);
  Tick(90);
  Draw();
  testing::ExpectGolden(*device, "ground_tech_base");
}

}  // namespace
}  // namespace tarq
