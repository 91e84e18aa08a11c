#include "tick_sampler.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fake_boxes.h"
#include "runtime_error.h"

namespace measure {
namespace {

using K = NumericKind;
using testing_support::RecordingBox;
using testing_support::RecordingBoxes;

// Plays back readings, one per call, and counts the calls.
struct ScriptedCounter {
  std::vector<std::int32_t> readings;
  std::size_t calls = 0;

  CounterRead reader() {
    return [this] { return readings.at(calls++); };
  }
};

// A sampler wired to scripted readings and recording boxes.
struct Meter {
  explicit Meter(std::vector<std::int32_t> readings, SamplerFields start = {})
      : counter{std::move(readings)}, sampler(counter.reader(), boxes.view(), std::move(start)) {}

  void Tick(std::size_t times = 1) {
    for (std::size_t i = 0; i < times; ++i) sampler.TakeSample();
  }
  void RunAll() { Tick(counter.readings.size() - counter.calls); }
  const SamplerFields& fields() const { return sampler.fields(); }
  std::vector<std::string> texts() const { return {boxes.cnt.text, boxes.onesamp.text, boxes.ave.text}; }

  ScriptedCounter counter;
  RecordingBoxes boxes;
  TickSampler sampler;
};

struct SamplingCase {
  const char* name;
  std::vector<std::int32_t> readings;
  std::vector<std::string> texts;  // cnt, onesamp, ave after the last tick
  std::size_t box_writes;
  NumericValue samp;  // after the last tick, kind included
};

TEST(TickSamplerTest, ReadingsInTextsAndFieldsOut) {
  const std::vector<std::string> empty_boxes{"", "", ""};
  const SamplingCase cases[] = {
      {"first tick only primes", {5}, empty_boxes, 0, {}},
      {"equal readings are dropped; next covers one interval", {100, 100, 1100}, {"1", "1000", "1000"}, 3,
       NumericValue(1000)},
      {"wrap is corrected once", {2147483600, 50}, {"1", "97", "97"}, 3, NumericValue(97)},
      {"one count across the counter's wrap", {2147483646, 0}, {"1", "1", "1"}, 3, NumericValue(1)},
      {"correction still not above zero is dropped", {2147483600, -2147483600}, empty_boxes, 0,
       NumericValue(-2147483553)},
      {"full span shows without wrap-around", {-2147483648, 2147483647}, {"1", "4294967295", "4294967295"}, 3,
       NumericValue(4294967295.0)},
      {"correction's intermediate leaves 32 bits exactly", {-100, -150},
       {"1", "2147483597", "2147483597"}, 3, NumericValue(2147483597.0)},
      {"a backward step reads as a wrap", {1000, 500}, {"1", "2147483147", "2147483147"}, 3,
       NumericValue(2147483147)},
      {"average is rounded down", {0, 1000, 3000, 3001}, {"3", "1", "1000"}, 9, NumericValue(1)},
      {"a round average shows as digits", {0, 100000}, {"1", "100000", "100000"}, 3, NumericValue(100000)},
      {"a round sample past 32 bits shows as digits", {-1000000000, 2000000000},
       {"1", "3000000000", "3000000000"}, 3, NumericValue(3000000000.0)},
      {"total past 2^31 goes on exactly", {0, 2000000000, 0, 2000000000},
       {"3", "2000000000", "1382494549"}, 9, NumericValue(2000000000)},
  };
  for (const SamplingCase& c : cases) {
    SCOPED_TRACE(c.name);
    Meter meter(c.readings);
    meter.RunAll();
    EXPECT_EQ(meter.texts(), c.texts);
    EXPECT_EQ(meter.boxes.writes.size(), c.box_writes);
    EXPECT_EQ(meter.fields().samp, c.samp);
    EXPECT_EQ(meter.counter.calls, c.readings.size()) << "one reading per tick";
    EXPECT_EQ(meter.fields().thisread, NumericValue(c.readings.back()));
  }
}

TEST(TickSamplerTest, FirstTickPrimesAndLeavesEverythingElse) {
  Meter meter({42});
  meter.Tick();
  const SamplerFields& f = meter.fields();
  EXPECT_EQ(f.wrapmax, 2147483647);
  EXPECT_EQ(f.primed, 1);
  EXPECT_EQ(f.thisread, NumericValue(std::int32_t{42}));
  EXPECT_TRUE(f.lastread.empty());
  EXPECT_TRUE(f.samp.empty());
  EXPECT_TRUE(f.num.empty());
  EXPECT_TRUE(f.total.empty());
}

TEST(TickSamplerTest, EveryAcceptedSampleRewritesAllThreeBoxesInOrder) {
  Meter meter({0, 1000, 2000, 2000, 3000});
  meter.RunAll();
  const std::vector<std::string> round{"cnt", "onesamp", "ave"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), round.begin(), round.end());
  EXPECT_EQ(meter.boxes.writes, expected);
  EXPECT_EQ(meter.texts(), (std::vector<std::string>{"3", "1000", "1000"}));
}

TEST(TickSamplerTest, CountWidensPastTheSixteenBitRange) {
  std::vector<std::int32_t> readings;
  for (std::int32_t i = 0; i <= 32768; ++i) readings.push_back(i * 1000);
  Meter meter(readings);
  meter.Tick(32768);
  EXPECT_EQ(meter.texts(), (std::vector<std::string>{"32767", "1000", "1000"}));
  EXPECT_EQ(meter.fields().num, NumericValue(std::int16_t{32767}));
  meter.Tick();
  EXPECT_EQ(meter.texts(), (std::vector<std::string>{"32768", "1000", "1000"}));
  EXPECT_EQ(meter.fields().num, NumericValue(std::int32_t{32768}));
  EXPECT_EQ(meter.fields().total, NumericValue(std::int32_t{32768000}));
  meter.counter.readings.push_back(32768 * 1000 + 3000);
  meter.Tick();
  EXPECT_EQ(meter.texts(), (std::vector<std::string>{"32769", "3000", "1000"}));
  EXPECT_EQ(meter.fields().num, NumericValue(std::int32_t{32769}));
}

// A meter that has been running for years: primed, last reading 0, and the
// count and total given. The boundaries that a real run takes decades to reach.
SamplerFields RunningMeter(NumericValue num, NumericValue total) {
  SamplerFields fields;
  fields.primed = 1;
  fields.wrapmax = TickSampler::kWrapLimit;
  fields.thisread = NumericValue(std::int32_t{0});
  fields.num = num;
  fields.total = total;
  return fields;
}

struct LongRunCase {
  const char* name;
  SamplerFields start;
  std::vector<std::int32_t> readings;  // one per tick, after the start state's 0
  std::vector<std::string> texts;      // cnt, onesamp, ave after the last tick
  NumericValue num;
  NumericValue total;
};

TEST(TickSamplerTest, LongRunsCrossEveryBoundaryExactly) {
  constexpr double k2To53 = 9007199254740992.0;
  const LongRunCase cases[] = {
      {"2147483648th accepted sample: the count becomes a double",
       RunningMeter(NumericValue(std::int32_t{2147483647}), NumericValue(2147483647000.0)), {1000},
       {"2147483648", "1000", "1000"}, NumericValue(2147483648.0), NumericValue(2147483648000.0)},
      {"and counting goes on past it", RunningMeter(NumericValue(std::int32_t{2147483647}), NumericValue(2147483647000.0)),
       {1000, 3000}, {"2147483649", "2000", "1000"}, NumericValue(2147483649.0), NumericValue(2147483650000.0)},
      {"total reaching 2147483647 stays 32-bit",
       RunningMeter(NumericValue(std::int16_t{1}), NumericValue(std::int32_t{2147482647})), {1000},
       {"2", "1000", "1073741823"}, NumericValue(std::int16_t{2}), NumericValue(std::int32_t{2147483647})},
      {"total past 2147483647 becomes an exact double",
       RunningMeter(NumericValue(std::int16_t{1}), NumericValue(std::int32_t{2147482647})), {1000, 2000},
       {"3", "1000", "715828215"}, NumericValue(std::int16_t{3}), NumericValue(2147484647.0)},
      {"total reaching 2^53 is still exact",
       RunningMeter(NumericValue(std::int32_t{1000000}), NumericValue(k2To53 - 1000)), {1000},
       {"1000001", "1000", "9007190247"}, NumericValue(std::int32_t{1000001}), NumericValue(k2To53)},
      // Past 2^53 a double no longer holds every whole number: each addition
      // gives the nearest double, ties to even. 2^53 + 1 stays 2^53; + 3 makes
      // 2^53 + 4; + 3 more makes 2^53 + 8.
      {"total past 2^53 adds as the nearest double",
       RunningMeter(NumericValue(std::int32_t{1000000}), NumericValue(k2To53)), {1, 4, 7},
       {"1000003", "3", "9007172233"}, NumericValue(std::int32_t{1000003}), NumericValue(k2To53 + 8)},
  };
  for (const LongRunCase& c : cases) {
    SCOPED_TRACE(c.name);
    Meter meter(c.readings, c.start);
    meter.RunAll();
    EXPECT_EQ(meter.texts(), c.texts);
    EXPECT_EQ(meter.fields().num, c.num);
    EXPECT_EQ(meter.fields().total, c.total);
  }
}

TEST(TickSamplerTest, FieldKindsFollowTheirRanges) {
  SamplerFields start;
  start.primed = 1;
  start.wrapmax = TickSampler::kWrapLimit;
  start.num = NumericValue(std::int16_t{32767});
  start.total = NumericValue(std::int32_t{2147483000});
  start.thisread = NumericValue(std::int32_t{0});
  Meter meter({1000}, start);
  meter.Tick();
  EXPECT_EQ(meter.fields().num, NumericValue(std::int32_t{32768}));
  EXPECT_EQ(meter.fields().total, NumericValue(2147484000.0));
  EXPECT_EQ(meter.fields().lastread, NumericValue(std::int32_t{0}));
  EXPECT_EQ(meter.texts(), (std::vector<std::string>{"32768", "1000", "65536"}));
}

class RefusingBoxTest : public testing::TestWithParam<std::size_t> {};

TEST_P(RefusingBoxTest, RaisesNamingTheBoxAndKeepsWhatWasDone) {
  const std::vector<std::string> names{"cnt", "onesamp", "ave"};
  const std::size_t refusing = GetParam();
  Meter meter({0, 1000, 3000});
  meter.Tick(2);
  const std::vector<std::string> before = meter.texts();
  RecordingBox* boxes[] = {&meter.boxes.cnt, &meter.boxes.onesamp, &meter.boxes.ave};
  boxes[refusing]->refuse = true;

  try {
    meter.Tick();
    FAIL() << "no error raised";
  } catch (const RuntimeError& error) {
    EXPECT_NE(std::string(error.what()).find("\"" + names[refusing] + "\""), std::string::npos)
        << error.what();
  }
  EXPECT_EQ(meter.fields().num, NumericValue(std::int16_t{2}));
  EXPECT_EQ(meter.fields().total, NumericValue(std::int32_t{3000}));
  const std::vector<std::string> after_success{"2", "2000", "1500"};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(meter.texts()[i], i < refusing ? after_success[i] : before[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(EachBox, RefusingBoxTest, testing::Values(0u, 1u, 2u));

TEST(TickSamplerTest, CounterFailureLeavesWhatWasAlreadySet) {
  RecordingBoxes boxes;
  bool fail = true;
  TickSampler sampler(
      [&]() -> std::int32_t {
        if (fail) throw RuntimeError("no counter");
        return 700;
      },
      boxes.view());
  EXPECT_THROW(sampler.TakeSample(), RuntimeError);
  EXPECT_EQ(sampler.fields().primed, 1);
  EXPECT_EQ(sampler.fields().wrapmax, 2147483647);
  EXPECT_TRUE(sampler.fields().thisread.empty());

  fail = false;
  sampler.TakeSample();
  fail = true;
  EXPECT_THROW(sampler.TakeSample(), RuntimeError);
  EXPECT_EQ(sampler.fields().lastread, NumericValue(std::int32_t{700}));
  EXPECT_EQ(boxes.writes.size(), 3u) << "the failing tick writes no box";
}

}  // namespace
}  // namespace measure
