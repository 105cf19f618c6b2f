// The menu screens on the software back end: the title with its colour-cell backdrop
// (88 glowing cells, each up to five times the size of its image, added to the frame)
// and the landed logo's menu, and the in-game menu with its spectrum over the field.
// Target: at least 60 frames per second on one core, as for the in-game frame; the
// title frame under 13 ms (75 frames per second with room to spare). Run pinned to one
// core (taskset -c 0) and read the CPU column when the machine is busy.
#include <benchmark/benchmark.h>

#include "core/random.h"
#include "game/game.h"
#include "game/menus.h"
#include "game/playing.h"
#include "software_frame.h"

namespace tarq {
namespace {

// The menus' frames on a fresh game that `prepare` sets up.
template <typename Prepare>
void TimeFrames(benchmark::State& state, Prepare prepare) {
  FillAngleTables();
  SeedRandom(5);
  bench::TimeSoftwareFrames(state, prepare);
}

void BM_TitleScreenSoftware(benchmark::State& state) {
  TimeFrames(state, [](Game& game) {
    game.ScreenState = kScreenTitle;
    ResetTitle(game);
    // Landed, the flash over, the backdrop and the menu showing.
    for (int i = 0; i < 600; ++i) Timer1Process(game);
  });
}
BENCHMARK(BM_TitleScreenSoftware)->Unit(benchmark::kMillisecond);

void BM_InGameMenuSoftware(benchmark::State& state) {
  TimeFrames(state, [](Game& game) {
    StartRun(game, 0);
    game.InGameMenuOpen = true;
    game.Paused = true;
    for (int i = 0; i < 40; ++i) Timer1Process(game);
    for (size_t k = 0; k < game.SpectrumData.size(); ++k)
      game.SpectrumData[k] = 0.002f + 0.03f / static_cast<float>(1 + k / 8);
  });
}
BENCHMARK(BM_InGameMenuSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarq
