#include <gtest/gtest.h>

#include <cmath>

#include "core/angles.h"
#include "core/numeric.h"
#include "core/random.h"

namespace tarq {
namespace {

TEST(Numeric, RoundsHalvesToEven) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-3.5), -4);
  EXPECT_EQ(Round(2.4999), 2);
  EXPECT_EQ(Round(-0.6), -1);
}

TEST(Numeric, DivTruncatesAndModFollowsDividend) {
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_EQ(Div(7, -2), -3);
  EXPECT_EQ(Mod(7, -2), 1);
}

TEST(Angles, TablesFollowGameHeadings) {
  FillAngleTables();
  // Moving along heading a adds (d * Sin, -d * Cos): 0 is up, 64 right, 128 down.
  EXPECT_NEAR(SinTable[0], 0.0, 1e-12);
  EXPECT_NEAR(CosTable[0], 1.0, 1e-12);
  EXPECT_NEAR(SinTable[64], 1.0, 1e-12);
  EXPECT_NEAR(CosTable[128], -1.0, 1e-12);
  EXPECT_NEAR(SinTable[192], -1.0, 1e-12);
  EXPECT_EQ(ToByteAngle(-6), 250);
  EXPECT_EQ(ToByteAngle(256 + 3), 3);
}

TEST(Random, FixedSeedReproducesAndStaysInRange) {
  SeedRandom(42);
  std::vector<int> first;
  for (int i = 0; i < 100; ++i) first.push_back(Random(256));
  SeedRandom(42);
  for (int i = 0; i < 100; ++i) {
    const int v = Random(256);
    EXPECT_EQ(v, first[i]);
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 256);
  }
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(1), 0);
}

TEST(Random, VisualDrawsDoNotDisturbTheSimulation) {
  SeedRandom(7);
  const int a = Random(1000);
  const int b = Random(1000);
  SeedRandom(7);
  EXPECT_EQ(Random(1000), a);
  for (int i = 0; i < 10; ++i) VisualRandom(100);
  EXPECT_EQ(Random(1000), b);
}

}  // namespace
}  // namespace tarq
