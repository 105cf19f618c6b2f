// The level script: reading system/enemies.txt and firing its entries as the view
// scrolls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "enemy_test_support.h"

namespace tarq {
namespace {

using enemy_test::TestGame;

std::vector<ScheduleEntry> Parse(const std::string& text) {
  std::vector<ScheduleEntry> entries;
  ScheduleError error;
  EXPECT_TRUE(LoadEnemies(text, entries, error)) << "line " << error.Line << ": " << error.Text;
  return entries;
}

ScheduleError ParseError(const std::string& text) {
  std::vector<ScheduleEntry> entries;
  ScheduleError error;
  EXPECT_FALSE(LoadEnemies(text, entries, error));
  return error;
}

TEST(ScheduleFile, ReadsTwelveValuesPerLineSkippingBlanksAndComments) {
  const auto entries = Parse(
      "; a comment\r\n"
      "\r\n"
      "   ; a comment after blanks\r\n"
      "\t250000 4 0 0 0 0 0 0 0 320 -40 10  \r\n"
      "-5 300 -1 256 257 -7 8 9 511 -2 3 -4\n"
      "100 1 2 3 4 5 6 7 8 9 10 11");  // a last line without an end counts
  ASSERT_EQ(entries.size(), 3u);
  const ScheduleEntry& gun = entries[0];
  EXPECT_EQ(gun.Trigger, 250000);
  EXPECT_EQ(gun.Kind, 4);
  EXPECT_EQ(gun.X, 320);
  EXPECT_EQ(gun.YOffset, -40);
  EXPECT_EQ(gun.HitPoints, 10);
  // 8-bit fields keep their value modulo 256.
  const ScheduleEntry& odd = entries[1];
  EXPECT_EQ(odd.Trigger, -5);
  EXPECT_EQ(odd.Kind, 44);
  EXPECT_EQ(odd.ParamA, 255);
  EXPECT_EQ(odd.ParamB, 0);
  EXPECT_EQ(odd.ParamC, 1);
  EXPECT_EQ(odd.IntA, -7);
  EXPECT_EQ(odd.IntB, 8);
  EXPECT_EQ(odd.IntC, 9);
  EXPECT_EQ(odd.Angle, 255);
  EXPECT_EQ(odd.X, -2);
  EXPECT_EQ(odd.YOffset, 3);
  EXPECT_EQ(odd.HitPoints, -4);
  EXPECT_EQ(entries[2].HitPoints, 11);
}

TEST(ScheduleFile, TheLastValueIsAtMostEightCharactersAndTextAfterItIsIgnored) {
  const auto entries = Parse(
      "1 0 0 0 0 0 0 0 0 0 0 123456789\n"
      "1 0 0 0 0 0 0 0 0 0 0 42 and anything else\n");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].HitPoints, 12345678);
  EXPECT_EQ(entries[1].HitPoints, 42);
}

TEST(ScheduleFile, BadLinesStopWithTheConversionErrorAndTheLineNumber) {
  // ';' in second place is no comment.
  ScheduleError e = ParseError("; fine\n1; 0 0 0 0 0 0 0 0 0 0 0\n");
  EXPECT_EQ(e.Line, 2);
  EXPECT_EQ(e.Text, "'1;' is not a valid integer value");
  // Two spaces in a row make an empty token.
  e = ParseError("1 2  3 4 5 6 7 8 9 10 11 12\n");
  EXPECT_EQ(e.Line, 1);
  EXPECT_EQ(e.Text, "'' is not a valid integer value");
  // Fewer than twelve values.
  e = ParseError("\n\n1 2 3\n");
  EXPECT_EQ(e.Line, 3);
  EXPECT_EQ(e.Text, "'' is not a valid integer value");
  EXPECT_EQ(ParseError("1 2 x 4 5 6 7 8 9 10 11 12").Text, "'x' is not a valid integer value");
  EXPECT_EQ(ParseError("99999999999 0 0 0 0 0 0 0 0 0 0 0").Text,
            "'99999999999' is not a valid integer value");
  EXPECT_EQ(ParseError("0x10 0 0 0 0 0 0 0 0 0 0 0").Text, "'0x10' is not a valid integer value");
  EXPECT_EQ(ParseError("+-1 0 0 0 0 0 0 0 0 0 0 0").Text, "'+-1' is not a valid integer value");
  EXPECT_EQ(Parse("+1 0 0 0 0 0 0 0 0 0 0 -0").at(0).Trigger, 1);
}

TEST(ScheduleFile, AnEmptyFileIsAnEmptySchedule) {
  EXPECT_TRUE(Parse("").empty());
  EXPECT_TRUE(Parse("\r\n; nothing\r\n   \r\n").empty());
}

