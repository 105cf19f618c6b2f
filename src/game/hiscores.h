#pragma once
// The high-score table: seven entries, index 0 the lowest and index 6 the highest.
// A finished run checks the players' scores against it (DoHiScores); a qualifying
// player types a name on the name-entry screen, and Enter saves the table.
//
// The tick never touches files: the table's byte form is made and read by the pure
// functions below, and saving goes through the HiScoreStore the Game holds (the app
// side writes the file).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarq {

struct Game;
class JsonWriter;

constexpr int32_t kHiScoreEntries = 7;
// Names are cut to this many characters when the table is saved.
constexpr size_t kHiScoreNameLimit = 32;

struct HiScoreEntry {
  int32_t Score = 0;
  std::string Name;  // upper case, characters 32 to 90 as typed
  bool operator==(const HiScoreEntry&) const = default;
};

using HiScoreTable = std::array<HiScoreEntry, kHiScoreEntries>;

// The table used when there is no file yet.
HiScoreTable DefaultHiScores();

// The file's byte stream: for each entry 0..6 the name's characters, the byte 255, then
// the score's four bytes, most significant first; every byte scrambled with a running
// key. Any bytes at all decode to a table: past the end every byte reads as 255, so a
// short file gives empty names and scores of -1.
HiScoreTable DecodeHiScores(std::string_view bytes);
std::string EncodeHiScores(const HiScoreTable& table);

// The name as the table screens show it: only the characters 32 to 90.
std::string ShownName(std::string_view name);

// Where the tick asks for the table to be kept. The game's window saves to the
// high-score file; the headless runner and tests keep nothing unless they ask to.
class HiScoreStore {
 public:
  virtual ~HiScoreStore() = default;
  // Keeps the table. A failure is the store's to report; the game goes on either way.
  virtual void Save(const HiScoreTable& table) = 0;
};

// Sets up the score screens after a run (nextScreen 4: the table; 0: straight to the
// title). The first player, in order 1 then 2, whose score qualifies gets a fresh entry
// and name entry starts; that player's score becomes 0, so the next call checks the
// other player. A score equal to an entry's ranks above it.
void DoHiScores(Game& game, int32_t nextScreen);

// Name entry (ScreenState 5): the typed character edits the new entry's name;
// Backspace deletes, Enter cuts every name to 32 characters, saves the table and checks
// the other player.
void NameEntryTick(Game& game);

// Dump keys HiScoreTable, HiScoreMessage and EditIndex.
void DumpHiScores(const Game& game, JsonWriter& w);

}  // namespace tarq
