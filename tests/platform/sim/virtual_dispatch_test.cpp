#include "platform/sim/virtual_dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vistarail::sim {
namespace {

struct Log {
  std::vector<std::string> entries;
  void add(VirtualDispatch& d, const std::string& what) {
    entries.push_back(what + "@" + std::to_string(d.mediaTime()).substr(0, 5));
  }
};

TEST(VirtualDispatch, RunsTasksInTimeThenSubmissionOrder) {
  VirtualDispatch d;
  Log log;
  auto q = d.makeSerialQueue("app.vistarail.ax.42");
  d.main()->asyncAfter(0.2, [&] { log.add(d, "late"); });
  d.main()->async([&] { log.add(d, "first"); });
  q->async([&] { log.add(d, "second"); });
  d.main()->asyncAfter(0.1, [&] { log.add(d, "early"); });
  EXPECT_EQ(d.pendingCount(), 4u);
  EXPECT_TRUE(d.runFor(0.15));
  EXPECT_EQ(log.entries, (std::vector<std::string>{"first@0.000", "second@0.000", "early@0.100"}));
  EXPECT_DOUBLE_EQ(d.now(), 0.15);
  EXPECT_TRUE(d.runUntilIdle());
  EXPECT_EQ(log.entries.back(), "late@0.200");
}

TEST(VirtualDispatch, TimeSpentOnAQueueDelaysOnlyThatQueueAndItsReplies) {
  VirtualDispatch d;
  Log log;
  auto slow = d.makeSerialQueue("slow");
  auto fast = d.makeSerialQueue("fast");
  slow->async([&] {
    d.sleep(1.0);  // a hung application's call timing out
    d.main()->async([&] { log.add(d, "slow reply"); });
  });
  slow->async([&] { log.add(d, "slow next"); });
  fast->asyncAfter(0.1, [&] { d.main()->async([&] { log.add(d, "fast reply"); }); });
  d.runUntilIdle();
  // At 1.0 both are ready; the one that has waited since 0 goes first.
  EXPECT_EQ(log.entries,
            (std::vector<std::string>{"fast reply@0.100", "slow next@1.000", "slow reply@1.000"}));
}

TEST(VirtualDispatch, DeferredTasksKeepTheOrderTheyBecameDue) {
  VirtualDispatch d;
  Log log;
  auto q = d.makeSerialQueue("q");
  q->async([&] { d.sleep(2.0); });
  q->asyncAfter(0.5, [&] { log.add(d, "due 0.5"); });
  d.main()->asyncAfter(0.3, [&] { q->async([&] { log.add(d, "due 0.3"); }); });
  d.runUntilIdle();
  EXPECT_EQ(log.entries, (std::vector<std::string>{"due 0.3@2.000", "due 0.5@2.000"}));
}

TEST(VirtualDispatch, CancelledWorkNeverRuns) {
  VirtualDispatch d;
  int runs = 0;
  auto item = d.main()->asyncAfterCancellable(0.5, [&] { ++runs; });
  auto kept = d.main()->asyncAfterCancellable(0.5, [&] { runs += 10; });
  d.runFor(0.4);
  item->cancel();
  EXPECT_TRUE(item->isCancelled());
  d.runUntilIdle();
  EXPECT_EQ(runs, 10);
  EXPECT_FALSE(kept->isCancelled());
}

TEST(VirtualDispatch, RepeatingTimerKeepsItsPeriodAndStopsWhenInvalidatedOrDropped) {
  VirtualDispatch d;
  std::vector<double> fired;
  auto timer = d.scheduleRepeating(d.main(), 0.25, [&] { fired.push_back(d.mediaTime()); });
  d.runFor(1.0);
  EXPECT_EQ(fired, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  timer->invalidate();
  d.runFor(1.0);
  EXPECT_EQ(fired.size(), 4u);

  int other = 0;
  auto dropped = d.scheduleRepeating(d.main(), 0.1, [&] { ++other; });
  d.runFor(0.35);
  dropped.reset();
  d.runFor(1.0);
  EXPECT_EQ(other, 3);
  EXPECT_TRUE(d.runUntilIdle());
}

TEST(VirtualDispatch, RunawayLoopIsStoppedByTheStepLimit) {
  VirtualDispatch d;
  std::function<void()> again = [&] { d.main()->async(again); };
  d.main()->async(again);
  EXPECT_FALSE(d.runUntilIdle(1000));
}

TEST(VirtualDispatch, ClocksAndMainQueueIdentity) {
  VirtualDispatch d(1000.0);
  bool mainSeen = false;
  bool otherSeen = true;
  d.main()->asyncAfter(2.0, [&] { mainSeen = d.onMainQueue(); });
  d.makeSerialQueue("x")->async([&] { otherSeen = d.onMainQueue(); });
  d.runUntilIdle();
  EXPECT_TRUE(mainSeen);
  EXPECT_FALSE(otherSeen);
  EXPECT_DOUBLE_EQ(d.wallTime(), 1002.0);
  EXPECT_DOUBLE_EQ(d.mediaTime(), 2.0);
}

}  // namespace
}  // namespace vistarail::sim
