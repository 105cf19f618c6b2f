// The bosses' drawing, checked as the calls the canvas receives.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "game/game.h"
#include "render/enemy_draw.h"
#include "render/frame.h"

namespace tarq {
namespace {

struct DrawCall {
  std::string op;
  std::string image;
  std::vector<int64_t> args;
};

class BossCanvas : public FrameCanvas {
 public:
  BossCanvas() {
    int32_t index = 50;
    for (const char* n : {"goose1", "goose2", "goose3", "rotors1", "boss1gun", "boss1doors", "bar1",
                          "boss2a", "boss2b", "boss2cannon", "boss3", "boss4", "boss4x1"})
      names_[index++] = n;
  }
  int32_t SpriteIndex(std::string_view name) override {
    for (const auto& [index, n] : names_)
      if (n == name) return index;
    return 0;
  }
  void BeginScene() override {}
  void EndScene() override {}
  void Present() override {}
  void DrawImage(ImageRef image, int32_t x, int32_t y, int32_t pattern, int32_t effect) override {
    calls.push_back({"I", Name(image), {x, y, pattern, effect}});
  }
  void DrawImageRotated(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale, int32_t pattern,
                        int32_t effect) override {
    calls.push_back({"R", Name(image), {x, y, angle, scale, pattern, effect}});
  }
  void DrawImageRotatedColored(ImageRef image, int32_t x, int32_t y, int32_t angle, int32_t scale,
                               uint32_t colour, int32_t pattern, int32_t effect) override {
    calls.push_back({"RC", Name(image), {x, y, angle, scale, colour, pattern, effect}});
  }
  void DrawQuad(ImageRef image, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                int32_t x4, int32_t y4, int32_t pattern, int32_t effect) override {
    calls.push_back({"Quad", Name(image), {x1, y1, x2, y2, x3, y3, x4, y4, pattern, effect}});
  }
  void DrawImageColored(ImageRef image, int32_t x, int32_t y, uint32_t colour, int32_t pattern,
                        int32_t effect) override {
    calls.push_back({"IC", Name(image), {x, y, colour, pattern, effect}});
  }
  void Clear(uint32_t) override {}
  void FillBox(int32_t, int32_t, int32_t, int32_t, uint32_t, int32_t) override {}
  void Center(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Right(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Lft(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  void Lft2(const std::string&, int32_t, int32_t, uint32_t, int32_t) override {}
  int32_t TextWidth(int32_t, const std::string&, int32_t) override { return 0; }
  void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    calls.push_back({"Clip", "", {x, y, w, h}});
  }

  std::vector<DrawCall> calls;

 private:
  std::string Name(ImageRef image) const {
    auto it = names_.find(image.Index);
    return it == names_.end() ? "?" : it->second;
  }
  std::map<int32_t, std::string> names_;
};

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
  BossCanvas canvas;
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
