#include "strip/layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "strip_builders.h"

namespace vistarail {
namespace {

using testing::laptopGeometry;
using testing::makeStrip;

TEST(LayoutWidths, ProportionOfTheUsableWidthWithinTheMinimumAndTheUsableWidth) {
  const LayoutGeometry g = laptopGeometry();
  EXPECT_EQ(g.usableWidth(), 1424);
  EXPECT_EQ(g.usableHeight(), 859);
  EXPECT_EQ(columnWidth(0.5, g), 708);
  EXPECT_EQ(columnWidth(1.0 / 3, g), 469);
  EXPECT_EQ(columnWidth(0.05, g), 120);
  EXPECT_EQ(columnWidth(1.0, g), 1424);
  EXPECT_EQ(columnWidth(7.0, g), 1424);  // a stored proportion is bounded here
  EXPECT_EQ(columnWidth(-3.0, g), 120);
  EXPECT_EQ(columnWidth(std::nan(""), g), 120);
  // Halves round away from zero: 0.5 x 301 = 150.5.
  EXPECT_EQ(columnWidth(0.5, {Rect(0, 0, 301, 500), 0, 0}), 151);
  // A display too narrow for the minimum gives columns of the usable width.
  EXPECT_EQ(columnWidth(0.5, {Rect(0, 0, 100, 500), 8, 8}), 84);
  // The degenerate area still gives a width.
  EXPECT_EQ(columnWidth(0.5, {Rect(0, 0, 10, 10), 8, 8}), 1);
  EXPECT_NEAR(proportionForWidth(716, g), 724.0 / 1432, 1e-12);
}

TEST(LayoutWidths, ProportionsSetByCommandsAndAdoptedFromWindowsHaveTheirOwnBounds) {
  const LayoutGeometry g = laptopGeometry();
  EXPECT_DOUBLE_EQ(commandProportion(0.98 + 0.05), 1.0);
  EXPECT_DOUBLE_EQ(commandProportion(0.12 - 0.05), 0.1);
  EXPECT_NEAR(*adoptedProportion(716, g), 0.5056, 1e-4);
  EXPECT_DOUBLE_EQ(*adoptedProportion(30, g), 0.05);
  EXPECT_DOUBLE_EQ(*adoptedProportion(5000, g), 1.0);
  EXPECT_EQ(adoptedProportion(std::nan(""), g), std::nullopt);
}

TEST(LayoutWidths, PositionsContentWidthAndMaxScroll) {
  const LayoutGeometry g = laptopGeometry();
  const Strip two = makeStrip({{1}, {2}});
  EXPECT_EQ(columnWidths(two, g), (std::vector<double>{708, 708}));
  EXPECT_EQ(columnXPositions(two, g), (std::vector<double>{8, 724}));
  EXPECT_EQ(contentWidth(two, g), 1440);
  EXPECT_EQ(maxScroll(two, g), 0);

  const Strip three = makeStrip({{1}, {2}, {3}});
  EXPECT_EQ(columnXPositions(three, g), (std::vector<double>{8, 724, 1440}));
  EXPECT_EQ(contentWidth(three, g), 2156);
  EXPECT_EQ(maxScroll(three, g), 716);

  const Strip empty;
  EXPECT_EQ(contentWidth(empty, g), 0);
  EXPECT_EQ(maxScroll(empty, g), 0);
  EXPECT_TRUE(columnWidths(empty, g).empty());

  // The output buffer is reused, not appended to.
  std::vector<double> buffer{99, 99, 99, 99};
  columnXPositions(two, g, buffer);
  EXPECT_EQ(buffer, (std::vector<double>{8, 724}));
}

struct ScrollTargetTest : ::testing::Test {
  const LayoutGeometry g = laptopGeometry();
  const Strip three = makeStrip({{1}, {2}, {3}});  // x 8, 724, 1440; w 708; max 716
};

TEST_F(ScrollTargetTest, AlwaysCentresWithinTheScrollRange) {
  EXPECT_EQ(scrollTarget(three, 1, g, CenterMode::always, 0), 358);
  EXPECT_EQ(scrollTarget(three, 0, g, CenterMode::always, 500), 0);
  EXPECT_EQ(scrollTarget(three, 2, g, CenterMode::always, 0), 716);
}

TEST_F(ScrollTargetTest, OnOverflowKeepsAFittingColumnWithHalfAPointOfTolerance) {
  EXPECT_EQ(scrollTarget(three, 1, g, CenterMode::onOverflow, 0), 0);
  // The last column 0.4 points past the right edge still fits...
  EXPECT_DOUBLE_EQ(scrollTarget(three, 2, g, CenterMode::onOverflow, 715.6), 715.6);
  // ...0.6 points past it does not, and gets centred (clamped).
  EXPECT_EQ(scrollTarget(three, 2, g, CenterMode::onOverflow, 715.4), 716);
  // Same on the left edge: left = 716, so 716.4 still fits.
  EXPECT_DOUBLE_EQ(scrollTarget(three, 1, g, CenterMode::onOverflow, 716.4), 716);
  EXPECT_EQ(scrollTarget(three, 1, g, CenterMode::onOverflow, 716.6), 358);
}

TEST_F(ScrollTargetTest, NeverScrollsJustEnough) {
  EXPECT_EQ(scrollTarget(three, 1, g, CenterMode::never, 300), 300);  // already shown
  EXPECT_EQ(scrollTarget(three, 0, g, CenterMode::never, 300), 0);    // left edge
  EXPECT_EQ(scrollTarget(three, 2, g, CenterMode::never, 300), 716);  // right edge
  EXPECT_EQ(scrollTarget(three, 2, g, CenterMode::never, 100), 716);
  // A column as wide as the view is always shown from its left margin.
  const Strip wide = makeStrip({{1}, {2}}, 0, 1.0);  // x 8, 1440; max 1432
  EXPECT_EQ(scrollTarget(wide, 1, g, CenterMode::never, 0), 1432);
  EXPECT_EQ(scrollTarget(wide, 0, g, CenterMode::never, 1432), 0);
}

TEST_F(ScrollTargetTest, AnIndexOutsideTheStripKeepsTheScrollClamped) {
  EXPECT_EQ(scrollTarget(three, 3, g, CenterMode::always, 400), 400);
  EXPECT_EQ(scrollTarget(three, 5, g, CenterMode::always, 900), 716);
  EXPECT_EQ(scrollTarget(three, -1, g, CenterMode::never, -50), 0);
  EXPECT_EQ(scrollTarget(Strip{}, 0, g, CenterMode::always, 30), 0);
}

TEST(SnapTarget, NearestRestingPlaceWithTiesToTheEarlierCandidate) {
  const LayoutGeometry g = laptopGeometry();
  // Five columns of 469: x 8, 485, 962, 1439, 1916; maxScroll 953. Resting
  // places in order: 0, 953, then per column (left, right): (0, 0),
  // (477, 0), (953, 0), (953, 476), (953, 953).
  const Strip strip = makeStrip({{1}, {2}, {3}, {4}, {5}}, 0, 1.0 / 3);
  ASSERT_EQ(maxScroll(strip, g), 953);
  EXPECT_EQ(snapTarget(strip, g, 476.5), 477);  // 477 comes before 476
  EXPECT_EQ(snapTarget(strip, g, 476.4), 476);
  EXPECT_EQ(snapTarget(strip, g, 200), 0);
  EXPECT_EQ(snapTarget(strip, g, 5000), 953);
  EXPECT_EQ(snapTarget(strip, g, -40), 0);
  EXPECT_EQ(snapTarget(Strip{}, g, 123), 0);
}

TEST(VisibleWidths, PartOfEachColumnInsideTheView) {
  const LayoutGeometry g = laptopGeometry();
  const Strip three = makeStrip({{1}, {2}, {3}});
  EXPECT_EQ(visibleWidths(three, g, 358), (std::vector<double>{358, 708, 358}));
  EXPECT_EQ(visibleWidths(three, g, 0), (std::vector<double>{708, 708, 0}));
}

TEST(MostVisibleColumn, PrefersTheFocusedThenTheNearestFullyVisibleThenTheWidest) {
  const LayoutGeometry g = laptopGeometry();
  // 0 and 1 fully visible, the focused 3 out of view: the one nearest it.
  EXPECT_EQ(mostVisibleColumn(makeStrip({{1}, {2}, {3}, {4}}, 3), g, 0), 1);

  // The focused column fully visible wins over a wider visible one.
  Strip mixed = makeStrip({{1}, {2}}, 0);
  mixed.columns[0].proportion = 1.0 / 3;
  EXPECT_EQ(mostVisibleColumn(mixed, g, 0), 0);

  // Up to a point cut off still counts as fully visible.
  EXPECT_EQ(mostVisibleColumn(makeStrip({{1}, {2}}, 1), g, -8.9), 1);
  EXPECT_EQ(mostVisibleColumn(makeStrip({{1}, {2}}, 1), g, -9.1), 0);

  // Nothing fully visible: the widest part, the first on ties.
  const Strip wide = makeStrip({{1}, {2}}, 0, 1.0);  // x 8, 1440, w 1424
  EXPECT_EQ(mostVisibleColumn(wide, g, 500), 0);
  EXPECT_EQ(mostVisibleColumn(wide, g, 800), 1);
  EXPECT_EQ(mostVisibleColumn(wide, g, 716), 0);
  EXPECT_EQ(mostVisibleColumn(makeStrip({{1}}, 0, 1.0), g, 5000), 0);

  EXPECT_EQ(mostVisibleColumn(Strip{}, g, 0), std::nullopt);
}

TEST(ColumnIndexAtStripX, SplitsTheGapBetweenNeighbours) {
  const LayoutGeometry g = laptopGeometry();
  const Strip two = makeStrip({{1}, {2}});  // column 0 ends at 716, column 1 starts at 724
  EXPECT_EQ(columnIndexAtStripX(two, -100, g), 0);
  EXPECT_EQ(columnIndexAtStripX(two, 719.9, g), 0);
  EXPECT_EQ(columnIndexAtStripX(two, 720, g), 1);
  EXPECT_EQ(columnIndexAtStripX(two, 5000, g), 1);
  EXPECT_EQ(columnIndexAtStripX(Strip{}, 10, g), 0);
}

TEST(Heights, ALoneWindowKeepsItsPreferredHeightWithinBounds) {
  const LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1}});
  const Column& column = strip.columns[0];
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{859}));  // no preference
  strip.preferredHeights[1] = 300;
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{300}));
  strip.preferredHeights[1] = 50;
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{100}));
  strip.preferredHeights[1] = 2000;
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{859}));
  strip.preferredHeights[1] = 300.7;
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{300}));  // floored
  strip.minHeights[1] = 500;  // a learned minimum above the preference
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{500}));
  strip.minHeights[1] = 40;  // below 100 the floor of 100 applies
  strip.preferredHeights[1] = 60;
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{100}));
}

