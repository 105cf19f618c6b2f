// The forge's art kit (pixel conversion, noise, pattern transforms) and the orientation
// of sprites whose drawing code fixes where their parts must be.
#include <gtest/gtest.h>

#include <cmath>

#include "art.h"
#include "sprites_common.h"

namespace tarq::forge {
namespace {

uint32_t At(const PatternPixels& p, int x, int y) { return p.pixels[size_t(y) * p.width + x]; }
uint32_t Alpha(uint32_t v) { return v >> 24; }
uint32_t Red(uint32_t v) { return (v >> 16) & 0xFF; }
uint32_t Blue(uint32_t v) { return v & 0xFF; }

TEST(ArtKit, SurfacePixelsAreStraightAlphaWithCleanTransparency) {
  Canvas c(4, 2);
  cairo_rectangle(c.cr(), 0, 0, 2, 2);
  cairo_set_source_rgba(c.cr(), 1.0, 0.5, 0.0, 0.5);
  cairo_fill(c.cr());
  const PatternPixels p = c.Pixels();
  const uint32_t v = At(p, 0, 0);
  EXPECT_NEAR(double(Alpha(v)), 128, 1);
  EXPECT_EQ(Red(v), 255u);  // premultiplication undone
  EXPECT_NEAR(double((v >> 8) & 0xFF), 128, 2);
  EXPECT_EQ(At(p, 3, 1), 0u);  // untouched: fully zero

  // Round trip through a Cairo surface keeps colours within rounding.
  PatternPixels src;
  src.width = 3;
  src.height = 1;
  src.pixels = {0xFF102030u, 0x80FF8040u, 0x00000000u};
  cairo_surface_t* s = SurfaceFromPixels(src);
  const PatternPixels back = PixelsFromSurface(s);
  cairo_surface_destroy(s);
  for (size_t i = 0; i < src.pixels.size(); ++i) {
    for (int sh = 0; sh < 32; sh += 8) {
      EXPECT_NEAR(double((back.pixels[i] >> sh) & 0xFF), double((src.pixels[i] >> sh) & 0xFF), 2.0) << i;
    }
  }

  PatternPixels dirty = src;
  dirty.pixels[2] = 0x00FFFFFFu;
  ZeroTransparent(dirty);
  EXPECT_EQ(dirty.pixels[2], 0u);
  EXPECT_EQ(dirty.pixels[0], src.pixels[0]);
}

TEST(ArtKit, NoiseIsDeterministicBoundedAndTilesWhenPeriodic) {
  EXPECT_EQ(Hash32(3, -7, 11), Hash32(3, -7, 11));
  EXPECT_NE(Hash32(3, -7, 11), Hash32(3, -7, 12));
  double lo = 1, hi = 0;
  for (int i = 0; i < 400; ++i) {
    const double v = Fbm(i * 0.37, i * 0.11 - 5, 4, 9);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  EXPECT_GE(lo, 0.0);
  EXPECT_LE(hi, 1.0);
  EXPECT_GT(hi - lo, 0.2);  // it does vary
  // Periodic noise repeats exactly: what seamless tiles rely on.
  for (double x : {0.0, 1.3, 5.75, -2.2}) {
    for (double y : {0.0, 2.5, 7.9}) {
      EXPECT_DOUBLE_EQ(PeriodicFbm(x, y, 4, 3, 3, 21), PeriodicFbm(x + 4, y, 4, 3, 3, 21));
      EXPECT_DOUBLE_EQ(PeriodicFbm(x, y, 4, 3, 3, 21), PeriodicFbm(x, y + 3, 4, 3, 3, 21));
    }
  }
  ArtRandom a(5), b(5);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(a.Next(), b.Next());
}

TEST(ArtKit, PatternTransforms) {
  PatternPixels p;
  p.width = 3;
  p.height = 2;
  p.pixels = {1, 2, 3, 4, 5, 6};  // rows: 1 2 3 / 4 5 6
  const PatternPixels r = RotateClockwise(p);
  ASSERT_EQ(r.width, 2);
  ASSERT_EQ(r.height, 3);
  EXPECT_EQ(r.pixels, (std::vector<uint32_t>{4, 1, 5, 2, 6, 3}));
  EXPECT_EQ(FlipVertical(p).pixels, (std::vector<uint32_t>{4, 5, 6, 1, 2, 3}));
  const PatternPixels c = Crop(p, 2, 1, 2, 2);  // reaches past the edges: zero there
  EXPECT_EQ(c.pixels, (std::vector<uint32_t>{6, 0, 0, 0}));
}

class SpriteParts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sprites_ = new SpriteList(BuildAllSprites()); }
  static void TearDownTestSuite() {
    delete sprites_;
    sprites_ = nullptr;
  }
  static const PatternPixels& Pattern(const std::string& name, int index = 0) {
    for (const Sprite& s : *sprites_) {
      if (s.name == name) return s.patterns.at(index);
    }
    ADD_FAILURE() << "no sprite " << name;
    return sprites_->front().patterns.front();
  }
  // Mean position of the glass-blue pixels (canopies), which sit toward the nose.
  static std::pair<double, double> GlassCentre(const PatternPixels& p) {
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < p.height; ++y) {
      for (int x = 0; x < p.width; ++x) {
        const uint32_t v = At(p, x, y);
        if (Alpha(v) > 200 && Blue(v) > Red(v) + 40 && Blue(v) > 80) sx += x, sy += y, ++n;
      }
    }
    return n > 0 ? std::pair{sx / n, sy / n} : std::pair{-1.0, -1.0};
  }
  static SpriteList* sprites_;
};
SpriteList* SpriteParts::sprites_ = nullptr;

