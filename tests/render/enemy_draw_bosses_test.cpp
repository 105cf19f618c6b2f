// The bosses' drawing, checked as the calls the canvas receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "call_recording_canvas.h"
#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq {
namespace {

class BossDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.ScrollX = 32;
    game.ScrollY = 126000;
  }
  EnemyRecord& Put(int32_t kind, double x, double y) {
    EnemyRecord e;
    e.Kind = kind;
    e.X = x;
    e.Y = y;
    game.EnemyList.push_back(e);
    return game.EnemyList.back();
  }
  std::vector<DrawCall> Pass(EnemyPass pass) {
    canvas.calls.clear();
    Enemy_Draw(game, canvas, pass);
    return canvas.calls;
  }
  Game game;
  CallRecordingCanvas canvas;
};

TEST_F(BossDrawTest, FortressGunRisesWithTheBeamAndTheBeamNarrows) {
  EnemyRecord& fort = Put(101, 352, 126200);  // screen (320, 200)
  for (int32_t idle : {0, 20}) {
    fort.IntE = idle;
    const auto air = Pass(EnemyPass::Air);
    ASSERT_EQ(air.size(), 6u) << idle;  // gun, two clipped doors, full-screen clip: no beam
    EXPECT_EQ(air[0].args, (std::vector<int64_t>{288, 104, 0xFFFFFF, 0, 2}));
    EXPECT_EQ(air[5].args, (std::vector<int64_t>{0, 0, 640, 480}));
  }
  fort.IntE = 4;
  fort.ParamA = 10;
  const auto air = Pass(EnemyPass::Air);
  ASSERT_EQ(air.size(), 14u);
  EXPECT_EQ(air[0].args[1], 200 - 10 - 96);  // raised 14 - 4 pixels
  EXPECT_EQ(air[1].args, (std::vector<int64_t>{196, 85, 64, 128}));
  EXPECT_EQ(air[2].args, (std::vector<int64_t>{196, 70, 0, 2}));  // left door up 10
  for (size_t i = 6; i < 14; ++i) {
    EXPECT_EQ(air[i].op, "Quad");
    EXPECT_EQ(air[i].args, (std::vector<int64_t>{315, 300, 323, 300, 323, 680, 315, 680, 0, 3}));
  }
  const auto shadow = Pass(EnemyPass::Shadows);
  ASSERT_EQ(shadow.size(), 1u);
  EXPECT_EQ(shadow[0].args, (std::vector<int64_t>{304, 110, 0, 0, 2}));
  fort.Dead = true;
  EXPECT_TRUE(Pass(EnemyPass::Air).empty());
}

TEST_F(BossDrawTest, GoosePartsTakeTheLeadersTintAndCarryItsRotor) {
  EnemyRecord& part = Put(13, 352, 126100);
  part.ParamA = 1;
  part.Colour = 0x123456;
  // Without a leader: its own tint and only its own rotor.
  auto air = Pass(EnemyPass::Air);
  ASSERT_EQ(air.size(), 2u);
  EXPECT_EQ(air[0].args[4], 0x123456);
  EXPECT_EQ(air[1].args[3], 256);

  EnemyRecord leader;
  leader.Kind = 7;
  leader.X = 400;
  leader.Y = 126150;
  leader.ParamA = 30;
  leader.Colour = 0x4040FF;
  game.EnemyList.insert(game.EnemyList.begin(), leader);
  air = Pass(EnemyPass::Air);
  ASSERT_EQ(air.size(), 4u);  // leader, part, part's rotor, the leader's big rotor
  EXPECT_EQ(air[1].args[4], 0x4040FF);
  EXPECT_EQ(air[3].args, (std::vector<int64_t>{368, 178, 30, 512, 0, 7}));
  EXPECT_EQ(game.GooseLeader, 0);
}

TEST_F(BossDrawTest, FinalBossArenaPiecesStayOnTheMap) {
  EnemyRecord& boss = Put(105, 352, 126408);
  boss.ParamB = 32;
  game.ScrollY = 126272;
  auto air = Pass(EnemyPass::Air);
  ASSERT_EQ(air.size(), 16u);
  EXPECT_EQ(air[0].args, (std::vector<int64_t>{288, 104, 0xFFFFFF, 5, 2}));
  EXPECT_EQ(air[13].args, (std::vector<int64_t>{291, 0, 0, 2}));
  EXPECT_EQ(air[14].args, (std::vector<int64_t>{108, -80 - 32, 0, 2}));
  EXPECT_EQ(air[15].args, (std::vector<int64_t>{468, -80, 0, 2}));
  // The hatch and launchers are tied to the map, not to the boss.
  boss.Y += 50;
  air = Pass(EnemyPass::Air);
  EXPECT_EQ(air[13].args[1], 0);
  EXPECT_EQ(air[0].args[1], 154);
}

TEST_F(BossDrawTest, CitadelDoorFramesAndTheCannonOnTheGround) {
  EnemyRecord& citadel = Put(102, 352, 126200);
  citadel.ParamA = 6;
  citadel.IntE = 1;
  Put(103, 200, 126100);
  const auto air = Pass(EnemyPass::Air);
  ASSERT_EQ(air.size(), 2u);
  EXPECT_EQ(air[0].image, "boss2b");
  EXPECT_EQ(air[0].args[3], 2);
  EXPECT_EQ(air[1].args, (std::vector<int64_t>{312, 232, 326, 232, 326, 680, 312, 680, 0, 3}));
  const auto ground = Pass(EnemyPass::Ground);
  ASSERT_EQ(ground.size(), 1u);
  EXPECT_EQ(ground[0].image, "boss2cannon");
  EXPECT_EQ(ground[0].args, (std::vector<int64_t>{148, 79, 0xFFFFFF, 0, 2}));
}

}  // namespace
}  // namespace tarq
