#pragma once
// When Timer1's ticks fall due: on absolute deadlines start + k * interval
// (k = 1, 2, ...), so that a late wake-up never shifts the ticks after it.
//
// Contract:
// - The first deadline is one interval after start; no tick is due before it.
// - Advance, called as a tick runs, moves to the first deadline after `now`:
//   a tick that ran late is not followed by a burst of catch-up ticks.
// - DelayUntilNext is the time to the next deadline, rounded down to whole
//   milliseconds (0 once it has passed).
#include <chrono>

namespace window {

class TickSchedule {
 public:
  using Clock = std::chrono::steady_clock;

  TickSchedule(Clock::time_point start, Clock::duration interval)
      : interval_(interval), next_(start + interval) {}

  bool IsDue(Clock::time_point now) const { return now >= next_; }

  void Advance(Clock::time_point now) {
    next_ += interval_;
    if (next_ <= now) next_ += ((now - next_) / interval_ + 1) * interval_;
  }

  std::chrono::milliseconds DelayUntilNext(Clock::time_point now) const {
    return now >= next_ ? std::chrono::milliseconds(0)
                        : std::chrono::floor<std::chrono::milliseconds>(next_ - now);
  }

  Clock::time_point next_deadline() const { return next_; }

 private:
  Clock::duration interval_;
  Clock::time_point next_;
};

}  // namespace window
