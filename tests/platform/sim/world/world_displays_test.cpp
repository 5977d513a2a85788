// Displays coming and going, Spaces and full screen, the picture the renderer
// draws, and what the window server says about them: window lists, display
// UUIDs and the managed-Spaces answer in each shape callers must cope with.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/world_fixture.h"

namespace vistarail::sim::test {
namespace {

class DisplaysTest : public WorldTest {
 protected:
  DisplaysTest() {
    external = world.plugDisplay({.name = "External",
                                  .frame = {1440, 0, 1920, 1080},
                                  .visibleFrame = {1440, 25, 1920, 1055}});
    pid = launch("Editor");
  }
  PropertyList spaces() {
    auto answer = windowServer.copyManagedDisplaySpaces(windowServer.mainConnectionID().value());
    EXPECT_TRUE(answer);
    return answer.value_or(PropertyList());
  }
  std::string upperUUID(DisplayNumber d) {
    std::string uuid = world.display(d)->uuid;
    std::transform(uuid.begin(), uuid.end(), uuid.begin(), ::toupper);
    return uuid;
  }
  SpaceId current(DisplayNumber d) { return world.display(d)->currentSpace; }

  DisplayNumber external = 0;
  Pid pid = 0;
};

TEST_F(DisplaysTest, DisplaysAreListedPrimaryFirstWithTheirOwnSpaceAndUUID) {
  auto displays = world.displays();
  ASSERT_EQ(displays.size(), 2u);
  EXPECT_TRUE(displays[0].isPrimary);
  EXPECT_FALSE(displays[1].isPrimary);
  EXPECT_EQ(displays[0].spaces.size(), 1u);
  EXPECT_NE(displays[0].currentSpace, displays[1].currentSpace);
  // UUIDs are lower case here and stable for a display number; the window
  // server spells them in upper case and only for connected displays.
  VirtualDispatch otherDispatch;
  World other(otherDispatch, 99);
  EXPECT_EQ(other.display(other.plugDisplay({.frame = {0, 0, 800, 600}}))->uuid, displays[0].uuid);
  EXPECT_EQ(world.plugDisplay({.frame = {0, 0, 10, 10}, .number = display}), 0u);
  EXPECT_EQ(windowServer.displayUUID(display), upperUUID(display));
  EXPECT_EQ(windowServer.displayUUID(display)->size(), 36u);
  EXPECT_NE(windowServer.displayUUID(display), windowServer.displayUUID(external));
  EXPECT_EQ(windowServer.displayUUID(12345), std::nullopt);
  world.unplugDisplay(external);
  EXPECT_EQ(windowServer.displayUUID(external), std::nullopt);
}

TEST_F(DisplaysTest, OnScreenListHoldsOrderedInWindowsOfTheCurrentSpaces) {
  WindowKey a = open(pid, "A");
  WindowKey parked = open(pid, "Parked", {-599, 100, 600, 400});  // a one-point sliver
  world.minimizeWindow(open(pid, "Min"));
  openWith(pid, {.title = "Tool", .number = 0});
  WindowKey onSecond = open(pid, "Second", {1500, 100, 600, 400});
  openWith(pid, {.title = "Away", .space = world.addSpace(display)});
  Pid hidden = launch("Hidden"), quitting = launch("Quitting");
  open(hidden, "H");
  world.hideApp(hidden);
  open(quitting, "Q");
  world.quitApp(quitting);

  EXPECT_EQ(onScreen(), (std::vector<WindowKey>{onSecond, parked, a}));
  EXPECT_EQ(windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0)[0],
            (WindowInfo{*world.window(onSecond)->number, pid, "Editor", "Second",
                        Rect{1500, 100, 600, 400}, 0, true}));
}

TEST_F(DisplaysTest, SingleWindowQueryAnswersWhileTheWindowExists) {
  WindowKey a = open(pid, "A");
  const WindowId n = *world.window(a)->number;
  world.minimizeWindow(a);
  auto one = windowServer.copyWindowInfo(window_list::kSingleWindow, n);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].number, n);
  EXPECT_FALSE(one[0].isOnScreen);
  world.closeWindow(a);
  for (WindowId gone : {n, WindowId(0), WindowId(99999)}) {
    EXPECT_TRUE(windowServer.copyWindowInfo(window_list::kSingleWindow, gone).empty()) << gone;
  }
}

TEST_F(DisplaysTest, ManagedSpacesNameEachDisplayAndItsCurrentSpace) {
  const PropertyList answer = spaces();
  ASSERT_TRUE(answer.is_array());
  ASSERT_EQ(answer.size(), 2u);
  EXPECT_EQ(answer[0]["Display Identifier"], upperUUID(display));
  EXPECT_EQ(answer[1]["Display Identifier"], upperUUID(external));
  EXPECT_EQ(answer[0]["Current Space"],
            (PropertyList{
                {"ManagedSpaceID", current(display)}, {"id64", current(display)}, {"type", 0}}));
  EXPECT_EQ(answer[1]["Current Space"]["id64"], current(external));

  WindowKey a = open(pid, "A");
  world.enterFullScreen(a);
  const PropertyList full = spaces();
  EXPECT_EQ(full[0]["Current Space"]["type"], 4);
  EXPECT_EQ(full[0]["Current Space"]["id64"], *world.window(a)->space);
  EXPECT_EQ(full[0]["Spaces"].size(), 2u);
}

