// Enemy_Draw's passes for the aircraft and pick-up kinds, on a canvas that records the
// calls: which pass draws what, and the values derived from the record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "call_recording_canvas.h"
#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq {
namespace {

class EnemyDrawAirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    game.ScrollX = 32;
    game.ScrollY = 100000;
  }
  EnemyRecord& Add(int32_t kind, double screenX, double screenY) {
    EnemyRecord e;
    e.Kind = kind;
    e.X = screenX + game.ScrollX;
    e.Y = screenY + game.ScrollY;
    game.EnemyList.push_back(e);
    return game.EnemyList.back();
  }
  std::vector<DrawCall> Pass(EnemyPass pass) {
    CallRecordingCanvas canvas;
    Enemy_Draw(game, canvas, pass);
    return canvas.calls;
  }
  Game game;
};

TEST_F(EnemyDrawAirTest, AnEmptyListDrawsNothingAndHasNoGooseLeader) {
  game.GooseLeader = 5;
  for (EnemyPass p : {EnemyPass::Wrecks, EnemyPass::Shadows, EnemyPass::Ground, EnemyPass::Air})
    EXPECT_TRUE(Pass(p).empty());
  EXPECT_EQ(game.GooseLeader, -1);
  Add(7, 0, 0);
  Add(9, 0, 0);
  Add(7, 0, 0);
  Pass(EnemyPass::Air);
  EXPECT_EQ(game.GooseLeader, 2);  // the last kind-7 record
}

TEST_F(EnemyDrawAirTest, AHelicopterCastsItsShadowAndCarriesItsBodyAlongTheHeading) {
  EnemyRecord& e = Add(12, 200.5, 100.5);  // halves round to even: 200, 100
  e.Angle = 128;  // Q = 64: cos 0, sin 1
  e.Height = 120;  // shadow 20 pixels right and down
  e.ParamA = 77;
  e.Colour = 0x4040FF;
  const auto shadow = Pass(EnemyPass::Shadows);
  ASSERT_EQ(shadow.size(), 2u);
  EXPECT_EQ(shadow[0].image, "hele3");
  EXPECT_EQ(shadow[0].args, (std::vector<int64_t>{220, 120 - 12, 128, 192, 0, 0, 2}));
  EXPECT_EQ(shadow[1].image, "rotors1");
  EXPECT_EQ(shadow[1].args, (std::vector<int64_t>{220, 120, 77, 192, 0, 7}));
  const auto air = Pass(EnemyPass::Air);
  ASSERT_EQ(air.size(), 2u);
  EXPECT_EQ(air[0].args, (std::vector<int64_t>{200, 100 - 16, 128, 256, 0x4040FF, 0, 2}));
  EXPECT_EQ(air[1].args, (std::vector<int64_t>{200, 100, 77, 256, 0, 7}));
  EXPECT_TRUE(Pass(EnemyPass::Ground).empty());
  EXPECT_TRUE(Pass(EnemyPass::Wrecks).empty());
  e.Dead = true;
  EXPECT_TRUE(Pass(EnemyPass::Air).empty());
}

TEST_F(EnemyDrawAirTest, TheMissileIsDrawnInTheWrecksAndAirPasses) {
  EnemyRecord& e = Add(2, 50, 60);
  e.Angle = 40;
  const auto w = Pass(EnemyPass::Wrecks);
  const auto a = Pass(EnemyPass::Air);
  ASSERT_EQ(w.size(), 1u);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(w[0].args, a[0].args);
  EXPECT_EQ(a[0].args[3], 255);  // not quite natural size
  EXPECT_EQ(Pass(EnemyPass::Shadows).size(), 1u);
}

TEST_F(EnemyDrawAirTest, TheBigPlaneIsAGroundUnitUntilItFlies) {
  EnemyRecord& e = Add(17, 300, 200);
  e.Height = 0;  // counts as full height
  EXPECT_EQ(Pass(EnemyPass::Wrecks).size(), 1u);
  EXPECT_EQ(Pass(EnemyPass::Air).size(), 1u);
  EXPECT_TRUE(Pass(EnemyPass::Ground).empty());
  game.EnemyList[0].Height = 100;
  EXPECT_EQ(Pass(EnemyPass::Ground).size(), 1u);
  EXPECT_TRUE(Pass(EnemyPass::Air).empty());
  game.EnemyList[0].Dead = true;
  const auto crater = Pass(EnemyPass::Wrecks);
  ASSERT_EQ(crater.size(), 1u);
  EXPECT_EQ(crater[0].image, "crater01");
  EXPECT_EQ(crater[0].args[3], 512);
}

TEST_F(EnemyDrawAirTest, TheBigTankFlierFadesInFromBlackAtHalfSize) {
  EnemyRecord& e = Add(97, 10, 10);
  e.Colour = 0x123456;
  e.ParamC = 0;
  auto a = Pass(EnemyPass::Air);
  ASSERT_EQ(a.size(), 1u);
  EXPECT_EQ(a[0].args[3], 129);
  EXPECT_EQ(a[0].args[4], 0);
  game.EnemyList[0].ParamC = 100;
  a = Pass(EnemyPass::Air);
  EXPECT_EQ(a[0].args[3], 256 - 155 / 2);
  EXPECT_EQ(a[0].args[4], 100 * 0x010101);
  game.EnemyList[0].ParamC = 255;
  a = Pass(EnemyPass::Air);
  EXPECT_EQ(a[0].args[3], 256);
  EXPECT_EQ(a[0].args[4], 0x123456);
}

TEST_F(EnemyDrawAirTest, TheShieldPickupBlinksAndTurns) {
  EnemyRecord& e = Add(254, 10, 10);
  for (const auto& [age, angle, colour] :
       std::vector<std::tuple<int32_t, int64_t, int64_t>>{{4, 192, 0x7F7F7F}, {3, 64, 0xFFFFFF}, {8, 64, 0xFFFFFF},
                                                          {-5, 64, 0xFFFFFF}, {15, 192, 0x7F7F7F}}) {
    game.EnemyList[0].Age = age;
    const auto a = Pass(EnemyPass::Air);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].args[2], angle) << age;
    EXPECT_EQ(a[0].args[4], colour) << age;
  }
  (void)e;
}

TEST_F(EnemyDrawAirTest, GlowsAndSwellingPickups) {
  EnemyRecord& bomb = Add(16, 10, 10);
  bomb.ParamA = 90;
  EnemyRecord& mine = Add(29, 10, 10);
  mine.IntB = 0x3377;
  auto a = Pass(EnemyPass::Air);
  ASSERT_EQ(a.size(), 2u + 4u);
  EXPECT_EQ(a[1].args, (std::vector<int64_t>{10, 10, 64, 256, 90, 1, 6}));
  for (size_t k = 3; k < 6; ++k) EXPECT_EQ(a[k].args, (std::vector<int64_t>{10, 10, 64, 256, 0x3377, 1, 3}));
  game.EnemyList.clear();
  EnemyRecord& p = Add(255, 10, 10);
  p.IntC = 128;
  p.ParamB = 8;
  p.Height = 60;
  a = Pass(EnemyPass::Air);
  EXPECT_EQ(a[0].args[3], 384);
  EXPECT_EQ(a[0].args[5], 8);
  const auto s = Pass(EnemyPass::Shadows);
  EXPECT_EQ(s[0].args, (std::vector<int64_t>{20, 20, 64, 288, 0, 0, 2}));
}

}  // namespace
}  // namespace tarq
