// Feeds arbitrary sequences of counter readings to the tick sampler and checks
// every tick against a reference model in exact 64-bit integers.
//
// Input: one byte choosing the starting state, then the readings, four bytes
// each (little-endian); a trailing part of a reading is ignored. Inputs stay
// short enough that the total never nears 2^53, so the sampler's double
// arithmetic must agree with the exact figures to the last digit.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fake_boxes.h"
#include "tick_sampler.h"

namespace {

using measure::NumericKind;
using measure::NumericValue;

constexpr std::int64_t kWrapLimit = 2147483647;
constexpr std::size_t kMaxReadings = std::size_t{1} << 16;  // total < 2^49

[[noreturn]] void Finding(const std::string& what, std::size_t tick) {
  std::fprintf(stderr, "tick %zu: %s\n", tick, what.c_str());
  std::abort();
}

void Expect(bool holds, const std::string& what, std::size_t tick) {
  if (!holds) Finding(what, tick);
}

// The kind a field holds for an exact whole value, by the widening rules.
NumericKind KindOf(std::int64_t value, NumericKind narrowest) {
  if (narrowest == NumericKind::Int16 && value >= -32768 && value <= 32767) return NumericKind::Int16;
  if (narrowest != NumericKind::Double && value >= -2147483648LL && value <= 2147483647LL) {
    return NumericKind::Int32;
  }
  return NumericKind::Double;
}

NumericValue Holding(std::int64_t value, NumericKind narrowest) {
  switch (KindOf(value, narrowest)) {
    case NumericKind::Int16: return NumericValue(static_cast<std::int16_t>(value));
    case NumericKind::Int32: return NumericValue(static_cast<std::int32_t>(value));
    default: return NumericValue(static_cast<double>(value));
  }
}

void ExpectField(const NumericValue& field, std::int64_t value, NumericKind kind, const char* name,
                 std::size_t tick) {
  Expect(field.kind() == kind, std::string(name) + " has the wrong kind", tick);
  Expect(field.AsDouble() == static_cast<double>(value),
         std::string(name) + " is " + field.ToText() + ", not " + std::to_string(value), tick);
}

// The meter as the rules state it, in exact integers.
struct Reference {
  bool primed = false;
  std::int64_t thisread = 0;
  std::int64_t num = 0;
  std::int64_t total = 0;
  NumericKind total_kind = NumericKind::Empty;
  // The latest sample and whether it was accepted.
  std::int64_t samp = 0;
  NumericKind samp_kind = NumericKind::Empty;
  bool accepted = false;

  void Tick(std::int32_t reading) {
    accepted = false;
    if (!primed) {
      primed = true;
      thisread = reading;
      return;
    }
    const std::int64_t lastread = thisread;
    thisread = reading;
    samp = thisread - lastread;
    samp_kind = KindOf(samp, NumericKind::Int32);
    if (samp < 0) {
      // Once, with the intermediate wrapmax - lastread widened as it must.
      const std::int64_t intermediate = kWrapLimit - lastread;
      samp = intermediate + thisread;
      samp_kind = KindOf(samp, KindOf(intermediate, NumericKind::Int32));
    }
    if (samp <= 0) return;
    accepted = true;
    ++num;
    total += samp;
    // An empty total takes the sample's kind; after that the wider one wins.
    total_kind = KindOf(total, std::max(total_kind, samp_kind));
  }
};

struct StartState {
  std::int64_t num;
  std::int64_t total;
};

// Fresh, then counts and totals just short of where their kinds widen.
constexpr StartState kStartStates[] = {
    {0, 0},
    {32760, 32760000},
    {2147483640, 2147483640000},
    {1, 2147483000},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const StartState& state = kStartStates[data[0] % std::size(kStartStates)];
  std::vector<std::int32_t> readings;
  for (std::size_t at = 1; at + 4 <= size && readings.size() < kMaxReadings; at += 4) {
    const std::uint32_t bits = std::uint32_t{data[at]} | std::uint32_t{data[at + 1]} << 8 |
                               std::uint32_t{data[at + 2]} << 16 | std::uint32_t{data[at + 3]} << 24;
    readings.push_back(static_cast<std::int32_t>(bits));
  }
  if (readings.empty()) return 0;

  Reference model;
  measure::SamplerFields start;
  std::size_t next = 0;
  if (state.num != 0) {
    // A meter that has been running: primed on the first reading.
    model.Tick(readings[next]);
    model.num = state.num;
    model.total = state.total;
    model.total_kind = KindOf(state.total, NumericKind::Int32);
    start.primed = 1;
    start.wrapmax = static_cast<std::int32_t>(kWrapLimit);
    start.thisread = NumericValue(readings[next]);
    start.num = Holding(state.num, NumericKind::Int16);
    start.total = Holding(state.total, NumericKind::Int32);
    ++next;
  }

  testing_support::RecordingBoxes boxes;
  std::size_t reads = 0;
  measure::TickSampler sampler([&] { return readings.at(next + reads++); }, boxes.view(), start);

  for (std::size_t tick = 0; next + tick < readings.size(); ++tick) {
    const std::size_t writes_before = boxes.writes.size();
    sampler.TakeSample();
    model.Tick(readings[next + tick]);
    const measure::SamplerFields& f = sampler.fields();

    Expect(reads == tick + 1, "the counter is read once per tick", tick);
    Expect(f.primed == 1 && f.wrapmax == kWrapLimit, "primed with the wrap limit", tick);
    ExpectField(f.thisread, model.thisread, NumericKind::Int32, "thisread", tick);
    if (model.samp_kind != NumericKind::Empty) ExpectField(f.samp, model.samp, model.samp_kind, "samp", tick);
    if (model.num != 0) {
      ExpectField(f.num, model.num, KindOf(model.num, NumericKind::Int16), "num", tick);
      ExpectField(f.total, model.total, model.total_kind, "total", tick);
    }

    if (!model.accepted) {
      Expect(boxes.writes.size() == writes_before, "a dropped sample writes no box", tick);
      continue;
    }
    Expect(boxes.writes.size() == writes_before + 3, "an accepted sample writes three boxes", tick);
    Expect(boxes.writes[writes_before] == "cnt" && boxes.writes[writes_before + 1] == "onesamp" &&
               boxes.writes[writes_before + 2] == "ave",
           "boxes are written cnt, onesamp, ave", tick);
    const std::string cnt = std::to_string(model.num);
    const std::string onesamp = std::to_string(model.samp);
    const std::string ave = std::to_string(model.total / model.num);
    Expect(boxes.cnt.text == cnt, "cnt shows \"" + boxes.cnt.text + "\", not " + cnt, tick);
    Expect(boxes.onesamp.text == onesamp, "onesamp shows \"" + boxes.onesamp.text + "\", not " + onesamp, tick);
    Expect(boxes.ave.text == ave, "ave shows \"" + boxes.ave.text + "\", not " + ave, tick);
  }
  return 0;
}
