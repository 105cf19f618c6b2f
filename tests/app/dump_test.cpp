#include "game/dump.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarq {
namespace {

TEST(JsonWriter, NestsAndSeparatesValues) {
  JsonWriter w;
  w.BeginObject();
  w.Field("a", int32_t{1});
  w.Key("list");
  w.BeginArray();
  w.Value(true);
  w.BeginObject();
  w.EndObject();
  w.BeginArray();
  w.EndArray();
  w.Null();
  w.EndArray();
  w.Field("b", int64_t{-9000000000});
  w.EndObject();
  EXPECT_EQ(w.Text(), R"({"a":1,"list":[true,{},[],null],"b":-9000000000})");
}

TEST(JsonWriter, EscapesTextAndWritesDoublesExactly) {
  JsonWriter w;
  w.BeginArray();
  w.Value("q\"b\\n\n\x01");
  w.Value(0.1);
  w.Value(320.0);
  w.Value(-4.5);
  w.Value(std::numeric_limits<double>::infinity());
  w.EndArray();
  EXPECT_EQ(w.Text(), R"(["q\"b\\n\n\u0001",0.1,320,-4.5,null])");
}

TEST(Dump, ScreenStateIsKeyedByTheGamesNames) {
  Game game;
  game.TickCount = 613;
  game.ScreenState = kScreenTitle;
  game.TypedKey = 'A';
  game.Paused = true;
  const std::string line = DumpGameLine(game);
  EXPECT_EQ(line.front(), '{');
  EXPECT_EQ(line.back(), '}');
  EXPECT_EQ(line.find('\n'), std::string::npos);
  for (const char* part : {"\"TickCount\":613", "\"ScreenState\":0", "\"ScreenTicks\":0", "\"MenuCursor\":0",
                           "\"InGameMenuOpen\":false", "\"Paused\":true", "\"TypedKey\":65", "\"Controls\":[{"}) {
    EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
  }
}

}  // namespace
}  // namespace tarq
