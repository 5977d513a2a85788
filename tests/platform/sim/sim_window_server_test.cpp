// Window lists, display UUIDs and the managed-Spaces answer in each of the
// shapes callers must cope with.

#include <gtest/gtest.h>

#include <algorithm>

#include "world_fixture.h"

namespace vistarail::sim::testing {
namespace {

class WindowServerTest : public WorldTest {
 protected:
  WindowServerTest() {
    second = world.plugDisplay({.name = "External", .frame = {1440, 0, 1920, 1080}});
    pid = launch("Editor");
  }
  std::vector<WindowKey> onScreen() {
    std::vector<WindowKey> keys;
    for (const auto& info : windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0)) {
      keys.push_back(*world.windowWithNumber(info.number));
    }
    return keys;
  }
  WindowId number(WindowKey key) { return *world.window(key)->number; }
  PropertyList spaces() {
    auto connection = windowServer.mainConnectionID();
    EXPECT_TRUE(connection);
    auto answer = windowServer.copyManagedDisplaySpaces(connection.value_or(0));
    EXPECT_TRUE(answer);
    return answer.value_or(PropertyList());
  }
  std::string upperUUID(DisplayNumber d) {
    std::string uuid = world.display(d)->uuid;
    std::transform(uuid.begin(), uuid.end(), uuid.begin(), ::toupper);
    return uuid;
  }

  DisplayNumber second = 0;
  Pid pid = 0;
};

TEST_F(WindowServerTest, OnScreenListHoldsOrderedInWindowsOfTheCurrentSpaces) {
  WindowKey a = open(pid, "A");
  WindowKey parked = open(pid, "Parked", {-599, 100, 600, 400});  // a one-point sliver
  WindowKey minimised = open(pid, "Min");
  WindowKey unnumbered = world.openWindow(pid, {.title = "Tool", .number = 0});
  WindowKey onSecond = open(pid, "Second", {1500, 100, 600, 400});
  world.minimizeWindow(minimised);
  const SpaceId elsewhere = world.addSpace(display);
  WindowKey otherSpace = world.openWindow(pid, {.title = "Away", .space = elsewhere});
  Pid hidden = launch("Hidden");
  open(hidden, "H");
  world.hideApp(hidden);
  Pid quitting = launch("Quitting");
  open(quitting, "Q");
  world.quitApp(quitting);

  EXPECT_EQ(onScreen(), (std::vector<WindowKey>{onSecond, parked, a}));
  (void)unnumbered;
  (void)otherSpace;

  const auto infos = windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0);
  EXPECT_EQ(infos[0].ownerPid, pid);
  EXPECT_EQ(infos[0].ownerName, "Editor");
  EXPECT_EQ(infos[0].name, "Second");
  EXPECT_EQ(infos[0].bounds, (Rect{1500, 100, 600, 400}));
  EXPECT_TRUE(infos[0].isOnScreen);
}

TEST_F(WindowServerTest, SingleWindowQueryAnswersWhileTheWindowExists) {
  WindowKey a = open(pid, "A");
  const WindowId n = number(a);
  world.minimizeWindow(a);
  auto one = windowServer.copyWindowInfo(window_list::kSingleWindow, n);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0].number, n);
  EXPECT_FALSE(one[0].isOnScreen);
  world.closeWindow(a);
  EXPECT_TRUE(windowServer.copyWindowInfo(window_list::kSingleWindow, n).empty());
  EXPECT_TRUE(windowServer.copyWindowInfo(window_list::kSingleWindow, 0).empty());
  EXPECT_TRUE(windowServer.copyWindowInfo(window_list::kSingleWindow, 99999).empty());
}

TEST_F(WindowServerTest, DisplayUUIDsAreUpperCaseAndOnlyForConnectedDisplays) {
  auto uuid = windowServer.displayUUID(display);
  ASSERT_TRUE(uuid);
  EXPECT_EQ(*uuid, upperUUID(display));
  EXPECT_EQ(uuid->size(), 36u);
  EXPECT_NE(*uuid, *windowServer.displayUUID(second));
  EXPECT_EQ(windowServer.displayUUID(12345), std::nullopt);
  world.unplugDisplay(second);
  EXPECT_EQ(windowServer.displayUUID(second), std::nullopt);
}

TEST_F(WindowServerTest, ManagedSpacesNameEachDisplayAndItsCurrentSpace) {
  const PropertyList answer = spaces();
  ASSERT_TRUE(answer.is_array());
  ASSERT_EQ(answer.size(), 2u);
  EXPECT_EQ(answer[0]["Display Identifier"], upperUUID(display));
  EXPECT_EQ(answer[1]["Display Identifier"], upperUUID(second));
  EXPECT_EQ(answer[0]["Current Space"]["ManagedSpaceID"], world.display(display)->currentSpace);
  EXPECT_EQ(answer[0]["Current Space"]["id64"], world.display(display)->currentSpace);
  EXPECT_EQ(answer[0]["Current Space"]["type"], 0);
  EXPECT_NE(answer[0]["Current Space"]["id64"], answer[1]["Current Space"]["id64"]);

  WindowKey a = open(pid, "A");
  world.enterFullScreen(a);
  const PropertyList full = spaces();
  EXPECT_EQ(full[0]["Current Space"]["type"], 4);
  EXPECT_EQ(full[0]["Current Space"]["id64"], *world.window(a)->space);
  EXPECT_EQ(full[0]["Spaces"].size(), 2u);
}

TEST_F(WindowServerTest, ManagedSpacesCanTakeEveryShapeCallersFallBackOn) {
  world.setWindowServerConfig({.identifiers = DisplayIdentifierStyle::mainForPrimary});
  EXPECT_EQ(spaces()[0]["Display Identifier"], "Main");
  EXPECT_EQ(spaces()[1]["Display Identifier"], upperUUID(second));

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

  world.setWindowServerConfig({.shape = SpacesShape::nothing});
  EXPECT_EQ(windowServer.copyManagedDisplaySpaces(SimWindowServer::kConnection), std::nullopt);

  world.setWindowServerConfig({.spacesAvailable = false});
  EXPECT_TRUE(windowServer.mainConnectionID());
  EXPECT_EQ(windowServer.copyManagedDisplaySpaces(SimWindowServer::kConnection), std::nullopt);
  world.setWindowServerConfig({.connectionAvailable = false});
  EXPECT_EQ(windowServer.mainConnectionID(), std::nullopt);

  // A connection id this process was never given answers nothing.
  world.setWindowServerConfig({});
  EXPECT_EQ(windowServer.copyManagedDisplaySpaces(SimWindowServer::kConnection + 1), std::nullopt);
}

}  // namespace
}  // namespace vistarail::sim::testing
