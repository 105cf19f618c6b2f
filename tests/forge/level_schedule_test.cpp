// The level script the forge writes, and the checker that guards it: the forged script
// keeps every rule, and each rule catches a line crafted to break it.
#include <gtest/gtest.h>

#include <algorithm>

#include "forge_test_support.h"
#include "level_plan.h"
#include "level_waves.h"
#include "schedule_check.h"

namespace tarq::forge_test {
namespace {

using forge::CheckSchedule;

class LevelSchedule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { lines_ = new std::vector<std::string>(forge::LevelScheduleLines(forge::TheLevel())); }
  static void TearDownTestSuite() { delete lines_; }

  // The forged script with one line added after the last entry of a trigger at or
  // above `trigger`, so the order of triggers stays intact.
  static std::vector<std::string> With(const std::string& line, long trigger) {
    std::vector<std::string> out = *lines_;
    size_t at = out.size();
    for (size_t i = 0; i < out.size(); ++i)
      if (out[i][0] != ';' && std::stol(out[i]) < trigger) {
        at = i;
        break;
      }
    out.insert(out.begin() + static_cast<ptrdiff_t>(at), line);
    return out;
  }
  static bool Mentions(const std::vector<std::string>& problems, const std::string& what) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string& p) { return p.find(what) != std::string::npos; });
  }
  // A cell of the map whose four corners are all of one terrain (or not of it).
  static std::pair<int, int> CellWhere(bool water) {
    const forge::MapBuilder& map = forge::TheLevel().map;
    for (int r = 4000; r > 2000; --r)
      for (int c = 1; c < 10; ++c) {
        bool all = true;
        for (int dr = 0; dr <= 1; ++dr)
          for (int dc = 0; dc <= 1; ++dc) {
            const forge::Terrain t = map.Corner(r + dr, c + dc);
            all = all && (water ? t == forge::Terrain::Water
                                : t != forge::Terrain::Water && t != forge::Terrain::Lava);
          }
        if (all) return {r, c};
      }
    return {-1, -1};
  }
  static std::string Entry(long trigger, int kind, int x, long y, const std::string& params = "0 0 0 0 1 1") {
    return std::to_string(trigger) + " " + std::to_string(kind) + " " + params + " 128 " +
           std::to_string(x) + " " + std::to_string(y - trigger) + " 5";
  }
  static std::vector<std::string>* lines_;
};
std::vector<std::string>* LevelSchedule::lines_ = nullptr;

TEST_F(LevelSchedule, TheForgedScriptKeepsEveryRule) {
  const std::vector<std::string> problems = CheckSchedule(*lines_, forge::TheLevel());
  EXPECT_TRUE(problems.empty()) << problems.front();
  // Every section opens with its music cue, with a comment naming it.
  int cues = 0;
  for (size_t i = 0; i < lines_->size(); ++i)
    if ((*lines_)[i][0] != ';' && (*lines_)[i].find(" 252 ") == (*lines_)[i].find(' ')) {
      ++cues;
      ASSERT_GT(i, 0u);
      EXPECT_EQ((*lines_)[i - 1].rfind("; section", 0), 0u);
    }
  EXPECT_EQ(cues, 12);
}

TEST_F(LevelSchedule, DifficultyRisesFromTheFirstSectionToTheLast) {
  for (int i = 1; i < 12; ++i) {
    const forge::SectionDifficulty a = forge::DifficultyOf(i - 1), b = forge::DifficultyOf(i);
    EXPECT_LE(b.WaveGapRows, a.WaveGapRows);
    EXPECT_GT(b.HitPointsPercent, a.HitPointsPercent);
    EXPECT_LE(b.FirePeriod, a.FirePeriod);
    EXPECT_GT(b.FirePeriod, 0) << "a fire period is a divisor";
  }
}

