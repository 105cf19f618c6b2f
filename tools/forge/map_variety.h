#pragma once
// How much there is to look at on each screen of the level. A "cell look" is the whole
// stack of a cell's five layers; the animated water tiles count as one look, and so do
// the lava tiles (their quarters only differ by phase). A screen is 11 columns by 8
// rows; every window of 8 rows that lies inside a section counts as one screen.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "level_plan.h"

namespace tarq::forge {

constexpr int kScreenRows = 8;

struct SectionVariety {
  std::string name;
  int screens = 0;
  double median_looks = 0;     // distinct cell looks per screen, median over the screens
  double dominated_share = 0;  // share of screens where one look covers more than 60%
  int longest_plain_run = 0;   // most such screens in a row (one row of scrolling apart)
};

// `tile(row, col, layer)` gives the map's tile numbers.
using MapReader = std::function<int(int row, int col, int layer)>;

// The key of a cell's look: five 11-bit tile numbers, liquids folded to one number.
uint64_t CellLook(const MapReader& tile, int row, int col);

std::vector<SectionVariety> MeasureVariety(const MapReader& tile, const std::vector<Section>& sections);

// The measurements as a text table, one line per section.
std::string VarietyTable(const std::vector<SectionVariety>& rows);

}  // namespace tarq::forge
