// The forged map and level script read back the way the game reads them: the map has
// the right size and only listed tiles, an opaque ground tile in every cell, liquids
// in their 2x2 phase, ground transitions that meet without seams; the script cues the
// level music from the first tick.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "forge_test_support.h"
#include "level_plan.h"
#include "world/map.h"

namespace tarq::forge_test {
namespace {

class ForgedMap : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    map_ = new WorldMap();
    std::string error;
    loaded_ = LoadMap((DataDir() / "system" / "map.dat").string(), *map_, error);
    tiles_ = new std::map<int, ListedTile>(ReadTileList());
  }
  static void TearDownTestSuite() {
    delete map_;
    delete tiles_;
  }
  static WorldMap* map_;
  static bool loaded_;
  static std::map<int, ListedTile>* tiles_;
};
WorldMap* ForgedMap::map_ = nullptr;
bool ForgedMap::loaded_ = false;
std::map<int, ListedTile>* ForgedMap::tiles_ = nullptr;

TEST_F(ForgedMap, HasTheExactSizeAndOnlyListedTiles) {
  EXPECT_EQ(std::filesystem::file_size(DataDir() / "system" / "map.dat"), 450560u);
  ASSERT_TRUE(loaded_);
  std::set<int> unlisted;
  for (int r = 0; r < 4096; ++r)
    for (int c = 0; c < 11; ++c)
      for (int l = 0; l < 5; ++l) {
        const int n = map_->At(r, c, l);
        if (n == 0) continue;
        if (n == 1 || n >= 2048 || !tiles_->count(n)) unlisted.insert(n);
      }
  EXPECT_TRUE(unlisted.empty()) << "first unlisted tile " << *unlisted.begin();
}

TEST_F(ForgedMap, EveryCellHasAnOpaqueGroundTile) {
  ASSERT_TRUE(loaded_);
  std::map<int, bool> opaque;  // per tile number, checked once
  for (int r = 0; r < 4096; ++r) {
    for (int c = 0; c < 11; ++c) {
      const int n = map_->At(r, c, 0);
      ASSERT_GE(n, 2) << "row " << r << " col " << c;
      auto it = opaque.find(n);
      if (it == opaque.end()) {
        const TilePicture p = LoadTile(tiles_->at(n).name);
        bool all = true;
        for (int y = 0; y < 64; ++y)
          for (int x = 0; x < 64; ++x) {
            const uint8_t* px = p.At(x, y);
            // TGA: full alpha; BMP: nothing the magenta key would cut out.
            if (p.tga ? px[3] != 255 : (px[0] == 0xFF && px[1] == 0 && px[2] == 0xFF)) all = false;
          }
        it = opaque.emplace(n, all).first;
      }
      EXPECT_TRUE(it->second) << "tile " << n << " in layer 0 is not opaque";
    }
  }
}

TEST_F(ForgedMap, LiquidsKeepTheirTwoByTwoPhase) {
  ASSERT_TRUE(loaded_);
  const int water[4] = {206, 207, 214, 215}, lava[4] = {592, 593, 600, 601};
  int liquid_cells = 0;
  for (int r = 0; r < 4096; ++r) {
    for (int c = 0; c < 11; ++c) {
      const int n = map_->At(r, c, 0);
      const int quarter = (r % 2) * 2 + (c % 2);
      for (int q = 0; q < 4; ++q) {
        if (n == water[q] || n == lava[q]) {
          ++liquid_cells;
          EXPECT_EQ(q, quarter) << "row " << r << " col " << c;
        }
      }
      for (int l = 1; l < 5; ++l) {
        const int m = map_->At(r, c, l);
        for (int q = 0; q < 4; ++q) EXPECT_TRUE(m != water[q] && m != lava[q]) << "liquid above layer 0";
      }
    }
  }
  EXPECT_GT(liquid_cells, 2000);
}

TEST_F(ForgedMap, MatchesTheLevelPlan) {
  // The file is the plan's map, byte for byte.
  const std::vector<uint8_t> bytes = ReadBytes(DataDir() / "system" / "map.dat");
  EXPECT_TRUE(bytes == forge::TheLevel().map.Encode());
}

