#include "level_waves.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace tarq::forge {
namespace {

constexpr int kViewHeight = 480;
constexpr int kAbove = 64;  // aircraft start this far above the view's top edge

// Kinds by name, so the waves read as what they are.
enum Kind : int32_t {
  kHeliDrift = 0, kTank = 1, kHeliChase = 3, kGroundGun = 4, kGunship = 5, kBigGun = 6,
  kGooseLeader = 7, kPlane = 8, kBat = 9, kTrain = 10, kHeliSwing = 12, kFloatingBomb = 16,
  kBigPlane = 17, kHeliRiser = 18, kGroundBomb = 19, kPopCannon = 20, kMissileCannon = 21,
  kRailLauncher = 22, kTarpGun = 23, kSpinner = 24, kJeep = 25, kSpitter = 26, kTechDoors = 28,
  kMine = 29, kRobot = 30, kLoopy = 31, kWaterThing = 32, kAirstrip = 33, kHovercraft = 36,
  kAlien = 38, kGooseFlight = 39, kFloatPlane = 41, kSeaMine = 42, kDome = 43, kLavaSource = 44,
  kMissileTank = 90, kBigTank = 98, kBigTankTurret = 99, kFortress = 101, kCitadel = 102,
  kCitadelCannon = 103, kPlatform = 104, kFinalBoss = 105, kMusicCue = 252, kShieldHolder = 253,
  kPowerUp = 255,
};

// A small deterministic generator (the forge never uses the clock).
class Dice {
 public:
  explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  int Roll(int n) {
    state_ = state_ * 1664525u + 1013904223u;
    return n <= 0 ? 0 : int((state_ >> 8) % uint32_t(n));
  }
  int Between(int lo, int hi) { return lo + Roll(hi - lo + 1); }

 private:
  uint32_t state_;
};

struct Wave {
  std::string Name;
  std::vector<WaveEntry> Entries;
};

class Builder {
 public:
  Builder(const Level& level, size_t sectionIndex)
      : level_(level), index_(sectionIndex), section_(level.sections[sectionIndex]),
        diff_(DifficultyOf(int(sectionIndex))), dice_(uint32_t(sectionIndex) * 7919u + 17u) {}

  std::vector<Wave> Build();

 private:
  // Scaled hit points: at least 1.
  int Hp(int base) const { return std::max(1, base * diff_.HitPointsPercent / 100); }
  bool Land(int row, int col) const;
  bool Water(int row, int col) const;
  bool Blocked(int row, int col) const;
  // No water or lava under any corner of the cell (roads and rails allowed).
  bool OnGround(int row, int col) const;
  // Nothing of this wave stands within 32 pixels of (x, y).
  static bool Clear(const Wave& wave, int x, int y);
  // A free cell of the wanted ground in rows [rowTop, rowBottom]; false if none.
  // `reach` cells around it must be free too (a large unit), and are taken with it.
  bool FindCell(int rowTop, int rowBottom, bool water, const Wave& wave, int& row, int& col,
                int reach = 0);

  WaveEntry At(int32_t trigger, int32_t kind, int32_t x, int32_t y, int hp) const {
    WaveEntry e;
    e.Trigger = trigger;
    e.Kind = kind;
    e.X = x;
    e.YOffset = y - trigger;
    e.HitPoints = hp;
    return e;
  }
  void AirWave(int32_t trigger, int number, Wave& wave);
  void ThemeGround(int32_t trigger, int rowTop, int rowBottom, int number, Wave& wave);
  void Reservations(int32_t trigger, int rowTop, int rowBottom, Wave& wave);
  void Supplies(int32_t trigger, int number, int rowTop, int rowBottom, Wave& wave);
  void Bosses(std::vector<Wave>& waves);
  void BossSupplies(int32_t bossTrigger, Wave& wave);