TEST_F(DisplaysTest, ManagedSpacesCanTakeEveryShapeCallersFallBackOn) {
  world.setWindowServerConfig({.identifiers = DisplayIdentifierStyle::mainForPrimary});
  EXPECT_EQ(spaces()[0]["Display Identifier"], "Main");
  EXPECT_EQ(spaces()[1]["Display Identifier"], upperUUID(external));

  world.setWindowServerConfig(
      {.shape = SpacesShape::onlyPrimary, .identifiers = DisplayIdentifierStyle::unrecognised});
  ASSERT_EQ(spaces().size(), 1u);
  EXPECT_NE(spaces()[0]["Display Identifier"], upperUUID(display));

  world.setWindowServerConfig({.spaceIdKeys = SpaceIdKeys::id64Only});
  EXPECT_FALSE(spaces()[0]["Current Space"].contains("ManagedSpaceID"));
  EXPECT_TRUE(spaces()[0]["Current Space"].contains("id64"));
  world.setWindowServerConfig({.spaceIdKeys = SpaceIdKeys::managedSpaceIdOnly});
  EXPECT_FALSE(spaces()[0]["Current Space"].contains("id64"));

  world.setWindowServerConfig({.shape = SpacesShape::notAnArray});
  EXPECT_TRUE(spaces().is_object());

  const auto connection = SimWindowServer::kConnection;
  world.setWindowServerConfig({.shape = SpacesShape::nothing});
  EXPECT_EQ(windowServer.copyManagedDisplaySpaces(connection), std::nullopt);
  world.setWindowServerConfig({.spacesAvailable = false});
  EXPECT_EQ(windowServer.mainConnectionID(), connection);
  EXPECT_EQ(windowServer.copyManagedDisplaySpaces(connection), std::nullopt);
  world.setWindowServerConfig({.connectionAvailable = false});
  EXPECT_EQ(windowServer.mainConnectionID(), std::nullopt);
  // A connection id this process was never given answers nothing.
  world.setWindowServerConfig({});
  EXPECT_EQ(windowServer.copyManagedDisplaySpaces(connection + 1), std::nullopt);
}

TEST_F(DisplaysTest, WindowsBelongToTheSpaceOfTheirDisplay) {
  WindowKey left = open(pid, "Left", {100, 100, 600, 400});
  WindowKey right = open(pid, "Right", {1500, 100, 600, 400});
  EXPECT_EQ(world.window(left)->space, current(display));
  EXPECT_EQ(world.window(right)->space, current(external));

  const SpaceId second = world.addSpace(display);
  WindowKey away = openWith(pid, {.title = "Away", .frame = {0, 0, 500, 500}, .space = second});
  EXPECT_EQ(onScreen(), (std::vector<WindowKey>{right, left}));
  EXPECT_EQ(read(app(pid), {ax::kWindows}), "[Right,Left]") << "the current Spaces only";
  world.focusWindow(left);
  world.switchSpace(display, second);
  EXPECT_EQ(onScreen(), (std::vector<WindowKey>{away, right}));
  EXPECT_EQ(read(app(pid), {ax::kWindows}), "[Away,Right]");
  // The window in front on the Space shown now has focus.
  EXPECT_EQ(world.focusedWindow(), away);
  EXPECT_FALSE(world.switchSpace(display, current(external)));

  // Parked with a sliver, or entirely off every display: still its Space.
  for (double x : {-599.0, -5000.0}) {
    ax.setAttributeValue(win(away), ax::kPosition, Point{x, 100});
    EXPECT_EQ(world.window(away)->space, second) << x;
    EXPECT_TRUE(listed(away)) << x;
  }
  world.dragWindow(away, {1600, 200, 600, 400});
  EXPECT_EQ(world.window(away)->space, current(external));
}

