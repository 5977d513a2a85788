#include "motion/spring.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vistarail {
namespace {

TEST(Spring, SettlesOntoItsTargetAfter22FramesAt60HzWithoutCrossingIt) {
  Spring s{300, 0, 0};
  int frames = 0;
  double lowest = s.value;
  while (!s.isAtRest() && frames < 100) {
    s.step(420, 1.0 / 60);
    lowest = std::min(lowest, s.value);
    ++frames;
  }
  EXPECT_EQ(frames, 22);
  EXPECT_EQ(s, (Spring{0, 0, 0}));  // snapped exactly, not just close
  EXPECT_GE(lowest, 0.0);
}

TEST(Spring, SubStepsKeepAStiffSpringStableOnLongFrames) {
  // At k = 1680 a single 0.05 s Euler step would overshoot and grow without
  // bound; in 1/480 s sub-steps the spring converges.
  Spring s{1000, 0, 0};
  double largest = 0;
  for (int i = 0; i < 40; ++i) {
    s.step(1680, 0.05);
    largest = std::max(largest, std::fabs(s.value));
  }
  EXPECT_TRUE(s.isAtRest());
  EXPECT_LE(largest, 1000.0);
}

TEST(Spring, AFrameIsTheSameMotionAsItsSubSteps) {
  Spring whole{300, 0, 0};
  whole.step(420, 1.0 / 60);
  Spring parts{300, 0, 0};
  for (int i = 0; i < 8; ++i) parts.step(420, 1.0 / 480);
  EXPECT_NEAR(whole.value, parts.value, 1e-9);
  EXPECT_NEAR(whole.velocity, parts.velocity, 1e-9);

  // A length that is not a whole number of sub-steps ends with the remainder.
  Spring odd{300, 0, 0};
  odd.step(420, 0.003);
  Spring split{300, 0, 0};
  split.step(420, 1.0 / 480);
  split.step(420, 0.003 - 1.0 / 480);
  EXPECT_NEAR(odd.value, split.value, 1e-9);
  EXPECT_NEAR(odd.velocity, split.velocity, 1e-9);
}

TEST(Spring, SettleTestIsStrictOnBothDistanceAndSpeed) {
  EXPECT_TRUE((Spring{10.49, 10, 9.99}).isSettled());
  EXPECT_FALSE((Spring{10.5, 10, 0}).isSettled());
  EXPECT_FALSE((Spring{10, 10, -10}).isSettled());
}

TEST(Spring, StepsOfNoLengthOnlyApplyTheSettleTest) {
  Spring near{100.3, 100, 4};
  near.step(420, 0);
  EXPECT_EQ(near, (Spring{100, 100, 0}));

  Spring far{50, 100, 0};
  far.step(420, -1);
  EXPECT_EQ(far, (Spring{50, 100, 0}));
  far.step(420, std::nan(""));
  EXPECT_EQ(far, (Spring{50, 100, 0}));
}

TEST(Spring, AnEnormousStepDoesBoundedWorkAndArrives) {
  Spring s{0, 500, 0};
  s.step(420, 1e12);
  EXPECT_TRUE(s.isAtRest());
  EXPECT_EQ(s.value, 500);
}

TEST(SpringStiffness, FollowsTheSquareOfTheAnimationSpeed) {
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(1), 420);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(2), 1680);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(0.5), 105);
  // Springs with no stiffness would never arrive, and the animator would
  // never stop: such speeds count as 1.
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(0), 420);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(-2), 420);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(std::nan("")), 420);
}

TEST(SpringStiffness, IsSharedAndIgnoresUnusableValues) {
  EXPECT_DOUBLE_EQ(springStiffness(), kBaseSpringStiffness);
  setSpringStiffness(1680);
  EXPECT_DOUBLE_EQ(springStiffness(), 1680);
  setSpringStiffness(0);
  setSpringStiffness(INFINITY);
  EXPECT_DOUBLE_EQ(springStiffness(), 1680);
  setSpringStiffness(kBaseSpringStiffness);
}

}  // namespace
}  // namespace vistarail
