// Slow and hung applications in virtual time: the time a call spends on an
// application's queue pushes that queue's later work and its replies, and
// nothing else.

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "platform/sim/world_fixture.h"

namespace vistarail::sim::test {
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
  // Reads the window's position on the queue; the answer reaches the main
  // queue as "<tag> <error>@<seconds since start>" in `replies`.
  void readOn(const QueueRef& queue, WindowKey window, const std::string& tag) {
    queue->async([this, window, tag] {
      const AXError error = ax.copyAttributeValue(win(window), ax::kPosition).error;
      dispatch.main()->async([this, tag, error] {
        char time[16];
        std::snprintf(time, sizeof time, "@%.3f", dispatch.mediaTime() - start);
        replies.push_back(tag + " " + toString(error) + time);
      });
    });
  }
  Strings takeReplies() {
    dispatch.runUntilIdle();
    return std::exchange(replies, {});
  }

  Pid slow = 0, fast = 0;
  WindowKey slowWindow = 0, fastWindow = 0;
  QueueRef slowQueue, fastQueue;
  double start = 0;
  Strings replies;
};

TEST_F(TimingTest, LatencyDelaysOnlyTheSlowApplicationsQueueAndReplies) {
  world.setBehaviour(slow, {.latencySeconds = 0.05});
  readOn(slowQueue, slowWindow, "slow 1");
  readOn(slowQueue, slowWindow, "slow 2");
  readOn(fastQueue, fastWindow, "fast");
  double secondStart = -1;
  slowQueue->async([&] { secondStart = dispatch.mediaTime(); });
  EXPECT_EQ(takeReplies(),
            (Strings{"fast success@0.000", "slow 1 success@0.050", "slow 2 success@0.100"}));
  EXPECT_DOUBLE_EQ(secondStart, 0.10);
}

TEST_F(TimingTest, AHungApplicationTimesOutAfterTheMessagingTimeout) {
  world.setBehaviour(slow, {.hung = true});
  readOn(slowQueue, slowWindow, "default");
  readOn(fastQueue, fastWindow, "fast");
  EXPECT_EQ(takeReplies(), (Strings{"fast success@0.000", "default cannotComplete@6.000"}));

  // The system-wide time-out bounds every application; an application's own
  // one wins over it. Each call reads the time-out when it starts.
  start = dispatch.now();
  EXPECT_EQ(ax.setMessagingTimeout(ax.systemWideElement(), -1), AXError::illegalArgument);
  EXPECT_EQ(ax.setMessagingTimeout(ax.systemWideElement(), 1.0), AXError::success);
  readOn(slowQueue, slowWindow, "first");
  ax.setMessagingTimeout(app(slow), 0.25);
  readOn(slowQueue, slowWindow, "second");
  EXPECT_EQ(takeReplies(), (Strings{"first cannotComplete@0.250", "second cannotComplete@0.500"}));
  ax.setMessagingTimeout(app(slow), 0);  // back to the system-wide one
  start = dispatch.now();
  readOn(slowQueue, slowWindow, "after reset");
  EXPECT_EQ(takeReplies(), Strings{"after reset cannotComplete@1.000"});
  // Writes time out the same way and change nothing.
  slowQueue->async([&] {
    EXPECT_EQ(ax.setAttributeValue(win(slowWindow), ax::kPosition, Point{1, 1}),
              AXError::cannotComplete);
  });
  dispatch.runUntilIdle();
  EXPECT_EQ(frame(slowWindow).origin, (Point{100, 100}));
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
  EXPECT_EQ(world.calls(slow),
            (std::vector<AXCall>{{0.5, 0.52, slow, slowWindow, AXCallKind::setAttribute, ax::kSize,
                                  Size{300, 200}, AXError::success},
                                 {0.52, 0.54, slow, slowWindow, AXCallKind::setAttribute,
                                  ax::kPosition, Point{10, 20}, AXError::success}}));
  EXPECT_EQ(world.calls().size(), 3u);
  EXPECT_EQ(world.calls(fast)[0].value, AXValue(Point{100, 100}));
}

TEST_F(TimingTest, ScriptedEventsTakeEffectWhileASlowCallIsUnderWay) {
  // Three position writes of 20 ms each, from t = 0; the event lands at the
  // given time. A call that ends after its window closed or its application
  // quit fails as on the system, and is recorded with its window.
  struct Case {
    double atSeconds;
    bool quit;  // else the window closes
    std::vector<AXError> results;
  };
  const AXError invalid = AXError::invalidUIElement, gone = AXError::cannotComplete;
  const Case cases[] = {
      {0.01, false, {invalid, invalid, invalid}},
      {0.03, false, {AXError::success, invalid, invalid}},
      {0.03, true, {AXError::success, gone, gone}},
  };
  for (const Case& c : cases) {
    const Pid pid = launch("Writer");
    const WindowKey window = open(pid, "W");
    world.setBehaviour(pid, {.latencySeconds = 0.02});
    world.clearCalls();
    const QueueRef queue = dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(pid));
    world.schedule(c.atSeconds, [&] { c.quit ? world.quitApp(pid) : world.closeWindow(window); });
    const AXElement element = win(window);
    std::vector<AXError> results;
    queue->async([&] {
      for (double x : {10.0, 20.0, 30.0}) {
        results.push_back(ax.setAttributeValue(element, ax::kPosition, Point{x, 100}));
      }
    });
    dispatch.runUntilIdle();
    EXPECT_EQ(results, c.results) << c.atSeconds;
    ASSERT_EQ(world.calls(pid).size(), 3u);
    for (const AXCall& call : world.calls(pid)) EXPECT_EQ(call.window, window) << c.atSeconds;
  }
}

TEST_F(TimingTest, AHungApplicationLeavesItsWindowsButtonsUnanswered) {
  // Closing, minimising and full screen are the application's own work when
  // a button is clicked: nothing happens while it does not answer, and the
  // same click works once it does.
  struct Click {
    const char* name;
    std::function<bool()> click;
    std::function<bool()> done;
  };
  const std::vector<Click> clicks = {
      {"close", [&] { return world.closeWindow(slowWindow); },
       [&] { return !world.window(slowWindow).has_value(); }},
      {"minimize", [&] { return world.minimizeWindow(slowWindow); },
       [&] { return world.window(slowWindow)->minimized; }},
      {"enter full screen", [&] { return world.enterFullScreen(slowWindow); },
       [&] { return world.window(slowWindow)->fullScreen; }},
  };
  for (const Click& c : clicks) {
    SCOPED_TRACE(c.name);
    slowWindow = open(slow, "S");
    world.setBehaviour(slow, {.hung = true});
    EXPECT_FALSE(c.click());
    EXPECT_FALSE(c.done());
    world.setBehaviour(slow, {});
    EXPECT_TRUE(c.click());
    EXPECT_TRUE(c.done());
  }
  // Leaving full screen as well.
  world.setBehaviour(slow, {.hung = true});
  EXPECT_FALSE(world.exitFullScreen(slowWindow));
  EXPECT_TRUE(world.window(slowWindow)->fullScreen);
  world.setBehaviour(slow, {});
  EXPECT_TRUE(world.exitFullScreen(slowWindow));
  EXPECT_FALSE(world.window(slowWindow)->fullScreen);
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
}  // namespace vistarail::sim::test
