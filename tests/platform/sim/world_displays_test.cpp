// Spaces, full screen, displays coming and going, and the picture the
// renderer draws.

#include <gtest/gtest.h>

#include "platform/ax_names.h"
#include "world_fixture.h"

namespace vistarail::sim::testing {
namespace {

class DisplaysTest : public WorldTest {
 protected:
  DisplaysTest() {
    external = world.plugDisplay({.name = "External",
                                  .frame = {1440, 0, 1920, 1080},
                                  .visibleFrame = {1440, 25, 1920, 1055}});
    pid = launch("Editor");
  }
  bool listed(WindowKey key) {
    for (const auto& info : windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0)) {
      if (info.number == *world.window(key)->number) return true;
    }
    return false;
  }
  size_t axWindowCount() {
    return asElements(*ax.copyAttributeValue(app(pid), ax::kWindows).value)->size();
  }

  DisplayNumber external = 0;
  Pid pid = 0;
};

TEST_F(DisplaysTest, DisplaysAreListedPrimaryFirstWithTheirOwnSpace) {
  auto displays = world.displays();
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_TRUE(displays[0].isPrimary);
  EXPECT_FALSE(displays[1].isPrimary);
  EXPECT_EQ(displays[0].spaces.size(), 1u);
  EXPECT_NE(displays[0].currentSpace, displays[1].currentSpace);
  EXPECT_EQ(displays[0].uuid, world.display(display)->uuid);
  // UUIDs are lower case here and stable for a display number.
  VirtualDispatch otherDispatch;
  World other(otherDispatch, 99);
  EXPECT_EQ(other.display(other.plugDisplay({.frame = {0, 0, 800, 600}}))->uuid, displays[0].uuid);
  EXPECT_EQ(world.plugDisplay({.frame = {0, 0, 10, 10}, .number = display}), 0u);
}

TEST_F(DisplaysTest, WindowsBelongToTheSpaceOfTheirDisplay) {
  WindowKey left = open(pid, "Left", {100, 100, 600, 400});
  WindowKey right = open(pid, "Right", {1500, 100, 600, 400});
  EXPECT_EQ(world.window(left)->space, world.display(display)->currentSpace);
  EXPECT_EQ(world.window(right)->space, world.display(external)->currentSpace);

  const SpaceId second = world.addSpace(display);
  WindowKey away =
      world.openWindow(pid, {.title = "Away", .frame = {0, 0, 500, 500}, .space = second});
  EXPECT_FALSE(listed(away));
  EXPECT_EQ(axWindowCount(), 2u);
  world.focusWindow(left);

  world.switchSpace(display, second);
  EXPECT_FALSE(listed(left));
  EXPECT_TRUE(listed(right));
  EXPECT_TRUE(listed(away));
  EXPECT_EQ(axWindowCount(), 2u);
  // The window in front on the Space shown now has focus.
  EXPECT_EQ(world.focusedWindow(), away);
  EXPECT_FALSE(world.switchSpace(display, world.display(external)->currentSpace));
}

TEST_F(DisplaysTest, MovingAWindowOntoAnotherDisplayJoinsItsSpace) {
  WindowKey w = open(pid, "W", {100, 100, 600, 400});
  const SpaceId home = *world.window(w)->space;
  // Parked with a sliver, or entirely off every display: still its Space.
  ax.setAttributeValue(win(w), ax::kPosition, Point{-599, 100});
  EXPECT_EQ(world.window(w)->space, home);
  ax.setAttributeValue(win(w), ax::kPosition, Point{-5000, 100});
  EXPECT_EQ(world.window(w)->space, home);
  EXPECT_TRUE(listed(w));
  world.dragWindow(w, {1600, 200, 600, 400});
  EXPECT_EQ(world.window(w)->space, world.display(external)->currentSpace);
}

TEST_F(DisplaysTest, FullScreenTakesASpaceOfItsOwnAndGivesItBack) {
  WindowKey w = open(pid, "W", {100, 100, 600, 400});
  WindowKey other = open(pid, "Other", {200, 200, 600, 400});
  auto observer = observe(pid, app(pid), {ax::kWindowCreated});
  ax.addNotification(observer, win(w), ax::kWindowResized);
  ax.addNotification(observer, win(w), ax::kWindowMoved);
  takeLog();
  const SpaceId before = world.display(display)->currentSpace;
  ASSERT_TRUE(world.enterFullScreen(w));
  const SpaceId full = world.display(display)->currentSpace;
  EXPECT_NE(full, before);
  EXPECT_EQ(world.window(w)->frame, (Rect{0, 0, 1440, 900}));
  EXPECT_EQ(asBool(*ax.copyAttributeValue(win(w), ax::kFullScreen).value), true);
  EXPECT_TRUE(listed(w));
  EXPECT_FALSE(listed(other));
  EXPECT_EQ(takeLog().size(), 2u);  // moved and resized
  // A full-screen window stays where it is.
  ax.setAttributeValue(win(w), ax::kPosition, Point{5, 5});
  EXPECT_EQ(world.window(w)->frame.origin, (Point{0, 0}));

  ASSERT_TRUE(world.exitFullScreen(w));
  EXPECT_EQ(world.display(display)->currentSpace, before);
  EXPECT_EQ(world.display(display)->spaces.size(), 1u);
  EXPECT_EQ(world.window(w)->frame, (Rect{100, 100, 600, 400}));
  EXPECT_TRUE(listed(other));

  // Through the accessibility services: the full-screen button.
  auto button = asElement(*ax.copyAttributeValue(win(w), ax::kFullScreenButton).value);
  EXPECT_EQ(ax.performAction(*button, "AXPress"), AXError::success);
  EXPECT_TRUE(world.window(w)->fullScreen);
  world.closeWindow(w);
  EXPECT_EQ(world.display(display)->currentSpace, before);
}

TEST_F(DisplaysTest, UnpluggingGathersWindowsOnThePrimaryDisplay) {
  WindowKey w = open(pid, "W", {1500 + 1000, 100, 600, 400});
  auto observer = observe(pid, win(w), {ax::kWindowMoved});
  int screenChanges = 0;
  auto sub = workspace.observeScreenParameters([&] { ++screenChanges; });
  const auto externalBefore = *world.display(external);
  ASSERT_TRUE(world.unplugDisplay(external));
  const Rect f = world.window(w)->frame;
  EXPECT_TRUE((Rect{0, 25, 1440, 800}).contains(f)) << f;
  EXPECT_EQ(world.window(w)->space, world.display(display)->currentSpace);
  EXPECT_TRUE(listed(w));
  EXPECT_EQ(takeLog().size(), 1u);
  EXPECT_EQ(screenChanges, 1);

  // It comes back with the same UUID and Spaces.
  EXPECT_EQ(world.plugDisplay({.frame = {1440, 0, 1920, 1080}, .uuid = externalBefore.uuid}),
            external);
  EXPECT_EQ(world.display(external)->spaces, externalBefore.spaces);
  EXPECT_EQ(world.displays().size(), 2u);
}

TEST_F(DisplaysTest, SceneShowsWhatIsOnScreenBackToFront) {
  WindowKey a = open(pid, "A", {100, 100, 600, 400});
  world.openWindow(pid,
                   {.title = "Panel",
                    .frame = {300, 300, 200, 100},
                    .subrole = std::string(ax::kFloatingWindowSubrole)},
                   WindowFocus::staysBehind);
  WindowKey min = open(pid, "Min");
  world.minimizeWindow(min);
  const Scene scene = world.scene();
  ASSERT_EQ(scene.displays.size(), 2u);
  EXPECT_EQ(scene.displays[0].name, "Built-in");
  EXPECT_TRUE(scene.displays[0].isPrimary);
  EXPECT_EQ(scene.displays[1].visibleFrame, (Rect{1440, 25, 1920, 1055}));
  ASSERT_EQ(scene.windows.size(), 2u);
  EXPECT_EQ(scene.windows[0].title, "Panel");
  EXPECT_TRUE(scene.windows[0].floating);
  EXPECT_EQ(scene.windows[1].title, "A");
  EXPECT_EQ(scene.windows[1].appName, "Editor");
  EXPECT_TRUE(scene.windows[1].focused);
  EXPECT_FALSE(scene.windows[1].floating);
  EXPECT_EQ(world.focusedWindow(), a);
}

}  // namespace
}  // namespace vistarail::sim::testing
