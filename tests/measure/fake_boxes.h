#pragma once
// Display boxes for tests: they keep their text, log every write in order and
// can be told to refuse their next text.
#include <string>
#include <vector>

#include "tick_sampler.h"

namespace testing_support {

class RecordingBox : public measure::TextBox {
 public:
  RecordingBox(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}

  bool ReplaceText(const std::string& new_text) override {
    log_.push_back(name_);
    if (refuse) return false;
    text = new_text;
    return true;
  }

  std::string text;
  bool refuse = false;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

struct RecordingBoxes {
  std::vector<std::string> writes;
  RecordingBox cnt{"cnt", writes};
  RecordingBox onesamp{"onesamp", writes};
  RecordingBox ave{"ave", writes};

  measure::MeterBoxes view() { return {cnt, onesamp, ave}; }
};

}  // namespace testing_support
