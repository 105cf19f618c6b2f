#include "app/replay.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "app/user_paths.h"
#include "audio/game_audio.h"
#include "core/bounded_file.h"
#include "core/file_write.h"
#include "game/dump.h"
#include "game/game.h"

namespace tarq {

namespace {

constexpr const char* kMagic = "TARQ REPLAY";
constexpr int32_t kLongestPass = 8;     // the timer catches up at most 8 ticks a pass

uint32_t Crc(std::string_view bytes, uint32_t crc = 0) {
  // zlib takes lengths as uInt; dump values are far below that, files are fed in pieces.
  while (!bytes.empty()) {
    const size_t n = std::min<size_t>(bytes.size(), 1u << 30);
    crc = static_cast<uint32_t>(
        crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n)));
    bytes.remove_prefix(n);
  }
  return crc;
}

// Texts (names, bindings) as one word: bytes outside 33..126 and '%' as %HH.
std::string EncodeWord(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c > 32 && c < 127 && c != '%') {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool DecodeWord(std::string_view word, std::string& out) {
  out.clear();
  for (size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '%') {
      out += word[i];
      continue;
    }
    if (i + 2 >= word.size()) return false;
    const int hi = HexValue(word[i + 1]);
    const int lo = HexValue(word[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
  return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ') ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ') ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
  return words;
}

// Typed characters that need a name: they would be invisible or ambiguous as a word.
const char* TypedName(int32_t c) {
  switch (c) {
    case 8: return "Backspace";
    case 13: return "Enter";
    case 32: return "Space";
    default: return nullptr;
  }
}

void AppendHex8(std::string& out, uint32_t v) {
  char buf[12];
  std::snprintf(buf, sizeof buf, "%08x", v);
  out += buf;
}

void WriteCheckpoint(std::string& out, const ReplayCheckpoint& c) {
  out += std::to_string(c.Tick);
  out += " check";
  for (const auto& [name, hash] : c.Fields) {
    out += ' ';
    out += name;
    out += '=';
    AppendHex8(out, hash);
  }
  out += '\n';
}

void WriteEvent(std::string& out, const ReplayEvent& e) {
  out += std::to_string(e.Tick);
  switch (e.Type) {
    case ReplayEvent::Kind::Hold:
      if (e.Read != 0) {
        out += ':';
        out += std::to_string(e.Read);
      }
      for (size_t i = 0; i + 4 <= e.Codes.size(); i += 4) {
        out += ' ';
        out.append(e.Codes, i, 4);
      }
      break;
    case ReplayEvent::Kind::Type:
      if (const char* name = TypedName(e.Value)) {
        out += " key ";
        out += name;
      } else {
        out += " type ";
        out += static_cast<char>(e.Value);
      }
      break;
    case ReplayEvent::Kind::Key:
      out += e.Value == static_cast<int32_t>(ReplayKey::AltEnter) ? " key AltEnter" : " key Escape";
      break;
    case ReplayEvent::Kind::Pass:
      out += " pass ";
      out += std::to_string(e.Value);
      break;
  }
  out += '\n';
}

bool ValidFieldName(std::string_view name) {
  if (name.empty() || name.size() > 64) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

}  // namespace

std::string WriteReplayText(const Replay& r) {
  std::string out;
  out.reserve(r.Events.size() * 16 + r.Checkpoints.size() * 600 + 2048);
  out += kMagic;
  out += ' ';
  out += std::to_string(r.FormatVersion);
  out += "\nprogram " + EncodeWord(r.ProgramVersion) + '\n';
  out += "data ";
  AppendHex8(out, r.DataChecksum);
  out += "\nseed " + std::to_string(r.Seed) + '\n';
  out += "start-section " + std::to_string(r.StartSection) + '\n';
  out += "invulnerable " + std::to_string(r.Invulnerable ? 1 : 0) + '\n';
  out += "full-screen " + std::to_string(r.FullScreen ? 1 : 0) + '\n';
  out += "show-options " + std::to_string(r.ShowOptionsAtStart ? 1 : 0) + '\n';
  out += "sound-volume " + std::to_string(r.SoundVolume) + '\n';
  out += "music-volume " + std::to_string(r.MusicVolume) + '\n';
  for (int p = 0; p < 2; ++p) {
    for (int c = 0; c < kControlsPerPlayer; ++c) {
      out += "binding " + std::to_string(p) + ' ' + std::to_string(c);
      const std::string& b = r.Bindings[static_cast<size_t>(p)][static_cast<size_t>(c)];
      if (!b.empty()) out += ' ' + EncodeWord(b);
      out += '\n';
    }
  }
  for (size_t i = 0; i < r.HiScores.size(); ++i) {
    out += "hiscore " + std::to_string(i) + ' ' + std::to_string(r.HiScores[i].Score);
    if (!r.HiScores[i].Name.empty()) out += ' ' + EncodeWord(r.HiScores[i].Name);
    out += '\n';
  }
  out += "run-start " + std::to_string(r.RunStart) + '\n';
  // Events and checkpoints by tick; a checkpoint (the state after T ticks) before the
  // events of T (which act before tick T + 1).
  size_t c = 0;
  for (const ReplayEvent& e : r.Events) {
    while (c < r.Checkpoints.size() && r.Checkpoints[c].Tick <= e.Tick) WriteCheckpoint(out, r.Checkpoints[c++]);
    WriteEvent(out, e);
  }
  while (c < r.Checkpoints.size()) WriteCheckpoint(out, r.Checkpoints[c++]);
  out += "end " + std::to_string(r.End) + '\n';
  return out;
}

bool ParseReplay(std::string_view text, Replay& r, std::string& error) {
  r = Replay{};
  if (text.size() > kMaxReplayBytes) {
    error = "the file is larger than " + std::to_string(kMaxReplayBytes >> 20) + " MiB";
    return false;
  }
  int lineNo = 0;
  size_t pos = 0;
  bool haveProgram = false, haveData = false, haveSeed = false, ended = false, inEvents = false;
  int64_t lastTick = 0;
  int64_t passEnd = 0;
  auto fail = [&](const std::string& why) {
    error = "line " + std::to_string(lineNo) + ": " + why;
    return false;
  };
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    const bool lastLine = end == std::string_view::npos;
    if (lastLine) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (lineNo == 1) {
      const std::string magic = std::string(kMagic) + ' ';
      if (line.substr(0, magic.size()) != magic) return fail("not a replay (it starts with \"" + std::string(kMagic) + " N\")");
      int32_t version = 0;
      if (!ParseNumber(line.substr(magic.size()), version)) return fail("bad format version");
      if (version != kReplayFormatVersion) {
        return fail("format version " + std::to_string(version) + "; this program reads version " +
                    std::to_string(kReplayFormatVersion));
      }
      r.FormatVersion = version;
      continue;
    }
    const std::vector<std::string_view> w = Words(line);
    if (w.empty() || w[0][0] == '#') continue;
    if (ended) return fail("text after the end line");
    // The writer ends every line, the last one too: a last line without its newline
    // was cut off.
    if (lastLine) return fail("the file is cut short");
    const std::string_view key = w[0];
    if (key[0] >= '0' && key[0] <= '9') {
      // An event or a checkpoint: "T ...", or "T:K CODES" for a later read of tick T.
      inEvents = true;
      const size_t colon = key.find(':');
      int64_t tick = 0;
      int32_t read = 0;
      if (!ParseNumber(key.substr(0, colon), tick) || tick < 0 || tick > kMaxReplayTicks)
        return fail("bad tick \"" + std::string(key) + "\"");
      if (colon != std::string_view::npos && (!ParseNumber(key.substr(colon + 1), read) || read < 1))
        return fail("bad read number in \"" + std::string(key) + "\"");
      if (tick < lastTick) return fail("tick " + std::to_string(tick) + " comes after tick " + std::to_string(lastTick));
      lastTick = tick;
      ReplayEvent e;
      e.Tick = tick;
      e.Read = read;
      const std::string_view verb = w.size() > 1 ? w[1] : std::string_view();
      if (colon == std::string_view::npos && verb == "check") {
        ReplayCheckpoint c;
        c.Tick = tick;
        if (w.size() < 3) return fail("a checkpoint needs at least one field");
        if (w.size() > 258) return fail("too many checkpoint fields");
        for (size_t i = 2; i < w.size(); ++i) {
          const size_t eq = w[i].find('=');
          uint32_t hash = 0;
          if (eq == std::string_view::npos || !ValidFieldName(w[i].substr(0, eq)) || w[i].size() - eq - 1 != 8)
            return fail("bad checkpoint field \"" + std::string(w[i]) + "\" (NAME=8 hex digits)");
          for (size_t k = eq + 1; k < w[i].size(); ++k) {
            const int v = HexValue(w[i][k]);
            if (v < 0) return fail("bad checkpoint hash \"" + std::string(w[i]) + "\"");
            hash = hash * 16 + static_cast<uint32_t>(v);
          }
          c.Fields.emplace_back(std::string(w[i].substr(0, eq)), hash);
        }
        if (!r.Checkpoints.empty() && r.Checkpoints.back().Tick == tick) return fail("two checkpoints at one tick");
        r.Checkpoints.push_back(std::move(c));
        continue;
      }
      if (colon == std::string_view::npos && verb == "type") {
        // The typed text is the single character after "type ".
        const size_t at = line.find("type") + 5;
        if (line.size() != at + 1) return fail("type takes one character (use key Space, Enter or Backspace)");
        const auto ch = static_cast<unsigned char>(line[at]);
        if (ch < 33 || ch > 90) return fail("a typed character is 33 .. 90, not code " + std::to_string(ch));
        e.Type = ReplayEvent::Kind::Type;
        e.Value = ch;
      } else if (colon == std::string_view::npos && verb == "key") {
        if (w.size() != 3) return fail("key takes one name");
        if (w[2] == "Escape") {
          e.Type = ReplayEvent::Kind::Key;
          e.Value = static_cast<int32_t>(ReplayKey::Escape);
        } else if (w[2] == "AltEnter") {
          e.Type = ReplayEvent::Kind::Key;
          e.Value = static_cast<int32_t>(ReplayKey::AltEnter);
        } else if (w[2] == "Enter" || w[2] == "Backspace" || w[2] == "Space") {
          e.Type = ReplayEvent::Kind::Type;
          e.Value = w[2] == "Enter" ? 13 : (w[2] == "Backspace" ? 8 : 32);
        } else {
          return fail("unknown key \"" + std::string(w[2]) + "\" (Escape, AltEnter, Enter, Backspace or Space)");
        }
      } else if (colon == std::string_view::npos && verb == "pass") {
        int32_t n = 0;
        if (w.size() != 3 || !ParseNumber(w[2], n) || n < 2 || n > kLongestPass)
          return fail("pass takes a tick count from 2 to " + std::to_string(kLongestPass));
        // Passes cannot overlap: the previous one must be over by this one's start.
        if (tick < passEnd) return fail("this pass starts inside the previous one");
        passEnd = tick + n;
        e.Type = ReplayEvent::Kind::Pass;
        e.Value = n;
      } else {
        e.Type = ReplayEvent::Kind::Hold;
        if (w.size() > 1 + 64) return fail("too many held codes");
        ScriptedInputSource probe;
        for (size_t i = 1; i < w.size(); ++i) {
          if (w[i].size() != 4) return fail("\"" + std::string(w[i]) + "\" is not a four-character control code");
          const std::string code(w[i]);
          if (!probe.Hold(code.c_str())) return fail("cannot hold control code \"" + code + "\"");
          e.Codes += code;
        }
      }
      r.Events.push_back(std::move(e));
      continue;
    }
    auto number = [&](auto& out) {
      return w.size() == 2 && ParseNumber(w[1], out);
    };
    auto flag = [&](bool& out) {
      if (w.size() != 2 || (w[1] != "0" && w[1] != "1")) return false;
      out = w[1] == "1";
      return true;
    };
    if (key == "end") {
      int64_t t = 0;
      if (!number(t) || t < lastTick || t > kMaxReplayTicks)
        return fail("end needs the last tick (at least " + std::to_string(lastTick) + ", at most " +
                    std::to_string(kMaxReplayTicks) + ")");
      r.End = t;
      ended = true;
      continue;
    }
    if (inEvents) return fail("\"" + std::string(key) + "\" belongs before the first event");
    if (key == "program") {
      if (w.size() != 2 || !DecodeWord(w[1], r.ProgramVersion)) return fail("bad program version");
      haveProgram = true;
    } else if (key == "data") {
      uint32_t v = 0;
      if (w.size() != 2 || w[1].size() != 8) return fail("data needs 8 hex digits");
      for (const char ch : w[1]) {
        const int d = HexValue(ch);
        if (d < 0) return fail("data needs 8 hex digits");
        v = v * 16 + static_cast<uint32_t>(d);
      }
      r.DataChecksum = v;
      haveData = true;
    } else if (key == "seed") {
      if (!number(r.Seed)) return fail("seed needs a non-negative whole number");
      haveSeed = true;
    } else if (key == "start-section") {
      if (!number(r.StartSection) || r.StartSection < 1) return fail("start-section needs a section from 1");
    } else if (key == "invulnerable") {
      if (!flag(r.Invulnerable)) return fail("invulnerable is 0 or 1");
    } else if (key == "full-screen") {
      if (!flag(r.FullScreen)) return fail("full-screen is 0 or 1");
    } else if (key == "show-options") {
      if (!flag(r.ShowOptionsAtStart)) return fail("show-options is 0 or 1");
    } else if (key == "sound-volume") {
      if (!number(r.SoundVolume) || r.SoundVolume < 0 || r.SoundVolume > 100) return fail("sound-volume is 0 .. 100");
    } else if (key == "music-volume") {
      if (!number(r.MusicVolume) || r.MusicVolume < 0 || r.MusicVolume > 100) return fail("music-volume is 0 .. 100");
    } else if (key == "binding") {
      int32_t p = 0, c = 0;
      if (w.size() < 3 || w.size() > 4 || !ParseNumber(w[1], p) || !ParseNumber(w[2], c) || p < 0 || p > 1 || c < 0 ||
          c >= kControlsPerPlayer)
        return fail("binding needs a player (0, 1), a control (0 .. 9) and its codes");
      std::string codes;
      if (w.size() == 4 && (!DecodeWord(w[3], codes) || codes.size() > 4096)) return fail("bad binding codes");
      r.Bindings[static_cast<size_t>(p)][static_cast<size_t>(c)] = codes;
    } else if (key == "hiscore") {
      int32_t i = 0, score = 0;
      if (w.size() < 3 || w.size() > 4 || !ParseNumber(w[1], i) || i < 0 || i >= kHiScoreEntries ||
          !ParseNumber(w[2], score))
        return fail("hiscore needs an entry (0 .. 6), a score and a name");
      std::string name;
      if (w.size() == 4 && (!DecodeWord(w[3], name) || name.size() > 256)) return fail("bad high-score name");
      r.HiScores[static_cast<size_t>(i)] = HiScoreEntry{score, name};
    } else if (key == "run-start") {
      if (!number(r.RunStart) || r.RunStart < 0 || r.RunStart > kMaxReplayTicks) return fail("run-start needs a tick");
    } else {
      return fail("unknown line \"" + std::string(key) + "\"");
    }
  }
  if (lineNo == 0) {
    error = "the file is empty";
    return false;
  }
  if (!ended) {
    lineNo += 1;
    return fail("the file is cut short (no end line)");
  }
  if (!haveProgram || !haveData || !haveSeed) {
    error = "the header lacks its program, data or seed line";
    return false;
  }
  if (r.RunStart > r.End) {
    error = "run-start lies after the end";
    return false;
  }
  return true;
}

bool LoadReplayFile(const std::string& path, Replay& replay, std::string& error) {
  std::string text;
  const FileReadResult read = ReadBoundedFile(path, kMaxReplayBytes, text);
  if (!read.Ok()) {
    error = read.Error.empty() ? "cannot read " + path : read.Error;
    if (read.Status == FileReadStatus::kTooLarge)
      error = path + ": the file is larger than " + std::to_string(kMaxReplayBytes >> 20) + " MiB";
    return false;
  }
  if (!ParseReplay(text, replay, error)) {
    error = path + ", " + error;
    return false;
  }
  return true;
}

bool SaveReplayFile(const std::string& path, const Replay& replay, std::string& error) {
  return SaveFileSafely(path, WriteReplayText(replay), OnExisting::Replace, &error) == SaveOutcome::Saved;
}

uint32_t DataFolderChecksum(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    const std::string rel = fs::relative(it->path(), folder, fec).generic_string();
    if (fec || rel == "system/tarq.ini" || rel == "system/hiscores.dat") continue;
    files.push_back(rel);
  }
  std::sort(files.begin(), files.end());
  uint32_t crc = 0;
  std::vector<char> buf(1 << 16);
  for (const std::string& rel : files) {
    crc = Crc(std::string_view(rel.c_str(), rel.size() + 1), crc);
    std::ifstream in(fs::path(folder) / rel, std::ios::binary);
    while (in) {
      in.read(buf.data(), static_cast<std::streamsize>(buf.size()));
      const auto n = static_cast<size_t>(in.gcount());
      if (n == 0) break;
      crc = Crc(std::string_view(buf.data(), n), crc);
    }
  }
  return crc;
}

