// Golden pictures of the five set-piece fights, each alive and while it dies, drawn by
// the software back end on the forged data at their places on the map. Each picture is
// compared with tests/golden/boss_<name>.png (TARQ_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include "forged_scene_test.h"
#include "assets/asset_loader.h"
#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"
#include "render/frame.h"

namespace tarq {
namespace {

class BossGoldenTest : public ForgedSceneTest {
 protected:
  void SetUp() override {
    LoadForgedScene(5);
    if (HasFatalFailure()) return;
    StartRun(game, 0);
    // A player who cannot be hurt, firing all the while, to show the fight.
    game.Players[0].ShieldTime = 2000000000;
    game.Controls[0].FireHeld = 1;
  }

  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      Timer1Render(game, nullptr);
      Timer1Process(game);
    }
  }
  size_t Find(int32_t kind) const {
    for (size_t i = 0; i < game.EnemyList.size(); ++i)
      if (game.EnemyList[i].Kind == kind) return i;
    return game.EnemyList.size();
  }
  EnemyRecord& Boss(int32_t kind) {
    const size_t i = Find(kind);
    EXPECT_LT(i, game.EnemyList.size()) << "kind " << kind << " is gone";
    return game.EnemyList[std::min(i, game.EnemyList.size() - 1)];
  }
  void Golden(const std::string& name) {
    Timer1Render(game, canvas.get());
    testing::ExpectGolden(*device, "boss_" + name);
  }
};

TEST_F(BossGoldenTest, GooseFormation) {
  game.ScrollY = 192000;
  Enemy_Add(game, 352, 192000 - 120, 0, 7, 0, 0, 0, 0, 100, 3, 20);
  for (int i = 0; i < 1000 && Boss(7).ParamC < 4; ++i) Tick();
  ASSERT_EQ(Boss(7).ParamC, 4);
  Tick(60);  // roaming with the formation complete
  Golden("goose_alive");
  Boss(7).HitPoints = 0;
  Tick(24);
  Golden("goose_dying");
}

TEST_F(BossGoldenTest, Fortress) {
  SeedRandom(3);  // a fight in which no missile tank is out before the pictures
  game.ScrollY = 194752;
  Enemy_Add(game, 352, 194720, 0, 101, 0, 0, 0, 0, 0, 0, 25);
  Tick(806);
  ASSERT_EQ(game.ScrollHold, 1);
  ASSERT_GT(Boss(101).IntE, 0);
  // The pictures show the fortress alone: no missile tank is out yet, so they do not
  // depend on how the tanks look or move.
  ASSERT_EQ(Find(90), game.EnemyList.size());
  Golden("fortress_alive");
  Boss(101).HitPoints = 0;
  Tick(12);  // the nuke's blast growing from the wreck, the first of the long chain
  ASSERT_EQ(Find(90), game.EnemyList.size());
  Golden("fortress_dying");
  Tick(178);
  EXPECT_EQ(game.ScrollHold, 1);
  Tick(20);
  EXPECT_EQ(game.ScrollHold, 0);
}

TEST_F(BossGoldenTest, CitadelAndCannon) {
  game.ScrollY = 172280;
  Enemy_Add(game, 352, 172160, 0, 102, 0, 0, 0, 0, 0, 0, 40);
  for (const auto& [x, y] : {std::pair{226, 172084}, {478, 172084}, {218, 172228}, {486, 172228}})
    Enemy_Add(game, x, y, 0, 103, 0, 0, 0, 300, 100, 0, 10);
  Tick(700);
  for (int i = 0; i < 3000 && !(Boss(102).IntE > 2 && Boss(102).IntE < 7); ++i) Tick();
  ASSERT_EQ(game.ScrollHold, 1);
  Golden("citadel_alive");
  Boss(102).HitPoints = 0;
  Boss(103).HitPoints = 0;
  Tick(30);
  Golden("citadel_dying");
}

TEST_F(BossGoldenTest, Platform) {
  game.ScrollY = 138774;
  Enemy_Add(game, 352, 138624, 0, 104, 0, 0, 0, 0, 0, 0, 150);
  Tick(600 + 400);  // engaged, slid to one side, and firing again
  ASSERT_EQ(game.ScrollHold, 1);
  for (int i = 0; i < 400 && game.EnemyBullets.empty(); ++i) Tick();
  Golden("platform_alive");
  Boss(104).HitPoints = 0;
  Tick(30);
  Golden("platform_dying");
  Tick(80);
  EXPECT_EQ(game.ScrollHold, 0);
}

TEST_F(BossGoldenTest, FinalBoss) {
  // Far enough ahead of the arena for the boss to sink in, climb back and lock.
  game.ScrollY = 127100;
  Enemy_Add(game, 352, 127100 - 500, 0, 105, 0, 0, 0, 0, 0, 0, 400);
  for (int i = 0; i < 3000 && !(game.ScrollY == 126272 && Boss(105).ParamB > 24); ++i) Tick();
  ASSERT_EQ(game.ScrollY, 126272);
  EXPECT_NEAR(Boss(105).Y, 126408, 1);  // locked 136 below the view on its last step
  Golden("final_alive");
  Boss(105).HitPoints = 0;
  Tick(20);
  Golden("final_dying");
  Tick(40);
  EXPECT_EQ(game.ScreenState, kScreenCompletion);
}

}  // namespace
}  // namespace tarq