TEST_F(ForgedMap, GroundTransitionsMeetWithoutSeams) {
  ASSERT_TRUE(loaded_);
  std::map<int, TilePicture> cache;
  auto picture = [&](int n) -> const TilePicture& {
    auto it = cache.find(n);
    if (it == cache.end()) it = cache.emplace(n, LoadTile(tiles_->at(n).name)).first;
    return it->second;
  };
  // Ground layers 0-2 composited like the game (layer 0 copied, 1-2 alpha blended).
  auto composite = [&](int r, int c, int x, int y, double* rgb) {
    for (int l = 0; l < 3; ++l) {
      const int n = map_->At(r, c, l);
      if (n < 2) continue;
      const uint8_t* px = picture(n).At(x, y);
      const double a = l == 0 ? 1.0 : px[3] / 255.0;
      for (int ch = 0; ch < 3; ++ch) rgb[ch] = px[ch] * a + rgb[ch] * (1 - a);
    }
  };
  auto plain = [&](int r, int c) {
    // Fields have hedges at their borders and set pieces have walls on purpose.
    for (int l = 0; l < 3; ++l) {
      const int n = map_->At(r, c, l);
      if (n >= 1024 || (n >= 36 && n <= 39)) return false;
    }
    return true;
  };
  int checked = 0, rough = 0;
  std::string examples;  // tile numbers of layers 0-2, left cell | right cell
  for (int r = 1970; r < 4096; r += 5) {
    for (int c = 0; c + 1 < 11; ++c) {
      if (!plain(r, c) || !plain(r, c + 1)) continue;
      // Measured against the same tile's middle (31|32, where a 32-pixel panel grid
      // has its joint too) and an ordinary spot (40|41).
      double seam = 0, middle = 0, ordinary = 0;
      for (int y = 0; y < 64; ++y) {
        double a[3] = {0, 0, 0}, b[3] = {0, 0, 0}, m0[3] = {0, 0, 0}, m1[3] = {0, 0, 0};
        double o0[3] = {0, 0, 0}, o1[3] = {0, 0, 0};
        composite(r, c, 63, y, a);
        composite(r, c + 1, 0, y, b);
        composite(r, c, 31, y, m0);
        composite(r, c, 32, y, m1);
        composite(r, c, 40, y, o0);
        composite(r, c, 41, y, o1);
        for (int ch = 0; ch < 3; ++ch) {
          seam += std::abs(a[ch] - b[ch]);
          middle += std::abs(m0[ch] - m1[ch]);
          ordinary += std::abs(o0[ch] - o1[ch]);
        }
      }
      const double inner = std::max(middle, ordinary);
      ++checked;
      if (seam / 192 > inner / 192 * 3 + 12) {
        if (++rough <= 12) {
          std::ostringstream cells;
          for (int cc : {c, c + 1})
            for (int l = 0; l < 3; ++l) cells << map_->At(r, cc, l) << (l < 2 ? "," : cc == c ? " | " : "");
          examples += "\n  row " + std::to_string(r) + " col " + std::to_string(c) + ": " + cells.str();
        }
      }
    }
  }
  EXPECT_GT(checked, 1000);
  EXPECT_LE(rough, checked / 100) << rough << " rough seams of " << checked << examples;
}

std::vector<long long> Fields(const std::string& line) {
  std::vector<long long> v;
  size_t start = 0;
  while (true) {
    const size_t space = line.find(' ', start);
    const std::string token = line.substr(start, space == std::string::npos ? std::string::npos : space - start);
    EXPECT_FALSE(token.empty()) << "two spaces in a row: " << line;
    EXPECT_EQ(token.find_first_not_of("-0123456789"), std::string::npos) << line;
    v.push_back(std::stoll(token));
    if (space == std::string::npos) break;
    start = space + 1;
  }
  return v;
}

