#include "windows/park_frame.h"

#include <gtest/gtest.h>

#include <vector>

namespace vistarail {
namespace {

const Rect kDisplay{0, 0, 1440, 900};

TEST(Parking, OffDisplayWithinTheSliversTolerance) {
  const std::pair<Rect, bool> cases[] = {
      {{-300, 100, 300, 400}, true},     // right edge on the display's left edge
      {{-300, 100, 302, 400}, false},    // 2 points inside
      {{-299, 100, 300, 400}, true},     // a parked sliver: 1 point inside
      {{-298.5, 100, 300, 400}, false},  // 1.5 points inside
      {{1439, 100, 300, 400}, true},     // a parked sliver on the right
      {{1438.5, 100, 300, 400}, false}, {{2000, 100, 300, 400}, true},
      {{100, 100, 300, 400}, false},
  };
  for (const auto& [frame, off] : cases) EXPECT_EQ(isOffDisplay(frame, kDisplay), off) << frame;
}

TEST(Parking, NearerSideFirstThenTheCandidateOverlappingOtherDisplaysLeast) {
  const Rect area{0, 25, 1440, 800};  // bottom edge at 825
  const Rect leftOfCentre{100, 60, 400, 300};
  const Rect rightOfCentre{1000, 60, 400, 300};
  const Rect westDisplay{-1440, 0, 1440, 900};
  const Rect eastDisplay{1440, 0, 1440, 900};
  const Rect northWestDisplay{-1440, -900, 1440, 1000};  // reaches down to y 100
  struct Case {
    const char* name;
    Rect frame;
    std::vector<Rect> avoid;
    Rect parked;
  } cases[] = {
      {"alone, left of centre", leftOfCentre, {}, {-399, 60, 400, 300}},
      {"alone, right of centre", rightOfCentre, {}, {1439, 60, 400, 300}},
      {"alone, centred", {520, 60, 400, 300}, {}, {1439, 60, 400, 300}},
      {"a display on the other side", leftOfCentre, {eastDisplay}, {-399, 60, 400, 300}},
      {"a display on the nearer side", leftOfCentre, {westDisplay}, {1439, 60, 400, 300}},
      {"the nearer side taken only at the laid-out height",
       leftOfCentre,
       {northWestDisplay},
       {-399, 824, 400, 300}},
      // Every candidate overlaps; hanging below the bottom overlaps least, and
      // the two bottom candidates tie, so the nearer side wins.
      {"displays on both sides", leftOfCentre, {westDisplay, eastDisplay}, {-399, 824, 400, 300}},
      {"displays on both sides, right of centre",
       rightOfCentre,
       {westDisplay, eastDisplay},
       {1439, 824, 400, 300}},
  };
  for (const Case& c : cases) EXPECT_EQ(parkFrame(c.frame, area, c.avoid), c.parked) << c.name;

  // Side by side, equal heights: on the right-hand display a window left of
  // centre would overlap the left display at either height, so it parks right.
  const Rect rightArea{1440, 0, 1440, 900};
  EXPECT_EQ(parkFrame({1500, 100, 500, 400}, rightArea, std::vector{kDisplay}),
            (Rect{2879, 100, 500, 400}));
}

}  // namespace
}  // namespace vistarail
