#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "game/bot_pilot.h"
#include "game/game.h"
#include "game/playing.h"

namespace tarq {
namespace {

class BotPilotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillAngleTables();
    game.ScreenState = kScreenTitle;
    StartRun(game, 0);
    game.ScrollX = 0;
    game.ScrollY = 100000;
    Me().X = 320;
    Me().Y = 380;
    Me().Altitude = kGroundAltitude;
    Me().ShieldTime = 0;  // a fresh helicopter's shield would make every threat harmless
  }
  PlayerRecord& Me() { return game.Players[0]; }
  // A bullet fired from straight above the player, heading down at it.
  void BulletFromAbove(double dx, double distance) {
    EnemyBullet b;
    b.X = Me().X + dx + game.ScrollX;
    b.Y = Me().Y - distance + game.ScrollY;
    b.Angle = 128;
    b.Speed = 3;
    game.EnemyBullets.push_back(b);
  }
  // A flying plane `distance` pixels straight above the helicopter.
  EnemyRecord& PlaneAbove(double distance) {
    EnemyRecord plane;
    plane.Kind = 8;
    plane.Solid = true;
    plane.Height = 256;
    plane.Radius = 32;
    plane.X = Me().X + game.ScrollX;
    plane.Y = Me().Y - distance + game.ScrollY;
    game.EnemyList.push_back(plane);
    return game.EnemyList.back();
  }
  Game game;
};

TEST_F(BotPilotTest, TapsFireToStartAndToJoin) {
  Game title;
  title.ScreenState = kScreenTitle;
  title.TickCount = 10;
  EXPECT_TRUE(ChooseBotControls(title, 0).Fire);
  title.TickCount = 11;
  EXPECT_FALSE(ChooseBotControls(title, 0).Fire) << "a press needs a release before it";
  game.TickCount = 20;
  EXPECT_TRUE(ChooseBotControls(game, 1).Fire) << "player 2 is not in the run yet";
}

TEST_F(BotPilotTest, HoldsFireAndStaysPutWithNothingAround) {
  const BotControls c = ChooseBotControls(game, 0);
  EXPECT_TRUE(c.Fire);
  EXPECT_FALSE(c.Jump);
  EXPECT_FALSE(c.Nuke);
}

TEST_F(BotPilotTest, SidestepsABulletComingStraightAtIt) {
  BulletFromAbove(0, 60);
  const BotControls c = ChooseBotControls(game, 0);
  EXPECT_TRUE(c.Left || c.Right);
}

TEST_F(BotPilotTest, LinesUpUnderAShootableEnemy) {
  EnemyRecord e;
  e.X = 520;
  e.Y = game.ScrollY + 100;
  e.HitPoints = 10;
  game.EnemyList.push_back(e);
  const BotControls c = ChooseBotControls(game, 0);
  EXPECT_TRUE(c.Right);
  EXPECT_FALSE(c.Left);
}

TEST_F(BotPilotTest, GoesForAPowerUpBeforeATarget) {
  EnemyRecord target;
  target.X = 520;
  target.Y = game.ScrollY + 100;
  game.EnemyList.push_back(target);
  EnemyRecord powerUp;
  powerUp.Kind = kKindPowerUp;
  powerUp.Pickup = true;
  powerUp.X = 100;
  powerUp.Y = game.ScrollY + 300;
  game.EnemyList.push_back(powerUp);
  EXPECT_TRUE(ChooseBotControls(game, 0).Left);
}

TEST_F(BotPilotTest, NukesWhenCrowdedAndOnlyWithANukeInHand) {
  for (int i = 0; i < 10; ++i) BulletFromAbove(-90 + 20 * i, 100);
  Me().Nukes = 0;
  EXPECT_FALSE(ChooseBotControls(game, 0).Nuke);
  Me().Nukes = 1;
  EXPECT_TRUE(ChooseBotControls(game, 0).Nuke);
}

