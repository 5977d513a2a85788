// ThreadedDispatch on real threads. These tests wait for real time, briefly and
// always with a bound; they exist so the data-race build can watch the queues.

#include "platform/sim/threaded_dispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

namespace vistarail::sim {
namespace {

constexpr double kTimeoutSeconds = 2.0;

TEST(ThreadedDispatch, SerialQueueRunsItsTasksOneAtATimeInOrder) {
  ThreadedDispatch dispatch;
  auto queue = dispatch.makeSerialQueue("app.vistarail.ax.1");
  std::vector<int> order;  // touched only by the queue, read after the hand-off
  std::atomic<int> running{0};
  std::atomic<bool> overlapped{false};
  bool done = false;
  for (int i = 0; i < 500; ++i) {
    queue->async([&, i] {
      if (running.fetch_add(1) != 0) overlapped = true;
      order.push_back(i);
      running.fetch_sub(1);
    });
  }
  queue->async([&] { dispatch.main()->async([&] { done = true; }); });
  ASSERT_TRUE(dispatch.runMainUntil([&] { return done; }, kTimeoutSeconds));
  EXPECT_FALSE(overlapped);
  ASSERT_EQ(order.size(), 500u);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(order[i], i);
}

// An owner released on its own queue (a mover whose last reference is dropped
// by a block it submitted) must not leave the worker reading a freed queue.
TEST(ThreadedDispatch, QueueReleasedByItsOwnTaskShutsDownCleanly) {
  ThreadedDispatch dispatch;
  std::atomic<bool> released{false};
  {
    auto holder = std::make_shared<QueueRef>(dispatch.makeSerialQueue("self-release"));
    QueueRef& queue = *holder;
    queue->async([holder, &released]() mutable {
      holder->reset();  // the last reference goes away on the queue's own thread
      released = true;
    });
  }
  EXPECT_TRUE(dispatch.runMainUntil([&] { return released.load(); }, kTimeoutSeconds));
  // Give the detached worker a moment to leave its loop while the dispatch lives.
  dispatch.runMainFor(0.05);
}

TEST(ThreadedDispatch, MainQueueWorkRunsOnThePumpingThread) {
  ThreadedDispatch dispatch;
  auto queue = dispatch.makeSerialQueue("worker");
  std::atomic<int> onMainFromWorker{-1};
  int onMainFromMain = -1;
  queue->async([&] {
    onMainFromWorker = dispatch.onMainQueue() ? 1 : 0;
    dispatch.main()->async([&] { onMainFromMain = dispatch.onMainQueue() ? 1 : 0; });
  });
  ASSERT_TRUE(dispatch.runMainUntil([&] { return onMainFromMain != -1; }, kTimeoutSeconds));
  EXPECT_EQ(onMainFromWorker, 0);
  EXPECT_EQ(onMainFromMain, 1);
}

TEST(ThreadedDispatch, DelayedWorkRunsByDueTimeAndNotBefore) {
  ThreadedDispatch dispatch;
  auto queue = dispatch.makeSerialQueue("delays");
  std::mutex mutex;
  std::vector<std::pair<int, double>> ran;  // id, seconds after start
  const double start = dispatch.mediaTime();
  auto record = [&](int id) {
    std::lock_guard lock(mutex);
    ran.emplace_back(id, dispatch.mediaTime() - start);
  };
  queue->asyncAfter(0.06, [&] { record(3); });
  queue->asyncAfter(0.02, [&] { record(1); });
  queue->asyncAfter(0.04, [&] { record(2); });
  queue->async([&] { record(0); });
  ASSERT_TRUE(dispatch.runMainUntil(
      [&] {
        std::lock_guard lock(mutex);
        return ran.size() == 4;
      },
      kTimeoutSeconds));
  std::lock_guard lock(mutex);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ran[i].first, i);
  EXPECT_GE(ran[1].second, 0.02);
  EXPECT_GE(ran[3].second, 0.06);
}

TEST(ThreadedDispatch, CancelledWorkNeverRuns) {
  ThreadedDispatch dispatch;
  auto queue = dispatch.makeSerialQueue("cancel");
  std::atomic<bool> cancelledRan{false};
  std::atomic<bool> keptRan{false};
  bool sentinel = false;
  WorkItemRef cancelled = queue->asyncAfterCancellable(0.02, [&] { cancelledRan = true; });
  WorkItemRef kept = queue->asyncAfterCancellable(0.02, [&] { keptRan = true; });
  cancelled->cancel();
  EXPECT_TRUE(cancelled->isCancelled());
  EXPECT_FALSE(kept->isCancelled());
  queue->asyncAfter(0.05, [&] { dispatch.main()->async([&] { sentinel = true; }); });
  ASSERT_TRUE(dispatch.runMainUntil([&] { return sentinel; }, kTimeoutSeconds));
  EXPECT_FALSE(cancelledRan);
  EXPECT_TRUE(keptRan);
}

TEST(ThreadedDispatch, RepeatingTimerFiresUntilInvalidatedOrDropped) {
  ThreadedDispatch dispatch;
  int fired = 0;
  RepeatingTimerRef timer;
  timer = dispatch.scheduleRepeating(dispatch.main(), 0.01, [&] {
    if (++fired == 3) timer->invalidate();
  });
  ASSERT_TRUE(dispatch.runMainUntil([&] { return fired == 3; }, kTimeoutSeconds));
  EXPECT_FALSE(timer->isValid());
  dispatch.runMainFor(0.05);
  EXPECT_EQ(fired, 3) << "no firing after invalidation";

  auto worker = dispatch.makeSerialQueue("timer");
  std::atomic<int> droppedFired{0};
  auto dropped = dispatch.scheduleRepeating(worker, 0.01, [&] { ++droppedFired; });
  ASSERT_TRUE(dispatch.runMainUntil([&] { return droppedFired >= 1; }, kTimeoutSeconds));
  dropped.reset();
  dispatch.runMainFor(0.03);  // a firing already handed to the queue may still land
  const int afterDrop = droppedFired;
  dispatch.runMainFor(0.05);
  EXPECT_EQ(droppedFired, afterDrop) << "dropping every handle stops the timer";

  EXPECT_FALSE(dispatch.scheduleRepeating(worker, 0, [] {})->isValid())
      << "a zero interval never runs";
}

TEST(ThreadedDispatch, GroupNotifiesOnMainAfterWorkOnManyQueues) {
  ThreadedDispatch dispatch;
  auto group = DispatchGroup::make();
  std::vector<QueueRef> queues;
  std::atomic<int> finished{0};
  int finishedWhenNotified = -1;
  for (int i = 0; i < 4; ++i) {
    queues.push_back(dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(100 + i)));
    for (int j = 0; j < 5; ++j) {
      group->enter();
      queues.back()->asyncAfter(0.002 * j, [&] {
        ++finished;
        group->leave();
      });
    }
  }
  bool notified = false;
  group->notify(dispatch.main(), [&] {
    finishedWhenNotified = finished;
    notified = true;
  });
  ASSERT_TRUE(dispatch.runMainUntil([&] { return notified; }, kTimeoutSeconds));
  EXPECT_EQ(finishedWhenNotified, 20);
}

TEST(ThreadedDispatch, RunMainUntilGivesUpAtItsTimeout) {
  ThreadedDispatch dispatch;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(dispatch.runMainUntil([] { return false; }, 0.03));
  const double waited =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, 0.03);
  EXPECT_LT(waited, 1.0);
  EXPECT_TRUE(dispatch.runMainUntil([] { return true; }, 0));
}

TEST(ThreadedDispatch, SleepBlocksOnlyTheCallingQueue) {
  ThreadedDispatch dispatch;
  auto slow = dispatch.makeSerialQueue("slow");
  auto fast = dispatch.makeSerialQueue("fast");
  std::atomic<bool> slowDone{false};
  std::atomic<bool> fastDoneFirst{false};
  slow->async([&] {
    dispatch.sleep(0.05);
    slowDone = true;
  });
  fast->async([&] { fastDoneFirst = !slowDone; });
  ASSERT_TRUE(dispatch.runMainUntil([&] { return slowDone.load(); }, kTimeoutSeconds));
  EXPECT_TRUE(fastDoneFirst);
}

}  // namespace
}  // namespace vistarail::sim
