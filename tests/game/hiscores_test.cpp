// The high-score table: ranking after a run, name entry, the byte stream of the file,
// and the tick logic of the score table and completion screens.
#include <gtest/gtest.h>

#include <random>

#include "game/dump.h"
#include "game/end_screens.h"
#include "game/game.h"
#include "game/hiscores.h"

namespace tarq {
namespace {

// Keeps every table it is asked to save.
struct MemoryStore : HiScoreStore {
  std::vector<HiScoreTable> saved;
  void Save(const HiScoreTable& table) override { saved.push_back(table); }
};

std::vector<int32_t> Scores(const HiScoreTable& t) {
  std::vector<int32_t> s;
  for (const HiScoreEntry& e : t) s.push_back(e.Score);
  return s;
}

// Types one character as the window would hand it over, then runs one tick.
void Type(Game& game, int32_t key) {
  game.TypedKey = key;
  Timer1Process(game);
}
void TypeText(Game& game, const std::string& text) {
  for (const char c : text) Type(game, static_cast<unsigned char>(c));
}

TEST(DoHiScores, TiesRankAboveAndTheLowestEntryDropsOut) {
  // 100 equals the lowest default entry and takes its place.
  Game game;
  game.Players[0].Score = 100;
  DoHiScores(game, kScreenScores);
  EXPECT_EQ(game.ScreenState, kScreenNameEntry);
  EXPECT_EQ(game.EditIndex, 0);
  EXPECT_EQ(game.HiScores[0], (HiScoreEntry{100, ""}));
  EXPECT_EQ(game.HiScores[1].Name, "LEOPOLD ABERCRAIG");
  EXPECT_EQ(game.HiScoreMessage, "PLAYER 1 NEW HIGH SCORE");
  EXPECT_EQ(game.TypedKey, 8);
  EXPECT_EQ(game.Players[0].Score, 0);
  EXPECT_EQ(game.ScreenTicks, 0);

  // 700000 ties the best: it becomes index 6 and everything else moves down one place.
  Game best;
  best.Players[1].Score = 700000;
  DoHiScores(best, kScreenScores);
  EXPECT_EQ(best.EditIndex, 6);
  EXPECT_EQ(best.HiScoreMessage, "PLAYER 2 NEW HIGH SCORE");
  EXPECT_EQ(Scores(best.HiScores),
            (std::vector<int32_t>{200, 300000, 400000, 500000, 600000, 700000, 700000}));
  EXPECT_EQ(best.HiScores[5].Name, "OSWALD KETTERIN");
  EXPECT_EQ(best.HiScores[6].Name, "");
}

TEST(DoHiScores, NoQualifyingScoreGoesToTheNextScreen) {
  Game game;
  game.Players[0].Score = 99;  // below every entry
  game.Players[1].Score = 0;   // no score: never entered, even against a table of -1s
  game.HiScoreMessage = "PLAYER 2 NEW HIGH SCORE";
  DoHiScores(game, kScreenTitle);
  EXPECT_EQ(game.ScreenState, kScreenTitle);
  EXPECT_EQ(game.HiScoreMessage, "HIGH SCORES");
  EXPECT_EQ(game.HiScores, DefaultHiScores());
  EXPECT_EQ(game.Players[0].Score, 99);
}

TEST(NameEntry, BothPlayersQualifyAndTheSecondIsPlacedAgainstTheUpdatedTable) {
  Game game;
  MemoryStore store;
  game.HiScoreSaver = &store;
  game.Players[0].Score = 450000;
  game.Players[1].Score = 450000;
  DoHiScores(game, kScreenScores);
  ASSERT_EQ(game.EditIndex, 3);
  Timer1Process(game);  // the TypedKey 8 of the start deletes nothing
  EXPECT_EQ(game.HiScores[3].Name, "");
  TypeText(game, "ANN");
  Type(game, 13);
  // Saved once, with player 1's entry; player 2 ties it and ranks above it.
  ASSERT_EQ(store.saved.size(), 1u);
  EXPECT_EQ(store.saved[0][3], (HiScoreEntry{450000, "ANN"}));
  EXPECT_EQ(game.ScreenState, kScreenNameEntry);
  EXPECT_EQ(game.HiScoreMessage, "PLAYER 2 NEW HIGH SCORE");
  EXPECT_EQ(game.EditIndex, 3);
  EXPECT_EQ(game.HiScores[2], (HiScoreEntry{450000, "ANN"}));
  EXPECT_EQ(game.TypedKey, 0);  // cleared after the enter that led here
  TypeText(game, "BO");
  Type(game, 13);
  EXPECT_EQ(game.ScreenState, kScreenScores);
  EXPECT_EQ(game.HiScoreMessage, "HIGH SCORES");
  ASSERT_EQ(store.saved.size(), 2u);
  EXPECT_EQ(Scores(store.saved[1]),
            (std::vector<int32_t>{300000, 400000, 450000, 450000, 500000, 600000, 700000}));
  EXPECT_EQ(store.saved[1][3].Name, "BO");
}

TEST(NameEntry, BackspaceEditsAndEnterCutsEveryNameTo32) {
  Game game;
  game.HiScores[6].Name = std::string(40, 'Q');  // a table loaded with an overlong name
  game.Players[0].Score = 150;
  DoHiScores(game, kScreenScores);
  ASSERT_EQ(game.EditIndex, 0);
  Type(game, 8);  // nothing to delete
  TypeText(game, "AB");
  Type(game, 8);
  EXPECT_EQ(game.HiScores[0].Name, "A");
  const std::string typed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 012345";  // 33 characters
  TypeText(game, typed.substr(1));
  EXPECT_EQ(game.HiScores[0].Name, typed);  // typing itself is not limited
  Type(game, 13);
  EXPECT_EQ(game.HiScores[0].Name, typed.substr(0, 32));
  EXPECT_EQ(game.HiScores[6].Name, std::string(32, 'Q'));
  EXPECT_EQ(game.ScreenState, kScreenScores);  // no store: nothing saved, the game goes on
}

TEST(NameEntry, AStrayEditIndexEditsNothing) {
  Game game;
  game.ScreenState = kScreenNameEntry;
  game.EditIndex = 9;
  Type(game, 'A');
  Type(game, 8);
  EXPECT_EQ(game.HiScores, DefaultHiScores());
  EXPECT_EQ(game.TypedKey, 0);
}

TEST(HiScoreStream, EmptyEntryIsTheEndMarkAndFourScoreBytes) {
  HiScoreTable table;
  const std::string bytes = EncodeHiScores(table);
  ASSERT_EQ(bytes.size(), 7u * 5u);
  // The key starts at one fixed byte and grows by 3 after every byte: undoing it on a
  // table of empty names and zero scores leaves 255 0 0 0 0 seven times.
  const auto k0 = static_cast<uint8_t>(static_cast<uint8_t>(bytes[0]) ^ 255);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto key = static_cast<uint8_t>(k0 + 3 * i);
    const auto plain = static_cast<uint8_t>(static_cast<uint8_t>(bytes[i]) ^ key);
    EXPECT_EQ(plain, i % 5 == 0 ? 255 : 0) << i;
  }
  // The start byte is part of the file format: it must never change.
  EXPECT_EQ(k0, 0x5C);
}

TEST(HiScoreStream, RoundTripsByteForByte) {
  HiScoreTable t = DefaultHiScores();
  t[2] = {-5, ""};
  t[3] = {INT32_MAX, std::string(32, 'Z')};
  t[4] = {INT32_MIN, "A B"};
  const std::string bytes = EncodeHiScores(t);
  EXPECT_EQ(DecodeHiScores(bytes), t);
  EXPECT_EQ(EncodeHiScores(DecodeHiScores(bytes)), bytes);
  // Scores are stored most significant byte first.
  const std::string one = EncodeHiScores(HiScoreTable{{{0x01020304, ""}}});
  const uint8_t k = 0x5C;
  EXPECT_EQ(static_cast<uint8_t>(one[1]) ^ static_cast<uint8_t>(k + 3), 0x01);
  EXPECT_EQ(static_cast<uint8_t>(one[4]) ^ static_cast<uint8_t>(k + 12), 0x04);
}

TEST(HiScoreStream, ShortAndHostileStreamsStillGiveATable) {
  // Nothing at all: every byte reads as 255, so empty names and scores of -1.
  for (const HiScoreEntry& e : DecodeHiScores("")) EXPECT_EQ(e, (HiScoreEntry{-1, ""}));
  // Cut inside entry 2's score: entries 0 and 1 survive, the rest read as 255.
  const std::string full = EncodeHiScores(DefaultHiScores());
  // Entries of 16 and 17 characters, then "DAG WINSLEY", its end mark and two of the
  // four bytes of 300000 (00 04 93 E0).
  const size_t cut = (16 + 5) + (17 + 5) + (11 + 1 + 2);
  const HiScoreTable t = DecodeHiScores(std::string_view(full).substr(0, cut));
  EXPECT_EQ(t[0], DefaultHiScores()[0]);
  EXPECT_EQ(t[1], DefaultHiScores()[1]);
  EXPECT_EQ(t[2].Name, "DAG WINSLEY");
  EXPECT_EQ(t[2].Score, 0x0004FFFF);
  EXPECT_EQ(t[3], (HiScoreEntry{-1, ""}));
  // Random bytes of many lengths: a table, never a name longer than 32.
  std::mt19937 rng(12);
  for (int n = 0; n < 300; ++n) {
    std::string bytes(static_cast<size_t>(rng() % 2000), '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    for (const HiScoreEntry& e : DecodeHiScores(bytes)) EXPECT_LE(e.Name.size(), kHiScoreNameLimit);
  }
}

TEST(ScoreTable, ShowsFor1000TicksAndFireLeavesOnTheNextTick) {
  Game game;
  game.ScreenState = kScreenScores;
  for (int i = 1; i <= 1000; ++i) {
    Timer1Process(game);
    ASSERT_EQ(game.ScreenState, kScreenScores) << i;
  }
  Timer1Process(game);
  EXPECT_EQ(game.ScreenState, kScreenTitle);
  EXPECT_EQ(game.ScreenTicks, 0);

  Game fired;
  fired.ScreenState = kScreenScores;
  fired.Controls[0].FirePressed = 1;
  fired.Controls[1].FirePressed = 1;
  ScoreTableTick(fired);
  EXPECT_EQ(fired.ScreenState, kScreenScores);
  EXPECT_EQ(fired.ScreenTicks, 1000);
  EXPECT_FALSE(fired.Controls[0].FirePressed);  // both presses used up
  EXPECT_FALSE(fired.Controls[1].FirePressed);
  ScoreTableTick(fired);
  EXPECT_EQ(fired.ScreenState, kScreenTitle);
}

TEST(CompletionScreen, FireGoesToNameEntryOrStraightToTheTitle) {
  Game game;
  game.ScreenState = kScreenCompletion;
  game.Players[0].Active = true;
  game.Players[1].Score = 250000;
  for (int i = 0; i < 5; ++i) CompletionTick(game);
  EXPECT_EQ(game.ScreenTicks, 5);
  EXPECT_EQ(game.ScreenState, kScreenCompletion);
  game.Controls[0].FirePressed = 1;
  CompletionTick(game);
  EXPECT_EQ(game.ScreenState, kScreenNameEntry);
  EXPECT_EQ(game.EditIndex, 1);
  EXPECT_EQ(game.TypedKey, 8);
  EXPECT_FALSE(game.Controls[0].FirePressed);
  EXPECT_TRUE(game.Players[0].Active);  // the title makes the players inactive

  Game nobody;
  nobody.ScreenState = kScreenCompletion;
  nobody.Controls[1].FirePressed = 1;
  CompletionTick(nobody);
  EXPECT_EQ(nobody.ScreenState, kScreenTitle);
  EXPECT_EQ(nobody.TypedKey, 8);
}

TEST(HiScoreDump, TableMessageAndEditIndex) {
  Game game;
  game.HiScores[6].Name = "\xC9T\xC9";  // bytes above 127 only come from foreign files
  game.EditIndex = 3;
  const std::string line = DumpGameLine(game);
  EXPECT_NE(line.find("\"HiScoreTable\":[{\"Score\":100,\"Name\":\"CORNELL MAYBROOK\"},"),
            std::string::npos)
      << line;
  EXPECT_NE(line.find("{\"Score\":700000,\"Name\":\"\xC3\x89T\xC3\x89\"}],"), std::string::npos);
  EXPECT_NE(line.find("\"HiScoreMessage\":\"HIGH SCORES\",\"EditIndex\":3"), std::string::npos);
}

}  // namespace
}  // namespace tarq
