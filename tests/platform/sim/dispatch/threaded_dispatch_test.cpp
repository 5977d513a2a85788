// ThreadedDispatch on real threads, alone and driving a whole world. These
// tests wait for real time, briefly and always with a bound; they exist so the
// data-race build (`make test-tsan`) can watch the queues and the world.

#include "platform/sim/dispatch/threaded_dispatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ax_names.h"
#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/adapters/sim_window_server.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/world/world.h"

namespace vistarail::sim {
namespace {

struct ThreadedDispatchTest : ::testing::Test {
  // Pumps the main queue until the predicate holds; false after two seconds.
  bool until(const std::function<bool()>& predicate) {
    return dispatch.runMainUntil(predicate, 2.0);
  }
  ThreadedDispatch dispatch;
};

TEST_F(ThreadedDispatchTest, SerialQueueRunsItsTasksOneAtATimeInOrderThenMainWorkOnMain) {
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
  // Main-queue work runs on the thread that pumps it, and only there.
  std::atomic<bool> workerOnMain{true};
  queue->async([&] {
    workerOnMain = dispatch.onMainQueue();
    dispatch.main()->async([&] { done = dispatch.onMainQueue(); });
  });
  ASSERT_TRUE(until([&] { return done; }));
  EXPECT_FALSE(workerOnMain);
  EXPECT_FALSE(overlapped);
  ASSERT_EQ(order.size(), 500u);
  for (int i = 0; i < 500; ++i) ASSERT_EQ(order[i], i);
}

// An owner released on its own queue (a mover whose last reference is dropped
// by a block it submitted) must not leave the worker reading a freed queue.
TEST_F(ThreadedDispatchTest, QueueReleasedByItsOwnTaskShutsDownCleanly) {
  std::atomic<bool> released{false};
  {
    auto holder = std::make_shared<QueueRef>(dispatch.makeSerialQueue("self-release"));
    QueueRef& queue = *holder;
    queue->async([holder, &released]() mutable {
      holder->reset();  // the last reference goes away on the queue's own thread
      released = true;
    });
  }
  EXPECT_TRUE(until([&] { return released.load(); }));
  // Give the detached worker a moment to leave its loop while the dispatch lives.
  dispatch.runMainFor(0.05);
}

TEST(ThreadedDispatchIdle, AnIdleQueueStillRunsWorkAndAStoppedOneDropsIt) {
  QueueRef queue;
  auto owned = std::make_shared<int>(0);
  {
    ThreadedDispatch dispatch;
    queue = dispatch.makeSerialQueue("idle");
    dispatch.runMainFor(0.05);  // the worker waits with nothing to do
    std::atomic<bool> ran{false};
    queue->async([&] { ran = true; });
    EXPECT_TRUE(dispatch.runMainUntil([&] { return ran.load(); }, 2.0));
  }
  // The dispatch has stopped: work for a queue someone kept is dropped at
  // once, not held with what it owns.
  queue->async([owned] {});
  EXPECT_EQ(owned.use_count(), 1);
}

TEST_F(ThreadedDispatchTest, DelayedWorkRunsByDueTimeAndNotBeforeUnlessCancelled) {
  auto queue = dispatch.makeSerialQueue("delays");
  std::mutex mutex;
  std::vector<std::pair<int, double>> ran;  // id, seconds after start
  const double start = dispatch.mediaTime();
  auto record = [&](int id) {
    return [&, id] {
      std::lock_guard lock(mutex);
      ran.emplace_back(id, dispatch.mediaTime() - start);
    };
  };
  queue->asyncAfter(0.06, record(3));
  queue->asyncAfter(0.02, record(1));
  WorkItemRef cancelled = queue->asyncAfterCancellable(0.02, record(-1));
  WorkItemRef kept = queue->asyncAfterCancellable(0.04, record(2));
  queue->async(record(0));
  cancelled->cancel();
  EXPECT_TRUE(cancelled->isCancelled());
  EXPECT_FALSE(kept->isCancelled());
  queue->asyncAfter(0.08, record(4));
  ASSERT_TRUE(until([&] {
    std::lock_guard lock(mutex);
    return ran.size() == 5;
  }));
  std::lock_guard lock(mutex);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ran[i].first, i) << "the cancelled task never runs";
  EXPECT_GE(ran[1].second, 0.02);
  EXPECT_GE(ran[3].second, 0.06);
}

TEST_F(ThreadedDispatchTest, RepeatingTimerFiresUntilInvalidatedOrDropped) {
  int fired = 0;
  RepeatingTimerRef timer;
  timer = dispatch.scheduleRepeating(dispatch.main(), 0.01, [&] {
    if (++fired == 3) timer->invalidate();
  });
  ASSERT_TRUE(until([&] { return fired == 3; }));
  EXPECT_FALSE(timer->isValid());
  dispatch.runMainFor(0.05);
  EXPECT_EQ(fired, 3) << "no firing after invalidation";

  auto worker = dispatch.makeSerialQueue("timer");
  std::atomic<int> droppedFired{0};
  auto dropped = dispatch.scheduleRepeating(worker, 0.01, [&] { ++droppedFired; });
  ASSERT_TRUE(until([&] { return droppedFired >= 1; }));
  dropped.reset();
  dispatch.runMainFor(0.03);  // a firing already handed to the queue may still land
  const int afterDrop = droppedFired;
  dispatch.runMainFor(0.05);
  EXPECT_EQ(droppedFired, afterDrop) << "dropping every handle stops the timer";

  EXPECT_FALSE(dispatch.scheduleRepeating(worker, 0, [] {})->isValid())
      << "a zero interval never runs";
}

TEST_F(ThreadedDispatchTest, GroupNotifiesOnMainAfterWorkOnManyQueues) {
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
  group->notify(dispatch.main(), [&] { finishedWhenNotified = finished; });
  ASSERT_TRUE(until([&] { return finishedWhenNotified != -1; }));
  EXPECT_EQ(finishedWhenNotified, 20);
}

TEST_F(ThreadedDispatchTest, RunMainUntilGivesUpAtItsTimeout) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(dispatch.runMainUntil([] { return false; }, 0.03));
  const double waited =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, 0.03);
  EXPECT_LT(waited, 1.0);
  EXPECT_TRUE(dispatch.runMainUntil([] { return true; }, 0));
}

