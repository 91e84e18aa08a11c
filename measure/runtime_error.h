#pragma once
// A failure raised during a tick. The meter never handles one: it leaves the
// tick, and the program reports it and ends.
#include <stdexcept>

namespace measure {

class RuntimeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace measure
