#include "form1.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>
#include <utility>

#include "form_description.h"

namespace window {

namespace {

// Toolkit timers count whole milliseconds and wake a millisecond or more
// late, so Timer1 is armed this much before the deadline and the tick sleeps
// out the rest: ticks then land within about 0.1 ms of their deadlines.
constexpr std::chrono::milliseconds kTimerLead(4);
// An expiry this close to the deadline is waited out; an earlier one re-arms.
constexpr std::chrono::milliseconds kLongestWait = kTimerLead + std::chrono::milliseconds(1);

}  // namespace

Form1::Form1(Form1Front& front, measure::CounterRead read_counter, Clock::time_point created,
             WaitUntil wait_until)
    : front_(front),
      sampler_(std::move(read_counter), front.Boxes()),
      schedule_(created, kForm1.timer_interval),
      wait_until_(std::move(wait_until)) {}

Form1::Clock::time_point Form1::SleepUntil(Clock::time_point deadline) {
  std::this_thread::sleep_until(deadline);
  return Clock::now();
}

std::shared_ptr<Form1> Form1::Create(Form1Front& front, measure::CounterRead read_counter,
                                     Clock::time_point created, WaitUntil wait_until) {
  std::shared_ptr<Form1> form(new Form1(front, std::move(read_counter), created, std::move(wait_until)));
  form->ArmTimer1ForNextDeadline(created);
  return form;
}

void Form1::ArmTimer1ForNextDeadline(Clock::time_point now) {
  front_.ArmTimer1(std::max(schedule_.DelayUntilNext(now) - kTimerLead, std::chrono::milliseconds(0)));
}

void Form1::OnTimer1(Clock::time_point now) {
  const std::shared_ptr<Form1> hold = shared_from_this();
  if (failed_) return;
  if (!schedule_.IsDue(now)) {
    if (schedule_.next_deadline() - now > kLongestWait) {
      ArmTimer1ForNextDeadline(now);
      return;
    }
    now = wait_until_(schedule_.next_deadline());
  }
  schedule_.Advance(now);
  ArmTimer1ForNextDeadline(now);
  TakeSample();
}

void Form1::TakeSample() {
  try {
    sampler_.TakeSample();
  } catch (const std::exception& error) {
    Fail(error.what());
  }
}

void Form1::Fail(const std::string& message) {
  failed_ = true;
  front_.StopTimer1();
  std::fprintf(stderr, "tickmeter: %s\n", message.c_str());
  std::fflush(stderr);
  front_.ShowFailureReport(message);
  front_.EndProgram(1);
}

}  // namespace window
