#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "motion/animator.h"
#include "motion/spring.h"
#include "motion/velocity_tracker.h"
#include "platform/sim/adapters/sim_display_link.h"
#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail {
namespace {

TEST(Spring, SettlesOntoItsTargetAfter22FramesAt60HzWithoutCrossingIt) {
  Spring s{300, 0, 0};
  int frames = 0;
  double lowest = s.value;
  for (; !s.isAtRest() && frames < 100; ++frames) {
    s.step(420, 1.0 / 60);
    lowest = std::min(lowest, s.value);
  }
  EXPECT_EQ(frames, 22);
  EXPECT_EQ(s, (Spring{0, 0, 0}));  // snapped exactly, not just close
  EXPECT_GE(lowest, 0.0);
}

Spring stepped(Spring s, double dt, double stiffness = 420) {
  s.step(stiffness, dt);
  return s;
}

TEST(Spring, SubStepsKeepAStiffSpringStableAndEndWithWhatRemainsOfTheFrame) {
  const Spring afterOne = stepped({300, 0, 0}, Spring::kSubStepSeconds);
  const Spring parts = stepped(afterOne, 0.003 - Spring::kSubStepSeconds);
  const Spring whole = stepped({300, 0, 0}, 0.003);
  EXPECT_NE(parts, afterOne);  // the remainder moves it too
  EXPECT_NEAR(whole.value, parts.value, 1e-9);
  EXPECT_NEAR(whole.velocity, parts.velocity, 1e-9);
  // At k = 1680 a single 0.05 s Euler step would overshoot and grow without bound.
  Spring stiff{1000, 0, 0};
  double largest = 0;
  for (int i = 0; i < 40; ++i) {
    stiff.step(1680, 0.05);
    largest = std::max(largest, std::fabs(stiff.value));
  }
  EXPECT_TRUE(stiff.isAtRest());
  EXPECT_LE(largest, 1000.0);
}

TEST(Spring, SettlingIsStrictAndStepsOfNoLengthOnlyApplyIt) {
  EXPECT_TRUE((Spring{10.49, 10, 9.99}).isSettled());
  EXPECT_FALSE((Spring{10.5, 10, 0}).isSettled());
  EXPECT_FALSE((Spring{10, 10, -10}).isSettled());
  EXPECT_EQ(stepped({100.3, 100, 4}, 0), (Spring{100, 100, 0}));
  EXPECT_EQ(stepped({50, 100, 0}, -1), (Spring{50, 100, 0}));
  EXPECT_EQ(stepped({50, 100, 0}, std::nan("")), (Spring{50, 100, 0}));
  // An enormous step does bounded work and arrives.
  EXPECT_EQ(stepped({0, 500, 0}, 1e12), (Spring{500, 500, 0}));
}

TEST(SpringStiffness, FollowsTheSquareOfTheAnimationSpeedAndIgnoresUnusableValues) {
  // Springs with no stiffness would never arrive, and the animator would
  // never stop: such speeds count as 1.
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(1), 420);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(2), 1680);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(0.5), 105);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(0), 420);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(-2), 420);
  EXPECT_DOUBLE_EQ(stiffnessForAnimationSpeed(std::nan("")), 420);
}

TEST(VelocityTracker, SlopeBetweenTheOldestAndNewestSampleOfTheLastTenthOfASecond) {
  VelocityTracker t;
  EXPECT_EQ(t.velocity(), 0);
  t.add(1.00, 100);
  t.add(1.02, 90);  // the middle sample does not matter
  t.add(1.05, 80);
  EXPECT_NEAR(t.velocity(), -400, 1e-9);

  t.reset();
  t.add(0.0, 0);
  t.add(0.1, 50);  // exactly 0.1 old after the next add: kept
  t.add(0.2, 100);
  ASSERT_EQ(t.samples.size(), 2u);
  EXPECT_EQ(t.samples.front(), (VelocityTracker::Sample{0.1, 50}));
  // Not aged when asked: the release of a gesture that paused is the caller's to judge.
  EXPECT_NEAR(t.velocity(), 500, 1e-9);
  t.add(0.35, 130);
  ASSERT_EQ(t.samples.size(), 1u);
  EXPECT_EQ(t.velocity(), 0);  // a single sample has no span
}

