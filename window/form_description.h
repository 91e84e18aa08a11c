#pragma once
// The meter window, Form1, described once for every front.
//
// Contract:
// - Positions and sizes are in twips (1/1440 inch). The window's rectangle is
//   its client area on the screen; a control's is relative to that client area.
// - Controls are listed in the order in which the window sets them up.
// - ToPixels converts at the display's real dots per inch, rounding each edge
//   to the nearest pixel, so neighbouring boxes keep their gaps.
#include <array>
#include <chrono>
#include <string_view>

namespace window {

struct TwipsRect {
  int left;
  int top;
  int width;
  int height;
};

struct PixelRect {
  int left;
  int top;
  int width;
  int height;

  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

constexpr int kTwipsPerInch = 1440;

constexpr int TwipsToPixels(int twips, int dots_per_inch) {
  // Round half away from zero; every figure here is positive.
  return (twips * dots_per_inch + kTwipsPerInch / 2) / kTwipsPerInch;
}

constexpr PixelRect ToPixels(const TwipsRect& r, int dots_per_inch) {
  const int left = TwipsToPixels(r.left, dots_per_inch);
  const int top = TwipsToPixels(r.top, dots_per_inch);
  return {left, top, TwipsToPixels(r.left + r.width, dots_per_inch) - left,
          TwipsToPixels(r.top + r.height, dots_per_inch) - top};
}

// A single-line text box whose text is aligned to its right edge.
struct DisplayBoxDescription {
  std::string_view name;
  TwipsRect rect;
  int tab_index;
};

struct FormDescription {
  std::string_view name;
  std::string_view caption;
  TwipsRect client_area;
  // System colour 13: the selection highlight colour.
  int background_system_colour;
  std::string_view timer_name;
  std::chrono::milliseconds timer_interval;
  // The boxes in set-up order.
  std::array<DisplayBoxDescription, 3> boxes;
};

inline constexpr int kSystemColourHighlight = 13;

inline constexpr FormDescription kForm1{
    .name = "Form1",
    .caption = "Form1",
    .client_area = {1950, 1830, 2940, 540},
    .background_system_colour = kSystemColourHighlight,
    .timer_name = "Timer1",
    .timer_interval = std::chrono::milliseconds(1000),
    .boxes = {{
        {"onesamp", {720, 120, 972, 288}, 2},
        {"ave", {1800, 120, 972, 288}, 1},
        {"cnt", {120, 120, 492, 288}, 0},
    }},
};

// The boxes in focus order (tab index 0 first).
constexpr std::array<DisplayBoxDescription, 3> BoxesInTabOrder(const FormDescription& form) {
  std::array<DisplayBoxDescription, 3> ordered = form.boxes;
  for (const DisplayBoxDescription& box : form.boxes) ordered[static_cast<std::size_t>(box.tab_index)] = box;
  return ordered;
}

}  // namespace window
