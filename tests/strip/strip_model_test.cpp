#include <gtest/gtest.h>

#include "strip/strip.h"
#include "strip_builders.h"

namespace vistarail {
namespace {

using testing::makeStrip;
using testing::shape;
using testing::Shape;

TEST(Column, ActiveWindowFallsBackToTheFirstWhenOutOfRange) {
  Column column({1, 2}, 0.5);
  column.activeIndex = 5;
  EXPECT_EQ(column.activeWindow(), 1u);
  column.activeIndex = -1;
  EXPECT_EQ(column.activeWindow(), 1u);
  column.activeIndex = 1;
  EXPECT_EQ(column.activeWindow(), 2u);
  column.windows.clear();
  EXPECT_EQ(column.activeWindow(), std::nullopt);
}

TEST(Column, RemoveKeepsTheActiveWindowByIdentity) {
  Column column({1, 2, 3}, 0.5);
  column.activeIndex = 1;  // window 2
  column.remove(1);
  EXPECT_EQ(column.windows, (std::vector<WindowId>{2, 3}));
  EXPECT_EQ(column.activeIndex, 0);
  // An out-of-range index reads as the first window, which then stays active.
  Column stray({1, 2, 3}, 0.5);
  stray.activeIndex = 7;
  stray.remove(3);
  EXPECT_EQ(stray.activeIndex, 0);

  // Removing the active window activates the one that moved into its slot...
  Column middle({1, 2, 3}, 0.5);
  middle.activeIndex = 1;
  middle.remove(2);
  EXPECT_EQ(middle.activeWindow(), 3u);
  // ...or the new last window when it was last.
  Column last({1, 2, 3}, 0.5);
  last.activeIndex = 2;
  last.remove(3);
  EXPECT_EQ(last.activeIndex, 1);
  // Every occurrence goes, and an emptied column reads index 0.
  Column twice({4, 4}, 0.5);
  twice.remove(4);
  EXPECT_TRUE(twice.windows.empty());
  EXPECT_EQ(twice.activeIndex, 0);
}

TEST(Column, IdentitySurvivesMovesAndIsNeverShared) {
  Strip strip = makeStrip({{1}, {2}, {3}});
  const ColumnId first = strip.columns[0].id();
  EXPECT_NE(first, strip.columns[1].id());
  strip.moveColumn(0, 2);
  EXPECT_EQ(strip.columns[2].id(), first);
}

TEST(StripQueries, WindowsFocusAndMembership) {
  Strip strip = makeStrip({{1, 2}, {3}}, 1);
  EXPECT_EQ(strip.allWindows(), (std::vector<WindowId>{1, 2, 3}));
  EXPECT_TRUE(strip.contains(2));
  EXPECT_FALSE(strip.contains(9));
  ASSERT_NE(strip.focusedColumn(), nullptr);
  EXPECT_EQ(strip.focusedColumn()->windows, (std::vector<WindowId>{3}));
  strip.focusedIndex = 2;
  EXPECT_EQ(strip.focusedColumn(), nullptr);
  EXPECT_EQ(Strip{}.focusedColumn(), nullptr);
}

TEST(StripRemove, FocusStaysOnTheSameColumnOrPassesToTheOneTakingItsPlace) {
  // The only window of the focused last column: focus moves to the new last.
  Strip last = makeStrip({{1}, {2}, {3}}, 2);
  EXPECT_TRUE(last.remove(3));
  EXPECT_EQ(last.focusedIndex, 1);

  // A column left of the focus disappears: same column stays focused.
  Strip left = makeStrip({{1}, {2}, {3}}, 2);
  left.remove(1);
  EXPECT_EQ(left.focusedIndex, 1);
  EXPECT_EQ(left.focusedColumn()->windows[0], 3u);

  // Right of the focus: index unchanged.
  Strip right = makeStrip({{1}, {2}, {3}}, 1);
  right.remove(3);
  EXPECT_EQ(right.focusedIndex, 1);

  // The focused middle column goes: its right neighbour takes over.
  Strip middle = makeStrip({{1}, {2}, {3}}, 1);
  middle.remove(2);
  EXPECT_EQ(middle.focusedColumn()->windows[0], 3u);

  Strip only = makeStrip({{1}});
  EXPECT_TRUE(only.remove(1));
  EXPECT_TRUE(only.empty());
  EXPECT_EQ(only.focusedIndex, 0);
  EXPECT_FALSE(only.remove(1));

  // A stacked window leaves its column in place.
  Strip stacked = makeStrip({{1, 2}, {3}}, 1);
  stacked.remove(1);
  EXPECT_EQ(shape(stacked), (Shape{{2}, {3}}));
  EXPECT_EQ(stacked.focusedIndex, 1);
}

TEST(StripInsert, ClampsTheIndexAndKeepsTheFocusedColumn) {
  Strip strip;
  strip.insert(Column::single(1, 0.5), 7);
  EXPECT_EQ(strip.focusedIndex, 0);
  strip.insert(Column::single(2, 0.5), -3);  // at the focused index: focus shifts right
  EXPECT_EQ(shape(strip), (Shape{{2}, {1}}));
  EXPECT_EQ(strip.focusedIndex, 1);
  strip.insert(Column::single(3, 0.5), 99);  // right of the focus: unchanged
  EXPECT_EQ(shape(strip), (Shape{{2}, {1}, {3}}));
  EXPECT_EQ(strip.focusedIndex, 1);
}

TEST(StripMoveColumn, FocusFollowsTheColumnsThatShift) {
  Strip toEnd = makeStrip({{1}, {2}, {3}}, 1);
  toEnd.moveColumn(0, 99);
  EXPECT_EQ(shape(toEnd), (Shape{{2}, {3}, {1}}));
  EXPECT_EQ(toEnd.focusedIndex, 0);

  Strip moved = makeStrip({{1}, {2}, {3}}, 2);
  moved.moveColumn(2, 0);
  EXPECT_EQ(moved.focusedIndex, 0);

  Strip shifted = makeStrip({{1}, {2}, {3}}, 0);
  shifted.moveColumn(2, -5);
  EXPECT_EQ(shape(shifted), (Shape{{3}, {1}, {2}}));
  EXPECT_EQ(shifted.focusedIndex, 1);

  Strip untouched = makeStrip({{1}, {2}, {3}}, 1);
  untouched.moveColumn(3, 0);
  untouched.moveColumn(-1, 0);
  untouched.moveColumn(1, 1);
  EXPECT_EQ(shape(untouched), (Shape{{1}, {2}, {3}}));
  EXPECT_EQ(untouched.focusedIndex, 1);
}

TEST(StripMoveColumnOfWindow, DropsBeforeOrAfterTheTargetColumn) {
  Strip strip = makeStrip({{1}, {2, 3}, {4}, {5}}, 0);
  EXPECT_TRUE(strip.moveColumnOfWindow(1, {.window = 4, .after = true}));
  EXPECT_EQ(shape(strip), (Shape{{2, 3}, {4}, {1}, {5}}));
  EXPECT_EQ(strip.focusedIndex, 2);
  EXPECT_TRUE(strip.moveColumnOfWindow(5, {.window = 3, .after = false}));
  EXPECT_EQ(shape(strip), (Shape{{5}, {2, 3}, {4}, {1}}));
  // Already there, same column, or unknown windows: nothing moves.
  EXPECT_FALSE(strip.moveColumnOfWindow(5, {.window = 2, .after = false}));
  EXPECT_FALSE(strip.moveColumnOfWindow(4, {.window = 3, .after = true}));
  EXPECT_FALSE(strip.moveColumnOfWindow(2, {.window = 3, .after = true}));
  EXPECT_FALSE(strip.moveColumnOfWindow(9, {.window = 3, .after = true}));
  EXPECT_FALSE(strip.moveColumnOfWindow(4, {.window = 9, .after = true}));
  EXPECT_EQ(shape(strip), (Shape{{5}, {2, 3}, {4}, {1}}));
}

TEST(StripStackIntoLeft, MovesOnlyTheActiveWindowAndFocusFollowsIt) {
  Strip first = makeStrip({{1}, {2}}, 0);
  EXPECT_FALSE(first.stackIntoLeft());
  EXPECT_EQ(shape(first), (Shape{{1}, {2}}));

  Strip single = makeStrip({{1, 2}, {3}, {4}}, 1);
  EXPECT_TRUE(single.stackIntoLeft());
  EXPECT_EQ(shape(single), (Shape{{1, 2, 3}, {4}}));
  EXPECT_EQ(single.focusedIndex, 0);
  EXPECT_EQ(single.columns[0].activeWindow(), 3u);

  Strip stacked = makeStrip({{1}, {2, 3}}, 1);
  stacked.columns[1].activeIndex = 1;
  EXPECT_TRUE(stacked.stackIntoLeft());
  EXPECT_EQ(shape(stacked), (Shape{{1, 3}, {2}}));
  EXPECT_EQ(stacked.focusedIndex, 0);
  EXPECT_EQ(stacked.columns[1].activeWindow(), 2u);
}

TEST(StripPopOut, NewColumnRightOfItsSourceWithTheSameProportion) {
  Strip strip = makeStrip({{1}, {2, 3, 4}, {5}}, 1, 0.4);
  strip.columns[1].activeIndex = 0;  // window 2 active
  strip.columns[1].proportionBeforeFullWidth = 0.3;
  EXPECT_TRUE(strip.popOut(3));  // not the active window: focus stays
  EXPECT_EQ(shape(strip), (Shape{{1}, {2, 4}, {3}, {5}}));
  EXPECT_EQ(strip.focusedIndex, 1);
  EXPECT_EQ(strip.columns[2].proportion, 0.4);
  EXPECT_EQ(strip.columns[2].proportionBeforeFullWidth, std::nullopt);

  EXPECT_TRUE(strip.popOut(2));  // the focused column's active window: focus follows
  EXPECT_EQ(shape(strip), (Shape{{1}, {4}, {2}, {3}, {5}}));
  EXPECT_EQ(strip.focusedIndex, 2);

  EXPECT_FALSE(strip.popOut(5));  // alone in its column
  EXPECT_FALSE(strip.popOut(9));

  Strip leftOfFocus = makeStrip({{1, 2}, {3}}, 1);
  EXPECT_TRUE(leftOfFocus.popOut(2));
  EXPECT_EQ(leftOfFocus.focusedIndex, 2);
  EXPECT_EQ(leftOfFocus.focusedColumn()->windows[0], 3u);
}

TEST(StripMoveWindowInColumn, SwapsWithTheNeighbourAndTheMovedWindowStaysActive) {
  Strip strip = makeStrip({{1, 2, 3}});
  strip.columns[0].activeIndex = 2;
  EXPECT_TRUE(strip.moveWindowInColumn(-1));
  EXPECT_EQ(shape(strip), (Shape{{1, 3, 2}}));
  EXPECT_EQ(strip.columns[0].activeIndex, 1);
  EXPECT_EQ(strip.columns[0].activeWindow(), 3u);

  strip.columns[0].activeIndex = 0;
  EXPECT_FALSE(strip.moveWindowInColumn(-1));  // top window cannot go up
  EXPECT_TRUE(strip.moveWindowInColumn(+5));   // clamped to the bottom
  EXPECT_EQ(shape(strip), (Shape{{2, 3, 1}}));

  Strip lone = makeStrip({{1}});
  EXPECT_FALSE(lone.moveWindowInColumn(1));
}

TEST(StripMinHeights, AColumnFitsWhenItsMinimumsAndGapsFitTheUsableHeight) {
  const LayoutGeometry g{Rect(0, 0, 1000, 1020), 10, 10};  // H = 1000
  Strip strip = makeStrip({{1, 2, 3}, {4}});
  strip.minHeights = {{1, 400}, {2, 400}};
  // 400 + 400 + 100 (no minimum) + 20 of gaps = 920.
  EXPECT_TRUE(strip.fitsMinHeights(strip.columns[0], g));
  strip.minHeights[3] = 180.5;  // 1000.5: within the half-point tolerance
  EXPECT_TRUE(strip.fitsMinHeights(strip.columns[0], g));
  strip.minHeights[3] = 181;
  EXPECT_FALSE(strip.fitsMinHeights(strip.columns[0], g));
  strip.minHeights[4] = 5000;  // a lone window always fits
  EXPECT_TRUE(strip.fitsMinHeights(strip.columns[1], g));
}

TEST(StripMinHeights, EnforcingSplitsStacksInTheirOrder) {
  const LayoutGeometry g{Rect(0, 0, 1000, 1020), 10, 10};  // H = 1000
  Strip strip = makeStrip({{9}, {1, 2, 3, 4}, {8}}, 2);
  for (WindowId w : {1, 2, 3, 4}) strip.minHeights[w] = 400;
  EXPECT_TRUE(strip.enforceMinHeights(g));
  EXPECT_EQ(shape(strip), (Shape{{9}, {1, 2}, {3}, {4}, {8}}));
  EXPECT_EQ(strip.focusedIndex, 4);  // still window 8
  EXPECT_FALSE(strip.enforceMinHeights(g));
}

TEST(StripMinHeights, EnforcingVisitsThePoppedColumnsToo) {
  // The walk goes on past the columns it inserted and splits a later stack.
  const LayoutGeometry g{Rect(0, 0, 1000, 320), 10, 10};  // H = 300
  Strip strip = makeStrip({{1, 2, 3}, {4, 5, 6}});
  EXPECT_TRUE(strip.enforceMinHeights(g));  // 3 x 100 + 20 > 300.5
  EXPECT_EQ(shape(strip), (Shape{{1, 2}, {3}, {4, 5}, {6}}));
}

TEST(StripInvariants, NamesTheBrokenRule) {
  std::string why;
  EXPECT_TRUE(makeStrip({{1, 2}, {3}}, 1).verifyInvariants(&why)) << why;

  Strip duplicate = makeStrip({{1, 2}, {2}});
  EXPECT_FALSE(duplicate.verifyInvariants(&why));
  EXPECT_NE(why.find("window 2 occurs twice"), std::string::npos) << why;

  Strip emptyColumn = makeStrip({{1}, {}});
  EXPECT_FALSE(emptyColumn.verifyInvariants(&why));
  EXPECT_NE(why.find("column 1 is empty"), std::string::npos) << why;

  Strip badFocus = makeStrip({{1}}, 1);
  EXPECT_FALSE(badFocus.verifyInvariants(&why));
  Strip emptyFocus;
  emptyFocus.focusedIndex = 1;
  EXPECT_FALSE(emptyFocus.verifyInvariants(&why));

  Strip badActive = makeStrip({{1, 2}});
  badActive.columns[0].activeIndex = 2;
  EXPECT_FALSE(badActive.verifyInvariants(&why));
  EXPECT_NE(why.find("activeIndex"), std::string::npos) << why;

  Strip sameColumnTwice = makeStrip({{1}});
  sameColumnTwice.columns.push_back(sameColumnTwice.columns[0]);
  sameColumnTwice.columns[1].windows = {2};
  EXPECT_FALSE(sameColumnTwice.verifyInvariants(&why));
  EXPECT_NE(why.find("column id"), std::string::npos) << why;
}

}  // namespace
}  // namespace vistarail