TEST_F(SpriteParts, NosesPointWhereTheGameTurnsThem) {
  // Turned by their heading: stored facing right.
  for (const char* name : {"heli2", "hele0", "hele1", "hele4"}) {
    EXPECT_GT(GlassCentre(Pattern(name)).first, 44) << name;
  }
  // Fixed upright or turned by heading - 64: stored facing down.
  for (const char* name : {"hele2", "lockheed", "floatplane", "goose2"}) {
    EXPECT_GT(GlassCentre(Pattern(name)).second, 40) << name;
  }
  EXPECT_GT(GlassCentre(Pattern("goose1")).second, 90);
  // The big plane, upright, points down-left.
  const auto [px, py] = GlassCentre(Pattern("bigplane"));
  EXPECT_LT(px, 56);
  EXPECT_GT(py, 72);
}

TEST_F(SpriteParts, MountingPointsSitWhereTheDrawingExpectsThem) {
  // Helicopter rotor masts 8 px ahead of the centre (player and kind 0).
  EXPECT_GT(Alpha(At(Pattern("heli2"), 40, 32)), 200u);
  // Gun pods 17 px to either side of the mast.
  EXPECT_GT(Alpha(At(Pattern("hele0"), 44, 32 - 17)), 200u);
  EXPECT_GT(Alpha(At(Pattern("hele0"), 44, 32 + 17)), 200u);
  // Tank turret: ring 14 px behind the pattern centre, barrel reaching 40 px ahead.
  EXPECT_GT(Alpha(At(Pattern("tank0t"), 18, 16)), 200u);
  EXPECT_GT(Alpha(At(Pattern("tank0t"), 56, 16)), 200u);
  EXPECT_EQ(Alpha(At(Pattern("tank0t"), 62, 4)), 0u);
  // Turret barrel up; pop-up cannon barrel toward +x; big gun toward bottom-right.
  EXPECT_GT(Alpha(At(Pattern("shellspitter"), 16, 3)), 200u);
  EXPECT_EQ(Alpha(At(Pattern("shellspitter"), 16, 31)), 0u);
  EXPECT_GT(Alpha(At(Pattern("groundcannon1anim", 4), 44, 24)), 200u);
  EXPECT_EQ(Alpha(At(Pattern("groundcannon1anim", 4), 2, 24)), 0u);
  EXPECT_GT(Alpha(At(Pattern("biggun"), 65, 65)), 200u);
  // Fortress gun: the beam emitter glows 206 px below the top.
  const uint32_t emitter = At(Pattern("boss1gun"), 32, 203);
  EXPECT_GT(Alpha(emitter), 200u);
  EXPECT_GT(Red(emitter), 200u);
  // Second fortress: the beam leaves at row 96, column 63.
  EXPECT_GT(Red(At(Pattern("boss2a"), 63, 96)), 200u);
  // Gun platform muzzles at (26, 109) and (102, 109).
  EXPECT_GT(Alpha(At(Pattern("boss3"), 26, 107)), 200u);
  EXPECT_GT(Alpha(At(Pattern("boss3"), 102, 107)), 200u);
  // Hovercraft: a dark hold in the deck opening under the doors.
  const uint32_t hold = At(Pattern("hovercraft1"), 45, 70);
  EXPECT_GT(Alpha(hold), 200u);
  EXPECT_LT(Red(hold), 60u);
}

TEST_F(SpriteParts, SymmetricWhereTheGameTurnsThemRound) {
  // Track marks may be laid half a turn round, and the second pattern is the one drawn.
  for (const char* name : {"tanktracks", "jeeptracks"}) {
    const PatternPixels& a = Pattern(name, 0);
    EXPECT_EQ(a.pixels, Pattern(name, 1).pixels) << name;
    for (int y = 0; y < a.height; ++y) {
      for (int x = 0; x < a.width; ++x) {
        ASSERT_EQ(At(a, x, y), At(a, a.width - 1 - x, a.height - 1 - y)) << name << " " << x << "," << y;
      }
    }
    // They join end to end: the first and last columns match the period.
    for (int y = 0; y < a.height; ++y) ASSERT_EQ(At(a, 0, y), At(a, 4, y)) << name;
  }
  // The engine's second pattern is the first turned round.
  const PatternPixels& e0 = Pattern("train1", 0);
  const PatternPixels& e1 = Pattern("train1", 1);
  for (int y = 0; y < e0.height; ++y) {
    for (int x = 0; x < e0.width; ++x) ASSERT_EQ(At(e1, x, y), At(e0, e0.width - 1 - x, e0.height - 1 - y));
  }
}

}  // namespace
}  // namespace tarq::forge
