#include "game/dump.h"

#include "audio/game_audio.h"
#include "game/dump_play.h"
#include "game/dump_enemies.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarq {

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!has_element_.empty()) {
    if (has_element_.back() == '1') out_ += ',';
    has_element_.back() = '1';
  }
}

void JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  has_element_ += '0';
}

void JsonWriter::EndObject() {
  out_ += '}';
  if (!has_element_.empty()) has_element_.pop_back();
}

void JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  has_element_ += '0';
}

void JsonWriter::EndArray() {
  out_ += ']';
  if (!has_element_.empty()) has_element_.pop_back();
}

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendString(key);
  out_ += ':';
  after_key_ = true;  // the value that follows takes no comma
}

void JsonWriter::Value(int64_t v) {
  BeforeValue();
  out_ += std::to_string(v);
}

void JsonWriter::Value(bool v) {
  BeforeValue();
  out_ += v ? "true" : "false";
}

void JsonWriter::Value(double v) {
  BeforeValue();
  if (!std::isfinite(v)) {
    out_ += "null";
    return;
  }
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  out_.append(buf, res.ptr);
}

void JsonWriter::Value(std::string_view v) {
  BeforeValue();
  AppendString(v);
}

void JsonWriter::AppendString(std::string_view v) {
  out_ += '"';
  for (const char c : v) {
    switch (c) {
      case '"': out_ += "\\\""; break;
      case '\\': out_ += "\\\\"; break;
      case '\n': out_ += "\\n"; break;
      case '\r': out_ += "\\r"; break;
      case '\t': out_ += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char esc[8];
          std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          out_ += esc;
        } else {
          out_ += c;
        }
    }
  }
  out_ += '"';
}

void JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
}

void JsonWriter::Clear() {
  out_.clear();
  has_element_.clear();
  after_key_ = false;
}

namespace {

void DumpControlState(const ControlState& c, JsonWriter& w) {
  w.BeginObject();
  w.Field("UpHeld", c.UpHeld);
  w.Field("UpPressed", c.UpPressed);
  w.Field("DownHeld", c.DownHeld);
  w.Field("DownPressed", c.DownPressed);
  w.Field("LeftHeld", c.LeftHeld);
  w.Field("RightHeld", c.RightHeld);
  w.Field("FireHeld", c.FireHeld);
  w.Field("FirePressed", c.FirePressed);
  w.Field("JumpPressed", c.JumpPressed);
  w.Field("SeventhPressed", c.SeventhPressed);
  w.Field("NukeHeld", c.NukeHeld);
  w.Field("PausePressed", c.PausePressed);
  w.Field("TenthHeld", c.TenthHeld);
  w.EndObject();
}

// Screen state and the main window's globals.
void DumpScreen(const Game& game, JsonWriter& w) {
  w.Field("TickCount", game.TickCount);
  w.Field("ScreenState", game.ScreenState);
  w.Field("ScreenTicks", game.ScreenTicks);
  w.Field("MenuCursor", game.MenuCursor);
  w.Field("InGameMenuOpen", game.InGameMenuOpen);
  w.Field("Paused", game.Paused);
  w.Field("TypedKey", game.TypedKey);
  w.Field("ShowOptionsAtStart", game.ShowOptionsAtStart);
  w.Field("SoundVolume", game.SoundVolume);
  w.Field("MusicVolume", game.MusicVolume);
  w.Field("QuitRequested", game.QuitRequested);
  w.Field("SwitchScreenRequested", game.SwitchScreenRequested);
  w.Key("Controls");
  w.BeginArray();
  for (const ControlState& c : game.Controls) DumpControlState(c, w);
  w.EndArray();
}

// Music state, and the sounds played since the previous dump line (when the runner
// asked the audio side to log them): [sample, pan, frequency] each.
void DumpAudioState(const Game& game, JsonWriter& w) {
  w.Field("CurrentTrack", game.Audio ? game.Audio->CurrentTrack : -1);
  w.Field("PreviousTrack", game.Audio ? game.Audio->PreviousTrack : -1);
  if (!game.Audio || !game.Audio->LogSounds) return;
  w.Key("Sounds");
  w.BeginArray();
  for (const SoundCall& s : game.Audio->SoundLog) {
    w.BeginArray();
    w.Value(s.sample);
    w.Value(s.pan);
    w.Value(s.frequency);
    w.EndArray();
  }
  w.EndArray();
  game.Audio->SoundLog.clear();
}

}  // namespace

void DumpGame(const Game& game, JsonWriter& w) {
  w.BeginObject();
  DumpScreen(game, w);
  DumpPlay(game, w);
  DumpAudioState(game, w);
  DumpEnemies(game, w);
  // Each subsystem adds its state here with one call of its own dump function.
  w.EndObject();
}

std::string DumpGameLine(const Game& game) {
  JsonWriter w;
  DumpGame(game, w);
  return w.Text();
}

}  // namespace tarq
