// Virtual-time dispatch and the display links that tick on it.

#include "platform/sim/dispatch/virtual_dispatch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/adapters/sim_display_link.h"

namespace vistarail::sim {
namespace {

using Strings = std::vector<std::string>;

// A dispatch and a log of "<what>@<virtual time>" entries.
struct VirtualDispatchTest : ::testing::Test {
  Task add(std::string what) {
    return [this, what] { log.push_back(what + "@" + std::to_string(d.mediaTime()).substr(0, 5)); };
  }
  VirtualDispatch d;
  Strings log;
};

TEST_F(VirtualDispatchTest, RunsTasksInTimeThenSubmissionOrder) {
  auto q = d.makeSerialQueue("app.vistarail.ax.42");
  d.main()->asyncAfter(0.2, add("late"));
  d.main()->async(add("first"));
  q->async(add("second"));
  d.main()->asyncAfter(0.1, add("early"));
  EXPECT_EQ(d.pendingCount(), 4u);
  EXPECT_TRUE(d.runFor(0.15));
  EXPECT_EQ(log, (Strings{"first@0.000", "second@0.000", "early@0.100"}));
  EXPECT_DOUBLE_EQ(d.now(), 0.15);
  EXPECT_TRUE(d.runUntilIdle());
  EXPECT_EQ(log.back(), "late@0.200");
}

TEST_F(VirtualDispatchTest, TimeSpentOnAQueueDelaysOnlyThatQueueAndItsReplies) {
  auto slow = d.makeSerialQueue("slow"), fast = d.makeSerialQueue("fast");
  slow->async([&] {
    d.sleep(1.0);  // a hung application's call timing out
    d.main()->async(add("slow reply"));
  });
  slow->async(add("slow next"));
  fast->asyncAfter(0.1, [&] { d.main()->async(add("fast reply")); });
  d.runUntilIdle();
  // At 1.0 both are ready; the one that has waited since 0 goes first.
  EXPECT_EQ(log, (Strings{"fast reply@0.100", "slow next@1.000", "slow reply@1.000"}));
}

TEST_F(VirtualDispatchTest, DeferredTasksKeepTheOrderTheyBecameDue) {
  auto q = d.makeSerialQueue("q");
  q->async([&] { d.sleep(2.0); });
  q->asyncAfter(0.5, add("due 0.5"));
  d.main()->asyncAfter(0.3, [&] { q->async(add("due 0.3")); });
  d.runUntilIdle();
  EXPECT_EQ(log, (Strings{"due 0.3@2.000", "due 0.5@2.000"}));
}

TEST_F(VirtualDispatchTest, TheWorldIsNeverBusyEvenAfterASleepRanItsEventsAhead) {
  auto world = d.makeWorldQueue("world"), hung = d.makeSerialQueue("hung"),
       app = d.makeSerialQueue("app");
  world->asyncAfter(0.9, add("world 0.9"));
  hung->async([&] { d.sleep(1.0); });  // runs the world's events up to 1.0 meanwhile
  // A write landing at the end of a call made after that: due at 0.2.
  app->asyncAfter(0.2, [&] { world->async(add("landed")); });
  d.runUntilIdle();
  EXPECT_EQ(log, (Strings{"world 0.9@0.900", "landed@0.200"}));
}

TEST_F(VirtualDispatchTest, CancelledWorkNeverRuns) {
  auto item = d.main()->asyncAfterCancellable(0.5, add("cancelled"));
  auto kept = d.main()->asyncAfterCancellable(0.5, add("kept"));
  d.runFor(0.4);
  item->cancel();
  EXPECT_TRUE(item->isCancelled());
  EXPECT_FALSE(kept->isCancelled());
  d.runUntilIdle();
  EXPECT_EQ(log, Strings{"kept@0.500"});
}

TEST_F(VirtualDispatchTest, RepeatingTimerKeepsItsPeriodAndStopsWhenInvalidatedOrDropped) {
  auto timer = d.scheduleRepeating(d.main(), 0.25, add("kept"));
  d.runFor(1.0);
  timer->invalidate();
  auto dropped = d.scheduleRepeating(d.main(), 0.1, add("dropped"));
  d.runFor(0.35);
  dropped.reset();
  d.runFor(1.0);
  EXPECT_EQ(log, (Strings{"kept@0.250", "kept@0.500", "kept@0.750", "kept@1.000", "dropped@1.100",
                          "dropped@1.200", "dropped@1.300"}));
  EXPECT_TRUE(d.runUntilIdle());
}

TEST_F(VirtualDispatchTest, RunawayLoopIsStoppedByTheStepLimit) {
  std::function<void()> again = [&] { d.main()->async(again); };
  d.main()->async(again);
  EXPECT_FALSE(d.runUntilIdle(1000));
}

TEST(VirtualDispatch, ClocksAndMainQueueIdentity) {
  VirtualDispatch d(1000.0);
  bool mainSeen = false, otherSeen = true;
  d.main()->asyncAfter(2.0, [&] { mainSeen = d.onMainQueue(); });
  d.makeSerialQueue("x")->async([&] { otherSeen = d.onMainQueue(); });
  d.runUntilIdle();
  EXPECT_TRUE(mainSeen);
  EXPECT_FALSE(otherSeen);
  EXPECT_DOUBLE_EQ(d.wallTime(), 1002.0);
  EXPECT_DOUBLE_EQ(d.mediaTime(), 2.0);
}

struct SimDisplayLinkTest : ::testing::Test {
  // A link whose frames land in `frames` as "<media time> <queue>".
  DisplayLinkRef make() {
    return links.makeDisplayLink(screen, [this](double now) {
      frames.push_back(std::to_string(now) + " " + dispatch.currentQueueLabel());
    });
  }
  VirtualDispatch dispatch;
  SimDisplayLinkFactory links{dispatch};
  ScreenInfo screen;
  Strings frames;
};

TEST_F(SimDisplayLinkTest, TicksAt120HzOnTheMainQueueInVirtualTimeWhileStarted) {
  auto link = make();
  EXPECT_FALSE(link->isRunning());
  dispatch.runFor(0.1);
  EXPECT_TRUE(frames.empty());  // nothing before start

  link->start();
  link->start();  // starting a running link does not double its frames
  EXPECT_TRUE(link->isRunning());
  EXPECT_EQ(links.runningLinkCount(), 1u);
  dispatch.runFor(0.054);
  EXPECT_EQ(frames, (Strings{"0.108333 main", "0.116667 main", "0.125000 main", "0.133333 main",
                             "0.141667 main", "0.150000 main"}));
  link->stop();
  EXPECT_EQ(links.runningLinkCount(), 0u);
  dispatch.runFor(0.2);
  EXPECT_EQ(frames.size(), 6u) << "stopped links deliver nothing more";
  link->start();
  dispatch.runFor(1.5 / 120);
  EXPECT_EQ(frames.back(), "0.362333 main") << "and can start again";
}

TEST_F(SimDisplayLinkTest, RefreshRateIsConfigurableAndBounded) {
  links.setRefreshRateHz(60);
  auto link = make();
  link->start();
  dispatch.runFor(0.508);
  EXPECT_EQ(frames.size(), 30u);

  links.setRefreshRateHz(0);
  EXPECT_EQ(links.refreshRateHz(), SimDisplayLinkFactory::kMinRefreshRateHz);
  links.setRefreshRateHz(1e9);
  EXPECT_EQ(links.refreshRateHz(), SimDisplayLinkFactory::kMaxRefreshRateHz);
}

TEST_F(SimDisplayLinkTest, AFrameMayStopOrDropItsOwnLink) {
  DisplayLinkRef link;
  int frames = 0;
  link = links.makeDisplayLink(screen, [&](double) {
    if (++frames == 2) link.reset();  // the last handle goes inside a frame
  });
  link->start();
  dispatch.runFor(1.0);
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(links.linksCreated(), 1u);
  EXPECT_EQ(links.runningLinkCount(), 0u);
  EXPECT_TRUE(dispatch.runUntilIdle());  // no timer left behind
}

}  // namespace
}  // namespace vistarail::sim
