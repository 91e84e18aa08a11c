#include "form1.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "form_description.h"

namespace window {

Form1::Form1(Form1Front& front, measure::CounterRead read_counter, Clock::time_point created)
    : front_(front),
      sampler_(std::move(read_counter), front.Boxes()),
      schedule_(created, kForm1.timer_interval) {}

std::shared_ptr<Form1> Form1::Create(Form1Front& front, measure::CounterRead read_counter,
                                     Clock::time_point created) {
  std::shared_ptr<Form1> form(new Form1(front, std::move(read_counter), created));
  front.ArmTimer1(form->schedule_.DelayUntilNext(created));
  return form;
}

void Form1::OnTimer1(Clock::time_point now) {
  const std::shared_ptr<Form1> hold = shared_from_this();
  if (failed_) return;
  if (schedule_.IsDue(now)) {
    schedule_.Advance(now);
    front_.ArmTimer1(schedule_.DelayUntilNext(now));
    TakeSample();
  } else {
    front_.ArmTimer1(schedule_.DelayUntilNext(now));
  }
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
