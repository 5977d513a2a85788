// The world driven from several real threads at once: application queues
// reading and writing, a user acting, the window server and workspace being
// asked, notifications arriving on the main thread. Run under
// ThreadSanitizer by `make test-tsan`.

#include <gtest/gtest.h>

#include <atomic>

#include "platform/ax_names.h"
#include "platform/sim/sim_accessibility.h"
#include "platform/sim/sim_window_server.h"
#include "platform/sim/sim_workspace.h"
#include "platform/sim/threaded_dispatch.h"
#include "platform/sim/world.h"

namespace vistarail::sim {
namespace {

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
  for (int i = 0; i < kApps; ++i) {
    pids.push_back(world.launchApp({.name = "App" + std::to_string(i)}));
    for (int w = 0; w < 3; ++w) {
      windows[i].push_back(world.openWindow(
          pids[i], {.title = "W", .frame = {100.0 * w, 100, 400, 300}, .minSize = {200, 150}}));
    }
  }
  world.setBehaviour(pids[3], {.sizeGrid = {8, 8}});

  int delivered = 0;  // main thread only
  std::vector<AXObserver> observers;
  for (Pid pid : pids) {
    auto observer = ax.createObserver(pid, [&](auto&, auto&, auto&) { ++delivered; });
    for (const char* name : {ax::kWindowCreated, ax::kWindowMoved, ax::kWindowResized,
                             ax::kFocusedWindowChanged, ax::kTitleChanged}) {
      ax.addNotification(*observer.value, ax.applicationElement(pid), name);
    }
    ax.attachToMainRunLoop(*observer.value);
    observers.push_back(*observer.value);
  }
  int workspaceEvents = 0;
  auto subscription = workspace.observe([&](auto, const auto&) { ++workspaceEvents; });

  std::atomic<int> finished = 0;
  std::vector<QueueRef> queues;
  for (int i = 0; i < kApps; ++i) {
    auto queue = dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(pids[i]));
    queues.push_back(queue);
    queue->async([&, i] {
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
      WindowKey extra = world.openWindow(pids[0], {.title = "Extra"});
      world.closeWindow(extra);
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

  const int total = kApps + 2;
  ASSERT_TRUE(dispatch.runMainUntil([&] { return finished.load() == total; }, 20.0));
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
