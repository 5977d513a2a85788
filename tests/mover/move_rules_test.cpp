#include "mover/move_rules.h"

#include <gtest/gtest.h>

namespace vistarail::move_rules {
namespace {

TEST(MoveRules, ToleranceBoundariesAreInclusive) {
  const Rect asked(100, 50, 800, 600);
  EXPECT_TRUE(verificationPasses({102, 48, 300, 300}, asked, std::nullopt));
  EXPECT_FALSE(verificationPasses({102.5, 50, 800, 600}, asked, std::nullopt));
  const Rect display(0, 0, 1440, 900);
  EXPECT_TRUE(verificationPasses({1432, 100, 800, 600}, asked, display));   // 8 points in
  EXPECT_FALSE(verificationPasses({1431, 100, 800, 600}, asked, display));  // 9 points in
  EXPECT_TRUE(verificationPasses({200, 896, 800, 600}, asked, display));    // 4 points tall
  EXPECT_FALSE(exceedsRequestedSize({804, 604}, {800, 600}));
  EXPECT_TRUE(exceedsRequestedSize({800, 604.5}, {800, 600}));
}

}  // namespace
}  // namespace vistarail::move_rules