ReplayCheckpoint StateCheckpoint(const Game& game) {
  ReplayCheckpoint c;
  c.Tick = game.TickCount;
  // The sound log is emptied by a dump that lists it; a checkpoint must not take the
  // sounds from the runner's own dump, nor depend on whether one is written.
  const bool logged = game.Audio && game.Audio->LogSounds;
  if (logged) game.Audio->LogSounds = false;
  const std::string json = DumpGameLine(game);
  if (logged) game.Audio->LogSounds = true;
  // Split the object's top level: "key":value,"key":value ...
  size_t i = 1;
  const size_t n = json.size();
  while (i < n && json[i] == '"') {
    const size_t nameEnd = json.find('"', i + 1);  // dump keys hold no escapes
    if (nameEnd == std::string::npos || nameEnd + 1 >= n) break;
    std::string name = json.substr(i + 1, nameEnd - i - 1);
    size_t v = nameEnd + 2;  // past the colon
    const size_t start = v;
    int depth = 0;
    bool inString = false;
    for (; v < n; ++v) {
      const char ch = json[v];
      if (inString) {
        if (ch == '\\') ++v;
        else if (ch == '"') inString = false;
        continue;
      }
      if (ch == '"') inString = true;
      else if (ch == '{' || ch == '[') ++depth;
      else if (ch == '}' || ch == ']') {
        if (depth == 0) break;  // the end of the whole object
        --depth;
      } else if (ch == ',' && depth == 0) break;
    }
    c.Fields.emplace_back(std::move(name), Crc(std::string_view(json).substr(start, v - start)));
    i = v + 1;
  }
  return c;
}

