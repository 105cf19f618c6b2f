#include "app/fixed_timer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarq {
namespace {

// Clocks the test moves by hand. The counter runs at 1 MHz.
struct ManualClocks : TimerClocks {
  int64_t counter = 5'000'000;
  uint32_t ms = 5'000;
  bool has_counter = true;
  bool CounterFrequency(int64_t& f) override {
    f = 1'000'000;
    return has_counter;
  }
  int64_t Counter() override { return counter; }
  uint32_t Milliseconds() override { return ms; }
  void Advance(double seconds) {
    counter += static_cast<int64_t>(seconds * 1'000'000);
    ms += static_cast<uint32_t>(seconds * 1000);
  }
};

struct Harness {
  ManualClocks* clocks;
  TFixedTimer timer;
  int renders = 0;
  int steps = 0;
  std::vector<std::string> order;

  Harness() : Harness(std::make_unique<ManualClocks>()) {}
  explicit Harness(std::unique_ptr<ManualClocks> c) : clocks(c.get()), timer(std::move(c)) {
    timer.SetFPS(75);
    timer.OnRender = [this] {
      ++renders;
      order.push_back("render");
    };
    timer.OnProcess = [this] {
      ++steps;
      order.push_back("process");
    };
    timer.MayRender = true;
    timer.MayProcess = true;
  }
  // One pass after `seconds`; returns the steps it ran.
  int Pass(double seconds) {
    clocks->Advance(seconds);
    const int before = steps;
    timer.Idle();
    return steps - before;
  }
};

TEST(FixedTimer, SixtyPassesAtSeventyFiveStepsFollowTheFraction) {
  Harness h;
  std::vector<int> pattern;
  for (int i = 0; i < 12; ++i) pattern.push_back(h.Pass(1.0 / 60));
  EXPECT_EQ(pattern, (std::vector<int>{1, 1, 1, 2, 1, 1, 1, 2, 1, 1, 1, 2}));
  // Over a whole second nothing is dropped: 60 passes give 75 steps.
  for (int i = 12; i < 60; ++i) h.Pass(1.0 / 60);
  EXPECT_EQ(h.steps, 75);
  EXPECT_EQ(h.renders, 60);
}

TEST(FixedTimer, RenderComesFirstAndOncePerPass) {
  Harness h;
  h.Pass(3.0 / 75);
  EXPECT_EQ(h.order, (std::vector<std::string>{"render", "process", "process", "process"}));
}

TEST(FixedTimer, StopsShorterThanTwoSecondsCatchUpAtMostEight) {
  Harness h;
  h.Pass(1.0 / 75);
  EXPECT_EQ(h.Pass(0.2), 8);  // 15 owed
  EXPECT_EQ(h.Pass(1.9), 8);  // pass rate round(0.53) = 1: 75 owed
  EXPECT_EQ(h.Pass(1.0 / 75), 1);
  // Beyond about two seconds the pass rate rounds to 0 and exactly one step runs.
  EXPECT_EQ(h.Pass(2.1), 1);
  EXPECT_EQ(h.timer.PassRate(), 0);
  EXPECT_EQ(h.Pass(600), 1);
}

TEST(FixedTimer, StoppedTimerReadsNoClockAndMeasuresTheWholeStopAfterwards) {
  Harness h;
  h.Pass(1.0 / 75);
  h.timer.MayProcess = false;
  h.timer.MayRender = false;
  EXPECT_FALSE(h.timer.Running());
  for (int i = 0; i < 100; ++i) h.Pass(1.0 / 75);  // nothing happens
  EXPECT_EQ(h.renders, 1);
  EXPECT_EQ(h.steps, 1);
  h.timer.MayProcess = true;
  h.timer.MayRender = true;
  // The first pass after a 100/75 s stop owes 100 steps and runs the limit of 8.
  EXPECT_EQ(h.Pass(0), 8);
}

TEST(FixedTimer, TwoPassesInOneCounterTickRunNothingNew) {
  Harness h;
  EXPECT_EQ(h.Pass(0.5 / 75), 0);  // accumulator 0.5
  EXPECT_EQ(h.Pass(0), 0);         // same counter value: largest pass rate
  EXPECT_EQ(h.timer.PassRate(), std::numeric_limits<int32_t>::max());
  EXPECT_NEAR(h.timer.Accumulator(), 0.5, 1e-6);
  EXPECT_EQ(h.Pass(0.5 / 75), 1);
}

TEST(FixedTimer, ProcessNotAllowedStillDropsWholeSteps) {
  Harness h;
  h.timer.MayProcess = false;
  EXPECT_EQ(h.Pass(2.5 / 75), 0);
  EXPECT_NEAR(h.timer.Accumulator(), 0.5, 1e-6);
  EXPECT_EQ(h.renders, 1);
}

TEST(FixedTimer, FpsSetterIgnoresValuesOutsideOneTo240) {
  Harness h;  // FPS 75
  h.timer.SetFPS(0);
  EXPECT_EQ(h.timer.FPS(), 75);
  h.timer.SetFPS(241);
  EXPECT_EQ(h.timer.FPS(), 75);
  h.timer.SetFPS(-1);
  EXPECT_EQ(h.timer.FPS(), 75);
  h.timer.SetFPS(240);
  EXPECT_EQ(h.timer.FPS(), 240);
  h.timer.SetFPS(1);
  EXPECT_EQ(h.timer.FPS(), 1);
  TFixedTimer fresh(std::make_unique<ManualClocks>());
  EXPECT_EQ(fresh.FPS(), 60);
  EXPECT_FALSE(fresh.Running());
}

TEST(FixedTimer, MeasuresPassesPerSecondAboutOnceASecond) {
  Harness h;
  EXPECT_EQ(h.timer.MeasureInterval(), 30);
  for (int i = 0; i < 31; ++i) h.Pass(1.0 / 75);  // the 31st pass exceeds 30
  // 31 passes in 31 * 13 ms (the manual millisecond clock truncates each advance).
  EXPECT_EQ(h.timer.FrameRate(), 77);
  EXPECT_EQ(h.timer.MeasureInterval(), 74);
  for (int i = 0; i < 75; ++i) h.Pass(0.1);
  EXPECT_EQ(h.timer.FrameRate(), 10);
  EXPECT_EQ(h.timer.MeasureInterval(), 19);
}

TEST(FixedTimer, RealTimeEventGetsTheElapsedSteps) {
  Harness h;
  std::vector<double> deltas;
  h.timer.OnRealTime = [&](double d) { deltas.push_back(d); };
  h.timer.MayRealTime = true;
  h.Pass(1.0 / 60);
  h.Pass(0);    // largest pass rate: a tiny delta
  h.Pass(2.5);  // pass rate 0: no call
  ASSERT_EQ(deltas.size(), 2u);
  EXPECT_DOUBLE_EQ(deltas[0], 1.25);
  EXPECT_LT(deltas[1], 1e-7);
}

TEST(FixedTimer, WithoutACounterUsesTheMillisecondClock) {
  auto clocks = std::make_unique<ManualClocks>();
  clocks->has_counter = false;
  Harness h(std::move(clocks));
  std::vector<int> pattern;
  for (int i = 0; i < 4; ++i) pattern.push_back(h.Pass(0.020));  // 50 passes/s: 1.5 each
  EXPECT_EQ(pattern, (std::vector<int>{1, 2, 1, 2}));
}

}  // namespace
}  // namespace tarq
