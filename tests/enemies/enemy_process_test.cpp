// Enemy_Process: ageing, deaths and their score, removal, contact with the players,
// pick-ups and missile strikes.
#include <gtest/gtest.h>

#include "enemy_test_support.h"

namespace tarq {
namespace {

using enemy_test::TestGame;

// An invisible kind with no behaviour: only the update's own rules act on it.
constexpr int32_t kInert = 15;

TEST(EnemyProcess, RemovesRecordsOnlyBeyondTheMargins) {
  TestGame t;
  const int32_t top = t.game.ScrollY;
  t.Add(kInert, 100, top + 580);    // exactly at the bottom margin: stays
  t.Add(kInert, 100, top + 581);    // one pixel further: gone
  t.Add(kInert, 100, top - 1000);   // exactly at the top margin: stays
  t.Add(kInert, 100, top - 1001);
  t.game.EnemyList[1].Y = top + 580.5;
  Enemy_Process(t.game);
  ASSERT_EQ(t.game.EnemyList.size(), 2u);
  EXPECT_EQ(t.At(0).Y, top + 580);
  EXPECT_EQ(t.At(1).Y, top - 1000);
  EXPECT_EQ(t.At(0).Age, 1);
}

TEST(EnemyProcess, AKillCreditsTheLastHitterOnceWithASound) {
  TestGame t;
  t.Add(kInert, 100, t.game.ScrollY + 100, 0);
  t.At(0).LastHitBy = 1;
  t.At(0).Age = 40;
  Enemy_Process(t.game);
  EXPECT_TRUE(t.At(0).Dead);
  EXPECT_EQ(t.At(0).Age, 0);
  EXPECT_EQ(t.game.Players[1].Score, 250);
  EXPECT_EQ(t.game.Players[0].Score, 0);
  const auto sounds = t.TakeSounds();
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_TRUE(sounds[0] == 1 || sounds[0] == 2);
  Enemy_Process(t.game);
  EXPECT_EQ(t.game.Players[1].Score, 250);
  EXPECT_EQ(t.At(0).Age, 1);
  EXPECT_TRUE(t.TakeSounds().empty());
}

TEST(EnemyProcess, DeathSoundsRunAtAFractionalRate) {
  // 90 + Random(200) / 10 percent: with enough kills some rates are not whole numbers,
  // which shows as playback frequencies off the whole-percent grid.
  TestGame t(5);
  bool fractional = false;
  for (int i = 0; i < 40 && !fractional; ++i) {
    t.game.EnemyList.clear();
    t.Add(kInert, 100, t.game.ScrollY + 100, 0);
    Enemy_Process(t.game);
    ASSERT_EQ(t.audio.SoundLog.size(), 1u);
    const int32_t f = t.audio.SoundLog[0].frequency;
    t.audio.SoundLog.clear();
    bool onGrid = false;
    for (int percent = 90; percent <= 110; ++percent) onGrid |= f == SoundFrequency(percent);
    fractional = !onGrid;
  }
  EXPECT_TRUE(fractional);
}

TEST(EnemyProcess, KillsDuringTheNukeAreSilentAndUnhitKillsScoreNothing) {
  TestGame t;
  t.game.NukeTimer = 0;
  t.Add(kInert, 100, t.game.ScrollY + 100, 0);
  t.game.NukeTimer = 32769;
  t.Add(kInert, 100, t.game.ScrollY + 100, 0);
  Enemy_Process(t.game);
  EXPECT_TRUE(t.At(0).Dead && t.At(1).Dead);
  EXPECT_TRUE(t.TakeSounds().empty());
  EXPECT_EQ(t.game.Players[0].Score + t.game.Players[1].Score, 0);
  t.game.NukeTimer = 32770;
  t.Add(kInert, 100, t.game.ScrollY + 100, 0);
  Enemy_Process(t.game);
  EXPECT_EQ(t.TakeSounds().size(), 1u);
}

struct ContactCase {
  int32_t altitude;
  int32_t height;
  bool touches;
};

TEST(EnemyProcess, ContactNeedsAnAirborneEnemyAndALowEnoughPlayer) {
  for (const ContactCase& c : {ContactCase{260, 20, true}, ContactCase{260, 19, false}, ContactCase{261, 256, false},
                               ContactCase{300, 256, false}, ContactCase{100, 256, true}}) {
    TestGame t;
    t.game.TickCount = 8;
    PlayerRecord& p = t.JoinAt(0, 200, 200);
    p.Altitude = c.altitude;
    t.Add(kInert, 200 + t.game.ScrollX, t.game.ScrollY + 200 + 48, 5);  // 48 < 32 + 17
    t.At(0).Height = c.height;
    Enemy_Process(t.game);
    EXPECT_EQ(t.At(0).HitPoints == 4, c.touches) << c.altitude << " " << c.height;
    EXPECT_EQ(p.Energy < 0, c.touches);
  }
}

TEST(EnemyProcess, ContactIsTestedOnEveryFourthTickOnly) {
  TestGame t;
  t.JoinAt(0, 200, 200);
  t.Add(kInert, 200 + t.game.ScrollX, t.game.ScrollY + 200, 5);
  t.game.TickCount = 9;
  Enemy_Process(t.game);
  EXPECT_EQ(t.At(0).HitPoints, 5);
  t.game.TickCount = 12;
  Enemy_Process(t.game);
  EXPECT_EQ(t.At(0).HitPoints, 4);
  EXPECT_EQ(t.At(0).LastHitBy, 0);
  EXPECT_EQ(t.At(0).Colour, 0x4040FFu);
}

TEST(EnemyProcess, ShieldTimeBlocksContactDamageButTheEnemyStillLosesAPoint) {
  TestGame t;
  t.game.TickCount = 4;
  PlayerRecord& p = t.JoinAt(1, 200, 200);
  p.ShieldTime = 10;
  t.Add(kInert, 200 + t.game.ScrollX, t.game.ScrollY + 200, 5);
  Enemy_Process(t.game);
  EXPECT_EQ(t.At(0).HitPoints, 4);
  EXPECT_EQ(t.At(0).LastHitBy, 1);
  EXPECT_EQ(p.Energy, 1000);
  EXPECT_EQ(p.Colour, 0xFFFFFFu);
  // Armour takes the blow next.
  p.ShieldTime = 0;
  p.Armour = 150;
  t.game.TickCount = 8;
  Enemy_Process(t.game);
  EXPECT_EQ(p.Armour, 50);
  EXPECT_EQ(p.Energy, 1000);
  EXPECT_EQ(p.Colour, 0x4040FFu);
  // An armoured, unshootable body only hurts, with the plain thud.
  t.At(0).Shootable = false;
  t.At(0).Armoured = true;
  t.TakeSounds();
  t.game.TickCount = 12;
  Enemy_Process(t.game);
  EXPECT_EQ(t.At(0).HitPoints, 3 + 0);
  EXPECT_EQ(t.TakeSounds(), std::vector<int32_t>{3});
}

TEST(EnemyProcess, BothPlayersOnOnePowerUpPlayerOneTakesIt) {
  TestGame t;
  t.game.TickCount = 4;
  PlayerRecord& p1 = t.JoinAt(0, 200, 200);
  PlayerRecord& p2 = t.JoinAt(1, 205, 200);
  t.Add(255, 200 + t.game.ScrollX, t.game.ScrollY + 200, 1);
  t.At(0).Height = 256;
  t.At(0).ParamC = 1;
  p1.WeaponLevel = 5;
  p1.Spread = 3;
  p2.WeaponLevel = 2;
  Enemy_Process(t.game);
  EXPECT_EQ(p1.WeaponLevel, 5);  // at most 5
  EXPECT_EQ(p1.Spread, 0);
  EXPECT_EQ(p2.WeaponLevel, 2);
  EXPECT_EQ(t.TakeSounds(), std::vector<int32_t>{7});
  // Gone on the next update, scoring nothing.
  Enemy_Process(t.game);
  EXPECT_TRUE(t.game.EnemyList.empty());
  EXPECT_EQ(p1.Score, 0);
}

TEST(EnemyProcess, EveryPowerUpSubKindGrantsItsGift) {
  struct Gift {
    uint8_t sub;
    int32_t PlayerRecord::*field;
    int32_t expected;
  };
  for (const Gift& g : {Gift{0, &PlayerRecord::ShieldTime, 1125}, Gift{1, &PlayerRecord::WeaponLevel, 2},
                        Gift{2, &PlayerRecord::Spread, 3}, Gift{3, &PlayerRecord::FireRate, 2},
                        Gift{4, &PlayerRecord::Nukes, 1}, Gift{5, &PlayerRecord::Lives, 4},
                        Gift{6, &PlayerRecord::Armour, 500}}) {
    TestGame t;
    t.game.TickCount = 4;
    PlayerRecord& p = t.JoinAt(0, 200, 200);
    p.WeaponLevel = 1;
    p.FireRate = 1;
    p.Nukes = 0;
    t.Add(255, 200 + t.game.ScrollX, t.game.ScrollY + 200, 1);
    t.At(0).Height = 256;
    t.At(0).ParamC = g.sub;
    Enemy_Process(t.game);
    EXPECT_EQ(p.*g.field, g.expected) << int{g.sub};
  }
}

TEST(EnemyProcess, TheShieldPickupArmoursAndWhenArmouredSetsOffTheNuke) {
  TestGame t;
  t.game.TickCount = 4;
  PlayerRecord& p = t.JoinAt(0, 200, 200);
  t.Add(254, 200 + t.game.ScrollX, t.game.ScrollY + 200, 1);
  Enemy_Process(t.game);
  EXPECT_EQ(p.Armour, 300);
  EXPECT_EQ(t.game.NukeTimer, -1);
  EXPECT_EQ(t.TakeSounds(), std::vector<int32_t>{12});

  // Already armoured: the nuke, at the pick-up, hitting every shootable non-pick-up.
  t.game.EnemyList.clear();
  t.game.EnemyBullets.push_back({});
  p.Armour = 20;
  t.game.TickCount = 8;
  t.Add(254, 200 + t.game.ScrollX, t.game.ScrollY + 210, 1);
  t.Add(kInert, 600, t.game.ScrollY + 100, 60);
  t.Add(255, 500, t.game.ScrollY + 100, 60);
  t.Add(89, 500, t.game.ScrollY + 100, 60);
  Enemy_Process(t.game);
  EXPECT_EQ(p.Armour, 300);
  EXPECT_EQ(t.game.NukeTimer, 1);
  EXPECT_EQ(t.game.NukeX, 200 + t.game.ScrollX);
  EXPECT_EQ(t.game.NukeY, t.game.ScrollY + 210);
  EXPECT_TRUE(t.game.EnemyBullets.empty());
  EXPECT_EQ(t.At(1).HitPoints, 10);
  EXPECT_EQ(t.At(2).HitPoints, 999999999);
  EXPECT_EQ(t.At(3).HitPoints, 60);
  EXPECT_EQ(t.TakeSounds(), (std::vector<int32_t>{9, 12}));
}

TEST(EnemyProcess, ArmedMissilesStrikeAircraftTheyFlyInto) {
  TestGame t;
  const int32_t y = t.game.ScrollY + 200;
  t.Add(2, 100, y, 10, 64);
  t.Add(kInert, 120, y, 10);   // 20 apart: struck
  t.Add(kInert, 100, y + 27, 10);  // 27 apart: not
  t.Add(kInert, 110, y, 10);
  t.At(3).Height = 0;  // on the ground: not
  t.At(0).Age = 64;  // 65 after this update's ageing
  t.At(0).IntA = 10000;
  Enemy_Process(t.game);
  const double missileX = t.At(0).X;
  EXPECT_NEAR(missileX, 100.05, 1e-9);  // it moved IntC / 20 first
  EXPECT_EQ(t.At(0).HitPoints, 5);
  EXPECT_EQ(t.At(1).HitPoints, 5);
  EXPECT_EQ(t.At(2).HitPoints, 10);
  EXPECT_EQ(t.At(3).HitPoints, 10);
}

TEST(EnemyProcess, ARunWhereNobodyFiresEndsInGameOver) {
  TestGame t;
  t.game.ScreenState = kScreenTitle;
  t.game.Controls[0].FirePressed = true;
  Timer1Process(t.game);  // the title starts a run for player 1
  t.game.Controls[0] = {};
  ASSERT_EQ(t.game.ScreenState, kScreenPlaying);
  // An enemy that hovers over the helicopter's start position and rams it.
  t.Add(kInert, 320 + t.game.ScrollX, t.game.ScrollY + 340, 1000000000);
  int32_t ticks = 0;
  while (t.game.ScreenState == kScreenPlaying && ticks < 20000) {
    t.At(0).Y = t.game.ScrollY + 340;
    Timer1Process(t.game);
    ++ticks;
  }
  EXPECT_EQ(t.game.ScreenState, kScreenScores);
  EXPECT_FALSE(t.game.Players[0].Active);
  EXPECT_TRUE(t.game.EnemyList.empty());
  EXPECT_TRUE(t.game.EnemyBullets.empty());
}

}  // namespace
}  // namespace tarq
