#include "strip/carousel.h"

#include <gtest/gtest.h>

#include "strip_builders.h"

namespace vistarail {
namespace {

using testing::laptopGeometry;
using testing::makeStrip;

// W = 1424, H = 859, area 1440 x 875 at the origin; the centre of the area is
// x = 720, the margins are x = 8 and x = 1432, the top is y = 8.
constexpr double kCenter = 0.5;
constexpr double kSide = 0.8;

TEST(CarouselMetrics, CentreSideWidthAndSideHeight) {
  const LayoutGeometry g = laptopGeometry();
  const Strip two = makeStrip({{1}, {2}});
  // round(712) = 712; round(687.2) = 687; max(round(412.2), round(356 + 80)) = 436.
  EXPECT_EQ(carouselMetrics(two, g, kCenter, kSide), (CarouselMetrics{712, 436, 687}));
  // Bounds: the centre at least 120 and at most W, the side height at least 100.
  EXPECT_EQ(carouselMetrics(two, g, 0.05, 0.01).centerWidth, 120);
  EXPECT_EQ(carouselMetrics(two, g, 0.05, 0.01).sideHeight, 100);
  // A centre of the whole width leaves the side width to the side height.
  EXPECT_EQ(carouselMetrics(two, g, 2.0, kSide), (CarouselMetrics{1424, 412, 687}));
  EXPECT_EQ(carouselMetrics(makeStrip({{1}}), g, kCenter, kSide), (CarouselMetrics{1424, 0, 0}));
}

TEST(CarouselFrames, OneColumnFillsTheUsableWidth) {
  const FrameList out =
      carouselFrames(makeStrip({{1}}), laptopGeometry(), kCenter, kSide, VerifiedSizes{});
  EXPECT_EQ(out, (FrameList{{1, Rect(8, 8, 1424, 859)}}));
}

TEST(CarouselFrames, TheLeftNeighbourPeeksInAtTheMarginAndNothingIsParkedRight) {
  const FrameList out =
      carouselFrames(makeStrip({{1}, {2}}, 1), laptopGeometry(), kCenter, kSide, VerifiedSizes{});
  EXPECT_EQ(out, (FrameList{
                     {1, Rect(8, 94, 436, 687)},   // round(8 + (859 - 687) / 2) = 94
                     {2, Rect(364, 8, 712, 859)},  // 720 - 712 / 2
                 }));
}

TEST(CarouselFrames, RealSizesCentreTheWindowsThatAreLargerThanAsked) {
  const LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1}, {2}, {3}}, 1);
  strip.preferredHeights[1] = 300;
  VerifiedSizes verified{{2, Size{900, 500}}, {3, Size{600, 800}}};
  const FrameList out = carouselFrames(strip, g, kCenter, kSide, verified);
  ASSERT_EQ(out.size(), 3u);
  // The left neighbour is only as tall as its preferred height.
  EXPECT_EQ(out[0].frame, Rect(8, 288, 436, 300));  // round(8 + 279.5)
  // The focused window is asked for 712 but known to be 900 wide.
  EXPECT_EQ(out[1].frame, Rect(270, 8, 712, 859));
  // The right neighbour is known to be 600 x 800: its right edge on the margin.
  EXPECT_EQ(out[2].frame, Rect(832, 38, 436, 687));  // 1432 - 600; round(8 + 29.5)

  // A window wider than the area is kept at the left margin.
  verified[2] = Size{2000, 500};
  EXPECT_EQ(carouselFrames(strip, g, kCenter, kSide, verified)[1].frame.origin.x, 8);
  // A window known to be narrower than asked is centred by the asked width.
  verified[2] = Size{500, 500};
  EXPECT_EQ(carouselFrames(strip, g, kCenter, kSide, verified)[1].frame.origin.x, 364);
}

TEST(CarouselFrames, FocusedStackIsCentredVertically) {
  const FrameList out = carouselFrames(makeStrip({{1}, {2, 3}}, 1), laptopGeometry(), kCenter,
                                       kSide, VerifiedSizes{});
  ASSERT_EQ(out.size(), 3u);
  // Heights 425 + 8 + 425 = 858 in 859: half a point down, rounded to 1.
  EXPECT_EQ(out[1].frame, Rect(364, 9, 712, 425));
  EXPECT_EQ(out[2].frame, Rect(364, 442, 712, 425));
}

TEST(CarouselFrames, EveryOtherWindowIsParkedBesideTheArea) {
  Strip strip = makeStrip({{1}, {2, 3}, {4}, {5}, {6}}, 2);
  strip.columns[1].activeIndex = 1;  // window 3 peeks in, window 2 is parked
  const FrameList out = carouselFrames(strip, laptopGeometry(), kCenter, kSide, VerifiedSizes{});
  ASSERT_EQ(out.size(), 6u);
  EXPECT_EQ(out[0].frame, Rect(-808, 8, 708, 859));  // 0 - 708 - 100
  EXPECT_EQ(out[1].frame, Rect(-808, 8, 708, 425));  // its stacked height
  EXPECT_EQ(out[2].frame.origin.x, 8);               // the active one peeks in
  EXPECT_EQ(out[4].frame.origin.x, 1432 - 436);      // right neighbour
  EXPECT_EQ(out[5].frame, Rect(1540, 8, 708, 859));  // 1440 + 100
}

TEST(CarouselFrames, IgnoresScrollAndOffsetsAndFallsBackWithoutAFocusedColumn) {
  const LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1}, {2}}, 1);
  const FrameList still = carouselFrames(strip, g, kCenter, kSide, VerifiedSizes{});
  strip.scroll = Spring{500, 500, 0};
  strip.columns[0].offset = Spring{-90, 0, 40};
  EXPECT_EQ(carouselFrames(strip, g, kCenter, kSide, VerifiedSizes{}), still);

  strip.focusedIndex = 2;  // outside the strip: the normal layout at scroll 0
  strip.columns[0].offset = Spring{};
  EXPECT_EQ(carouselFrames(strip, g, kCenter, kSide, VerifiedSizes{}), frames(strip, g, 0));
}

}  // namespace
}  // namespace vistarail
