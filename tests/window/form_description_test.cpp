#include "form_description.h"

#include <gtest/gtest.h>

#include <string>

namespace window {
namespace {

struct LayoutCase {
  int dpi;
  PixelRect client_area, onesamp, ave, cnt;
};

TEST(FormDescriptionTest, LayoutInPixelsAtCommonDpi) {
  const LayoutCase cases[] = {
      // At 96 dpi sizes fall between pixels: each edge rounds to the nearest.
      {96, {130, 122, 196, 36}, {48, 8, 65, 19}, {120, 8, 65, 19}, {8, 8, 33, 19}},
      // At 120 dpi every figure is a whole number of pixels.
      {120, {163, 153, 245, 45}, {60, 10, 81, 24}, {150, 10, 81, 24}, {10, 10, 41, 24}},
      {144, {195, 183, 294, 54}, {72, 12, 97, 29}, {180, 12, 97, 29}, {12, 12, 49, 29}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.dpi) + " dpi");
    EXPECT_EQ(ToPixels(kForm1.client_area, c.dpi), c.client_area);
    EXPECT_EQ(ToPixels(kForm1.boxes[0].rect, c.dpi), c.onesamp);
    EXPECT_EQ(ToPixels(kForm1.boxes[1].rect, c.dpi), c.ave);
    EXPECT_EQ(ToPixels(kForm1.boxes[2].rect, c.dpi), c.cnt);
  }
}

TEST(FormDescriptionTest, SetUpOrderAndTabOrderDiffer) {
  const auto tab_order = BoxesInTabOrder(kForm1);
  EXPECT_EQ(kForm1.boxes[0].name, "onesamp");
  EXPECT_EQ(kForm1.boxes[1].name, "ave");
  EXPECT_EQ(kForm1.boxes[2].name, "cnt");
  EXPECT_EQ(tab_order[0].name, "cnt");
  EXPECT_EQ(tab_order[1].name, "ave");
  EXPECT_EQ(tab_order[2].name, "onesamp");
}

}  // namespace
}  // namespace window
