#include "map_variety.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "tiles_catalogue.h"

namespace tarq::forge {

uint64_t CellLook(const MapReader& tile, int row, int col) {
  uint64_t key = 0;
  for (int layer = 0; layer < kMapLayers; ++layer) {
    int n = tile(row, col, layer);
    for (int q = 0; q < 4; ++q) {
      if (n == kWaterBlock[q]) n = kWaterBlock[0];
      if (n == kLavaBlock[q]) n = kLavaBlock[0];
    }
    key = (key << 11) | uint64_t(n & 0x7FF);
  }
  return key;
}

std::vector<SectionVariety> MeasureVariety(const MapReader& tile, const std::vector<Section>& sections) {
  std::vector<SectionVariety> out;
  for (const Section& s : sections) {
    SectionVariety v;
    v.name = s.name;
    std::vector<int> distinct;
    int dominated = 0, run = 0;
    for (int top = s.top_row; top + kScreenRows - 1 <= s.bottom_row; ++top) {
      std::map<uint64_t, int> counts;
      for (int r = top; r < top + kScreenRows; ++r)
        for (int c = 0; c < kMapCols; ++c) ++counts[CellLook(tile, r, c)];
      int most = 0;
      for (const auto& [look, n] : counts) most = std::max(most, n);
      distinct.push_back(int(counts.size()));
      // More than 60% of the 88 cells.
      if (most * 10 > kScreenRows * kMapCols * 6) {
        ++dominated;
        v.longest_plain_run = std::max(v.longest_plain_run, ++run);
      } else {
        run = 0;
      }
    }
    v.screens = int(distinct.size());
    if (!distinct.empty()) {
      std::sort(distinct.begin(), distinct.end());
      const size_t n = distinct.size();
      v.median_looks = n % 2 ? distinct[n / 2] : (distinct[n / 2 - 1] + distinct[n / 2]) / 2.0;
      v.dominated_share = double(dominated) / double(n);
    }
    out.push_back(v);
  }
  return out;
}

std::string VarietyTable(const std::vector<SectionVariety>& rows) {
  std::string out =
      "| section | distinct cell looks per screen (median) | screens where one look covers more than 60% | "
      "most such screens in a row |\n";
  out += "|---|---|---|---|\n";
  for (const SectionVariety& v : rows) {
    char line[160];
    std::snprintf(line, sizeof line, "| %s | %g | %.0f%% | %d |\n", v.name.c_str(), v.median_looks,
                  v.dominated_share * 100.0, v.longest_plain_run);
    out += line;
  }
  return out;
}

}  // namespace tarq::forge
