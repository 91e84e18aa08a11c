#include "tick_sampler.h"

#include <utility>

#include "runtime_error.h"

namespace measure {

TickSampler::TickSampler(CounterRead read_counter, MeterBoxes boxes, SamplerFields start)
    : read_counter_(std::move(read_counter)), boxes_(boxes), fields_(std::move(start)) {}

void TickSampler::TakeSample() {
  SamplerFields& f = fields_;
  if (f.primed == 0) {
    f.wrapmax = kWrapLimit;
    f.primed = 1;
    f.thisread = NumericValue(read_counter_());
    return;
  }

  f.lastread = f.thisread;
  f.thisread = NumericValue(read_counter_());
  f.samp = f.thisread - f.lastread;
  if (f.samp.IsBelowZero()) {
    // A counter that ran past wrapmax and started again from 0.
    f.samp = (NumericValue(f.wrapmax) - f.lastread) + f.thisread;
  }
  if (!f.samp.IsAboveZero()) return;

  f.num = f.num + NumericValue(std::int16_t{1});
  f.total = f.total + f.samp;
  Show(boxes_.cnt, "cnt", f.num);
  Show(boxes_.onesamp, "onesamp", f.samp);
  Show(boxes_.ave, "ave", FloorValue(f.total / f.num));
}

void TickSampler::Show(TextBox& box, std::string_view box_name, const NumericValue& value) {
  if (!box.ReplaceText(value.ToText())) {
    throw RuntimeError("The box \"" + std::string(box_name) + "\" refused its new text.");
  }
}

}  // namespace measure
