#include "game/hiscores.h"

#include "game/dump.h"
#include "game/game.h"

namespace tarq {

namespace {

// The scrambling key's first byte. Every file the game has ever written starts with
// this key, so it must never change: a different value would turn every saved table
// into noise in the next version.
constexpr uint8_t kKeyStart = 0x5C;
// The key grows by this much after every byte, read or written.
constexpr uint8_t kKeyStep = 3;
constexpr uint8_t kNameEnd = 255;

// Reads the scrambled stream; past its end every byte decodes to 255.
class KeyedReader {
 public:
  explicit KeyedReader(std::string_view bytes) : bytes_(bytes) {}
  uint8_t Next() {
    uint8_t plain = kNameEnd;
    if (pos_ < bytes_.size()) plain = static_cast<uint8_t>(static_cast<uint8_t>(bytes_[pos_++]) ^ key_);
    key_ = static_cast<uint8_t>(key_ + kKeyStep);
    return plain;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  uint8_t key_ = kKeyStart;
};

}  // namespace

HiScoreTable DefaultHiScores() {
  // The two lowest entries are easy on purpose: a first run gets into the table.
  return {{
      {100, "CORNELL MAYBROOK"},
      {200, "LEOPOLD ABERCRAIG"},
      {300000, "DAG WINSLEY"},
      {400000, "IVO TRENT"},
      {500000, "RUPERT HALLOCK"},
      {600000, "MAREK FENDO"},
      {700000, "OSWALD KETTERIN"},
  }};
}

HiScoreTable DecodeHiScores(std::string_view bytes) {
  HiScoreTable table;
  KeyedReader in(bytes);
  for (HiScoreEntry& e : table) {
    // The game never saves a name longer than 32 characters; a longer one in the file
    // is read to its end but not kept, so a hostile file cannot make huge names.
    for (uint8_t c = in.Next(); c != kNameEnd; c = in.Next())
      if (e.Name.size() < kHiScoreNameLimit) e.Name += static_cast<char>(c);
    uint32_t score = 0;
    for (int i = 0; i < 4; ++i) score = (score << 8) | in.Next();
    e.Score = static_cast<int32_t>(score);
  }
  return table;
}

std::string EncodeHiScores(const HiScoreTable& table) {
  std::string out;
  uint8_t key = kKeyStart;
  auto put = [&](uint8_t plain) {
    out += static_cast<char>(plain ^ key);
    key = static_cast<uint8_t>(key + kKeyStep);
  };
  for (const HiScoreEntry& e : table) {
    for (const char c : e.Name) put(static_cast<uint8_t>(c));
    put(kNameEnd);
    const auto score = static_cast<uint32_t>(e.Score);
    for (int shift = 24; shift >= 0; shift -= 8) put(static_cast<uint8_t>(score >> shift));
  }
  return out;
}

std::string ShownName(std::string_view name) {
  std::string shown;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u <= 90) shown += c;
  }
  return shown;
}

void DoHiScores(Game& game, int32_t nextScreen) {
  game.ScreenTicks = 0;
  game.HiScoreMessage = "HIGH SCORES";
  game.ScreenState = nextScreen;
  for (int32_t p = 0; p < 2; ++p) {
    PlayerRecord& player = game.Players[static_cast<size_t>(p)];
    if (player.Score == 0) continue;
    int32_t rank = -1;
    for (int32_t i = 0; i < kHiScoreEntries; ++i)
      if (player.Score >= game.HiScores[static_cast<size_t>(i)].Score) rank = i;
    if (rank < 0) continue;
    // The entries below the new one move down a place; the lowest drops out.
    game.EditIndex = rank;
    for (int32_t j = 0; j < rank; ++j)
      game.HiScores[static_cast<size_t>(j)] = game.HiScores[static_cast<size_t>(j + 1)];
    game.HiScores[static_cast<size_t>(rank)] = HiScoreEntry{player.Score, ""};
    game.HiScoreMessage = p == 0 ? "PLAYER 1 NEW HIGH SCORE" : "PLAYER 2 NEW HIGH SCORE";
    // A key typed during play must not become the first letter: a backspace on the
    // empty name does nothing.
    game.TypedKey = 8;
    game.ScreenState = kScreenNameEntry;
    player.Score = 0;
    return;
  }
}

void NameEntryTick(Game& game) {
  ProcessPlasma(game.Plasma);
  if (game.TypedKey == 0) return;
  const bool editing = game.EditIndex >= 0 && game.EditIndex < kHiScoreEntries;
  std::string* name = editing ? &game.HiScores[static_cast<size_t>(game.EditIndex)].Name : nullptr;
  if (game.TypedKey == 8) {
    if (name && !name->empty()) name->pop_back();
  } else if (game.TypedKey == 13) {
    for (HiScoreEntry& e : game.HiScores)
      if (e.Name.size() > kHiScoreNameLimit) e.Name.resize(kHiScoreNameLimit);
    if (game.HiScoreSaver) game.HiScoreSaver->Save(game.HiScores);
    game.ScreenTicks = 0;
    DoHiScores(game, kScreenScores);
  } else if (name) {
    // TypedKey holds only what the window accepts: 32 to 90, 8 and 13.
    *name += static_cast<char>(game.TypedKey);
  }
  game.TypedKey = 0;
}

void DumpHiScores(const Game& game, JsonWriter& w) {
  // Names are single-byte characters; a byte above 127 (only a foreign file has one) is
  // written as the character of that code so the line stays valid JSON.
  auto text = [](const std::string& name) {
    std::string utf8;
    for (const char c : name) {
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x80) {
        utf8 += c;
      } else {
        utf8 += static_cast<char>(0xC0 | (u >> 6));
        utf8 += static_cast<char>(0x80 | (u & 0x3F));
      }
    }
    return utf8;
  };
  w.Key("HiScoreTable");
  w.BeginArray();
  for (const HiScoreEntry& e : game.HiScores) {
    w.BeginObject();
    w.Field("Score", e.Score);
    w.Field("Name", text(e.Name));
    w.EndObject();
  }
  w.EndArray();
  w.Field("HiScoreMessage", game.HiScoreMessage);
  w.Field("EditIndex", game.EditIndex);
}

}  // namespace tarq
