#pragma once
// The headless runner's state dump: one JSON object per line, keyed by the game's own
// names (TickCount, ScreenState, Players, ...). Each subsystem writes its state in a
// function of its own, called from DumpGame.
#include <cstdint>
#include <string>
#include <string_view>

#include "game/game.h"

namespace tarq {

// A small streaming JSON writer. Commas are placed automatically; keys are given with
// Key() inside objects, or as the first argument of the Field() shortcuts.
class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view key);

  void Value(int64_t v);
  void Value(int32_t v) { Value(static_cast<int64_t>(v)); }
  void Value(uint32_t v) { Value(static_cast<int64_t>(v)); }
  void Value(uint8_t v) { Value(static_cast<int64_t>(v)); }
  void Value(bool v);
  // Shortest text that reads back to the same double; NaN and infinities as null.
  void Value(double v);
  void Value(std::string_view v);
  void Value(const char* v) { Value(std::string_view(v)); }
  void Null();

  template <typename T>
  void Field(std::string_view key, const T& v) {
    Key(key);
    Value(v);
  }

  const std::string& Text() const { return out_; }
  void Clear();

 private:
  void BeforeValue();
  void AppendString(std::string_view v);
  std::string out_;
  // One flag per open container: whether it already holds an element.
  std::string has_element_;
  bool after_key_ = false;
};

// Writes the whole dumped state of `game` as one JSON object (no newline).
void DumpGame(const Game& game, JsonWriter& w);
std::string DumpGameLine(const Game& game);

}  // namespace tarq