TEST_F(DisplaysTest, FullScreenTakesASpaceOfItsOwnAndGivesItBack) {
  WindowKey w = open(pid, "W", {100, 100, 600, 400});
  WindowKey other = open(pid, "Other", {200, 200, 600, 400});
  auto observer = observe(pid, win(w), {ax::kWindowResized, ax::kWindowMoved});
  const SpaceId before = current(display);
  ASSERT_TRUE(world.enterFullScreen(w));
  EXPECT_NE(current(display), before);
  EXPECT_EQ(frame(w), (Rect{0, 0, 1440, 900}));
  EXPECT_EQ(read(win(w), {ax::kFullScreen}), "true");
  EXPECT_EQ(onScreen(), (std::vector<WindowKey>{w}));
  EXPECT_EQ(takeLog().size(), 2u);  // moved and resized
  // A full-screen window stays where it is.
  ax.setAttributeValue(win(w), ax::kPosition, Point{5, 5});
  EXPECT_EQ(frame(w).origin, (Point{0, 0}));

  ASSERT_TRUE(world.exitFullScreen(w));
  EXPECT_EQ(current(display), before);
  EXPECT_EQ(world.display(display)->spaces.size(), 1u);
  EXPECT_EQ(frame(w), (Rect{100, 100, 600, 400}));
  EXPECT_TRUE(listed(other));

  // Through the accessibility services: the full-screen button.
  auto button = asElement(*ax.copyAttributeValue(win(w), ax::kFullScreenButton).value);
  EXPECT_EQ(ax.performAction(*button, ax::kPress), AXError::success);
  EXPECT_TRUE(world.window(w)->fullScreen);
  world.closeWindow(w);
  EXPECT_EQ(current(display), before);
}

TEST_F(DisplaysTest, UnpluggingGathersWindowsOnThePrimaryDisplay) {
  WindowKey w = open(pid, "W", {1500 + 1000, 100, 600, 400});
  auto observer = observe(pid, win(w), {ax::kWindowMoved});
  int screenChanges = 0;
  auto sub = workspace.observeScreenParameters([&] { ++screenChanges; });
  const auto externalBefore = *world.display(external);
  ASSERT_TRUE(world.unplugDisplay(external));
  EXPECT_TRUE((Rect{0, 25, 1440, 800}).contains(frame(w))) << frame(w);
  EXPECT_EQ(world.window(w)->space, current(display));
  EXPECT_TRUE(listed(w));
  EXPECT_EQ(takeLog(), Strings{"AXWindowMoved W"});
  EXPECT_EQ(screenChanges, 1);

  // It comes back with the same UUID and Spaces.
  EXPECT_EQ(world.plugDisplay({.frame = {1440, 0, 1920, 1080}, .uuid = externalBefore.uuid}),
            external);
  EXPECT_EQ(world.display(external)->spaces, externalBefore.spaces);
  EXPECT_EQ(world.displays().size(), 2u);
}

// Rearranged to the far side of the primary display, the external display
// takes its windows along, and keeps them on its own Space.
TEST_F(DisplaysTest, ARearrangedDisplayTakesItsWindowsAlong) {
  const WindowKey w = open(pid, "W", {1600, 100, 600, 400});
  const SpaceId space = current(external);
  ASSERT_TRUE(world.setDisplayFrames(external, {-1920, 0, 1920, 1080}, {-1920, 25, 1920, 1055}));
  EXPECT_EQ(frame(w), Rect(-1760, 100, 600, 400));
  EXPECT_EQ(world.window(w)->space, space);
  EXPECT_TRUE(listed(w));
}

TEST_F(DisplaysTest, AWindowMovedOntoAFullScreenDisplayJoinsItsRegularSpace) {
  WindowKey movie = open(pid, "Movie", {1600, 100, 600, 400});
  WindowKey w = open(pid, "W", {100, 100, 600, 400});
  const SpaceId regular = current(external);
  ASSERT_TRUE(world.enterFullScreen(movie));
  ASSERT_NE(current(external), regular);
  ASSERT_TRUE(world.dragWindow(w, {1700, 200, 600, 400}));
  EXPECT_EQ(world.window(w)->space, regular);
  // So the full-screen Space going away with its display strands nobody.
  ASSERT_TRUE(world.unplugDisplay(external));
  EXPECT_TRUE((Rect{0, 0, 1440, 900}).contains(frame(w))) << frame(w);
}

TEST_F(DisplaysTest, SceneShowsWhatIsOnScreenBackToFront) {
  WindowKey a = open(pid, "A", {100, 100, 600, 400});
  openWith(pid,
           {.title = "Panel",
            .frame = {300, 300, 200, 100},
            .subrole = std::string(ax::kFloatingWindowSubrole)},
           WindowFocus::staysBehind);
  world.minimizeWindow(open(pid, "Min"));
  const Scene scene = world.scene();
  ASSERT_EQ(scene.displays.size(), 2u);
  EXPECT_EQ(scene.displays[0].name, "Built-in");
  EXPECT_TRUE(scene.displays[0].isPrimary);
  EXPECT_EQ(scene.displays[1].visibleFrame, (Rect{1440, 25, 1920, 1055}));
  ASSERT_EQ(scene.windows.size(), 2u);
  EXPECT_EQ(std::tie(scene.windows[0].title, scene.windows[0].floating), std::tuple("Panel", true));
  const SceneWindow& front = scene.windows[1];
  EXPECT_EQ(std::tie(front.title, front.appName, front.focused, front.floating),
            std::tuple("A", "Editor", true, false));
  EXPECT_EQ(world.focusedWindow(), a);
}

}  // namespace
}  // namespace vistarail::sim::test
