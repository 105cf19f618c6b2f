// Enemy_Add: defaults, kind rows, the nuke's toll and the children some kinds bring.
#include <gtest/gtest.h>

#include "enemy_test_support.h"

namespace tarq {
namespace {

using enemy_test::TestGame;

TEST(EnemyAdd, DefaultsForAKindWithoutARow) {
  TestGame t;
  t.Add(15, 100, 200, 7, 33, 1, 2, 3, 4, 5, 6);
  const EnemyRecord& e = t.At(0);
  EXPECT_EQ(e.X, 100);
  EXPECT_EQ(e.Y, 200);
  EXPECT_EQ(e.Angle, 33);
  EXPECT_EQ(e.HitPoints, 7);
  EXPECT_EQ(e.ParamA, 1);
  EXPECT_EQ(e.IntC, 6);
  EXPECT_EQ(e.Height, 256);
  EXPECT_EQ(e.Colour, 0xFFFFFFu);
  EXPECT_EQ(e.Radius, 32);
  EXPECT_TRUE(e.RoundHit && e.Solid && e.Shootable);
  EXPECT_FALSE(e.Pickup || e.Dead || e.Armoured);
  EXPECT_EQ(e.LastHitBy, -1);
  EXPECT_EQ(e.ScoreValue, 250);
  EXPECT_EQ(e.TopMargin, -1000);
  EXPECT_EQ(e.BottomMargin, 580);
}

TEST(EnemyAdd, KindRowsSetTheirValues) {
  TestGame t;
  t.Add(4, 0, 0);
  EXPECT_FALSE(t.At(0).RoundHit);
  EXPECT_EQ(t.At(0).HalfWidth, 16);
  EXPECT_EQ(t.At(0).ScoreValue, 825);
  t.Add(17, 0, 0);
  EXPECT_EQ(t.At(1).Height, 64);
  EXPECT_EQ(t.At(1).Angle, 64);
  EXPECT_EQ(t.At(1).ParamB, 160);
  EXPECT_EQ(t.At(1).BottomMargin, 1500);
  t.Add(18, 351, 0);
  t.Add(18, 352, 0);
  EXPECT_EQ(t.At(2).IntD, 1);
  EXPECT_EQ(t.At(3).IntD, -1);
  EXPECT_FALSE(t.At(3).Shootable);
  t.Add(255, 0, 0, 1, 0, 0, 0, 9);
  const EnemyRecord& p = t.At(4);
  EXPECT_TRUE(p.Pickup);
  EXPECT_EQ(p.ParamC, 0);
  EXPECT_EQ(p.HitPoints, 999999999);
  EXPECT_GE(p.IntA, 64);
  EXPECT_LT(p.IntA, 255);
  EXPECT_GE(p.IntB, 1);
  EXPECT_LE(p.IntB, 15);
  t.Add(42, 0, 0, 1, 0, 0, 0, 0, 123);
  EXPECT_EQ(t.At(5).Height, 123);
  t.Add(90, 0, 0, 1, 0, 0, 0, 0, 0, 21);
  EXPECT_EQ(t.At(6).IntA, 42);
}

TEST(EnemyAdd, KindSixteenHeadsWithinFortyEightStepsOfStraightUp) {
  TestGame t;
  bool sawLeft = false, sawRight = false;
  for (int i = 0; i < 400; ++i) {
    t.game.EnemyList.clear();
    t.Add(16, 0, 0);
    const int a = t.At(0).Angle;
    EXPECT_TRUE(a >= 208 || a <= 47) << a;
    sawLeft |= a >= 208;
    sawRight |= a <= 47;
  }
  EXPECT_TRUE(sawLeft && sawRight);
}

TEST(EnemyAdd, TheNukeTakesFiftyHitPointsFromNewEnemiesButNotFromPickups) {
  TestGame t;
  t.game.NukeTimer = 100;
  t.Add(0, 0, 0, 60);
  t.Add(255, 0, 0, 60);
  t.Add(254, 0, 0, 60);
  EXPECT_EQ(t.At(0).HitPoints, 10);
  EXPECT_EQ(t.At(1).HitPoints, 999999999);
  EXPECT_EQ(t.At(2).HitPoints, 10);
  t.game.NukeTimer = 32768;  // the blast is over
  t.Add(0, 0, 0, 60);
  EXPECT_EQ(t.At(3).HitPoints, 60);
}

TEST(EnemyAdd, TanksAndJeepsLayATrackMark) {
  TestGame t;
  t.Add(1, 300, 400, 5, 10, 0, 0, 0, 0, 4);  // intB > 0: reversing, marks turned round
  ASSERT_EQ(t.game.EnemyList.size(), 2u);
  EXPECT_EQ(t.At(0).TrackSide, 128);
  EXPECT_EQ(t.At(0).IntD, 300);
  EXPECT_EQ(t.At(0).IntE, 400);
  const EnemyRecord& mark = t.At(1);
  EXPECT_EQ(mark.Kind, 89);
  EXPECT_EQ(mark.X, 300);
  EXPECT_EQ(mark.Y, 400);
  EXPECT_EQ(mark.Angle, 138);
  EXPECT_EQ(mark.ParamA, 1);
  EXPECT_EQ(mark.IntA, t.game.sn("tanktracks"));
  EXPECT_NE(mark.IntA, 0) << "the forged sprite table has tank tracks";
  EXPECT_FALSE(mark.Solid || mark.Shootable);
  EXPECT_EQ(mark.Height, 0);

  t.Add(25, 10, 20, 5);
  EXPECT_EQ(t.game.EnemyList.back().IntA, t.game.sn("jeeptracks"));
  EXPECT_EQ(t.game.EnemyList.back().Angle, 0);
}

TEST(EnemyAdd, TheNukeCraterIsATankRecordThatDiesAtOnceAndLaysItsMark) {
  TestGame t;
  t.game.NukeX = 320;
  t.game.NukeY = t.game.ScrollY + 200;
  t.game.NukeTimer = 16385 - 256;
  t.game.NukeBrightness = 255;
  PlayerRecord& p = t.JoinAt(0, 320, 300);
  p.Altitude = 256;
  t.Ticks(1);
  ASSERT_EQ(t.game.EnemyList.size(), 2u);
  const EnemyRecord& crater = t.At(0);
  EXPECT_EQ(crater.Kind, 1);
  EXPECT_EQ(crater.ParamC, 255);
  EXPECT_TRUE(crater.Dead);  // 0 - 50 hit points: dead on the same tick's update
  EXPECT_EQ(t.At(1).Kind, 89);
  EXPECT_EQ(t.game.Players[0].Score, 0);
}

TEST(EnemyAdd, ATrainBringsItsCarriagesWithConsecutiveLinkSlots) {
  TestGame t;
  t.Add(10, 1000, 500, 10, 0, 0, 3, 0, 7);
  ASSERT_EQ(t.game.EnemyList.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    const EnemyRecord& c = t.At(static_cast<size_t>(i + 1));
    EXPECT_EQ(c.Kind, 11);
    EXPECT_EQ(c.X, 1000 - 96 * (i + 1));
    EXPECT_EQ(c.Y, 500);
    EXPECT_EQ(c.IntA, 7 + i);
    EXPECT_EQ(c.IntB, 8 + i);
    EXPECT_EQ(c.HitPoints, 4);
    EXPECT_LE(c.ParamA, 1);
  }
  t.game.EnemyList.clear();
  t.Add(10, 1000, 500, 10, 0, 1, 1);
  EXPECT_EQ(t.At(1).X, 1096);
}

TEST(EnemyAdd, ALoopyChainFollowsItsHead) {
  TestGame t;
  t.Add(31, 200, 1000, 3, 0, 0, 0, 5, 10, 4, 2);
  ASSERT_EQ(t.game.EnemyList.size(), 3u);
  EXPECT_EQ(t.At(0).ParamB, 4);  // intB + angle
  EXPECT_EQ(t.At(0).IntC, 2);
  EXPECT_EQ(t.At(1).Y, 1064);
  EXPECT_EQ(t.At(2).Y, 1128);
  EXPECT_EQ(t.At(1).X, 200);
  EXPECT_EQ(t.At(1).IntA, 26);
  EXPECT_EQ(t.At(2).IntA, 42);
  EXPECT_EQ(t.At(1).ParamB, 8);
  EXPECT_EQ(t.At(2).ParamB, 12);
  EXPECT_EQ(t.At(1).ParamC, 5);
  EXPECT_EQ(t.At(2).IntC, 0);
  EXPECT_EQ(t.At(2).HitPoints, 3);
  // Heading right: followers to the left.
  t.game.EnemyList.clear();
  t.Add(31, 200, 1000, 3, 64, 0, 0, 0, 0, 0, 1);
  EXPECT_EQ(t.At(1).X, 136);
  EXPECT_EQ(t.At(1).Y, 1000);
}

TEST(EnemyAdd, WaterThingsRiseInAColumnAndGeeseGatherTheirParts) {
  TestGame t;
  t.Add(32, 100, 1000, 2, 0, 50, 6, 2, 1, 2, 3);
  ASSERT_EQ(t.game.EnemyList.size(), 3u);
  EXPECT_EQ(t.At(1).Y, 936);
  EXPECT_EQ(t.At(2).Y, 872);
  EXPECT_EQ(t.At(1).ParamA, 42);
  EXPECT_EQ(t.At(2).ParamA, 34);
  EXPECT_EQ(t.At(2).Angle, 128);
  EXPECT_EQ(t.At(2).ParamC, 0);
  EXPECT_EQ(t.At(2).IntC, 3);

  t.game.EnemyList.clear();
  t.Add(9, 0, 0);
  t.Add(7, 400, 1000, 50);
  EXPECT_EQ(t.game.GooseLeader, 1);
  ASSERT_EQ(t.game.EnemyList.size(), 6u);
  EXPECT_EQ(t.At(2).Kind, 14);
  EXPECT_EQ(t.At(2).X, 200);
  EXPECT_EQ(t.At(3).X, 600);
  EXPECT_EQ(t.At(3).ParamA, 1);
  EXPECT_EQ(t.At(4).Kind, 13);
  EXPECT_EQ(t.At(4).Radius, 4);
  EXPECT_EQ(t.At(5).Radius, 32);
  EXPECT_EQ(t.At(5).Y, 720);
}

TEST(EnemyAdd, AMusicCueIsNeverSeenAndNeverMissed) {
  TestGame t;
  GameAudio music{t.layer, TARQ_DATA_DIR};
  music.Startup();
  music.LoadMusic();
  t.game.Audio = &music;
  t.Add(252, 0, t.game.ScrollY, 1, 0, 3, 0, 0);
  EXPECT_EQ(t.At(0).Y, t.game.ScrollY + 5000);
  EXPECT_EQ(music.CurrentTrack, 3);
  Enemy_Process(t.game);
  EXPECT_TRUE(t.game.EnemyList.empty());
}

}  // namespace
}  // namespace tarq