std::string FirstDifferingField(const ReplayCheckpoint& expected, const ReplayCheckpoint& actual) {
  for (const auto& field : expected.Fields) {
    const auto found = std::find_if(actual.Fields.begin(), actual.Fields.end(),
                                    [&](const auto& f) { return f.first == field.first; });
    if (found == actual.Fields.end() || found->second != field.second) return field.first;
  }
  for (const auto& f : actual.Fields) {
    const auto found = std::find_if(expected.Fields.begin(), expected.Fields.end(),
                                    [&](const auto& e) { return e.first == f.first; });
    if (found == expected.Fields.end()) return f.first;
  }
  return {};
}

namespace {

constexpr int kPads = 16;  // the prompt captures pads 0 .. F

// One pad's inputs as bits: buttons 0 .. 15, then X-, X+, Y-, Y+.
uint32_t PadBits(const JoystickState& s) {
  constexpr int32_t kDeadZone = 16383;  // as the bindings read the axes
  uint32_t bits = 0;
  for (int b = 0; b < 16; ++b)
    if (s.Buttons[static_cast<size_t>(b)] > 63) bits |= 1u << b;
  if (s.X < -kDeadZone) bits |= 1u << 16;
  if (s.X > kDeadZone) bits |= 1u << 17;
  if (s.Y < -kDeadZone) bits |= 1u << 18;
  if (s.Y > kDeadZone) bits |= 1u << 19;
  return bits;
}

void ReadPads(const TInputDevices& input, std::vector<uint32_t>& pads) {
  pads.clear();
  const int count = std::min<int>(input.JoystickCount(), kPads);
  for (int i = 0; i < count; ++i) pads.push_back(PadBits(input.Joystick(i)->State));
  while (!pads.empty() && pads.back() == 0) pads.pop_back();
}

}  // namespace

