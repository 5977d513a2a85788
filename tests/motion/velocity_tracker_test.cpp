#include "motion/velocity_tracker.h"

#include <gtest/gtest.h>

namespace vistarail {
namespace {

TEST(VelocityTracker, SlopeBetweenTheOldestAndNewestRecentSample) {
  VelocityTracker t;
  EXPECT_EQ(t.velocity(), 0);
  t.add(1.00, 100);
  t.add(1.02, 90);  // the middle sample does not matter
  t.add(1.05, 80);
  EXPECT_NEAR(t.velocity(), -400, 1e-9);
}

TEST(VelocityTracker, DropsSamplesMoreThanATenthOfASecondOlderThanTheNewest) {
  VelocityTracker t;
  t.add(0.0, 0);
  t.add(0.1, 50);  // exactly 0.1 old after the next add: kept
  t.add(0.2, 100);
  ASSERT_EQ(t.samples.size(), 2u);
  EXPECT_EQ(t.samples.front(), (VelocityTracker::Sample{0.1, 50}));
  EXPECT_NEAR(t.velocity(), 500, 1e-9);

  t.add(0.35, 130);
  ASSERT_EQ(t.samples.size(), 1u);
  EXPECT_EQ(t.velocity(), 0);  // a single sample has no span
}

TEST(VelocityTracker, ASpanOf4MillisecondsOrLessGivesNoVelocity) {
  VelocityTracker t;
  t.add(0.000, 0);
  t.add(0.004, 40);
  EXPECT_EQ(t.velocity(), 0);
  t.add(0.005, 50);
  EXPECT_NEAR(t.velocity(), 10000, 1e-6);
}

TEST(VelocityTracker, IsNotAgedWhenAsked) {
  VelocityTracker t;
  t.add(0.0, 0);
  t.add(0.05, 10);
  // Asking much later still reports the motion recorded: the release of a
  // gesture that paused is the caller's to judge.
  EXPECT_NEAR(t.velocity(), 200, 1e-9);
  t.reset();
  EXPECT_TRUE(t.samples.empty());
  EXPECT_EQ(t.velocity(), 0);
}

TEST(VelocityTracker, AFloodOfSamplesAtOneInstantStaysBounded) {
  VelocityTracker t;
  for (int i = 0; i < 10'000; ++i) t.add(5.0, i);
  EXPECT_EQ(t.samples.size(), VelocityTracker::kMaxSamples);
  EXPECT_EQ(t.samples.back().value, 9999);
}

}  // namespace
}  // namespace vistarail
