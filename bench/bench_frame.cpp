// The in-game frame on the software back end: the map, two helicopters, bullets,
// explosions, flares and the HUD. Target: at least 60 frames per second on one core.
#include <benchmark/benchmark.h>

#include "core/random.h"
#include "game/game.h"
#include "game/playing.h"
#include "software_frame.h"

namespace tarq {
namespace {

void BM_PlayingFrameSoftware(benchmark::State& state) {
  FillAngleTables();
  SeedRandom(5);
  bench::TimeSoftwareFrames(state, [](Game& game) {
    game.ScreenState = kScreenTitle;
    StartRun(game, 0);
    StartRun(game, 1);
    for (ControlState& c : game.Controls) c.FireHeld = 1;
    game.Players[0].WeaponLevel = game.Players[1].WeaponLevel = 5;
    game.Players[0].Nukes = game.Players[1].Nukes = 5;
    for (int i = 0; i < 120; ++i) {
      Timer1Render(game, nullptr);
      Timer1Process(game);
    }
    for (int i = 0; i < 40; ++i) Explosion_Add(game, (i * 61) % 640, (i * 29) % 480, 384, 1);
  });
}
BENCHMARK(BM_PlayingFrameSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