std::string HeldCodes(const TInputDevices& input) {
  static const char* kHex = "0123456789ABCDEF";
  std::string codes;
  for (int k = 0; k < 256; ++k) {
    if (!input.KeyDown(k)) continue;
    codes += "KB";
    codes += kHex[k >> 4];
    codes += kHex[k & 15];
  }
  std::vector<uint32_t> pads;
  ReadPads(input, pads);
  static const char* kAxes[4] = {"X-", "X+", "Y-", "Y+"};
  for (size_t i = 0; i < pads.size(); ++i) {
    for (int b = 0; b < 16; ++b) {
      if (!(pads[i] & (1u << b))) continue;
      codes += 'J';
      codes += kHex[i];
      codes += 'B';
      codes += kHex[b];
    }
    for (int a = 0; a < 4; ++a) {
      if (!(pads[i] & (1u << (16 + a)))) continue;
      codes += 'J';
      codes += kHex[i];
      codes += kAxes[a];
    }
  }
  return codes;
}

void CaptureReplayStartState(const Game& game, Replay& replay) {
  replay.Bindings = game.ControlBindings;
  replay.ShowOptionsAtStart = game.ShowOptionsAtStart;
  replay.SoundVolume = game.SoundVolume;
  replay.MusicVolume = game.MusicVolume;
  replay.HiScores = game.HiScores;
  replay.StartSection = game.StartSection;
  replay.FullScreen = game.FullScreen;
}