TEST(Heights, StackedWindowsShareEquallyExceptWhereAMinimumForcesMore) {
  const LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1, 2, 3}});
  const Column& column = strip.columns[0];
  strip.preferredHeights = {{1, 300}, {2, 300}, {3, 300}};  // ignored when stacked
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{281, 281, 281}));
  strip.minHeights[1] = 500;
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{500, 171, 171}));
  // A minimum below the first share is fixed only once the share drops
  // below it: 843 / 3 = 281 fixes window 1 at 400; (843 - 400) / 2 = 221.5
  // then fixes window 2 at 250; window 3 gets the rest, 193.
  strip.minHeights = {{1, 400}, {2, 250}};
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{400, 250, 193}));
  strip.minHeights = {{2, 300}};
  EXPECT_EQ(heights(strip, column, g), (std::vector<double>{271, 300, 271}));
}

TEST(Frames, ColumnsLeftToRightWindowsStackedFromTheTop) {
  LayoutGeometry g = laptopGeometry();
  g.area = Rect(0, 25, 1440, 875);  // below a menu bar
  const Strip strip = makeStrip({{1}, {2, 3}, {4}});
  EXPECT_EQ(frames(strip, g, 0), (FrameList{
                                     {1, Rect(8, 33, 708, 859)},
                                     {2, Rect(724, 33, 708, 425)},
                                     {3, Rect(724, 466, 708, 425)},
                                     {4, Rect(1440, 33, 708, 859)},  // outside the view
                                 }));
}

TEST(Frames, ScrollOffsetsAndTheAreaOriginMoveColumnsRoundedAwayFromZero) {
  LayoutGeometry g = laptopGeometry();
  Strip strip = makeStrip({{1}, {2}});
  strip.columns[1].offset.value = 50.25;
  FrameList out{{99, Rect(1, 2, 3, 4)}};  // stale content of a reused buffer
  frames(strip, g, 100.5, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].frame.origin.x, -93);  // round(-92.5)
  EXPECT_EQ(out[1].frame.origin.x, 674);  // round(673.75)

  g.area = Rect(1440, 0, 1440, 875);  // a display to the right
  frames(strip, g, 0, out);
  EXPECT_EQ(out[0].frame.origin.x, 1448);
  EXPECT_TRUE(frames(Strip{}, g, 0).empty());
}

}  // namespace
}  // namespace vistarail
