// Building a world: the example at the top of world.h, and what setting up
// refuses.

#include <gtest/gtest.h>

#include "platform/ax_names.h"
#include "world_fixture.h"

namespace vistarail::sim {
namespace {

TEST(WorldSetup, TheHeaderExampleBuildsAWorkingDesktop) {
  sim::VirtualDispatch dispatch;
  sim::World world(dispatch, /*seed=*/7);
  world.plugDisplay(
      {.name = "Built-in", .frame = {0, 0, 1728, 1117}, .visibleFrame = {0, 37, 1728, 1000}});
  Pid pid = world.launchApp({.bundleIdentifier = "com.example.editor", .name = "Editor"});
  sim::WindowKey a = world.openWindow(pid, {.title = "One", .frame = {40, 60, 800, 600}});
  sim::WindowKey b = world.openWindow(pid, {.title = "Two", .frame = {900, 60, 700, 600}});
  world.setBehaviour(pid, {.latencySeconds = 0.02, .ignoresMoves = false});
  world.editWindow(b, [](sim::SimWindow& w) { w.minSize = {500, 300}; });
  sim::SimAccessibility ax(world);
  sim::SimWindowServer ws(world);
  sim::SimWorkspace wk(world);
  dispatch.runUntilIdle();

  EXPECT_EQ(ws.copyWindowInfo(window_list::kOnScreenWindows, 0).size(), 2u);
  EXPECT_EQ(wk.runningApplications().size(), 1u);
  auto queue = dispatch.makeSerialQueue("app.vistarail.ax." + std::to_string(pid));
  queue->async([&] { ax.setAttributeValue(ax.windowElement(b), ax::kSize, Size{100, 100}); });
  dispatch.runUntilIdle();
  EXPECT_EQ(world.window(b)->frame.size, (Size{500, 300}));
  EXPECT_DOUBLE_EQ(world.calls(pid).back().endSeconds, 0.02);
  EXPECT_EQ(world.window(a)->title, "One");
}

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
  SimWindowServer ws(world);
  EXPECT_TRUE(ws.copyWindowInfo(window_list::kOnScreenWindows, 0).empty());
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

using SheetTest = testing::WorldTest;

TEST_F(SheetTest, SheetsAnnounceThemselvesAsSheets) {
  Pid pid = launch("Editor");
  WindowKey doc = open(pid, "Doc");
  auto observer = observe(pid, app(pid), {ax::kWindowCreated, ax::kSheetCreated});
  world.openWindow(pid, {.title = "Save", .role = ax::kSheetRole, .parent = doc},
                   WindowFocus::staysBehind);
  EXPECT_EQ(takeLog(),
            std::vector<std::string>{"AXSheetCreated window 2 of " + std::to_string(pid)});
}

}  // namespace
}  // namespace vistarail::sim