TEST(ForgedScript, CuesEverySectionsMusicInOrder) {
  std::vector<std::vector<long long>> entries;  // the music cues
  long long lastTrigger = 1LL << 40;
  for (const std::string& raw : Lines(ReadText(DataDir() / "system" / "enemies.txt"))) {
    const size_t first = raw.find_first_not_of(" \t");
    if (first == std::string::npos || raw[first] == ';') continue;
    const std::vector<long long> fields = Fields(raw.substr(first));
    ASSERT_EQ(fields.size(), 12u) << raw;
    // Nothing is held back: every trigger is at most the one before it.
    EXPECT_LE(fields[0], lastTrigger) << raw;
    lastTrigger = fields[0];
    if (fields[1] == 252) entries.push_back(fields);
  }
  const auto& sections = forge::TheLevel().sections;
  ASSERT_EQ(entries.size(), sections.size());
  EXPECT_GE(entries.front()[0], 261631) << "the first cue fires on the first tick";
  for (size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    ASSERT_EQ(e.size(), 12u);
    EXPECT_EQ(e[1], 252);
    EXPECT_GE(e[2], 1);
    EXPECT_LE(e[2], 8);
    EXPECT_EQ(e[11], 1);
    if (i > 0) {
      EXPECT_LT(e[0], entries[i - 1][0]) << "triggers must fall";
    }
    EXPECT_GT(e[0], 126272) << "a cue below the final pin never fires";
  }
}

TEST(LevelPlan, SectionsCoverTheLevelAndSetPiecesSitInside) {
  const forge::Level& level = forge::TheLevel();
  ASSERT_EQ(level.sections.size(), 12u);
  EXPECT_EQ(level.sections.front().bottom_row, 4095);
  EXPECT_EQ(level.sections.back().top_row, 1970);
  for (size_t i = 1; i < level.sections.size(); ++i)
    EXPECT_EQ(level.sections[i].bottom_row, level.sections[i - 1].top_row - 1);
  for (const forge::Reservation& r : level.reserved) {
    EXPECT_GE(r.row_top, 1970) << r.kind;
    EXPECT_LE(r.row_bottom, 4095) << r.kind;
    EXPECT_LE(r.row_top, r.row_bottom) << r.kind;
    EXPECT_GE(r.x, 0) << r.kind;
    EXPECT_LT(r.x, 704) << r.kind;
  }
  // The boss set pieces are where the bosses' own geometry puts them.
  ASSERT_EQ(level.Reserved("arena").size(), 1u);
  EXPECT_EQ(level.Reserved("arena")[0]->x, 352);
  EXPECT_EQ(level.Reserved("arena")[0]->y, 126272 + 136) << "the boss locks 136 px below the view top";
  ASSERT_EQ(level.Reserved("fortress").size(), 1u);
  EXPECT_EQ(level.Reserved("fortress")[0]->x, 352);
  ASSERT_EQ(level.Reserved("citadel").size(), 1u);
  EXPECT_EQ(level.Reserved("citadel_cannon").size(), 4u);
  EXPECT_EQ(level.Reserved("platform").size(), 1u);
  EXPECT_GE(level.Reserved("silo").size(), 6u);
  EXPECT_GE(level.Reserved("bunker_door").size(), 4u);
  EXPECT_GE(level.Reserved("rail").size(), 5u);
  EXPECT_GE(level.Reserved("lava_source").size(), 4u);
  EXPECT_EQ(level.Reserved("runway").size(), 1u);
  EXPECT_EQ(level.Reserved("airstrip").size(), 1u);
  // Rails run over the whole width on their row; silos sit on their pads.
  for (const forge::Reservation* rail : level.Reserved("rail")) {
    for (int c = 0; c < 11; ++c) {
      bool has_track = false;
      for (int l = 1; l < 3; ++l) has_track |= level.map.At(rail->row_top, c, l) != 0;
      EXPECT_TRUE(has_track) << "rail row " << rail->row_top << " col " << c;
    }
  }
}

}  // namespace
}  // namespace tarq::forge_test
