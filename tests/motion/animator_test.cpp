#include "motion/animator.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/sim_display_link.h"
#include "platform/sim/virtual_dispatch.h"

namespace vistarail {
namespace {

std::vector<ScreenInfo> oneScreen() {
  ScreenInfo screen;
  screen.screenNumber = 1;
  screen.frame = Rect(0, 0, 1440, 900);
  return {screen};
}

// Frames at the times a test chooses, to see what the animator makes of late
// and early frames.
class ManualLinks final : public DisplayLinkFactory {
 public:
  struct Link final : DisplayLink {
    FrameHandler onFrame;
    bool running = false;
    void start() override { running = true; }
    void stop() override { running = false; }
    bool isRunning() const override { return running; }
  };

  DisplayLinkRef makeDisplayLink(const ScreenInfo&, FrameHandler onFrame) override {
    auto link = std::make_shared<Link>();
    link->onFrame = std::move(onFrame);
    last = link;
    ++made;
    return link;
  }
  void fire(double mediaTime) {
    auto link = last.lock();
    if (link && link->running) link->onFrame(mediaTime);
  }

  std::weak_ptr<Link> last;
  int made = 0;
};

struct AnimatorWithSimLink : ::testing::Test {
  sim::VirtualDispatch dispatch;
  sim::SimDisplayLinkFactory links{dispatch};
  std::vector<ScreenInfo> screens = oneScreen();
  Animator animator{links, dispatch, [this] { return screens; }};
  std::vector<double> ticks;
};

TEST_F(AnimatorWithSimLink, TicksEveryFrameUntilNothingMoves) {
  int remaining = 5;
  animator.setOnTick([&](double dt) {
    ticks.push_back(dt);
    return --remaining > 0;
  });
  animator.start();
  EXPECT_TRUE(animator.isRunning());
  dispatch.runFor(1.0);
  ASSERT_EQ(ticks.size(), 5u);
  for (double dt : ticks) EXPECT_NEAR(dt, 1.0 / 120, 1e-9);
  EXPECT_FALSE(animator.isRunning());
  EXPECT_EQ(links.runningLinkCount(), 0u);
  EXPECT_EQ(links.framesDelivered(), 5u);
}

TEST_F(AnimatorWithSimLink, StartingTwiceMakesOneLinkAndKeepsTheClock) {
  animator.setOnTick([&](double dt) {
    ticks.push_back(dt);
    return true;
  });
  animator.start();
  dispatch.runFor(0.5 / 120);
  animator.start();  // half a frame in: must not reset the frame clock
  dispatch.runFor(0.6 / 120);
  EXPECT_EQ(links.linksCreated(), 1u);
  ASSERT_EQ(ticks.size(), 1u);
  EXPECT_NEAR(ticks[0], 1.0 / 120, 1e-9);
  animator.stop();
  dispatch.runFor(0.1);
  EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(AnimatorWithSimLink, WithoutScreensNothingStarts) {
  screens.clear();
  animator.setOnTick([&](double dt) {
    ticks.push_back(dt);
    return true;
  });
  animator.start();
  dispatch.runFor(0.5);
  EXPECT_FALSE(animator.isRunning());
  EXPECT_EQ(links.linksCreated(), 0u);
  EXPECT_TRUE(ticks.empty());
}

TEST_F(AnimatorWithSimLink, WithoutATickHandlerTheFirstFrameStopsTheLink) {
  animator.start();
  dispatch.runFor(0.1);
  EXPECT_FALSE(animator.isRunning());
  EXPECT_EQ(links.framesDelivered(), 1u);
}

TEST_F(AnimatorWithSimLink, RestartsWithAFreshLinkAfterStopping) {
  int calls = 0;
  animator.setOnTick([&](double) { return ++calls < 2; });
  animator.start();
  dispatch.runFor(0.1);
  EXPECT_EQ(calls, 2);
  animator.start();
  dispatch.runFor(0.1);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(links.linksCreated(), 2u);
}

struct AnimatorWithManualFrames : ::testing::Test {
  sim::VirtualDispatch clock;
  ManualLinks links;
  Animator animator{links, clock, [] { return oneScreen(); }};
  std::vector<double> ticks;

  void SetUp() override {
    animator.setOnTick([this](double dt) {
      ticks.push_back(dt);
      return true;
    });
  }
};

TEST_F(AnimatorWithManualFrames, ClampsLateAndEarlyFrames) {
  clock.runFor(10);  // the link's clock starts at the media time of start()
  animator.start();
  links.fire(10.3);    // 0.3 s late: a stalled frame moves springs 0.05 s
  links.fire(10.301);  // 1 ms later: at least 1/240 s
  links.fire(10.311);  // normal
  links.fire(10.2);    // a clock that went backwards
  ASSERT_EQ(ticks.size(), 4u);
  EXPECT_DOUBLE_EQ(ticks[0], 0.05);
  EXPECT_DOUBLE_EQ(ticks[1], 1.0 / 240);
  EXPECT_NEAR(ticks[2], 0.010, 1e-9);
  EXPECT_DOUBLE_EQ(ticks[3], 1.0 / 240);
}

TEST_F(AnimatorWithManualFrames, StopsTheLinkWhenTheTickSaysRest) {
  animator.setOnTick([this](double dt) {
    ticks.push_back(dt);
    return false;
  });
  animator.start();
  auto link = links.last.lock();
  ASSERT_TRUE(link);
  links.fire(0.01);
  EXPECT_FALSE(link->running);
  EXPECT_FALSE(animator.isRunning());
  links.fire(0.02);  // a frame of a stopped link is never delivered
  EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(AnimatorWithManualFrames, DestroyingTheAnimatorStopsItsLink) {
  auto animatorOnHeap = std::make_unique<Animator>(links, clock, [] { return oneScreen(); });
  animatorOnHeap->start();
  auto link = links.last.lock();
  ASSERT_TRUE(link && link->running);
  animatorOnHeap.reset();
  EXPECT_FALSE(link->running);
}

}  // namespace
}  // namespace vistarail
