#pragma once
// The meter's measuring logic: one TakeSample per timer tick.
//
// Contract:
// - The first tick sets wrapmax to 2147483647 and primed to 1, then reads the
//   counter into thisread. Nothing else changes and no box is written.
// - Every later tick: lastread = thisread; thisread = a new reading;
//   samp = thisread - lastread; a negative samp is corrected once to
//   (wrapmax - lastread) + thisread. A samp not above zero is dropped. Otherwise
//   num = num + 1, total = total + samp, and the boxes get, in this order:
//   cnt the text of num, onesamp the text of samp, ave the text of
//   floor(total / num).
// - The counter is read exactly once per tick. The time between ticks is not
//   looked at: each sample is one tick's worth of counts.
// - A box that refuses its text, or a counter that cannot be bound, raises
//   RuntimeError out of TakeSample; nothing done before it is undone.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "numeric_value.h"

namespace measure {

// A display box as the sampler sees it: its whole text can be replaced, and
// the box says whether it took the new text.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual bool ReplaceText(const std::string& text) = 0;
};

struct MeterBoxes {
  TextBox& cnt;
  TextBox& onesamp;
  TextBox& ave;
};

// The sampler's fields, at their values when the window is created.
struct SamplerFields {
  NumericValue num;
  NumericValue total;
  NumericValue lastread;
  NumericValue thisread;
  NumericValue samp;
  std::int32_t wrapmax = 0;
  std::int16_t primed = 0;
};

using CounterRead = std::function<std::int32_t()>;

class TickSampler {
 public:
  static constexpr std::int32_t kWrapLimit = 2147483647;

  // `start` lets a caller begin from a given state; a new meter starts from {}.
  TickSampler(CounterRead read_counter, MeterBoxes boxes, SamplerFields start = {});

  void TakeSample();

  const SamplerFields& fields() const { return fields_; }

 private:
  void Show(TextBox& box, std::string_view box_name, const NumericValue& value);

  CounterRead read_counter_;
  MeterBoxes boxes_;
  SamplerFields fields_;
};

}  // namespace measure
