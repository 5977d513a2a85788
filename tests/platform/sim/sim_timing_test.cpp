// Slow and hung applications in virtual time: the time a call spends on an
// application's queue pushes that queue's later work and its replies, and
// nothing else.

#include <gtest/gtest.h>

#include <set>

#include "platform/ax_names.h"
#include "world_fixture.h"

namespace vistarail::sim::testing {
namespace {

class TimingTest : public WorldTest {
 protected:
  TimingTest() {
    slow = launch("Slow");
    fast = launch("Fast");
    slowWindow = open(slow, "S");
    fastWindow = open(fast, "F");
    slowQueue = dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(slow));
    fastQueue = dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(fast));
  }
  // Reads the window's position on the queue and records on the main queue
  // when the answer arrives.
  void readOn(const QueueRef& queue, WindowKey window, const std::string& tag) {
    queue->async([this, window, tag] {
      auto result = ax.copyAttributeValue(win(window), ax::kPosition);
      const AXError error = result.error;
      dispatch.main()->async([this, tag, error] {
        replies.push_back({tag, error, dispatch.mediaTime()});
      });
    });
  }

  struct Reply {
    std::string tag;
    AXError error;
    double time;
  };
  Pid slow = 0, fast = 0;
  WindowKey slowWindow = 0, fastWindow = 0;
  QueueRef slowQueue, fastQueue;
  std::vector<Reply> replies;
};

TEST_F(TimingTest, LatencyDelaysOnlyTheSlowApplicationsQueueAndReplies) {
  world.setBehaviour(slow, {.latencySeconds = 0.05});
  readOn(slowQueue, slowWindow, "slow 1");
  readOn(slowQueue, slowWindow, "slow 2");
  readOn(fastQueue, fastWindow, "fast");
  double secondStart = -1;
  slowQueue->async([&] { secondStart = dispatch.mediaTime(); });
  dispatch.runUntilIdle();
  ASSERT_EQ(replies.size(), 3u);
  EXPECT_EQ(replies[0].tag, "fast");
  EXPECT_DOUBLE_EQ(replies[0].time, 0.0);
  EXPECT_EQ(replies[1].tag, "slow 1");
  EXPECT_DOUBLE_EQ(replies[1].time, 0.05);
  EXPECT_EQ(replies[2].tag, "slow 2");
  EXPECT_DOUBLE_EQ(replies[2].time, 0.10);
  EXPECT_DOUBLE_EQ(secondStart, 0.10);
  EXPECT_EQ(replies[1].error, AXError::success);
}

TEST_F(TimingTest, AHungApplicationTimesOutAfterTheMessagingTimeout) {
  world.setBehaviour(slow, {.hung = true});
  readOn(slowQueue, slowWindow, "default");
  readOn(fastQueue, fastWindow, "fast");
  dispatch.runUntilIdle();
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[0].tag, "fast");
  EXPECT_EQ(replies[1].error, AXError::cannotComplete);
  EXPECT_DOUBLE_EQ(replies[1].time, SimAccessibility::kDefaultMessagingTimeoutSeconds);

  // The system-wide time-out bounds every application; an application's own
  // one wins over it.
  replies.clear();
  const double start = dispatch.now();
  ax.setMessagingTimeout(ax.systemWideElement(), 1.0);
  readOn(slowQueue, slowWindow, "first");
  ax.setMessagingTimeout(app(slow), 0.25);
  readOn(slowQueue, slowWindow, "second");
  dispatch.runUntilIdle();
  ASSERT_EQ(replies.size(), 2u);
  // Each call reads the time-out when it starts.
  EXPECT_DOUBLE_EQ(replies[0].time - start, 0.25);
  EXPECT_DOUBLE_EQ(replies[1].time - start, 0.5);
  ax.setMessagingTimeout(app(slow), 0);  // back to the system-wide one
  replies.clear();
  readOn(slowQueue, slowWindow, "after reset");
  const double again = dispatch.now();
  dispatch.runUntilIdle();
  EXPECT_DOUBLE_EQ(replies[0].time - again, 1.0);
  // Writes and registrations time out the same way and change nothing.
  slowQueue->async([&] {
    EXPECT_EQ(ax.setAttributeValue(win(slowWindow), ax::kPosition, Point{1, 1}),
              AXError::cannotComplete);
  });
  dispatch.runUntilIdle();
  EXPECT_EQ(world.window(slowWindow)->frame.origin, (Point{100, 100}));
}

TEST_F(TimingTest, CallsAreRecordedWithTheirVirtualTimes) {
  world.setBehaviour(slow, {.latencySeconds = 0.02});
  world.clearCalls();
  slowQueue->asyncAfter(0.5, [&] {
    ax.setAttributeValue(win(slowWindow), ax::kSize, Size{300, 200});
    ax.setAttributeValue(win(slowWindow), ax::kPosition, Point{10, 20});
  });
  readOn(fastQueue, fastWindow, "fast");
  dispatch.runUntilIdle();
  const auto calls = world.calls(slow);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].kind, AXCallKind::setAttribute);
  EXPECT_EQ(calls[0].name, ax::kSize);
  EXPECT_EQ(calls[0].value, AXValue(Size{300, 200}));
  EXPECT_EQ(calls[0].window, slowWindow);
  EXPECT_DOUBLE_EQ(calls[0].startSeconds, 0.5);
  EXPECT_DOUBLE_EQ(calls[0].endSeconds, 0.52);
  EXPECT_EQ(calls[1].name, ax::kPosition);
  EXPECT_DOUBLE_EQ(calls[1].startSeconds, 0.52);
  EXPECT_DOUBLE_EQ(calls[1].endSeconds, 0.54);
  EXPECT_EQ(calls[1].result, AXError::success);
  EXPECT_EQ(world.calls().size(), 3u);
  EXPECT_EQ(world.calls(fast)[0].value, AXValue(Point{100, 100}));
}

TEST_F(TimingTest, JitterIsDrawnFromTheSeedWithinItsRange) {
  world.setBehaviour(slow, {.latencySeconds = 0.01, .latencyJitterSeconds = 0.04});
  world.clearCalls();
  slowQueue->async([&] {
    for (int i = 0; i < 50; ++i) ax.copyAttributeValue(win(slowWindow), ax::kTitle);
  });
  dispatch.runUntilIdle();
  std::set<double> durations;
  for (const auto& call : world.calls(slow)) {
    const double d = call.endSeconds - call.startSeconds;
    EXPECT_GE(d, 0.01 - 1e-12);
    EXPECT_LT(d, 0.05);
    durations.insert(d);
  }
  EXPECT_GT(durations.size(), 40u);
}

}  // namespace
}  // namespace vistarail::sim::testing