void ApplyReplayStartState(const Replay& replay, Game& game) {
  game.ControlBindings = replay.Bindings;
  game.ShowOptionsAtStart = replay.ShowOptionsAtStart;
  game.SoundVolume = replay.SoundVolume;
  game.MusicVolume = replay.MusicVolume;
  game.HiScores = replay.HiScores;
  game.StartSection = replay.StartSection;
  game.FullScreen = replay.FullScreen;
}

ReplayRecorder::ReplayRecorder(const Game& game, uint64_t seed, uint32_t dataChecksum, std::string programVersion)
    : game_(game) {
  replay_.ProgramVersion = std::move(programVersion);
  replay_.DataChecksum = dataChecksum;
  replay_.Seed = seed;
  CaptureReplayStartState(game, replay_);
  replay_.RunStart = game.TickCount;
  replay_.Events.reserve(4096);
}

void ReplayRecorder::InputRead(const TInputDevices& input) {
  const int64_t tick = game_.TickCount - 1;  // the tick being run (the script's T)
  if (tick != read_tick_) {
    read_tick_ = tick;
    reads_in_tick_ = 0;
  } else {
    ++reads_in_tick_;
  }
  ReadPads(input, pads_scratch_);
  if (std::memcmp(last_keys_.data(), input.KeyState.data(), last_keys_.size()) == 0 && pads_scratch_ == last_pads_) {
    // Bit 7 is all that counts; other bits changing alone is no change of input.
    return;
  }
  bool sameKeys = true;
  for (size_t k = 0; k < 256 && sameKeys; ++k) sameKeys = ((last_keys_[k] ^ input.KeyState[k]) & 0x80) == 0;
  last_keys_ = input.KeyState;
  const bool samePads = pads_scratch_ == last_pads_;
  last_pads_.swap(pads_scratch_);
  if (sameKeys && samePads) return;
  if (tick < 0) return;  // a read before the first tick is never consumed by one
  ReplayEvent e;
  e.Tick = tick;
  e.Read = reads_in_tick_;
  e.Type = ReplayEvent::Kind::Hold;
  e.Codes = HeldCodes(input);
  replay_.Events.push_back(std::move(e));
}

