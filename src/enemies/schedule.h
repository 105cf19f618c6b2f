#pragma once
// The level script: system/enemies.txt, one enemy per line, fired front to back as the
// view scrolls up the map. An entry fires once ScrollY has come down to its Trigger;
// firing creates one enemy through Enemy_Add.
//
// File format: each line is trimmed of blanks and control characters at both ends; an
// empty line or one starting with ';' is skipped; any other line holds twelve decimal
// integers separated by single spaces:
//   Trigger Kind ParamA ParamB ParamC IntA IntB IntC Angle X YOffset HitPoints
// A token is everything before the next space; the last one (no space left) is at most
// eight characters, and anything after a space behind it is ignored. 8-bit fields keep
// their value modulo 256. Nothing is sorted: an entry with a lower trigger holds back
// every entry listed after it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/angles.h"

namespace tarq {

struct Game;

inline constexpr const char* kEnemyScheduleFile = "system/enemies.txt";

struct ScheduleEntry {
  int32_t Trigger = 0;  // fires when ScrollY <= Trigger; also the base of the map y
  uint8_t Kind = 0;
  uint8_t ParamA = 0;
  uint8_t ParamB = 0;
  uint8_t ParamC = 0;
  int32_t IntA = 0;
  int32_t IntB = 0;
  int32_t IntC = 0;
  ByteAngle Angle = 0;
  int32_t X = 0;        // map x
  int32_t YOffset = 0;  // added to Trigger for the map y (negative: above the view)
  int32_t HitPoints = 0;
};

// Why a schedule could not be read: the line (1-based) and the conversion error
// "'<token>' is not a valid integer value".
struct ScheduleError {
  int32_t Line = 0;
  std::string Text;
};

// Parses the text of a schedule file. On success `entries` holds one entry per data
// line in file order; on the first bad line it returns false with the error.
bool LoadEnemies(std::string_view text, std::vector<ScheduleEntry>& entries, ScheduleError& error);

// Reads a schedule file. A missing or unreadable file, or a bad line, gives false and a
// message naming the file (and the line) for the start-up error box.
bool LoadEnemiesFile(const std::string& path, std::vector<ScheduleEntry>& entries,
                     std::string& message);

// Fires every entry that is due, in file order. The last step of each unpaused
// playing tick.
void CheckEnemies(Game& game);

// A new run fires the level schedule again from its first entry.
void RewindSchedule(Game& game);

}  // namespace tarq
