#include <gtest/gtest.h>

#include "game/dump.h"
#include "game/playing.h"

namespace tarq {
namespace {

TEST(DumpPlay, WritesPlayersScrollNukeAndEffectListsByFieldName) {
  FillAngleTables();
  Game game;
  StartRun(game, 1);
  game.Players[1].Score = 1234;
  game.NukeTimer = 513;
  Player_AddBullet(game, 0, 100, 200, 0, 0, 15, 1);
  Explosion_Add(game, 10, 20, 256, 1);
  Flare_Add(game, 1, 2, 256, -16, 3, 254, 255, 0, 16);
  const std::string line = DumpGameLine(game);
  for (const char* want :
       {"\"Players\":[{\"Active\":false,", "\"Score\":1234,", "\"ScoreText\":\"00000000\"",
        "\"FireCounter\":0}]", "\"ScrollY\":261631", "\"ScrollX\":0", "\"ScrollHold\":0",
        "\"NukeTimer\":513", "\"NukeBrightness\":",
        "\"PlayerBullets\":[{\"X\":100,\"Y\":200,\"Angle\":0,\"Speed\":15,\"Owner\":1,",
        "\"Explosions\":[{\"X\":10,\"Y\":261651,\"BaseImage\":3,",
        "\"Flares\":[{\"X\":1,\"Y\":261633,\"Scale\":256,\"ScaleStep\":-16,\"Angle\":3,\"Spin\":254,"})
    EXPECT_NE(line.find(want), std::string::npos) << want << "\nin " << line;
  // Every PlayerRecord field appears once per player.
  for (const char* field : {"\"VelX\"", "\"RotorAngle\"", "\"BodyPattern\"", "\"ClimbSpeed\"",
                            "\"DeathTimer\"", "\"ShieldTime\"", "\"Armour\"", "\"FireRate\"",
                            "\"WeaponLevel\"", "\"Spread\"", "\"Nukes\"", "\"Colour\""}) {
    const size_t first = line.find(field);
    ASSERT_NE(first, std::string::npos) << field;
    EXPECT_NE(line.find(field, first + 1), std::string::npos) << field;
  }
}

}  // namespace
}  // namespace tarq
