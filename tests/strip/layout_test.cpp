#include "strip/layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "strip/carousel.h"
#include "strip/slide_animation.h"
#include "strip/strip_springs.h"
#include "strip/width_presets.h"
#include "strip_builders.h"

namespace vistarail {
namespace {

using test::laptopGeometry;
using test::parseStrip;

using Widths = std::vector<double>;

const LayoutGeometry g = laptopGeometry();
const Strip one = parseStrip("*[1]");
const Strip two = parseStrip("*[1] [2]");        // x 8, 724; w 708; max 0
const Strip three = parseStrip("*[1] [2] [3]");  // x 8, 724, 1440; w 708; max 716
const Strip wide = parseStrip("*[1] [2]", 1.0);  // x 8, 1440; w 1424; max 1432

TEST(LayoutWidths, ProportionsWithinTheirBoundsAndRoundedAwayFromZero) {
  // A stored proportion is bounded here, to 120 points ... W.
  EXPECT_EQ(columnWidth(0.5, g), 708);
  EXPECT_EQ(columnWidth(1.0 / 3, g), 469);
  EXPECT_EQ(columnWidth(0.05, g), 120);
  EXPECT_EQ(columnWidth(1.0, g), 1424);
  EXPECT_EQ(columnWidth(7.0, g), 1424);
  EXPECT_EQ(columnWidth(-3.0, g), 120);
  EXPECT_EQ(columnWidth(std::nan(""), g), 120);
  EXPECT_EQ(columnWidth(0.5, {Rect(0, 0, 301, 500), 0, 0}), 151);  // 150.5
  // A display too narrow for the minimum, or degenerate, gives its usable width.
  EXPECT_EQ(columnWidth(0.5, {Rect(0, 0, 100, 500), 8, 8}), 84);
  EXPECT_EQ(columnWidth(0.5, {Rect(0, 0, 10, 10), 8, 8}), 1);
  EXPECT_NEAR(proportionForWidth(716, g), 724.0 / 1432, 1e-12);
  // Commands and adopted windows have their own bounds.
  EXPECT_DOUBLE_EQ(commandProportion(0.98 + 0.05), 1.0);
  EXPECT_DOUBLE_EQ(commandProportion(0.12 - 0.05), 0.1);
  EXPECT_NEAR(*adoptedProportion(716, g), 0.5056, 1e-4);
  EXPECT_DOUBLE_EQ(*adoptedProportion(30, g), 0.05);
  EXPECT_DOUBLE_EQ(*adoptedProportion(5000, g), 1.0);
  EXPECT_EQ(adoptedProportion(std::nan(""), g), std::nullopt);
}

TEST(LayoutWidths, PositionsContentWidthMaxScrollAndVisibleWidths) {
  EXPECT_EQ(columnWidths(two, g), (Widths{708, 708}));
  EXPECT_EQ(columnXPositions(three, g), (Widths{8, 724, 1440}));
  EXPECT_EQ(contentWidth(two, g), 1440);
  EXPECT_EQ(maxScroll(two, g), 0);
  EXPECT_EQ(contentWidth(three, g), 2156);
  EXPECT_EQ(maxScroll(three, g), 716);
  EXPECT_EQ(contentWidth(Strip{}, g), 0);
  EXPECT_EQ(maxScroll(Strip{}, g), 0);
  EXPECT_TRUE(columnWidths(Strip{}, g).empty());
  Widths buffer{99, 99, 99, 99};  // reused, not appended to
  columnXPositions(two, g, buffer);
  EXPECT_EQ(buffer, (Widths{8, 724}));
  EXPECT_EQ(visibleWidths(three, g, 358), (Widths{358, 708, 358}));
  EXPECT_EQ(visibleWidths(three, g, 0), (Widths{708, 708, 0}));
}

TEST(ScrollTarget, CentresAlwaysOnOverflowOrNeverAndStaysInTheScrollRange) {
  using enum CenterMode;
  const auto target = [](const Strip& strip, int index, CenterMode mode, double from) {
    return scrollTarget(strip, index, g, mode, from);
  };
  EXPECT_EQ(target(three, 1, always, 0), 358);
  EXPECT_EQ(target(three, 0, always, 500), 0);
  EXPECT_EQ(target(three, 2, always, 0), 716);
  EXPECT_EQ(target(three, 1, onOverflow, 0), 0);
  // Half a point past either edge still fits; more gets centred (clamped).
  EXPECT_DOUBLE_EQ(target(three, 2, onOverflow, 715.6), 715.6);
  EXPECT_EQ(target(three, 2, onOverflow, 715.4), 716);
  EXPECT_DOUBLE_EQ(target(three, 1, onOverflow, 716.4), 716);
  EXPECT_EQ(target(three, 1, onOverflow, 716.6), 358);
  // Just enough to show the column; one as wide as the view from its left margin.
  EXPECT_EQ(target(three, 1, never, 300), 300);
  EXPECT_EQ(target(three, 0, never, 300), 0);
  EXPECT_EQ(target(three, 2, never, 300), 716);
  EXPECT_EQ(target(wide, 1, never, 0), 1432);
  EXPECT_EQ(target(wide, 0, never, 1432), 0);
  // An index outside the strip keeps the scroll clamped.
  EXPECT_EQ(target(three, 3, always, 400), 400);
  EXPECT_EQ(target(three, 5, always, 900), 716);
  EXPECT_EQ(target(three, -1, never, -50), 0);
  EXPECT_EQ(target(Strip{}, 0, always, 30), 0);
}

TEST(SnapTarget, NearestRestingPlaceWithTiesToTheEarlierCandidate) {
  // Five columns of 469: x 8, 485, 962, 1439, 1916; maxScroll 953. Resting
  // places in order: 0, 953, then per column (left, right): (0, 0),
  // (477, 0), (953, 0), (953, 476), (953, 953).
  const Strip strip = parseStrip("*[1] [2] [3] [4] [5]", 1.0 / 3);
  ASSERT_EQ(maxScroll(strip, g), 953);
  // 477 comes before 476.
  for (auto [from, to] : {std::pair{476.5, 477}, {476.4, 476}, {200, 0}, {5000, 953}, {-40, 0}}) {
    EXPECT_EQ(snapTarget(strip, g, from), to) << from;
  }
  EXPECT_EQ(snapTarget(Strip{}, g, 123), 0);
}

TEST(MostVisibleColumn, PrefersTheFocusedThenTheNearestFullyVisibleThenTheWidest) {
  // 0 and 1 fully visible, the focused 3 out of view: the one nearest it.
  EXPECT_EQ(mostVisibleColumn(parseStrip("[1] [2] [3] *[4]"), g, 0), 1);
  // The focused column fully visible wins over a wider visible one.
  Strip mixed = two;
  mixed.columns[0].proportion = 1.0 / 3;
  EXPECT_EQ(mostVisibleColumn(mixed, g, 0), 0);
  // Up to a point cut off still counts as fully visible.
  EXPECT_EQ(mostVisibleColumn(parseStrip("[1] *[2]"), g, -8.9), 1);
  EXPECT_EQ(mostVisibleColumn(parseStrip("[1] *[2]"), g, -9.1), 0);
  // Nothing fully visible: the widest part, the first on ties.
  for (auto [scroll, index] : {std::pair{500, 0}, {800, 1}, {716, 0}}) {
    EXPECT_EQ(mostVisibleColumn(wide, g, scroll), index) << scroll;
  }
  EXPECT_EQ(mostVisibleColumn(parseStrip("*[1]", 1.0), g, 5000), 0);
  EXPECT_EQ(mostVisibleColumn(Strip{}, g, 0), std::nullopt);
}

TEST(ColumnIndexAtStripX, SplitsTheGapBetweenNeighbours) {
  // Column 0 ends at 716, column 1 starts at 724.
  for (auto [x, index] : {std::pair{-100.0, 0}, {719.9, 0}, {720.0, 1}, {5000.0, 1}}) {
    EXPECT_EQ(columnIndexAtStripX(two, x, g), index) << x;
  }
  EXPECT_EQ(columnIndexAtStripX(Strip{}, 10, g), 0);
}

TEST(Heights, ALoneWindowKeepsItsPreferredHeightWithinBounds) {
  // Preferred and minimum heights (0: none) and the height they give: no
  // preference fills H, the floor is 100, preferences are floored and a
  // learned minimum wins.
  const std::tuple<double, double, double> cases[] = {
      {0, 0, 859},     {300, 0, 300},     {50, 0, 100}, {2000, 0, 859},
      {300.7, 0, 300}, {300.7, 500, 500}, {60, 40, 100}};
  for (auto [preferred, minimum, height] : cases) {
    Strip strip = one;
    if (preferred) strip.preferredHeights[1] = preferred;
    if (minimum) strip.minHeights[1] = minimum;
    EXPECT_EQ(heights(strip, strip.columns[0], g), Widths{height}) << preferred << ", " << minimum;
  }
}

TEST(Heights, StackedWindowsShareEquallyExceptWhereAMinimumForcesMore) {
  Strip strip = parseStrip("*[1 2 3]");
  const Column& column = strip.columns[0];
  strip.preferredHeights = {{1, 300}, {2, 300}, {3, 300}};  // ignored when stacked
  EXPECT_EQ(heights(strip, column, g), (Widths{281, 281, 281}));
  strip.minHeights[1] = 500;
  EXPECT_EQ(heights(strip, column, g), (Widths{500, 171, 171}));
  // A minimum below the first share is fixed only once the share drops
  // below it: 843 / 3 = 281 fixes window 1 at 400; (843 - 400) / 2 = 221.5
  // then fixes window 2 at 250; window 3 gets the rest, 193.
  strip.minHeights = {{1, 400}, {2, 250}};
  EXPECT_EQ(heights(strip, column, g), (Widths{400, 250, 193}));
  strip.minHeights = {{2, 300}};
  EXPECT_EQ(heights(strip, column, g), (Widths{271, 300, 271}));
}

TEST(Heights, EveryWindowKeepsAPointAndTheColumnStaysInsideTheArea) {
  // Area height, inner gap, learned minimums (0: none) and the heights laid out.
  struct Case {
    double height, gap;
    std::vector<double> minimums;
    Widths expected;
  };
  const Case cases[] = {
      {10, 8, {0, 0, 0}, {1, 1, 1}},     // the gaps alone are taller than the area
      {1, 8, {0, 0}, {1, 1}},            // not even the windows fit: they overlap
      {835, 8, {900, 0}, {826, 1}},      // a minimum taller than the area
      {835, 8, {500, 500}, {413, 413}},  // minimums that cannot all fit share the cut
      {835, 8, {0, 300, 0}, {259, 300, 259}},
  };
  for (const Case& c : cases) {
    std::string text = "*[";
    for (size_t j = 0; j < c.minimums.size(); ++j) text += std::to_string(j + 1) + " ";
    Strip strip = parseStrip(text + "]");
    for (size_t j = 0; j < c.minimums.size(); ++j) {
      if (c.minimums[j]) strip.minHeights[j + 1] = c.minimums[j];
    }
    const LayoutGeometry geometry{.area = Rect(0, 0, 1440, c.height), .innerGap = c.gap};
    EXPECT_EQ(heights(strip, strip.columns[0], geometry), c.expected) << c.height;
    for (const auto& [window, frame] : frames(strip, geometry, 0)) {
      EXPECT_GE(frame.minY(), 0) << c.height << " window " << window;
      EXPECT_LE(frame.maxY(), c.height) << c.height << " window " << window;
    }
  }
}

TEST(Frames, ColumnsLeftToRightWindowsStackedFromTheTopScrolledAndRoundedAwayFromZero) {
  LayoutGeometry below = g;
  below.area = Rect(0, 25, 1440, 875);  // below a menu bar
  EXPECT_EQ(frames(parseStrip("*[1] [2 3] [4]"), below, 0),
            (FrameList{{1, Rect(8, 33, 708, 859)},
                       {2, Rect(724, 33, 708, 425)},
                       {3, Rect(724, 466, 708, 425)},
                       {4, Rect(1440, 33, 708, 859)}}));  // outside the view

  Strip strip = two;
  strip.columns[1].offset.value = 50.25;
  FrameList out{{99, Rect(1, 2, 3, 4)}};  // stale content of a reused buffer
  frames(strip, g, 100.5, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].frame.origin.x, -93);                    // round(-92.5)
  EXPECT_EQ(out[1].frame.origin.x, 674);                    // round(673.75)
  frames(strip, {Rect(1440, 0, 1440, 875), 8, 8}, 0, out);  // a display to the right
  EXPECT_EQ(out[0].frame.origin.x, 1448);
  EXPECT_TRUE(frames(Strip{}, g, 0).empty());
}

// The carousel, with the centre at half and the sides at 0.8 of the area; its
// centre is x = 720, the margins are x = 8 and x = 1432, the top is y = 8.
FrameList carousel(const Strip& strip, const VerifiedSizes& verified = {}) {
  return carouselFrames(strip, g, 0.5, 0.8, verified);
}

TEST(Carousel, MetricsOfTheCentreTheSidesAndTheirBounds) {
  // round(712) = 712; max(round(412.2), round(356 + 80)) = 436; round(687.2) = 687.
  EXPECT_EQ(carouselMetrics(two, g, 0.5, 0.8), (CarouselMetrics{712, 436, 687}));
  // The centre at least 120 and at most W, the side height at least 100.
  EXPECT_EQ(carouselMetrics(two, g, 0.05, 0.01).centerWidth, 120);
  EXPECT_EQ(carouselMetrics(two, g, 0.05, 0.01).sideHeight, 100);
  // A centre of the whole width leaves the side width to the side height.
  EXPECT_EQ(carouselMetrics(two, g, 2.0, 0.8), (CarouselMetrics{1424, 412, 687}));
  EXPECT_EQ(carouselMetrics(one, g, 0.5, 0.8), (CarouselMetrics{1424, 0, 0}));
}

TEST(Carousel, OneColumnFillsTheAreaAndALeftNeighbourPeeksInAtTheMargin) {
  EXPECT_EQ(carousel(one), (FrameList{{1, Rect(8, 8, 1424, 859)}}));
  EXPECT_EQ(carousel(parseStrip("[1] *[2]")),
            (FrameList{{1, Rect(8, 94, 436, 687)},      // round(8 + (859 - 687) / 2) = 94
                       {2, Rect(364, 8, 712, 859)}}));  // 720 - 712 / 2; nothing right
}

TEST(Carousel, RealSizesCentreTheWindowsThatAreLargerThanAsked) {
  Strip strip = parseStrip("[1] *[2] [3]");
  strip.preferredHeights[1] = 300;
  VerifiedSizes verified{{2, Size{900, 500}}, {3, Size{600, 800}}};
  // The left neighbour is only as tall as its preferred height: round(8 + 279.5).
  // The focused window is asked for 712 but known to be 900 wide. The right
  // one is known to be 600 x 800: its right edge on the margin, round(8 + 29.5).
  EXPECT_EQ(carousel(strip, verified), (FrameList{{1, Rect(8, 288, 436, 300)},
                                                  {2, Rect(270, 8, 712, 859)},
                                                  {3, Rect(832, 38, 436, 687)}}));
  // Wider than the area: kept at the left margin; narrower than asked:
  // centred by the asked width.
  for (auto [width, x] : {std::pair{2000, 8}, {500, 364}}) {
    verified[2] = Size(width, 500);
    EXPECT_EQ(carousel(strip, verified)[1].frame.origin.x, x) << width;
  }
}

TEST(Carousel, TheFocusedStackIsCentredVerticallyAndEveryOtherWindowIsParked) {
  // Heights 425 + 8 + 425 = 858 in 859: half a point down, rounded to 1.
  const FrameList stack = carousel(parseStrip("[1] *[2 3]"));
  ASSERT_EQ(stack.size(), 3u);
  EXPECT_EQ(stack[1].frame, Rect(364, 9, 712, 425));
  EXPECT_EQ(stack[2].frame, Rect(364, 442, 712, 425));

  // Window 3 peeks in, window 2 is parked.
  const FrameList out = carousel(parseStrip("[1] [2 ^3] *[4] [5] [6]"));
  ASSERT_EQ(out.size(), 6u);
  EXPECT_EQ(out[0].frame, Rect(-808, 8, 708, 859));  // 0 - 708 - 100
  EXPECT_EQ(out[1].frame, Rect(-808, 8, 708, 425));  // its stacked height
  EXPECT_EQ(out[2].frame.origin.x, 8);               // the active one peeks in
  EXPECT_EQ(out[4].frame.origin.x, 1432 - 436);      // right neighbour
  EXPECT_EQ(out[5].frame, Rect(1540, 8, 708, 859));  // 1440 + 100
}

TEST(Carousel, IgnoresScrollAndOffsetsAndFallsBackWithoutAFocusedColumn) {
  Strip strip = parseStrip("[1] *[2]");
  const FrameList still = carousel(strip);
  strip.scroll = Spring{500, 500, 0};
  strip.columns[0].offset = Spring{-90, 0, 40};
  EXPECT_EQ(carousel(strip), still);
  strip.focusedIndex = 2;  // outside the strip: the normal layout at scroll 0
  strip.columns[0].offset = Spring{};
  EXPECT_EQ(carousel(strip), frames(strip, g, 0));
}

constexpr SlideSettings kSlide{.animations = true, .carouselMode = false};

TEST(AnimatedMutation, MovedColumnsAreDrawnWhereTheyWereAndSpringHome) {
  Strip strip = parseStrip("*[1] [2] [3]");  // x 8, 724, 1440
  strip.columns[0].offset.velocity = 33;
  strip.columns[1].offset.value = 10;  // already sliding: drawn at 734
  animatedMutation(strip, g, kSlide, [](Strip& s) { s.moveColumn(0, 2); });
  // Now [2, 3, 1] at 8, 724, 1440.
  EXPECT_EQ(strip.columns[0].offset, (Spring{726, 0, 0}));
  EXPECT_EQ(strip.columns[1].offset, (Spring{716, 0, 0}));
  EXPECT_EQ(strip.columns[2].offset, (Spring{-1432, 0, 33}));  // velocity kept
  // Drawn exactly where they were before the move.
  const FrameList drawn = frames(strip, g, 0);
  EXPECT_EQ(drawn[0].frame.origin.x, 734);
  EXPECT_EQ(drawn[2].frame.origin.x, 8);
}

TEST(AnimatedMutation, NewColumnsAndJumpsGetNoOffset) {
  Strip strip = parseStrip("*[1 2] [3]");
  animatedMutation(strip, g, kSlide, [](Strip& s) { s.popOut(2); });
  EXPECT_EQ(strip.columns[1].offset, Spring{});    // the popped column is new
  EXPECT_EQ(strip.columns[2].offset.value, -716);  // window 3 was pushed right
  for (const SlideSettings& jump : {SlideSettings{.animations = false, .carouselMode = false},
                                    SlideSettings{.animations = true, .carouselMode = true}}) {
    Strip other = parseStrip("*[1] [2]");
    other.columns[1].offset = Spring{40, 0, 100};
    animatedMutation(other, g, jump, [](Strip& s) { s.moveColumn(1, 0); });
    EXPECT_EQ(other.columns[0].offset, Spring{}) << jump.animations;
    EXPECT_EQ(other.columns[1].offset, Spring{}) << jump.animations;
  }
}

TEST(AnimatedMutation, ClampsFocusAndPassesTheResultThrough) {
  Strip strip = parseStrip("[1] *[2]");
  EXPECT_FALSE(animatedMutation(strip, g, kSlide, [](Strip& s) {
    s.focusedIndex = 9;  // out of range when the change runs
    return s.stackIntoLeft();
  }));
  EXPECT_EQ(strip.focusedIndex, 1);
  animatedMutation(strip, g, kSlide, [](Strip& s) { s.columns.clear(); });
  EXPECT_EQ(strip.focusedIndex, 0);
}

TEST(WidthPresets, CyclesForwardAndBackInAscendingOrderWithWrapAround) {
  using enum CycleDirection;
  const std::vector<double> presets{0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75};
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.5, forward), 2.0 / 3);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.755, forward), 0.25);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.25, backward), 0.75);
  // Within 0.01 of a preset counts as at it; between presets goes to the next.
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.505, forward), 2.0 / 3);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(presets, 0.4, backward), 1.0 / 3);
  const std::vector<double> unsorted{0.75, 0.25, 0.5};
  EXPECT_DOUBLE_EQ(cyclePresetProportion(unsorted, 0.25, forward), 0.5);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(unsorted, 0.5, forward), 0.75);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(unsorted, 0.5, backward), 0.25);
  EXPECT_DOUBLE_EQ(cyclePresetProportion({}, 0.42, forward), 0.42);
  EXPECT_DOUBLE_EQ(cyclePresetProportion(std::vector{std::nan("")}, 0.42, backward), 0.42);
}