void ReplayRecorder::ClosePass() {
  if (pass_ticks_ < 2) return;
  ReplayEvent e;
  e.Tick = pass_start_;
  e.Type = ReplayEvent::Kind::Pass;
  e.Value = pass_ticks_;
  // After the keys handled before the pass's render, before the pass's holds.
  replay_.Events.insert(replay_.Events.begin() + static_cast<std::ptrdiff_t>(pass_index_), std::move(e));
}

void ReplayRecorder::Render() {
  ClosePass();
  pass_start_ = game_.TickCount;
  pass_ticks_ = 0;
  pass_index_ = replay_.Events.size();
}

void ReplayRecorder::AfterTick() {
  ++pass_ticks_;
  if (game_.ScreenState == kScreenPlaying && !in_run_) {
    in_run_ = true;
    replay_.RunStart = game_.TickCount - 1;  // the tick that started play
  } else if (in_run_ && game_.ScreenState == kScreenTitle) {
    in_run_ = false;
    run_ended_ = true;
  }
  if (game_.TickCount % kReplayCheckpointTicks == 0) replay_.Checkpoints.push_back(StateCheckpoint(game_));
}

void ReplayRecorder::TypedKey(int32_t code) {
  ReplayEvent e;
  e.Tick = game_.TickCount;
  e.Type = ReplayEvent::Kind::Type;
  e.Value = code;
  replay_.Events.push_back(std::move(e));
}

