#include "strip/layout_restore.h"

#include <gtest/gtest.h>

#include "strip_builders.h"

namespace vistarail {
namespace {

using testing::shape;
using testing::Shape;

constexpr WindowId A = 1, B = 2, C = 3, D = 4;

JoiningWindow joining(WindowId window, double height = 500) {
  return {window, Rect(0, 0, 700, height)};
}

SavedStrip savedABC() {
  SavedStrip saved;
  saved.columns = {{{A, B}, 0.4}, {{C}, 0.6}};
  saved.focusedIndex = 1;
  saved.preferredHeights = std::map<WindowId, double>{{B, 333}};
  return saved;
}

TEST(LayoutRestore, RebuildsTheSavedColumnsFromTheWindowsThatStillExist) {
  Strip strip;
  strip.pendingRestore = savedABC();
  strip.preferredHeights[C] = 610;  // already known: kept
  const auto rest = applyPendingRestore(strip, {joining(B), joining(C), joining(D, 420)});
  EXPECT_EQ(shape(strip), (Shape{{B}, {C}}));
  EXPECT_EQ(rest, (std::vector<JoiningWindow>{joining(D, 420)}));
  EXPECT_EQ(strip.focusedIndex, 1);  // on [C]
  EXPECT_FALSE(strip.pendingRestore);
  EXPECT_EQ(strip.preferredHeights.at(B), 333);  // the saved height
  EXPECT_EQ(strip.preferredHeights.at(C), 610);
  EXPECT_FALSE(strip.preferredHeights.contains(D));  // D is not placed here
  // Restored columns are new columns with the saved proportion.
  EXPECT_EQ(strip.columns[0].proportion, 0.4);
  EXPECT_EQ(strip.columns[0].activeIndex, 0);
  EXPECT_EQ(strip.columns[0].proportionBeforeFullWidth, std::nullopt);
  EXPECT_EQ(strip.columns[0].offset, Spring{});
  EXPECT_TRUE(strip.verifyInvariants());
}

TEST(LayoutRestore, AWindowWithoutAnyKnownHeightTakesItsFrameHeight) {
  Strip strip;
  strip.pendingRestore = savedABC();
  applyPendingRestore(strip, {joining(A, 456), joining(B)});
  EXPECT_EQ(shape(strip), (Shape{{A, B}}));
  EXPECT_EQ(strip.preferredHeights.at(A), 456);
  EXPECT_EQ(strip.focusedIndex, 0);  // saved 1, clamped to the one column
}

TEST(LayoutRestore, ASavedStripWhoseWindowsAreGoneIsUsedUpAndPlacesNothing) {
  Strip strip;
  strip.pendingRestore = savedABC();
  const std::vector<JoiningWindow> fresh{joining(D), joining(9)};
  EXPECT_EQ(applyPendingRestore(strip, fresh), fresh);
  EXPECT_TRUE(strip.empty());
  EXPECT_EQ(strip.focusedIndex, 0);
  EXPECT_FALSE(strip.pendingRestore);
  // Without a pending restore nothing changes and every window goes on.
  EXPECT_EQ(applyPendingRestore(strip, fresh), fresh);
  EXPECT_TRUE(strip.empty());
}

TEST(LayoutRestore, StoredDataNamingAWindowTwiceStillGivesAValidStrip) {
  Strip strip;
  SavedStrip saved;
  saved.columns = {{{A, A, B}, 0.5}, {{B, C}, 3.5}, {{}, 0.5}};
  saved.focusedIndex = -7;
  strip.pendingRestore = saved;
  const auto rest = applyPendingRestore(strip, {joining(A), joining(C), joining(A), joining(B)});
  EXPECT_EQ(shape(strip), (Shape{{A, B}, {C}}));
  EXPECT_TRUE(rest.empty());
  EXPECT_EQ(strip.columns[1].proportion, 3.5);  // as stored
  EXPECT_EQ(strip.focusedIndex, 0);
  std::string why;
  EXPECT_TRUE(strip.verifyInvariants(&why)) << why;

  // A window repeated among those joining goes on only once.
  Strip plain;
  const auto once = applyPendingRestore(plain, {joining(D), joining(D), joining(A)});
  EXPECT_EQ(once, (std::vector<JoiningWindow>{joining(D), joining(A)}));
}

}  // namespace
}  // namespace vistarail