TEST_F(LevelSchedule, EachRuleCatchesALineThatBreaksIt) {
  const forge::Level& level = forge::TheLevel();
  const auto [landRow, landCol] = CellWhere(false);
  const auto [waterRow, waterCol] = CellWhere(true);
  ASSERT_GE(landRow, 0);
  ASSERT_GE(waterRow, 0);
  const int landX = landCol * 64 + 32, waterX = waterCol * 64 + 32;
  const long landY = landRow * 64 + 32, waterY = waterRow * 64 + 32;
  const long landT = landY + 200, waterT = waterY + 200;

  EXPECT_TRUE(Mentions(CheckSchedule(With("200000 4 0 0", 200000), level), "twelve integers"));
  EXPECT_TRUE(Mentions(CheckSchedule(With("200000 4  0 0 0 0 1 1 128 300 -64 5", 200000), level),
                       "twelve integers"));
  std::vector<std::string> rising = *lines_;
  rising.push_back(Entry(261000, 8, 300, 260900));
  EXPECT_TRUE(Mentions(CheckSchedule(rising, level), "above the one before it"));
  EXPECT_TRUE(Mentions(CheckSchedule(With(Entry(landT, 4, landX, landY, "0 0 0 0 1 0"), landT), level),
                       "IntC 0 is a divisor"));
  EXPECT_TRUE(Mentions(CheckSchedule(With(Entry(landT, 23, landX, landY, "0 0 0 0 0 1"), landT), level),
                       "IntB 0 is a divisor"));
  EXPECT_TRUE(Mentions(CheckSchedule(With(Entry(200000, 40, 300, 199900), 200000), level), "unknown kind 40"));
  EXPECT_TRUE(Mentions(CheckSchedule(With(Entry(waterT, 1, waterX, waterY), waterT), level), "off land"));
  EXPECT_TRUE(Mentions(CheckSchedule(With(Entry(landT, 36, landX, landY), landT), level), "off water"));
  EXPECT_TRUE(Mentions(CheckSchedule(With(Entry(landT, 10, landX, landY), landT), level), "off the rails"));
  EXPECT_TRUE(Mentions(CheckSchedule(With(Entry(landT, 44, landX, landY), landT), level), "lava source off lava"));
  std::vector<std::string> stacked = With(Entry(landT, 19, landX, landY), landT);
  stacked = With(Entry(landT, 20, landX + 4, landY), landT);
  stacked.insert(std::find(stacked.begin(), stacked.end(), Entry(landT, 20, landX + 4, landY)),
                 Entry(landT, 19, landX, landY));
  EXPECT_TRUE(Mentions(CheckSchedule(stacked, level), "on top of line"));
  // A schedule without any bat lacks a kind with a behaviour.
  std::vector<std::string> noBats;
  for (const std::string& l : *lines_)
    if (l.find(" 9 ") != l.find(' ') || l[0] == ';') noBats.push_back(l);
  EXPECT_TRUE(Mentions(CheckSchedule(noBats, level), "kind 9 is never used"));
}

TEST_F(LevelSchedule, TheFinalBossMustLockBeforeTheLevelsEnd) {
  // Made 914 pixels above the view it takes 700 ticks (350 pixels of scroll) to lock.
  EXPECT_FALSE(forge::FinalBossLocksInTime(126272 + 350, -914));
  EXPECT_TRUE(forge::FinalBossLocksInTime(126272 + 351, -914));
  // Each pixel nearer the view takes two more ticks to climb into place.
  EXPECT_FALSE(forge::FinalBossLocksInTime(126272 + 360, -904));
  EXPECT_TRUE(forge::FinalBossLocksInTime(126272 + 361, -904));
  std::vector<std::string> late = *lines_;
  for (std::string& l : late)
    if (l.find(" 105 ") == l.find(' ')) l = "126622 105 0 0 0 0 0 0 0 352 -914 400";
  EXPECT_TRUE(Mentions(CheckSchedule(late, forge::TheLevel()), "final boss locks after"));
}

}  // namespace
}  // namespace tarq::forge_test