void ReplayRecorder::WindowKey(ReplayKey key) {
  ReplayEvent e;
  e.Tick = game_.TickCount;
  e.Type = ReplayEvent::Kind::Key;
  e.Value = static_cast<int32_t>(key);
  replay_.Events.push_back(std::move(e));
}

Replay ReplayRecorder::Finish() {
  Replay out = replay_;
  // The open pass as it stands, and the state at the end.
  if (pass_ticks_ >= 2) {
    ReplayEvent e;
    e.Tick = pass_start_;
    e.Type = ReplayEvent::Kind::Pass;
    e.Value = pass_ticks_;
    out.Events.insert(out.Events.begin() + static_cast<std::ptrdiff_t>(pass_index_), std::move(e));
  }
  out.End = game_.TickCount;
  // Set once per session, but possibly after the recorder was made.
  out.StartSection = game_.StartSection;
  if (out.Checkpoints.empty() || out.Checkpoints.back().Tick != out.End) {
    out.Checkpoints.push_back(StateCheckpoint(game_));
  }
  // Keep the end checkpoint for later runs of the same session too.
  if (replay_.Checkpoints.empty() || replay_.Checkpoints.back().Tick != out.End)
    replay_.Checkpoints.push_back(out.Checkpoints.back());
  return out;
}

