#pragma once
// Form1, the meter window, as every front shares it: it owns the sampler's
// fields and the tick path; a front supplies the boxes, Timer1 and the
// failure report in its own toolkit.
//
// Contract:
// - Create sets the sampler to its starting state and arms Timer1 for the
//   first deadline, one interval after creation.
// - The front calls OnTimer1 for every expiry of its one-shot Timer1. A tick
//   holds a counted reference on Form1 from entry to exit, re-arms Timer1 for
//   the next deadline and runs TakeSample. Timer1 is armed 4 ms ahead of each
//   deadline and an expiry within 5 ms of it waits for it on the spot, since
//   toolkit timers count whole milliseconds and wake late; an earlier expiry
//   only re-arms the timer. No tick runs before its deadline.
// - A failure that leaves TakeSample stops Timer1, is written to standard
//   error, shown once in the front's modal failure report and ends the
//   program with exit status 1. Ticks that still arrive afterwards do nothing.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "counter_call.h"
#include "tick_sampler.h"
#include "tick_schedule.h"

namespace window {

class Form1Front {
 public:
  virtual ~Form1Front() = default;
  virtual measure::MeterBoxes Boxes() = 0;
  // One-shot: after `delay` the front calls Form1::OnTimer1 once.
  virtual void ArmTimer1(std::chrono::milliseconds delay) = 0;
  virtual void StopTimer1() = 0;
  // Modal; returns once the user has dismissed it.
  virtual void ShowFailureReport(const std::string& message) = 0;
  virtual void EndProgram(int exit_status) = 0;
};

class Form1 : public std::enable_shared_from_this<Form1> {
 public:
  using Clock = TickSchedule::Clock;
  // Blocks until the deadline and says when it woke.
  using WaitUntil = std::function<Clock::time_point(Clock::time_point deadline)>;

  static Clock::time_point SleepUntil(Clock::time_point deadline);

  static std::shared_ptr<Form1> Create(Form1Front& front,
                                       measure::CounterRead read_counter = measure::ReadTicks,
                                       Clock::time_point created = Clock::now(),
                                       WaitUntil wait_until = SleepUntil);

  void OnTimer1(Clock::time_point now = Clock::now());

  const measure::SamplerFields& fields() const { return sampler_.fields(); }
  const TickSchedule& schedule() const { return schedule_; }

 private:
  Form1(Form1Front& front, measure::CounterRead read_counter, Clock::time_point created,
        WaitUntil wait_until);

  void ArmTimer1ForNextDeadline(Clock::time_point now);
  void TakeSample();
  void Fail(const std::string& message);

  Form1Front& front_;
  measure::TickSampler sampler_;
  TickSchedule schedule_;
  WaitUntil wait_until_;
  bool failed_ = false;
};

}  // namespace window
