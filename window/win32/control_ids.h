#pragma once
// Control IDs of Form1's boxes. Outside tools (the end-to-end tests among
// them) find a box by its ID: GetDlgItem(form1, kCntControlId).
#include <string_view>

namespace window_win32 {

inline constexpr int kCntControlId = 101;
inline constexpr int kAveControlId = 102;
inline constexpr int kOnesampControlId = 103;

// The ID of the box that the form description names; 0 for any other name.
constexpr int BoxControlId(std::string_view box_name) {
  if (box_name == "cnt") return kCntControlId;
  if (box_name == "ave") return kAveControlId;
  if (box_name == "onesamp") return kOnesampControlId;
  return 0;
}

}  // namespace window_win32