  const Level& level_;
  size_t index_;
  const Section& section_;
  SectionDifficulty diff_;
  Dice dice_;
  std::map<std::pair<int, int>, bool> used_;
  int trainSlot_ = 0;
};

bool Builder::Water(int row, int col) const {
  for (int dr = 0; dr <= 1; ++dr)
    for (int dc = 0; dc <= 1; ++dc)
      if (level_.map.Corner(row + dr, col + dc) != Terrain::Water) return false;
  return true;
}

bool Builder::Land(int row, int col) const {
  for (int dr = 0; dr <= 1; ++dr)
    for (int dc = 0; dc <= 1; ++dc) {
      const Terrain t = level_.map.Corner(row + dr, col + dc);
      if (t == Terrain::Water || t == Terrain::Lava) return false;
      if (level_.map.ForestCorner(row + dr, col + dc)) return false;
    }
  return level_.map.Overlay(row, col) == 0 && !level_.map.Rail(row, col) &&
         level_.map.RoadLinks(row, col) == 0;
}

bool Builder::OnGround(int row, int col) const {
  for (int dr = 0; dr <= 1; ++dr)
    for (int dc = 0; dc <= 1; ++dc) {
      const Terrain t = level_.map.Corner(row + dr, col + dc);
      if (t == Terrain::Water || t == Terrain::Lava) return false;
    }
  return true;
}

bool Builder::Clear(const Wave& wave, int x, int y) {
  for (const WaveEntry& e : wave.Entries)
    if (e.Kind < 252 && std::abs(e.X - x) < 32 && std::abs(e.Trigger + e.YOffset - y) < 32) return false;
  return true;
}

// Cells of set pieces and of units already placed.
bool Builder::Blocked(int row, int col) const {
  if (used_.count({row, col})) return true;
  for (const Reservation& r : level_.reserved) {
    if (r.kind == "road" || r.kind == "rail" || r.kind == "river" || r.kind == "sea" ||
        r.kind == "lava" || r.kind == "village" || r.kind == "gun_pit")
      continue;
    if (row >= r.row_top - 1 && row <= r.row_bottom + 1 && col >= r.col_left - 1 &&
        col <= r.col_right + 1)
      return true;
  }
  return false;
}

bool Builder::FindCell(int rowTop, int rowBottom, bool water, const Wave& wave, int& row,
                       int& col, int reach) {
  auto fits = [&](int r, int c) {
    for (int dr = -reach; dr <= reach; ++dr)
      for (int dc = -reach; dc <= reach; ++dc) {
        const int rr = r + dr, cc = c + dc;
        if (cc < 0 || cc >= kMapCols || !(water ? Water(rr, cc) : Land(rr, cc)) || Blocked(rr, cc)) return false;
      }
    return true;
  };
  for (int attempt = 0; attempt < 40; ++attempt) {
    const int r = dice_.Between(rowTop, rowBottom);
    const int c = dice_.Between(1 + reach, kMapCols - 2 - reach);
    if (fits(r, c) && Clear(wave, c * 64 + 32, r * 64 + 32)) {
      row = r;
      col = c;
      for (int dr = -reach; dr <= reach; ++dr)
        for (int dc = -reach; dc <= reach; ++dc) used_[{r + dr, c + dc}] = true;
      return true;
    }
  }
  return false;
}

// One air formation from the section's theme.
void Builder::AirWave(int32_t t, int number, Wave& wave) {
  const std::string& s = section_.name;
  std::vector<int> menu;
  if (s == "countryside") menu = {kHeliDrift, kHeliSwing, kPlane, kHeliDrift, kBat};
  else if (s == "river delta and coast") menu = {kHeliSwing, kPlane, kLoopy, kHeliChase, kGooseFlight};
  else if (s == "open sea") menu = {kPlane, kLoopy, kGooseFlight, kHeliSwing, kMine};
  else if (s == "harbour and rail yard") menu = {kHeliChase, kHeliDrift, kLoopy, kPlane, kGunship};
  else if (s == "desert") menu = {kBat, kPlane, kHeliSwing, kHeliChase, kFloatingBomb};
  else if (s == "airbase") menu = {kPlane, kHeliRiser, kGunship, kLoopy, kHeliSwing};
  else if (s == "forest and hills") menu = {kBat, kHeliDrift, kHeliRiser, kLoopy, kGooseFlight};
  else if (s == "tech base") menu = {kRobot, kMine, kHeliChase, kGunship, kLoopy};
  else if (s == "alien zone") menu = {kSpinner, kAlien, kMine, kSpinner, kBat};
  else if (s == "volcanic fields") menu = {kBat, kFloatingBomb, kHeliSwing, kPlane, kMine};
  else if (s == "badlands") menu = {kHeliRiser, kGunship, kPlane, kLoopy, kHeliChase};
  else menu = {kGunship, kHeliSwing, kLoopy, kPlane, kHeliRiser, kFloatingBomb};
  const int kind = menu[size_t(number) % menu.size()];
  const int top = t - kAbove;  // map y just above the view when the wave fires
  const int extra = diff_.ExtraAircraft;  // later sections send bigger formations
  auto add = [&](int k, int x, int y, int hp) {
    // Never on top of a unit the wave already has (reserved ground is placed first).
    for (int tries = 0; tries < 6 && !Clear(wave, x, y); ++tries) y -= 24;
    wave.Entries.push_back(At(t, k, x, y, hp));
    return &wave.Entries.back();
  };
  switch (kind) {
    case kHeliDrift: {
      wave.Name = "helicopters crossing";
      const bool right = dice_.Roll(2) == 0;
      for (int i = 0; i < 3 + extra; ++i)
      {
        WaveEntry* e = add(kHeliDrift, right ? 80 + 40 * i : 620 - 40 * i, top - 48 * i, Hp(3));
        e->ParamB = right ? 0 : 1;
        e->Angle = 128;
      }
      break;
    }
    case kHeliSwing:
      wave.Name = "helicopter swing";
      for (int i = 0; i < 3 + extra; ++i) {
        WaveEntry* e = add(kHeliSwing, 140 + (420 / (2 + extra)) * i, top - 30 * (i % 2), Hp(3));
        e->IntA = 40 + 10 * i;
        e->Angle = 128;
      }
      break;
    case kHeliChase:
      wave.Name = "chasing helicopters";
      for (int i = 0; i < 2 + extra; ++i) add(kHeliChase, 160 + 320 * (i % 2), top - 64 * i, Hp(5));
      break;
    case kGunship: {
      wave.Name = "gunship";
      WaveEntry* e = add(kGunship, dice_.Between(200, 500), top, Hp(30));
      e->IntC = std::max(40, diff_.FirePeriod);
      break;
    }
    case kPlane:
      wave.Name = "plane pass";
      for (int i = 0; i < 3 + extra; ++i) add(kPlane, 120 + dice_.Roll(460), top - 140 * i, Hp(5));
      break;
    case kBat:
      wave.Name = "bats";
      for (int i = 0; i < 6 + 2 * extra; ++i) {
        WaveEntry* e = add(kBat, 100 + (i % 6) * 90, top - 50 * (i / 6) - 20 * (i % 2), Hp(2));
        e->IntC = diff_.BatFirePeriod;
      }
      break;
    case kLoopy: {
      wave.Name = "loopy chain";
      const bool left = dice_.Roll(2) == 0;
      WaveEntry* e = add(kLoopy, left ? 150 : 550, top, Hp(2));
      e->Angle = 128;
      e->ParamC = left ? 2 : 254;  // turning left or right, two steps a tick
      e->IntA = 50;
      e->IntB = left ? 24 : -24;
      e->IntC = 4 + extra;
      break;
    }
    case kGooseFlight:
      wave.Name = "goose flight";
      for (int i = 0; i < 2 + extra; ++i) add(kGooseFlight, i % 2 == 0 ? 40 : 660, top - 60 * i, Hp(4));
      break;
    case kMine:
      wave.Name = "drifting mines";
      for (int i = 0; i < 4 + extra; ++i) add(kMine, 90 + dice_.Roll(520), top - 70 * i, Hp(3));
      break;
    case kFloatingBomb:
      wave.Name = "floating bomb";
      add(kFloatingBomb, dice_.Between(200, 500), top, 20)->IntA = 60;
      break;
    case kHeliRiser:
      wave.Name = "helicopters rising";
      for (int i = 0; i < 2 + extra; ++i) add(kHeliRiser, 150 + 400 * (i % 2), top + 200 - 60 * i, Hp(5))->IntA = 80;
      break;
    case kRobot:
      wave.Name = "robots rising";
      for (int i = 0; i < 3 + extra; ++i) add(kRobot, 140 + 180 * (i % 3), top + 120 - 60 * (i / 3), Hp(4))->IntA = 60 + 20 * i;
      break;
    case kSpinner:
      wave.Name = "spinners";
      for (int i = 0; i < 3 + extra; ++i) add(kSpinner, 120 + dice_.Roll(460), top - 80 * i, Hp(4));
      break;
    case kAlien:
      wave.Name = "alien craft";
      for (int i = 0; i < 2 + extra; ++i) add(kAlien, 180 + 340 * (i % 2), top - 90 * i, Hp(6));
      break;
    default: break;
  }
}

// Ground units that fit the section, on free land (or water) in the wave's rows.
void Builder::ThemeGround(int32_t t, int rowTop, int rowBottom, int number, Wave& wave) {
  const std::string& s = section_.name;
  std::vector<int> menu;
  if (s == "countryside") menu = {kTank, kTank, kGroundBomb};
  else if (s == "river delta and coast") menu = {kTank, kGroundBomb};
  else if (s == "open sea") menu = {kWaterThing, kFloatPlane, kHovercraft, kSeaMine};
  else if (s == "harbour and rail yard") menu = {kJeep, kMissileTank, kWaterThing};
  else if (s == "desert") menu = {kSpitter, kJeep, kGroundBomb, kTank};
  else if (s == "airbase") menu = {kPopCannon, kMissileTank, kJeep};
  else if (s == "forest and hills") menu = {kTank, kSpitter, kGroundBomb};
  else if (s == "tech base") menu = {kPopCannon, kMissileCannon, kMissileTank};
  else if (s == "alien zone") menu = {kSpitter, kGroundBomb};
  else if (s == "volcanic fields") menu = {kSpitter, kMissileCannon};
  else if (s == "badlands") menu = {kBigTank, kMissileTank, kJeep, kPopCannon};
  else menu = {kMissileCannon, kBigTank, kTank, kMissileTank};
  int kind = menu[size_t(number) % menu.size()];
  const bool water =
      kind == kWaterThing || kind == kFloatPlane || kind == kHovercraft || kind == kSeaMine;
  int row = 0, col = 0;
  // The big tank's hull covers its neighbours' cells: it needs them free of buildings.
  // Where no such room is found (a city), a tank comes instead.
  if (kind == kBigTank && !FindCell(rowTop, rowBottom, false, wave, row, col, 1)) kind = kTank;
  if (kind != kBigTank && !FindCell(rowTop, rowBottom, water, wave, row, col)) return;
  const int x = col * 64 + 32, y = row * 64 + 32;
  WaveEntry e = At(t, kind, x, y, Hp(6));
  switch (kind) {
    case kTank:  // a tank holding its ground, turret turning
      e.IntA = 20;
      e.Angle = 128;
      break;
    case kGroundBomb:
    case kPopCannon:
    case kMissileCannon:
      e.IntA = std::max(30, -e.YOffset / 2);
      e.HitPoints = Hp(kind == kMissileCannon ? 12 : 6);
      break;
    case kSpitter: e.IntA = 60; e.Angle = 128; e.HitPoints = Hp(4); break;
    case kJeep: e.IntA = 10; e.IntB = 0; e.Angle = 128; e.HitPoints = Hp(3); break;
    case kMissileTank: e.IntB = 60; e.Angle = 128; e.HitPoints = Hp(8); break;
    case kWaterThing: e.ParamC = 2; e.HitPoints = Hp(3); break;
    case kFloatPlane: e.HitPoints = Hp(6); break;
    case kHovercraft: e.IntA = 120; e.HitPoints = Hp(12); break;
    case kSeaMine: e.IntA = 60; e.HitPoints = Hp(3); break;  // its height: it sinks from there
    case kBigTank: {
      e.IntA = 60;
      wave.Entries.push_back(e);
      WaveEntry turret = At(t, kBigTankTurret, x, y, Hp(100));
      wave.Entries.push_back(turret);
      return;
    }
    default: break;
  }
  wave.Entries.push_back(e);
}

// Units that stand where the plan reserved room, for reservations whose key point
// comes into view during this wave.
void Builder::Reservations(int32_t t, int rowTop, int rowBottom, Wave& wave) {
  for (const Reservation& r : level_.reserved) {
    if (r.section != section_.name) continue;
    const int keyRow = r.kind == "road" || r.kind == "river" || r.kind == "sea" || r.kind == "lava"
                           ? -1
                           : r.y / 64;
    const bool inWave = keyRow >= rowTop && keyRow <= rowBottom;
    if (r.kind == "gun_pit" && inWave) {
      const int k = (r.x / 64 + r.y / 64) % 3;
      WaveEntry e = At(t, k == 0 ? kGroundGun : k == 1 ? kBigGun : kTarpGun, r.x, r.y, Hp(8));
      if (e.Kind == kGroundGun) {
        e.IntB = 60;
        e.IntC = diff_.FirePeriod;
      } else if (e.Kind == kBigGun) {
        e.IntC = diff_.FirePeriod + 40;
        e.HitPoints = Hp(14);
      } else {
        e.IntA = 40;
        e.IntB = diff_.FirePeriod;
      }
      wave.Entries.push_back(e);
    } else if (r.kind == "rail" && inWave) {
      const bool east = (r.y / 64) % 2 == 0;
      WaveEntry e = At(t, kTrain, east ? -40 : 744, r.y, Hp(10));
      e.Angle = east ? 0 : 128;
      e.ParamA = east ? 0 : 1;  // carriages trail behind the engine
      e.ParamB = 3;
      e.IntA = trainSlot_;
      e.IntB = 12;
      trainSlot_ = (trainSlot_ + 5) % 95;
      wave.Entries.push_back(e);
      if (index_ >= 3 && (r.y / 64) % 3 == 0) {
        WaveEntry l = At(t, kRailLauncher, east ? 744 : -40, r.y, Hp(12));
        l.IntA = east ? -60 : 60;
        l.IntB = 150;
        wave.Entries.push_back(l);
      }
    } else if (r.kind == "bunker_door" && inWave) {
      WaveEntry e = At(t, kTechDoors, r.x, r.y, 1000);
      e.ParamC = uint8_t(r.param);
      e.IntA = std::max(40, -e.YOffset / 2 + 40);
      wave.Entries.push_back(e);
    } else if (r.kind == "silo" && inWave) {
      wave.Entries.push_back(At(t, kDome, r.x, r.y, 1000));
    } else if (r.kind == "lava_source" && inWave) {
      WaveEntry e = At(t, kLavaSource, r.x, r.y, 1000);
      e.IntA = std::max(20, -e.YOffset / 2);
      wave.Entries.push_back(e);
    } else if (r.kind == "airstrip" && inWave) {
      WaveEntry e = At(t, kAirstrip, r.x, r.y, 1);
      e.IntA = 160;
      wave.Entries.push_back(e);
    } else if (r.kind == "runway" && inWave) {
      WaveEntry e = At(t, kBigPlane, r.param, r.y, Hp(60));
      wave.Entries.push_back(e);
    } else if (r.kind == "road" && rowBottom >= r.row_top && rowTop <= r.row_bottom &&
               dice_.Roll(3) == 0) {
      // A convoy driving down the road towards the player.
      const int y = std::max(rowTop, r.row_top) * 64 + 32;
      const bool jeeps = index_ >= 3 && dice_.Roll(2) == 0;
      for (int i = 0; i < 2 + int(index_) / 5; ++i) {
        const int vy = y - 96 * i;
        // Not on a bridge, and not on a unit already there.
        if (!OnGround(vy / 64, r.x / 64) || !Clear(wave, r.x, vy)) continue;
        WaveEntry e = At(t, jeeps ? kJeep : kTank, r.x, vy, Hp(jeeps ? 3 : 6));
        e.Angle = 128;
        e.IntA = 30;
        e.IntB = jeeps ? 14 : 6;
        e.IntC = jeeps ? 0 : 400;
        wave.Entries.push_back(e);
      }
    }
  }
}

// Power-ups and shield holders.
void Builder::Supplies(int32_t t, int number, int rowTop, int rowBottom, Wave& wave) {
  if (number % diff_.PowerUpEveryWaves == 1) {
    WaveEntry e = At(t, kPowerUp, 160 + dice_.Roll(380), t - kAbove, 1);
    wave.Entries.push_back(e);
  }
  if (number % (diff_.PowerUpEveryWaves * 2) == 3) {
    int row = 0, col = 0;
    if (FindCell(rowTop, rowBottom, false, wave, row, col))
      wave.Entries.push_back(At(t, kShieldHolder, col * 64 + 32, row * 64 + 32, Hp(3)));
  }
}

// A boss fight is stocked beforehand: two power-ups and a shield holder.
void Builder::BossSupplies(int32_t bossTrigger, Wave& wave) {
  const int32_t t = bossTrigger + 6 * 64;
  wave.Entries.push_back(At(t, kPowerUp, 220, t - kAbove, 1));
  wave.Entries.push_back(At(t, kPowerUp, 480, t - kAbove - 40, 1));
  int row = 0, col = 0;
  const int rowBottom = (t - kAbove) / 64;
  if (FindCell(rowBottom - 5, rowBottom, false, wave, row, col))
    wave.Entries.push_back(At(t, kShieldHolder, col * 64 + 32, row * 64 + 32, Hp(3)));
}

// The set-piece fights. The fortresses hold the scroll 640 ticks (320 pixels) after
// they are made, the platform engages 300 ticks after, so each is made that much
// earlier than the moment it should stand in view.
void Builder::Bosses(std::vector<Wave>& waves) {
  const int32_t start = std::min(section_.music_trigger, kLevelStartScrollY);
  auto fight = [&](const std::string& name, int32_t trigger, std::vector<WaveEntry> entries) {
    // A fight never comes before its section's music cue.
    if (trigger > start) {
      for (WaveEntry& e : entries) {
        e.YOffset += e.Trigger - start;
        e.Trigger = start;
      }
      trigger = start;
    }
    Wave supplies;
    supplies.Name = "supplies before the " + name;
    BossSupplies(trigger, supplies);
    waves.push_back(std::move(supplies));
    Wave boss;
    boss.Name = name;
    boss.Entries = std::move(entries);
    waves.push_back(std::move(boss));
  };
  for (const Reservation& r : level_.reserved) {
    if (r.section != section_.name) continue;
    if (r.kind == "fortress") {
      const int32_t t = r.y + 170;
      fight("first fortress", t, {At(t, kFortress, r.x, r.y, 400)});
    } else if (r.kind == "citadel") {
      const int32_t t = r.y + 170;
      std::vector<WaveEntry> parts = {At(t, kCitadel, r.x, r.y, 500)};
      for (const Reservation& c : level_.reserved)
        if (c.kind == "citadel_cannon" && c.section == r.section)
          parts.push_back(At(t, kCitadelCannon, c.x, c.y, Hp(40)));
      fight("second fortress", t, std::move(parts));
    } else if (r.kind == "platform") {
      const int32_t t = r.y + 100;
      fight("sliding platform", t, {At(t, kPlatform, 352, r.y, 300)});
    } else if (r.kind == "arena") {
      // Made 914 pixels above the view, it locks 700 ticks later, before the map
      // reaches the level's end.
      const int32_t t = kLevelEndScrollY + 350 + 128;
      WaveEntry boss = At(t, kFinalBoss, r.x, t - 914, 400);
      if (!FinalBossLocksInTime(boss.Trigger, boss.YOffset))
        throw std::runtime_error("the final boss would not lock before the level's end");
      fight("final boss", t, {boss});
    }
  }
  // The goose formation flies over the open sea, halfway through it.
  if (section_.name == "open sea") {
    const int32_t t = (std::min(section_.music_trigger, kLevelStartScrollY) +
                       level_.sections[index_ + 1].music_trigger) / 2;
    WaveEntry goose = At(t, kGooseLeader, 352, t - kAbove, 150);
    goose.IntC = 3;  // power-ups it drops when it falls
    fight("goose formation", t, {goose});
  }
}

std::vector<Wave> Builder::Build() {
  std::vector<Wave> waves;
  // The section's scroll: from its music cue down to the next section's.
  const int32_t start = std::min(section_.music_trigger, kLevelStartScrollY);
  const int32_t end = index_ + 1 < level_.sections.size()
                          ? level_.sections[index_ + 1].music_trigger
                          : kLevelEndScrollY;
  const int32_t gap = diff_.WaveGapRows * 64;
  int number = 0;
  for (int32_t t = start - 64; t > end; t -= gap, ++number) {
    Wave wave;
    // Rows that come into view before the next wave fires.
    const int rowBottom = (t - kAbove) / 64;
    const int rowTop = std::max(section_.top_row, (t - gap - kAbove) / 64 + 1);
    Reservations(t, rowTop, rowBottom, wave);
    AirWave(t, number, wave);
    // Water sections have little else on the ground: their waves always bring boats.
    const bool sea = section_.name == "open sea" || section_.name == "harbour and rail yard";
    if (number % 2 == 1 || diff_.GroundEveryWave || sea) ThemeGround(t, rowTop, rowBottom, number, wave);
    if (sea && index_ >= 3) ThemeGround(t, rowTop, rowBottom, number + 1, wave);
    Supplies(t, number, rowTop, rowBottom, wave);
    waves.push_back(std::move(wave));
  }
  Bosses(waves);
  // Waves in the order the scroll meets them (bosses and their supplies slot in).
  std::stable_sort(waves.begin(), waves.end(), [](const Wave& a, const Wave& b) {
    const int32_t ta = a.Entries.empty() ? 0 : a.Entries.front().Trigger;
    const int32_t tb = b.Entries.empty() ? 0 : b.Entries.front().Trigger;
    return ta > tb;
  });
  return waves;
}

std::string Line(const WaveEntry& e) { return e.Text(); }

}  // namespace

