#include "schedule_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>

#include "level_waves.h"

namespace tarq::forge {
namespace {

struct Entry {
  int line = 0;
  long v[12] = {};
  long Trigger() const { return v[0]; }
  long Kind() const { return v[1]; }
  long X() const { return v[9]; }
  long Y() const { return v[0] + v[10]; }
};

bool Parse(const std::string& text, Entry& e) {
  size_t pos = 0;
  for (int i = 0; i < 12; ++i) {
    const size_t end = i == 11 ? text.size() : text.find(' ', pos);
    if (end == std::string::npos || end == pos) return false;
    const char* first = text.data() + pos;
    const auto [ptr, ec] = std::from_chars(first, text.data() + end, e.v[i]);
    if (ec != std::errc() || ptr != text.data() + end) return false;
    pos = end + 1;
  }
  return true;
}

const std::set<long> kKnownKinds = [] {
  std::set<long> k;
  for (long i = 0; i <= 14; ++i) k.insert(i);
  for (long i = 16; i <= 39; ++i) k.insert(i);
  for (long i : {41, 42, 43, 44, 45, 88, 89, 90, 97, 98, 99, 101, 102, 103, 104, 105, 252, 253,
                 254, 255})
    k.insert(i);
  return k;
}();

// Kinds only ever launched by others, with the kinds that launch them.
const std::map<long, std::set<long>> kLaunchedBy = {
    {2, {19, 21, 22, 25, 90, 7, 101, 105}}, {11, {10}}, {13, {7}}, {14, {7}}, {27, {28}},
    {34, {33}}, {35, {32}}, {37, {36}}, {45, {44}}, {88, {20}}, {89, {1, 25}}, {97, {43, 98}},
    {254, {253}},
};

const std::set<long> kLandKinds = {1, 4, 6, 19, 20, 21, 23, 25, 26, 28, 43, 90, 98, 99, 253};
const std::set<long> kWaterKinds = {32, 36, 41, 42};
const std::set<long> kRailKinds = {10, 22};

}  // namespace

std::vector<std::string> CheckSchedule(const std::vector<std::string>& lines, const Level& level) {
  std::vector<std::string> problems;
  auto problem = [&](int line, const std::string& what) {
    problems.push_back("line " + std::to_string(line) + ": " + what);
  };
  std::vector<Entry> entries;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& text = lines[i];
    if (text.empty() || text[0] == ';') continue;
    Entry e;
    e.line = int(i) + 1;
    if (!Parse(text, e)) {
      problem(e.line, "not twelve integers separated by single spaces: \"" + text + "\"");
      continue;
    }
    entries.push_back(e);
  }
  const MapBuilder& map = level.map;
  auto cornersAll = [&](long row, long col, auto pred) {
    for (int dr = 0; dr <= 1; ++dr)
      for (int dc = 0; dc <= 1; ++dc)
        if (!pred(map.Corner(int(row) + dr, int(col) + dc))) return false;
    return true;
  };
  std::set<long> used;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    const long kind = e.Kind();
    used.insert(kind);
    if (i > 0 && e.Trigger() > entries[i - 1].Trigger())
      problem(e.line, "trigger " + std::to_string(e.Trigger()) + " above the one before it");
    if ((kind == 4 || kind == 5 || kind == 6) && e.v[7] == 0) problem(e.line, "IntC 0 is a divisor");
    if ((kind == 22 || kind == 23) && e.v[6] == 0) problem(e.line, "IntB 0 is a divisor");
    if (!kKnownKinds.count(kind)) problem(e.line, "unknown kind " + std::to_string(kind));
    const long row = e.Y() / 64, col = e.X() / 64;
    const bool onMap = e.Y() >= 0 && row < kMapRows && e.X() >= 0 && col < kMapCols;
    if (kLandKinds.count(kind) &&
        !(onMap && cornersAll(row, col, [](Terrain t) { return t != Terrain::Water && t != Terrain::Lava; })))
      problem(e.line, "ground unit of kind " + std::to_string(kind) + " off land");
    if (kWaterKinds.count(kind) &&
        !(onMap && cornersAll(row, col, [](Terrain t) { return t == Terrain::Water; })))
      problem(e.line, "water unit of kind " + std::to_string(kind) + " off water");
    // A lava source throws its bombs from the nearest corner of the lava.
    const int nearRow = int(std::lround(double(e.Y()) / 64)), nearCol = int(std::lround(double(e.X()) / 64));
    if (kind == 44 && !(onMap && map.Corner(nearRow, nearCol) == Terrain::Lava))
      problem(e.line, "lava source off lava");
    if (kRailKinds.count(kind)) {
      bool rail = false;
      for (int c = 0; c < kMapCols && e.Y() >= 0 && row < kMapRows; ++c) rail = rail || map.Rail(int(row), c);
      if (!rail) problem(e.line, "rail unit of kind " + std::to_string(kind) + " off the rails");
    }
    if (kind == 105 && !FinalBossLocksInTime(int32_t(e.Trigger()), int32_t(e.v[10])))
      problem(e.line, "the final boss locks after the map reaches the level's end");
    // Units made together must not stand on one another (a big tank and its turret are
    // one unit; pick-ups and markers do not count).
    for (size_t j = i; j-- > 0 && entries[j].Trigger() == e.Trigger();) {
      const Entry& o = entries[j];
      if (kind >= 252 || o.Kind() >= 252 || (kind == 99 && o.Kind() == 98)) continue;
      if (std::hypot(double(e.X() - o.X()), double(e.Y() - o.Y())) < 16.0)
        problem(e.line, "on top of line " + std::to_string(o.line));
    }
  }
  for (long kind : kKnownKinds) {
    if (kind == 252 || used.count(kind)) continue;
    const auto parents = kLaunchedBy.find(kind);
    bool launched = false;
    if (parents != kLaunchedBy.end())
      for (long p : parents->second) launched = launched || used.count(p) > 0;
    if (!launched) problem(0, "kind " + std::to_string(kind) + " is never used");
  }
  return problems;
}

}  // namespace tarq::forge