TEST(VelocityTracker, ASpanOf4MillisecondsOrLessGivesNoVelocityAndAFloodStaysBounded) {
  VelocityTracker t;
  t.add(0.000, 0);
  t.add(0.004, 40);
  EXPECT_EQ(t.velocity(), 0);
  t.add(0.005, 50);
  EXPECT_NEAR(t.velocity(), 10000, 1e-6);

  for (int i = 0; i < 10'000; ++i) t.add(5.0, i);
  EXPECT_EQ(t.samples.size(), VelocityTracker::kMaxSamples);
  EXPECT_EQ(t.samples.back().value, 9999);
}

using ::testing::DoubleEq;
using ::testing::DoubleNear;
using ::testing::Each;
using ::testing::ElementsAre;

// The animator on the simulated display link (120 Hz in virtual time), with
// a tick handler that records each frame time and reports motion for
// `ticksLeft` ticks.
struct AnimatorTest : ::testing::Test {
  sim::VirtualDispatch dispatch;
  sim::SimDisplayLinkFactory links{dispatch};
  std::vector<ScreenInfo> screens{ScreenInfo{}};
  Animator animator{links, dispatch, [this] { return screens; }};
  std::vector<double> ticks;
  int ticksLeft = 1000;

  void SetUp() override {
    animator.setOnTick([this](double dt) {
      ticks.push_back(dt);
      return --ticksLeft > 0;
    });
  }
};

TEST_F(AnimatorTest, TicksEveryFrameUntilNothingMoves) {
  ticksLeft = 5;
  animator.start();
  EXPECT_TRUE(animator.isRunning());
  dispatch.runFor(1.0);
  EXPECT_EQ(ticks.size(), 5u);
  EXPECT_THAT(ticks, Each(DoubleNear(1.0 / 120, 1e-9)));
  EXPECT_FALSE(animator.isRunning());
  EXPECT_EQ(links.runningLinkCount(), 0u);
  EXPECT_EQ(links.framesDelivered(), 5u);
}

TEST_F(AnimatorTest, StartingTwiceKeepsTheLinkAndItsClockAndAfterAStopMakesAFreshOne) {
  animator.start();
  dispatch.runFor(0.5 / 120);
  animator.start();  // half a frame in: must not reset the frame clock
  dispatch.runFor(0.6 / 120);
  EXPECT_EQ(links.linksCreated(), 1u);
  EXPECT_THAT(ticks, ElementsAre(DoubleNear(1.0 / 120, 1e-9)));
  animator.stop();  // at once
  EXPECT_FALSE(animator.isRunning());
  dispatch.runFor(0.1);
  EXPECT_EQ(ticks.size(), 1u);
  animator.start();
  dispatch.runFor(1.1 / 120);
  EXPECT_EQ(ticks.size(), 2u);
  EXPECT_EQ(links.linksCreated(), 2u);
}

TEST_F(AnimatorTest, WithoutScreensNothingStartsAndWithoutAHandlerTheFirstFrameStops) {
  screens.clear();
  animator.start();
  dispatch.runFor(0.5);
  EXPECT_FALSE(animator.isRunning());
  EXPECT_EQ(links.linksCreated(), 0u);
  EXPECT_TRUE(ticks.empty());

  screens.resize(1);
  animator.setOnTick(nullptr);
  animator.start();
  dispatch.runFor(0.1);
  EXPECT_FALSE(animator.isRunning());
  EXPECT_EQ(links.framesDelivered(), 1u);
}

// A link whose frames arrive at the times a test chooses, running or not, as
// a frame already on its way may still arrive after a stop.
struct ManualLinks final : DisplayLinkFactory {
  struct Link final : DisplayLink {
    FrameHandler onFrame;
    bool running = false;
    void start() override { running = true; }
    void stop() override { running = false; }
    bool isRunning() const override { return running; }
  };
  DisplayLinkRef makeDisplayLink(const ScreenInfo&, FrameHandler onFrame) override {
    last = std::make_shared<Link>();
    last->onFrame = std::move(onFrame);
    return last;
  }
  std::shared_ptr<Link> last;
};

TEST(AnimatorFrames, ClampsLateAndEarlyFramesAndIgnoresFramesAfterStopping) {
  sim::VirtualDispatch clock;
  ManualLinks links;
  auto animator =
      std::make_unique<Animator>(links, clock, [] { return std::vector<ScreenInfo>(1); });
  std::vector<double> ticks;
  animator->setOnTick([&](double dt) {
    ticks.push_back(dt);
    return ticks.size() < 4;
  });
  clock.runFor(10);  // the link's clock starts at the media time of start()
  animator->start();
  // 0.3 s late: a stalled frame moves springs 0.05 s; 1 ms later: at least
  // 1/240 s; then a normal frame and a clock that went backwards.
  for (double time : {10.3, 10.301, 10.311, 10.2, 10.4}) links.last->onFrame(time);
  EXPECT_THAT(ticks, ElementsAre(DoubleEq(0.05), DoubleEq(1.0 / 240), DoubleNear(0.010, 1e-9),
                                 DoubleEq(1.0 / 240)));
  EXPECT_FALSE(links.last->running);
  EXPECT_FALSE(animator->isRunning());

  animator->start();
  ASSERT_TRUE(links.last->running);
  animator.reset();  // destroying the animator stops its link
  EXPECT_FALSE(links.last->running);
}

}  // namespace
}  // namespace vistarail
