// Building a world, what setting up refuses, and determinism: the same world,
// script and seed give the same run, byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/ax_names.h"
#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/adapters/sim_window_server.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"

namespace vistarail::sim {
namespace {

TEST(WorldSetup, RefusesWhatCannotBe) {
  VirtualDispatch dispatch;
  World world(dispatch);
  EXPECT_EQ(world.openWindow(501, {.title = "Nobody's"}), 0u);
  Pid pid = world.launchApp({.pid = 700, .name = "Fixed pid"});
  EXPECT_EQ(pid, 700);
  EXPECT_EQ(world.launchApp({.pid = 700}), 0);
  EXPECT_EQ(world.launchApp({.pid = -3}), 0);
  EXPECT_FALSE(world.closeWindow(12345));
  EXPECT_FALSE(world.dragWindow(12345, {}));
  EXPECT_FALSE(world.switchSpace(99, 1));
  EXPECT_EQ(world.addSpace(99), 0);

  // Without a display a window belongs to no Space and is never on screen.
  WindowKey lost = world.openWindow(pid, {.title = "Lost", .frame = {0, 0, 300, 200}});
  EXPECT_TRUE(SimWindowServer(world).copyWindowInfo(window_list::kOnScreenWindows, 0).empty());
  EXPECT_EQ(world.window(lost)->space, 0);

  // Identity is not editable.
  world.editWindow(lost, [](SimWindow& w) {
    w.key = 77;
    w.pid = 1;
    w.title = "Renamed";
  });
  EXPECT_EQ(world.window(lost)->pid, pid);
  EXPECT_EQ(world.window(lost)->title, "Renamed");
  EXPECT_FALSE(world.window(77));
}

TEST(WorldSetup, SizeLimitsApplyFromTheStart) {
  VirtualDispatch dispatch;
  World world(dispatch);
  world.plugDisplay({.frame = {0, 0, 1440, 900}});
  Pid pid = world.launchApp({.name = "Terminal", .behaviour = {.sizeGrid = {7, 14}}});
  WindowKey w =
      world.openWindow(pid, {.title = "Shell", .frame = {0, 0, 100, 500}, .minSize = {300, 100}});
  EXPECT_EQ(world.window(w)->frame.size, (Size{300, 504}));
  EXPECT_EQ(world.window(w)->openedFrame, world.window(w)->frame);
}

// A scripted run: two applications with random latencies, a stand-in
// controller that reacts to notifications by reading frames on each
// application's queue and writing new ones, and a user who clicks, drags,
// hides and opens windows meanwhile.
std::string runScenario(uint64_t seed, bool tracing = true) {
  VirtualDispatch dispatch;
  World world(dispatch, seed);
  if (tracing) world.setTracing(true);
  SimAccessibility ax(world);
  SimWorkspace workspace(world);
  world.plugDisplay({.name = "Built-in", .frame = {0, 0, 1440, 900}});
  const Behaviour jittery{.latencySeconds = 0.005, .latencyJitterSeconds = 0.03};
  Pid mail = world.launchApp({.name = "Mail", .behaviour = jittery}, LaunchActivation::activates);
  Pid notes = world.launchApp({.name = "Notes", .behaviour = jittery});
  world.setBehaviour(notes, {.latencySeconds = 0.01,
                             .latencyJitterSeconds = 0.05,
                             .movesNewWindows = SelfMove{.delaySeconds = 0.2}});
  WindowKey inbox = world.openWindow(mail, {.title = "Inbox", .frame = {0, 25, 700, 500}});
  WindowKey note = world.openWindow(notes, {.title = "Note", .frame = {700, 25, 500, 500}});

  std::map<Pid, QueueRef> queues;
  std::vector<AXObserver> observers;
  int writes = 0;
  for (Pid pid : {mail, notes}) {
    queues[pid] = dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(pid));
    auto observer = ax.createObserver(
        pid, [&, pid](const AXObserver&, const AXElement& element, const std::string& name) {
          if (name != ax::kWindowMoved && name != ax::kWindowCreated) return;
          queues[pid]->async([&, element] {
            auto position = ax.copyAttributeValue(element, ax::kPosition);
            if (!position.isOk() || writes >= 40) return;
            ++writes;
            const Point p = *asPoint(*position.value);
            ax.setAttributeValue(element, ax::kPosition, Point{p.x + 1, p.y});
          });
        });
    ax.addNotification(*observer.value, ax.applicationElement(pid), ax::kWindowCreated);
    ax.addNotification(*observer.value, ax.applicationElement(pid), ax::kWindowMoved);
    ax.attachToMainRunLoop(*observer.value);
    observers.push_back(*observer.value);
  }
  auto subscription = workspace.observe([](auto, const auto&) {});

  auto main = dispatch.main();
  main->asyncAfter(0.10, [&] { world.focusWindow(note); });
  main->asyncAfter(0.15, [&] { world.dragWindow(inbox, {20, 40, 700, 500}); });
  main->asyncAfter(0.30, [&] {
    world.openWindow(notes, {.title = "Second", .frame = {50, 50, 400, 300}});
  });
  main->asyncAfter(0.45, [&] { world.hideApp(mail); });
  main->asyncAfter(0.60, [&] { world.unhideApp(mail); });
  main->asyncAfter(0.70, [&] { world.dragWindow(note, {600, 80, 500, 500}); });
  EXPECT_TRUE(dispatch.runUntilIdle());
  return world.trace();
}

TEST(WorldDeterminism, SameSeedSameTraceByteForByte) {
  const std::string first = runScenario(2024);
  EXPECT_GT(std::count(first.begin(), first.end(), '\n'), 100);
  EXPECT_NE(first.find("deliver AXWindowMoved"), std::string::npos);
  EXPECT_NE(first.find("workspace didHideApplication"), std::string::npos);
  EXPECT_EQ(first, runScenario(2024));
}

TEST(WorldDeterminism, AnotherSeedGivesAnotherRunAndTracingOffRecordsNothing) {
  EXPECT_NE(runScenario(1), runScenario(2));
  EXPECT_EQ(runScenario(1, /*tracing=*/false), "");
}

}  // namespace
}  // namespace vistarail::sim
