#include "enemies/schedule.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/bounded_file.h"
#include "game/game.h"

namespace tarq {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlankOrControl(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlankOrControl(s.back())) s.remove_suffix(1);
  return s;
}

// The next token: everything before the first space (the space goes too); with no space
// left, the first eight characters, and the line is used up.
std::string_view NextToken(std::string_view& rest) {
  const size_t space = rest.find(' ');
  if (space == std::string_view::npos) {
    const std::string_view token = rest.substr(0, 8);
    rest = {};
    return token;
  }
  const std::string_view token = rest.substr(0, space);
  rest.remove_prefix(space + 1);
  return token;
}

// An optional sign and decimal digits that fit 32 bits.
bool ToInt32(std::string_view token, int32_t& value) {
  // One optional sign: '+' is dropped here, '-' is read by from_chars.
  if (!token.empty() && token.front() == '+') {
    token.remove_prefix(1);
    if (token.empty() || token.front() < '0' || token.front() > '9') return false;
  }
  int64_t v = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v, 10);
  if (ec != std::errc() || end != token.data() + token.size()) return false;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int32_t>(v);
  return true;
}

bool ParseLine(std::string_view line, ScheduleEntry& e, std::string& error) {
  int32_t v[12];
  for (int32_t& value : v) {
    const std::string_view token = NextToken(line);
    if (!ToInt32(token, value)) {
      error = "'" + std::string(token) + "' is not a valid integer value";
      return false;
    }
  }
  auto byte = [](int32_t x) { return static_cast<uint8_t>(x & 0xFF); };  // modulo 256
  e.Trigger = v[0];
  e.Kind = byte(v[1]);
  e.ParamA = byte(v[2]);
  e.ParamB = byte(v[3]);
  e.ParamC = byte(v[4]);
  e.IntA = v[5];
  e.IntB = v[6];
  e.IntC = v[7];
  e.Angle = byte(v[8]);
  e.X = v[9];
  e.YOffset = v[10];
  e.HitPoints = v[11];
  return true;
}

}  // namespace

bool LoadEnemies(std::string_view text, std::vector<ScheduleEntry>& entries, ScheduleError& error) {
  entries.clear();
  int32_t lineNo = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    // CR, LF or CR LF end a line; a last line without an end counts.
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size()) pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    ++lineNo;
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';') continue;
    ScheduleEntry e;
    if (!ParseLine(line, e, error.Text)) {
      error.Line = lineNo;
      return false;
    }
    entries.push_back(e);
  }
  return true;
}

bool LoadEnemiesFile(const std::string& path, std::vector<ScheduleEntry>& entries,
                     std::string& message) {
  // A schedule line is about 60 characters and a level a few thousand enemies; 16 MiB
  // is far beyond any level and keeps a huge or endless file from being read whole.
  constexpr size_t kMaxScheduleBytes = size_t{16} << 20;
  std::string text;
  const FileReadResult read = ReadBoundedFile(path, kMaxScheduleBytes, text);
  if (!read.Ok()) {
    message = "Cannot read the enemy schedule " + path + ": " + read.Error;
    return false;
  }
  ScheduleError error;
  if (!LoadEnemies(text, entries, error)) {
    message = path + ", line " + std::to_string(error.Line) + ": " + error.Text;
    return false;
  }
  return true;
}

void CheckEnemies(Game& game) {
  const auto count = static_cast<int32_t>(game.EnemySchedule.size());
  while (!game.ScheduleDone && game.ScheduleIndex >= 0 && game.ScheduleIndex < count) {
    const ScheduleEntry e = game.EnemySchedule[static_cast<size_t>(game.ScheduleIndex)];
    if (e.Trigger < game.ScrollY) return;  // not yet due
    // The map y is computed in 64 bits: any two 32-bit values from the file are safe.
    const int64_t y = int64_t{e.Trigger} + e.YOffset;
    const auto mapY = static_cast<int32_t>(y < INT32_MIN ? INT32_MIN : (y > INT32_MAX ? INT32_MAX : y));
    Enemy_Add(game, e.X, mapY, e.Angle, e.Kind, e.ParamA, e.ParamB, e.ParamC, e.IntA, e.IntB, e.IntC,
              e.HitPoints);
    game.ScheduleIndex += 1;
    if (game.ScheduleIndex == count) game.ScheduleDone = true;
  }
}

void RewindSchedule(Game& game) {
  game.ScheduleIndex = 0;
  game.ScheduleDone = false;
}

}  // namespace tarq
