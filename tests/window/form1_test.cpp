#include "form1.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "fake_boxes.h"
#include "runtime_error.h"

namespace window {
namespace {

using namespace std::chrono_literals;
using Clock = Form1::Clock;

// A front that records what the tick path asks of it.
class FakeFront : public Form1Front {
 public:
  measure::MeterBoxes Boxes() override { return boxes.view(); }
  void ArmTimer1(std::chrono::milliseconds delay) override { armed.push_back(delay); }
  void StopTimer1() override { ++stops; }
  void ShowFailureReport(const std::string& message) override {
    reports.push_back(message);
    if (on_report) on_report();
  }
  void EndProgram(int exit_status) override { exit_statuses.push_back(exit_status); }

  testing_support::RecordingBoxes boxes;
  std::vector<std::chrono::milliseconds> armed;
  int stops = 0;
  std::vector<std::string> reports;
  std::vector<int> exit_statuses;
  std::function<void()> on_report;
};

class Form1Test : public testing::Test {
 protected:
  std::shared_ptr<Form1> Create(measure::CounterRead read) {
    return Form1::Create(front_, std::move(read), start_, [this](Clock::time_point deadline) {
      waits_.push_back(deadline - start_);
      return deadline + woke_late_by_;
    });
  }

  FakeFront front_;
  const Clock::time_point start_ = Clock::time_point(100s);
  int reads_ = 0;
  measure::CounterRead counter_ = [this] { return 1000 * ++reads_; };
  std::vector<Clock::duration> waits_;  // each deadline waited for, after creation
  std::chrono::microseconds woke_late_by_{0};
};

TEST_F(Form1Test, FirstTickFallsDueOneIntervalAfterCreation) {
  auto form = Create(counter_);
  // Armed 4 ms ahead: timers count whole milliseconds and wake late.
  ASSERT_EQ(front_.armed, std::vector<std::chrono::milliseconds>{996ms});
  EXPECT_TRUE(form->fields().num.empty());

  // A timer that fires well before the deadline only re-arms for the rest.
  form->OnTimer1(start_ + 990ms + 300us);
  EXPECT_EQ(reads_, 0);
  EXPECT_EQ(front_.armed.back(), 5ms);
  EXPECT_TRUE(waits_.empty());

  // Close to the deadline the tick waits for it, then runs.
  woke_late_by_ = 40us;
  form->OnTimer1(start_ + 995ms + 300us);
  EXPECT_EQ(waits_, std::vector<Clock::duration>{1000ms});
  EXPECT_EQ(reads_, 1);
  EXPECT_EQ(front_.armed.back(), 995ms) << "armed from the time it woke";
  EXPECT_TRUE(front_.boxes.writes.empty()) << "the first tick only primes";
}

TEST_F(Form1Test, TicksKeepToAbsoluteDeadlines) {
  struct Step {
    std::chrono::microseconds fired_at;  // after creation
    std::chrono::milliseconds armed_for;  // to 4 ms ahead of the next deadline
  };
  const Step steps[] = {
      {1000ms + 3ms, 993ms},   // a little late: the next deadline does not move
      {2000ms + 400us, 995ms},
      {3000ms, 996ms},
      {5500ms, 496ms},         // busy past the 4 s deadline: one late tick, no burst
      {6000ms + 1us, 995ms},
  };
  auto form = Create(counter_);
  int ticks = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.fired_at.count());
    form->OnTimer1(start_ + step.fired_at);
    EXPECT_EQ(reads_, ++ticks);
    EXPECT_EQ(front_.armed.back(), step.armed_for);
  }
  EXPECT_TRUE(waits_.empty()) << "no tick came early";
}

TEST_F(Form1Test, AFailureStopsTheTimerReportsOnceAndEndsWithStatusOne) {
  auto form = Create([]() -> std::int32_t { throw measure::RuntimeError("Cannot load \"Vantrel.dll\"."); });
  form->OnTimer1(start_ + 1000ms);
  form->OnTimer1(start_ + 2000ms);  // a tick already queued when the timer stopped
  EXPECT_EQ(front_.stops, 1);
  EXPECT_EQ(front_.reports, std::vector<std::string>{"Cannot load \"Vantrel.dll\"."});
  EXPECT_EQ(front_.exit_statuses, std::vector<int>{1});
  EXPECT_TRUE(front_.boxes.writes.empty());
}

TEST_F(Form1Test, ABoxThatRefusesItsTextIsReportedByName) {
  auto form = Create(counter_);
  front_.boxes.ave.refuse = true;
  form->OnTimer1(start_ + 1000ms);
  form->OnTimer1(start_ + 2000ms);
  ASSERT_EQ(front_.reports.size(), 1u);
  EXPECT_NE(front_.reports[0].find("\"ave\""), std::string::npos);
  EXPECT_EQ(front_.boxes.cnt.text, "1");
  EXPECT_EQ(front_.boxes.onesamp.text, "1000");
}

TEST_F(Form1Test, ATickKeepsForm1AliveUntilItEnds) {
  auto form = Create([]() -> std::int32_t { throw measure::RuntimeError("gone"); });
  std::weak_ptr<Form1> watch = form;
  // The window is torn down while the report is shown, inside the tick.
  front_.on_report = [&] { form.reset(); };
  watch.lock()->OnTimer1(start_ + 1000ms);
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(front_.exit_statuses, std::vector<int>{1});
}

}  // namespace
}  // namespace window