TEST(ScheduleFile, MissingOrBrokenFilesGiveAMessageNamingFileAndLine) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarq-schedule-test";
  std::filesystem::create_directories(dir);
  std::vector<ScheduleEntry> entries;
  std::string message;
  const std::string missing = (dir / "nothing-here.txt").string();
  EXPECT_FALSE(LoadEnemiesFile(missing, entries, message));
  EXPECT_NE(message.find(missing), std::string::npos) << message;

  const std::string broken = (dir / "broken.txt").string();
  std::ofstream(broken, std::ios::binary) << "; header\r\n1 2 3 4 5 6 7 8 9 10 11 12\r\n1 2 3 4 5 6 7 8 9 1O 11 12\r\n";
  EXPECT_FALSE(LoadEnemiesFile(broken, entries, message));
  EXPECT_EQ(message, broken + ", line 3: '1O' is not a valid integer value");

  const std::string good = (dir / "good.txt").string();
  std::ofstream(good, std::ios::binary) << "1 2 3 4 5 6 7 8 9 10 11 12\r\n";
  EXPECT_TRUE(LoadEnemiesFile(good, entries, message));
  EXPECT_EQ(entries.size(), 1u);
  std::filesystem::remove_all(dir);
}

TEST(ScheduleFile, AnyTwelveIntegersAreSafeToFire) {
  TestGame t;
  t.Schedule(
      "2147483647 5 0 0 0 0 0 -2147483648 0 -2147483648 2147483647 -2147483648\n"
      "2147483647 10 1 255 0 2147483647 2147483647 0 0 2147483647 -2147483648 2147483647\n"
      "2147483647 31 0 0 0 2147483647 -2147483648 1000 77 0 0 1\n"
      "2147483647 42 0 0 0 -2147483648 0 0 0 0 0 0\n");
  t.Ticks(40);
  EXPECT_TRUE(t.game.ScheduleDone);
}

TEST(CheckEnemies, FiresDueEntriesInFileOrderAndHoldsLaterOnesBack) {
  TestGame t;
  t.Schedule(
      "300000 9 0 0 0 0 0 0 0 100 0 1\n"   // above the start: fires on the first tick
      "261000 9 0 0 0 0 0 0 0 200 0 1\n"
      "261000 8 0 0 0 0 0 0 0 300 0 1\n"   // same trigger: same tick, file order
      "200000 9 0 0 0 0 0 0 0 400 0 1\n"
      "260000 8 0 0 0 0 0 0 0 500 0 1\n"); // held back by the lower trigger before it
  t.Ticks(1);
  ASSERT_EQ(t.game.EnemyList.size(), 1u);
  EXPECT_EQ(t.game.EnemyList[0].X, 100);
  EXPECT_EQ(t.game.EnemyList[0].Y, 300000);
  EXPECT_EQ(t.game.ScheduleIndex, 1);

  // ScrollY falls by one every second tick; at 261000 both entries fire together.
  while (t.game.ScrollY > 261001) t.Ticks(1);
  EXPECT_EQ(t.game.ScheduleIndex, 1);
  while (t.game.ScheduleIndex == 1) t.Ticks(1);
  EXPECT_EQ(t.game.ScrollY, 261000);
  EXPECT_EQ(t.game.ScheduleIndex, 3);
  ASSERT_GE(t.game.EnemyList.size(), 2u);
  const EnemyRecord& bat = t.game.EnemyList[t.game.EnemyList.size() - 2];
  const EnemyRecord& plane = t.game.EnemyList.back();
  EXPECT_EQ(bat.X, 200);
  EXPECT_EQ(plane.X, 300);

  // Past 260000 nothing more fires: the 200000 entry holds the 260000 one back.
  while (t.game.ScrollY > 259990) t.Ticks(1);
  EXPECT_EQ(t.game.ScheduleIndex, 3);
  EXPECT_FALSE(t.game.ScheduleDone);

  // Once both have fired the schedule is done; a new run fires it again from the start.
  t.game.ScrollY = 200000;
  CheckEnemies(t.game);
  EXPECT_EQ(t.game.ScheduleIndex, 5);
  EXPECT_TRUE(t.game.ScheduleDone);
  const size_t before = t.game.EnemyList.size();
  CheckEnemies(t.game);
  EXPECT_EQ(t.game.EnemyList.size(), before);
  RewindSchedule(t.game);
  t.game.ScrollY = kMaxScrollY;
  CheckEnemies(t.game);
  EXPECT_EQ(t.game.ScheduleIndex, 1);
  EXPECT_FALSE(t.game.ScheduleDone);
}

TEST(CheckEnemies, AnEntryIsCreatedAtItsOffsetFromTheTopOfTheView) {
  TestGame t;
  t.Schedule("261000 9 0 0 0 0 0 0 0 320 -64 1\n");
  while (t.game.EnemyList.empty()) t.Ticks(1);
  EXPECT_EQ(t.game.EnemyList[0].Y - t.game.ScrollY, -64);
}

}  // namespace
}  // namespace tarq