TEST_F(BotPilotTest, ForeseesAnAircraftDivingAtItFromItsLastMove) {
  // A plane 150 pixels straight above, diving at 8 pixels a tick: standing still, it
  // looks harmless; seen moving, it must be dodged.
  PlaneAbove(158);
  BotMemory memory;
  game.TickCount = 1;
  memory.Observe(game);
  game.EnemyList[0].Y += 8;
  game.TickCount = 2;
  memory.Observe(game);
  double vx = 0, vy = 0;
  memory.VelocityOf(game, 0, vx, vy);
  EXPECT_DOUBLE_EQ(vy, 8.0);
  EXPECT_DOUBLE_EQ(vx, 0.0);
  const BotControls c = ChooseBotControls(game, 0, &memory);
  EXPECT_TRUE(c.Left || c.Right || c.Jump) << "out of the plane's way";
  // A record that appears far from every earlier one is new: no velocity.
  game.EnemyList[0].Y += 100;
  game.TickCount = 3;
  memory.Observe(game);
  memory.VelocityOf(game, 0, vx, vy);
  EXPECT_EQ(vy, 0.0);
}

TEST_F(BotPilotTest, ThinksAgainOnlyAfterItsReactionTime) {
  BotMemory memory;
  game.TickCount = 100;
  const BotControls first = memory.Fly(game, 0);
  EXPECT_FALSE(first.Left || first.Right);
  // A bullet appears right after the decision: the bot holds on until it thinks again.
  BulletFromAbove(0, 60);
  game.TickCount = 101;
  EXPECT_FALSE(memory.Fly(game, 0).Left || memory.Fly(game, 0).Right);
  game.TickCount = 100 + BotMemory::kReactionTicks;
  const BotControls later = memory.Fly(game, 0);
  EXPECT_TRUE(later.Left || later.Right || later.Jump);
}

TEST_F(BotPilotTest, UnderAShieldItIgnoresBodiesButStillDodgesBullets) {
  PlaneAbove(30);
  Me().ShieldTime = 400;
  BotControls c = ChooseBotControls(game, 0);
  EXPECT_FALSE(c.Jump) << "a shielded helicopter flies through bodies";
  game.EnemyList.clear();
  BulletFromAbove(0, 60);
  c = ChooseBotControls(game, 0);
  EXPECT_TRUE(c.Left || c.Right) << "a bullet soaked up by the shield lengthens it: dodge anyway";
}

TEST_F(BotPilotTest, ShootsAFortressFromBesideItsBeam) {
  EnemyRecord fortress;
  fortress.Kind = 101;
  fortress.Solid = true;
  fortress.Shootable = true;
  fortress.HitPoints = 400;
  fortress.Radius = 32;
  fortress.X = Me().X + game.ScrollX;
  fortress.Y = game.ScrollY + 150;
  game.EnemyList.push_back(fortress);
  BotMemory memory;
  for (int32_t tick = 0; tick < 120; ++tick) {
    game.TickCount = tick;
    const BotControls c = memory.Fly(game, 0);
    // The helicopter as Move moves it, in short.
    const int32_t dx = c.Right - c.Left;
    Me().VelX = dx != 0 ? std::clamp(Me().VelX + 0.5 * dx, -4.0, 4.0)
                        : (Me().VelX > 0 ? std::max(0.0, Me().VelX - 0.2) : std::min(0.0, Me().VelX + 0.2));
    Me().X += Me().VelX;
  }
  const double off = std::abs(Me().X - (fortress.X - game.ScrollX));
  EXPECT_GE(off, 16.0) << "out of the beam's burn";
  EXPECT_LE(off, 24.0) << "still under the fortress's hull to hit it";
}

TEST_F(BotPilotTest, HeldCodesComeFromThePlayersBindings) {
  ControlBindingTable bindings = DefaultControlBindings();
  bindings[1][kCtlFire] = "KB1EKB1F";
  bindings[1][kCtlLeft] = "";
  BotControls c;
  c.Fire = true;
  c.Left = true;
  c.Up = true;
  const std::vector<std::string> codes = BotHeldCodes(bindings, 1, c);
  ASSERT_EQ(codes.size(), 2u);
  EXPECT_EQ(codes[0], bindings[1][kCtlUp].substr(0, 4));
  EXPECT_EQ(codes[1], "KB1E") << "the first code of a binding; an unbound control is not held";
}

}  // namespace
}  // namespace tarq