TEST_F(ThreadedDispatchTest, SleepBlocksOnlyTheCallingQueue) {
  auto slow = dispatch.makeSerialQueue("slow"), fast = dispatch.makeSerialQueue("fast");
  std::atomic<bool> slowDone{false}, fastDoneFirst{false};
  slow->async([&] {
    dispatch.sleep(0.05);
    slowDone = true;
  });
  fast->async([&] { fastDoneFirst = !slowDone; });
  ASSERT_TRUE(until([&] { return slowDone.load(); }));
  EXPECT_TRUE(fastDoneFirst);
}

// Application queues reading and writing, a user acting, the window server and
// workspace being asked, notifications arriving on the main thread, all at once.
TEST(WorldThreaded, ConcurrentCallsActionsAndNotificationsStayConsistent) {
  ThreadedDispatch dispatch;
  World world(dispatch, 5);
  SimAccessibility ax(world);
  SimWindowServer windowServer(world);
  SimWorkspace workspace(world);
  const DisplayNumber display = world.plugDisplay({.frame = {0, 0, 1440, 900}});

  constexpr int kApps = 4;
  constexpr int kRounds = 150;
  std::vector<Pid> pids;
  std::vector<std::vector<WindowKey>> windows(kApps);
  int delivered = 0;  // main thread only
  std::vector<AXObserver> observers;
  for (int i = 0; i < kApps; ++i) {
    pids.push_back(world.launchApp({.name = "App" + std::to_string(i)}));
    for (int w = 0; w < 3; ++w) {
      windows[i].push_back(world.openWindow(
          pids[i], {.title = "W", .frame = {100.0 * w, 100, 400, 300}, .minSize = {200, 150}}));
    }
    auto observer = ax.createObserver(pids[i], [&](auto&, auto&, auto&) { ++delivered; });
    for (const char* name : {ax::kWindowCreated, ax::kWindowMoved, ax::kWindowResized,
                             ax::kFocusedWindowChanged, ax::kTitleChanged}) {
      ax.addNotification(*observer.value, ax.applicationElement(pids[i]), name);
    }
    ax.attachToMainRunLoop(*observer.value);
    observers.push_back(*observer.value);
  }
  world.setBehaviour(pids[3], {.sizeGrid = {8, 8}});
  int workspaceEvents = 0;
  auto subscription = workspace.observe([&](auto, const auto&) { ++workspaceEvents; });

  std::atomic<int> finished = 0;
  std::vector<QueueRef> queues;
  for (int i = 0; i < kApps; ++i) {
    queues.push_back(dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(pids[i])));
    queues.back()->async([&, i] {
      for (int round = 0; round < kRounds; ++round) {
        for (WindowKey key : windows[i]) {
          const AXElement element = ax.windowElement(key);
          ax.setAttributeValue(element, ax::kPosition, Point{double(round), double(i * 10)});
          ax.setAttributeValue(element, ax::kSize, Size{300.0 + round, 200});
          ax.copyAttributeValue(element, ax::kPosition);
          ax.windowNumber(element);
        }
        ax.copyAttributeValue(ax.applicationElement(pids[i]), ax::kWindows);
      }
      ++finished;
    });
  }
  auto user = dispatch.makeSerialQueue("user");
  user->async([&] {
    for (int round = 0; round < kRounds; ++round) {
      world.focusWindow(windows[round % kApps][round % 3]);
      world.setWindowTitle(windows[0][0], "Title " + std::to_string(round));
      world.closeWindow(world.openWindow(pids[0], {.title = "Extra"}));
      world.movePointer({double(round), 5});
      if (round % 10 == 0) world.hideApp(pids[2]);
      if (round % 10 == 5) world.unhideApp(pids[2]);
    }
    ++finished;
  });
  auto observer = dispatch.makeSerialQueue("observer");
  observer->async([&] {
    for (int round = 0; round < kRounds; ++round) {
      windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0);
      windowServer.copyManagedDisplaySpaces(SimWindowServer::kConnection);
      workspace.screens();
      workspace.runningApplications();
      world.scene();
    }
    ++finished;
  });

  ASSERT_TRUE(dispatch.runMainUntil([&] { return finished.load() == kApps + 2; }, 20.0));
  dispatch.runMainFor(0.05);  // let the last notifications arrive

  // Applications 1 and 3 were left alone by the user: their windows hold
  // the last frame written, the grid applied where the application has one.
  for (int i : {1, 3}) {
    for (WindowKey key : windows[i]) {
      const Rect frame = world.window(key)->frame;
      EXPECT_EQ(frame.origin, (Point{kRounds - 1.0, i * 10.0}));
      EXPECT_EQ(frame.size.width, i == 3 ? 448 : 300.0 + kRounds - 1);
    }
  }
  EXPECT_EQ(world.window(windows[0][0])->title, "Title " + std::to_string(kRounds - 1));
  EXPECT_GT(delivered, kApps * kRounds);
  EXPECT_GT(workspaceEvents, 0);
  EXPECT_EQ(world.display(display)->spaces.size(), 1u);
}

}  // namespace
}  // namespace vistarail::sim