ReplayInputSource::ReplayInputSource(const std::vector<ReplayEvent>& events, const int64_t* tickCount)
    : tick_count_(tickCount) {
  for (const ReplayEvent& e : events)
    if (e.Type == ReplayEvent::Kind::Hold) holds_.push_back(&e);
  // Holds of one tick come in read order in a valid file; order them so that a
  // hand-edited one is applied as meant.
  std::stable_sort(holds_.begin(), holds_.end(), [](const ReplayEvent* a, const ReplayEvent* b) {
    return a->Tick != b->Tick ? a->Tick < b->Tick : a->Read < b->Read;
  });
}

int ReplayInputSource::ReadKeyboard(std::array<uint8_t, 256>& keys) {
  const int64_t tick = *tick_count_ - 1;
  if (tick != read_tick_) {
    read_tick_ = tick;
    reads_in_tick_ = 0;
  } else {
    ++reads_in_tick_;
  }
  while (next_ < holds_.size()) {
    const ReplayEvent& e = *holds_[next_];
    if (e.Tick > tick || (e.Tick == tick && e.Read > reads_in_tick_)) break;
    ReleaseAll();
    for (size_t i = 0; i + 4 <= e.Codes.size(); i += 4) Hold(e.Codes.substr(i, 4).c_str());
    ++next_;
  }
  return ScriptedInputSource::ReadKeyboard(keys);
}

bool ReplayInputSource::HoldPendingInTick() const {
  return next_ < holds_.size() && holds_[next_]->Tick == read_tick_;
}

std::string ReplayFolder(const std::string& dataHome) {
  if (dataHome.empty()) return {};
  return dataHome + "/tarq/replays";
}

std::string NextReplayPath(const std::string& folder) { return DatedFilePath(folder, "", ".tqr"); }

namespace {

// A dated replay's name split into its stamp and number (1 without "-N"); false for
// other names (last.tqr, files the player put there), which pruning leaves alone.
bool DatedReplay(const std::string& name, std::string& stamp, int64_t& number) {
  constexpr size_t kStamp = 15;  // YYYYMMDD-HHMMSS
  if (name.size() < kStamp + 4 || name.compare(name.size() - 4, 4, ".tqr") != 0) return false;
  stamp = name.substr(0, kStamp);
  for (size_t i = 0; i < kStamp; ++i) {
    const bool dash = i == 8;
    if (dash ? stamp[i] != '-' : (stamp[i] < '0' || stamp[i] > '9')) return false;
  }
  const std::string rest = name.substr(kStamp, name.size() - 4 - kStamp);
  number = 1;
  if (rest.empty()) return true;
  return rest[0] == '-' && ParseNumber(std::string_view(rest).substr(1), number) && number >= 2;
}

}  // namespace

void PruneReplays(const std::string& folder, size_t keep) {
  namespace fs = std::filesystem;
  struct Entry {
    std::string stamp;
    int64_t number;
    fs::path path;
  };
  std::vector<Entry> dated;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    Entry e;
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    if (!DatedReplay(it->path().filename().string(), e.stamp, e.number)) continue;
    e.path = it->path();
    dated.push_back(std::move(e));
  }
  if (dated.size() <= keep) return;
  std::sort(dated.begin(), dated.end(), [](const Entry& a, const Entry& b) {
    return a.stamp != b.stamp ? a.stamp > b.stamp : a.number > b.number;  // newest first
  });
  for (size_t i = keep; i < dated.size(); ++i) fs::remove(dated[i].path, ec);
}

bool SaveRunReplay(const std::string& folder, const Replay& replay, std::string& error, size_t keep) {
  if (folder.empty()) {
    error = "no folder for replays (no home folder)";
    return false;
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) {
    error = "cannot make " + folder + ": " + ec.message();
    return false;
  }
  const std::string text = WriteReplayText(replay);
  for (const std::string& path : {NextReplayPath(folder), folder + "/last.tqr"}) {
    if (SaveFileSafely(path, text, OnExisting::Replace, &error) != SaveOutcome::Saved) return false;
  }
  PruneReplays(folder, keep);
  return true;
}

}  // namespace tarq
