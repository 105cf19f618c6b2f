#pragma once
// A minimal data folder for start-up: an empty map of the right size and, optionally,
// a configuration file. Enough for the start-up steps that exist.
#include <string>

#include "test_util.h"

namespace tarq::testing_util {

constexpr size_t kMapBytes = 450560;

inline void MakeDataFolder(const TempDir& dir, const std::string& ini = "") {
  WriteFile(dir / "system/map.dat", std::string(kMapBytes, '\0'));
  if (!ini.empty()) WriteFile(dir / "system/tarq.ini", ini);
}

}  // namespace tarq::testing_util
