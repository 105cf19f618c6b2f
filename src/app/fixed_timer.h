#pragma once
// TFixedTimer turns the application's idle passes into a fixed-rate game loop: every
// pass renders once, then runs as many process steps as the elapsed time owes at FPS
// steps per second, at most 8 per pass.
//
// The clocks are injected so that tests and the headless runner can drive time
// themselves; the real game uses the monotonic clocks of TimerClocks::System().
#include <cstdint>
#include <functional>
#include <memory>

namespace tarq {

class TimerClocks {
 public:
  virtual ~TimerClocks() = default;
  // The high-resolution counter's ticks per second; false when there is no counter.
  virtual bool CounterFrequency(int64_t& frequency) = 0;
  virtual int64_t Counter() = 0;
  // A millisecond tick that wraps at 2^32.
  virtual uint32_t Milliseconds() = 0;

  // steady_clock in nanoseconds and milliseconds.
  static std::unique_ptr<TimerClocks> System();
};

class TFixedTimer {
 public:
  // Reads the clocks once, as the component does at creation.
  explicit TFixedTimer(std::unique_ptr<TimerClocks> clocks = TimerClocks::System());

  int32_t FPS() const { return fps_; }
  // Accepts 1 .. 240; other values are ignored.
  void SetFPS(int32_t value);

  bool MayProcess = false;
  bool MayRender = false;
  bool MayRealTime = false;

  std::function<void()> OnRender;
  std::function<void()> OnProcess;
  std::function<void(double delta)> OnRealTime;

  // At least one May flag is set.
  bool Running() const { return MayProcess || MayRender || MayRealTime; }

  // One idle pass (the application's idle event).
  void Idle();

  // Idle passes (frames) per second, measured about once a second.
  int32_t FrameRate() const { return measured_rate_; }

  // Internal state, readable for tests and diagnostics.
  int32_t PassRate() const { return pass_rate_; }
  double Accumulator() const { return accumulator_; }
  int32_t MeasureInterval() const { return measure_interval_; }

 private:
  std::unique_ptr<TimerClocks> clocks_;
  int32_t fps_ = 60;
  bool high_resolution_ = false;
  int64_t frequency_ = 0;
  int64_t last_counter_ = 0;
  uint32_t last_tick_ = 0;
  int32_t pass_rate_ = 0;
  int32_t pass_count_ = 0;
  int32_t measure_interval_ = 30;
  uint32_t measure_tick_ = 0;
  int32_t measured_rate_ = 0;
  double accumulator_ = 0.0;
};

}  // namespace tarq
