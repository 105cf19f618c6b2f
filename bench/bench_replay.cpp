// Recording a replay: what the recorder adds to each tick (a device read compared with
// the previous one, the pass and tick counts, a checkpoint every 4500 ticks). Target:
// under 1 microsecond per tick on average. The inputs change every 8th tick, far more
// often than a player's do, and each checkpoint hashes a field of 40 enemies.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/replay.h"
#include "game/game.h"

namespace tarq {
namespace {

struct Session {
  Game game;
  TInputDevices input;
  ScriptedInputSource* source = nullptr;

  Session() {
    auto owned = std::make_unique<ScriptedInputSource>();
    source = owned.get();
    input.DoJoystick = true;
    input.SetSource(std::move(owned));
    input.Initialize();
    source->Hold("J0B0");  // a pad attached, as in most games
    game.ScreenState = kScreenPlaying;
    for (int i = 0; i < 40; ++i) {
      EnemyRecord e;
      e.X = i * 13;
      e.Y = i * 7;
      game.EnemyList.push_back(e);
    }
  }

  // The inputs of tick t: a few codes that change every 8th tick.
  void SetInputs(int64_t t) {
    if (t % 8 != 0) return;
    source->ReleaseAll();
    source->Hold((t / 8) % 2 ? "J0B0" : "J0X-");
    if ((t / 16) % 2) source->Hold("KBC8");
  }
};

void RunTicks(benchmark::State& state, bool record) {
  Session s;
  std::unique_ptr<ReplayRecorder> recorder;
  if (record) {
    recorder = std::make_unique<ReplayRecorder>(s.game, 1, 0, "bench");
    s.input.Observer = recorder.get();
  }
  for (auto _ : state) {
    s.SetInputs(s.game.TickCount);
    if (recorder) recorder->Render();
    s.game.TickCount += 1;
    s.input.Update();
    if (recorder) recorder->AfterTick();
    benchmark::DoNotOptimize(s.input.KeyState[0]);
  }
  state.counters["events"] = recorder ? static_cast<double>(recorder->Recording().Events.size()) : 0.0;
}

// The device reads and input changes alone, for comparison.
void BM_TicksWithoutRecording(benchmark::State& state) { RunTicks(state, false); }
// The same with the recorder: the difference is the recording's cost per tick.
void BM_TicksRecorded(benchmark::State& state) { RunTicks(state, true); }
BENCHMARK(BM_TicksWithoutRecording)->Iterations(270000);
BENCHMARK(BM_TicksRecorded)->Iterations(270000);

}  // namespace
}  // namespace tarq