TEST(StripSprings, AnimatedFramesRunUntilEverythingSettles) {
  Strip strip = parseStrip("*[1] [2]");
  strip.scroll.target = 300;
  strip.columns[1].offset.value = -200;
  const SpringFrame frame{.stiffness = 420, .dtSeconds = 1.0 / 60};
  int frames = 0;
  while (advanceStripSprings(strip, frame) && frames < 200) ++frames;
  EXPECT_LT(frames, 60);
  EXPECT_EQ(strip.scroll, (Spring{300, 300, 0}));
  EXPECT_EQ(strip.columns[1].offset, Spring{});
}

TEST(StripSprings, WithoutAnimationsOneFrameLandsAndAFingerKeepsTheScroll) {
  Strip strip = parseStrip("*[1]");
  strip.scroll = Spring{0, 300, 0};
  strip.columns[0].offset = Spring{50, 0, 5};
  const SpringFrame instant{
      .stiffness = 420, .dtSeconds = 1.0 / 60, .motion = SpringMotion::instant};
  EXPECT_TRUE(advanceStripSprings(strip, instant));
  EXPECT_EQ(strip.scroll, (Spring{300, 300, 0}));
  EXPECT_EQ(strip.columns[0].offset, Spring{});
  EXPECT_FALSE(advanceStripSprings(strip, instant));  // the next frame reports rest

  strip.scroll = Spring{120, 0, 0};
  const SpringFrame finger{
      .stiffness = 420, .dtSeconds = 1.0 / 60, .scrollDriver = ScrollDriver::finger};
  EXPECT_TRUE(advanceStripSprings(strip, finger));  // the strip keeps moving
  EXPECT_EQ(strip.scroll, (Spring{120, 0, 0}));
}

}  // namespace
}  // namespace vistarail
