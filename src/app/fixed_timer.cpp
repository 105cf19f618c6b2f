#include "app/fixed_timer.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/numeric.h"

namespace tarq {

namespace {

class SystemClocks : public TimerClocks {
 public:
  bool CounterFrequency(int64_t& frequency) override {
    frequency = 1'000'000'000;
    return true;
  }
  int64_t Counter() override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  uint32_t Milliseconds() override {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  }
};

constexpr int32_t kLargestRate = std::numeric_limits<int32_t>::max();

// round(numerator / delta) as a pass rate; the largest integer when no time passed.
int32_t RateFrom(double numerator, double delta) {
  if (delta <= 0) return kLargestRate;
  const double rate = std::nearbyint(numerator / delta);
  return rate >= kLargestRate ? kLargestRate : static_cast<int32_t>(rate);
}

}  // namespace

std::unique_ptr<TimerClocks> TimerClocks::System() { return std::make_unique<SystemClocks>(); }

TFixedTimer::TFixedTimer(std::unique_ptr<TimerClocks> clocks) : clocks_(std::move(clocks)) {
  high_resolution_ = clocks_->CounterFrequency(frequency_) && frequency_ > 0;
  if (high_resolution_) {
    last_counter_ = clocks_->Counter();
  } else {
    last_tick_ = clocks_->Milliseconds();
  }
  // The first measurement counts from creation. (With a counter, taking last tick
  // here would leave it 0 and make the first measured rate meaningless.)
  measure_tick_ = high_resolution_ ? clocks_->Milliseconds() : last_tick_;
}

void TFixedTimer::SetFPS(int32_t value) {
  if (value >= 1 && value <= 240) fps_ = value;
}

void TFixedTimer::Idle() {
  // 1. Stopped: no clock is read, so the first pass after a stop measures it whole.
  if (!MayRender && !MayProcess && !MayRealTime) return;

  // 2. Pass rate from the duration of the last pass.
  if (high_resolution_) {
    const int64_t now = clocks_->Counter();
    const int64_t delta = std::llabs(now - last_counter_);
    last_counter_ = now;
    pass_rate_ = RateFrom(static_cast<double>(frequency_), static_cast<double>(delta));
  } else {
    const uint32_t now = clocks_->Milliseconds();
    const int64_t delta = std::llabs(static_cast<int64_t>(now) - static_cast<int64_t>(last_tick_));
    last_tick_ = now;
    pass_rate_ = RateFrom(1000.0, static_cast<double>(delta));
  }

  // 3. Frame-rate measurement, about once a second.
  pass_count_ += 1;
  if (pass_count_ > measure_interval_) {
    const uint32_t now = clocks_->Milliseconds();
    const uint32_t elapsed = now - measure_tick_;
    measured_rate_ = elapsed == 0 ? 0 : RateFrom(pass_count_ * 1000.0, static_cast<double>(elapsed));
    measure_tick_ = now;
    pass_count_ = 0;
    measure_interval_ = 19;
    if (measured_rate_ > 20) measure_interval_ = 29;
    if (measured_rate_ > 44) measure_interval_ = 59;
    if (measured_rate_ > 65) measure_interval_ = 74;
  }

  // 4. Steps owed; a pass rate of 0 means more than about two seconds since the last
  // pass, and then exactly one step is owed.
  if (pass_rate_ != 0) {
    accumulator_ += static_cast<double>(fps_) / pass_rate_;
  } else {
    accumulator_ = 1.0;
  }
  // 5. Catch-up limit.
  if (accumulator_ > 8.0) accumulator_ = 8.0;

  // 6. Render first, exactly once per pass.
  if (MayRender && OnRender) OnRender();
  // 7. Real-time event with the elapsed time in steps.
  if (MayRealTime && pass_rate_ != 0 && OnRealTime) OnRealTime(static_cast<double>(fps_) / pass_rate_);
  // 8. The owed process steps.
  const auto steps = static_cast<int32_t>(std::trunc(accumulator_));
  if (MayProcess && OnProcess) {
    for (int32_t i = 0; i < steps; ++i) OnProcess();
  }
  // 9. Keep the fraction, also when no step was allowed.
  accumulator_ -= steps;
}

}  // namespace tarq
