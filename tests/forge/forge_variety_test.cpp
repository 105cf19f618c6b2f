// Every section of the forged map gives the player something to look at: enough
// different cells per screen, and no stretch where one kind of cell fills the view.
// The table is printed so a change in the map shows up in the test log.
#include <gtest/gtest.h>

#include <cstdio>

#include "forge_test_support.h"
#include "level_plan.h"
#include "map_variety.h"
#include "world/map.h"

namespace tarq::forge_test {
namespace {

TEST(MapVariety, EverySectionIsWorthLookingAt) {
  auto map = std::make_unique<WorldMap>();
  std::string error;
  ASSERT_TRUE(LoadMap((DataDir() / "system" / "map.dat").string(), *map, error)) << error;
  const forge::MapReader tile = [&](int r, int c, int l) { return int(map->At(r, c, l)); };
  const auto rows = forge::MeasureVariety(tile, forge::TheLevel().sections);
  std::printf("%s", forge::VarietyTable(rows).c_str());
  ASSERT_EQ(rows.size(), 12u);
  for (const forge::SectionVariety& v : rows) {
    EXPECT_GT(v.screens, 100) << v.name;
    EXPECT_GE(v.median_looks, 14) << v.name;
    EXPECT_LE(v.dominated_share, 0.10) << v.name;
    // Plain fill never lasts as long as it takes one screen to scroll by.
    EXPECT_LT(v.longest_plain_run, forge::kScreenRows) << v.name;
  }
}

TEST(MapVariety, LiquidPhasesCountAsOneLook) {
  // Water in four phases and one sand cell: two looks.
  const forge::MapReader tile = [](int r, int c, int l) {
    if (l != 0) return 0;
    if (r == 0 && c == 0) return 8;
    return forge::kWaterBlock[(r % 2) * 2 + c % 2];
  };
  forge::Section s;
  s.name = "test";
  s.top_row = 0;
  s.bottom_row = 7;
  const auto rows = forge::MeasureVariety(tile, {s});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].screens, 1);
  EXPECT_EQ(rows[0].median_looks, 2);
  EXPECT_EQ(rows[0].dominated_share, 1.0);
  EXPECT_EQ(rows[0].longest_plain_run, 1);
  EXPECT_NE(forge::CellLook(tile, 0, 0), forge::CellLook(tile, 0, 1));
  EXPECT_EQ(forge::CellLook(tile, 1, 1), forge::CellLook(tile, 0, 1));
}

}  // namespace
}  // namespace tarq::forge_test
