// A window that has grown, or come to another monitor, moved back into the work area.
#include <gtest/gtest.h>

#include "window/work_area.h"

namespace kelto::testing {
namespace {

TEST(KeptInside, MovesAWindowBackOnlyAsFarAsItLeftTheWorkArea) {
  // A 1920 x 1040 work area below a 40-pixel taskbar at the top of the screen.
  const Box area{0, 40, 1920, 1080};
  const struct {
    const char* name;
    Box window;
    Box kept;
  } rows[] = {
      {"fits", {100, 100, 300, 400}, {100, 100, 300, 400}},
      {"touches the bottom right corner", {1720, 780, 1920, 1080}, {1720, 780, 1920, 1080}},
      {"past the right edge", {1800, 100, 2000, 400}, {1720, 100, 1920, 400}},
      {"past the bottom", {100, 900, 300, 1200}, {100, 780, 300, 1080}},
      {"past both", {1850, 1000, 2050, 1300}, {1720, 780, 1920, 1080}},
      {"above and left of it", {-50, 0, 150, 300}, {0, 40, 200, 340}},
      {"larger than it: the caption stays", {1500, 500, 3500, 2000}, {0, 40, 2000, 1540}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(KeptInside(row.window, area), row.kept) << row.name;
  }
  // A monitor left of the primary one has negative coordinates.
  EXPECT_EQ(KeptInside({-100, 10, 100, 300}, {-1280, 0, 0, 1024}), (Box{-200, 10, 0, 300}));
}

}  // namespace
}  // namespace kelto::testing