std::string WaveEntry::Text() const {
  const int32_t v[12] = {Trigger, Kind & 255, ParamA & 255, ParamB & 255, ParamC & 255, IntA,
                         IntB,    IntC,       Angle & 255,  X,            YOffset,      HitPoints};
  std::string s;
  for (int i = 0; i < 12; ++i) {
    if (i) s += ' ';
    s += std::to_string(v[i]);
  }
  return s;
}

SectionDifficulty DifficultyOf(int i) {
  // A gentle start over the countryside, the coast and the open sea, then a steady
  // rise to the capital. Later sections send more, tougher units that fire more often.
  static constexpr int kGap[12] = {9, 9, 9, 8, 7, 6, 6, 5, 4, 4, 4, 3};
  static constexpr int kHitPoints[12] = {70, 80, 90, 110, 125, 135, 155, 170, 185, 200, 210, 230};
  static constexpr int kFire[12] = {190, 170, 155, 130, 120, 112, 100, 90, 80, 72, 66, 56};
  // Supplies come by distance, not by wave: denser sections must not bring more.
  static constexpr int kPowerUpRows[12] = {27, 27, 27, 32, 32, 32, 32, 32, 32, 32, 32, 32};
  static constexpr int kExtra[12] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2};
  const size_t s = static_cast<size_t>(std::clamp(i, 0, 11));
  SectionDifficulty d;
  d.WaveGapRows = kGap[s];
  d.HitPointsPercent = kHitPoints[s];
  d.FirePeriod = kFire[s];
  d.PowerUpEveryWaves = std::max(2, (kPowerUpRows[s] + kGap[s] / 2) / kGap[s]);
  d.ExtraAircraft = kExtra[s];
  d.GroundEveryWave = s >= 5;
  d.BatFirePeriod = std::max(80, 480 - 36 * int(s));
  return d;
}

bool FinalBossLocksInTime(int32_t trigger, int32_t yOffset) {
  const int64_t t = 700 + 2 * (int64_t(yOffset) + 914);
  return int64_t(trigger) * 2 > int64_t(kLevelEndScrollY) * 2 + t;
}

std::vector<std::string> LevelScheduleLines(const Level& level) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < level.sections.size(); ++i) {
    const Section& s = level.sections[i];
    lines.push_back("; section " + std::to_string(i + 1) + ": " + s.name + " (rows " +
                    std::to_string(s.top_row) + "-" + std::to_string(s.bottom_row) + ")");
    // Trigger Kind ParamA(track) ParamB(order) ParamC(row) IntA IntB IntC Angle X YOffset HP
    lines.push_back(std::to_string(s.music_trigger) + " 252 " + std::to_string(s.music_track) +
                    " 0 0 0 0 0 0 0 0 1");
    Builder builder(level, i);
    for (Wave& wave : builder.Build()) {
      if (wave.Entries.empty()) continue;
      lines.push_back("; " + (wave.Name.empty() ? std::string("ground") : wave.Name));
      for (const WaveEntry& e : wave.Entries) lines.push_back(Line(e));
    }
  }
  return lines;
}

}  // namespace tarq::forge
