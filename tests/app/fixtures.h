#pragma once
// A minimal data folder for start-up: an empty map of the right size, an empty tile
// list, an enemy schedule with no enemies and, optionally, a configuration file. Missing sprites, fonts, sounds and music
// are not start-up errors: they stay unloaded and draw or play nothing.
#include <string>

#include "test_util.h"

namespace tarq::testing_util {

constexpr size_t kMapBytes = 450560;

inline void MakeDataFolder(const TempDir& dir, const std::string& ini = "") {
  WriteFile(dir / "system/map.dat", std::string(kMapBytes, '\0'));
  WriteFile(dir / "tiles/tiles.txt", "");
  WriteFile(dir / "system/enemies.txt", "; no enemies\r\n");
  if (!ini.empty()) WriteFile(dir / "system/tarq.ini", ini);
}

}  // namespace tarq::testing_util
