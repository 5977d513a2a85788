// Running applications, workspace and screen notifications, screens in the
// screen API's space, the pointer and the small desktop services.

#include <gtest/gtest.h>

#include "world_fixture.h"

namespace vistarail::sim::testing {
namespace {

class WorkspaceTest : public WorldTest {
 protected:
  WorkspaceTest() {
    subscription = workspace.observe(
        [this](WorkspaceEvent event, const std::optional<RunningApplication>& app) {
          EXPECT_TRUE(dispatch.onMainQueue());
          events.push_back(name(event) + (app ? " " + app->localizedName : ""));
        });
  }
  static std::string name(WorkspaceEvent event) {
    switch (event) {
      case WorkspaceEvent::didLaunchApplication:
        return "launch";
      case WorkspaceEvent::didTerminateApplication:
        return "terminate";
      case WorkspaceEvent::didActivateApplication:
        return "activate";
      case WorkspaceEvent::didHideApplication:
        return "hide";
      case WorkspaceEvent::didUnhideApplication:
        return "unhide";
      case WorkspaceEvent::activeSpaceDidChange:
        return "space";
    }
    return "?";
  }
  std::vector<std::string> takeEvents() {
    dispatch.runUntilIdle();
    return std::exchange(events, {});
  }

  Subscription subscription;
  std::vector<std::string> events;
};

TEST_F(WorkspaceTest, ApplicationLifecycleIsAnnouncedInOrder) {
  Pid mail = launch("Mail", LaunchActivation::activates);
  Pid notes = launch("Notes", LaunchActivation::staysInBackground);
  open(mail, "Inbox");
  open(notes, "Note");
  world.hideApp(mail);
  world.unhideApp(mail);
  world.quitApp(notes);
  EXPECT_EQ(takeEvents(), (std::vector<std::string>{"launch Mail", "activate Mail", "launch Notes",
                                                    "hide Mail", "activate Notes", "unhide Mail",
                                                    "terminate Notes", "activate Mail"}));
  // Notes was frontmost when it quit; Mail's window is the one left.
  EXPECT_EQ(world.frontmostApp(), mail);
  EXPECT_EQ(takeEvents(), std::vector<std::string>{});
}

TEST_F(WorkspaceTest, RunningApplicationsLeaveOutTerminatedOnes) {
  Pid a = world.launchApp({.bundleIdentifier = "com.example.a",
                           .name = "A",
                           .activationPolicy = ActivationPolicy::accessory,
                           .bundlePath = "/Applications/A.app"});
  Pid b = launch("B");
  world.quitApp(a);
  auto running = workspace.runningApplications();
  ASSERT_EQ(running.size(), 1u);
  EXPECT_EQ(running[0].pid, b);
  EXPECT_EQ(running[0].bundleIdentifier, "com.example.B");
  EXPECT_EQ(workspace.frontmostApplication()->pid, b);
  EXPECT_TRUE(world.app(a)->terminated);
  EXPECT_EQ(world.app(a)->activationPolicy, ActivationPolicy::accessory);
  EXPECT_EQ(world.app(a)->bundlePath, "/Applications/A.app");
  // A pid in use cannot be launched twice.
  EXPECT_EQ(world.launchApp({.pid = b}), 0);
}

TEST_F(WorkspaceTest, SpaceChangesCarryNoApplication) {
  const SpaceId other = world.addSpace(display);
  world.switchSpace(display, other);
  world.switchSpace(display, other);  // already shown
  EXPECT_EQ(takeEvents(), std::vector<std::string>{"space"});
}

TEST_F(WorkspaceTest, EndedSubscriptionsHearNothing) {
  subscription.reset();
  launch("Mail");
  EXPECT_EQ(takeEvents(), std::vector<std::string>{});
}

TEST_F(WorkspaceTest, ScreensAreFlippedAgainstThePrimaryDisplay) {
  world.plugDisplay({.name = "External",
                     .frame = {1440, -200, 1920, 1080},
                     .visibleFrame = {1440, -175, 1920, 1055},
                     .screenNumberReadable = false});
  auto screens = workspace.screens();
  ASSERT_EQ(screens.size(), 2u);
  EXPECT_EQ(screens[0].screenNumber, display);
  EXPECT_EQ(screens[0].localizedName, "Built-in");
  EXPECT_EQ(screens[0].frame, (Rect{0, 0, 1440, 900}));
  EXPECT_EQ(screens[0].visibleFrame, (Rect{0, 75, 1440, 800}));  // menu bar 25, Dock 75
  EXPECT_EQ(screens[1].frame, (Rect{1440, 20, 1920, 1080}));
  EXPECT_EQ(screens[1].visibleFrame, (Rect{1440, 20, 1920, 1055}));
  EXPECT_EQ(screens[1].screenNumber, std::nullopt);
  // And back again.
  EXPECT_EQ(flipVertically(screens[1].visibleFrame, 900), (Rect{1440, -175, 1920, 1055}));

  world.movePointer({100, 50});
  EXPECT_EQ(workspace.pointerLocation(), (Point{100, 850}));
}

TEST_F(WorkspaceTest, ScreenChangesAreAnnounced) {
  int changes = 0;
  auto screensSub = workspace.observeScreenParameters([&] { ++changes; });
  DisplayNumber external = world.plugDisplay({.frame = {1440, 0, 1920, 1080}});
  dispatch.runUntilIdle();
  EXPECT_EQ(changes, 1);
  world.setDisplayFrames(external, {-1920, 0, 1920, 1080}, {});
  world.unplugDisplay(external);
  dispatch.runUntilIdle();
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(workspace.screens().size(), 1u);
  EXPECT_FALSE(world.unplugDisplay(external));
}

TEST_F(WorkspaceTest, OpenURLIsRecordedAndAnsweredAsConfigured) {
  EXPECT_TRUE(workspace.openURL("x-apple.systempreferences:privacy"));
  world.setOpenURLAnswer(false);
  EXPECT_FALSE(workspace.openURL("https://example.com"));
  EXPECT_EQ(world.openedURLs(),
            (std::vector<std::string>{"x-apple.systempreferences:privacy", "https://example.com"}));
  world.setOSVersion({15, 1, 0});
  EXPECT_EQ(workspace.operatingSystemVersion(), (OSVersion{15, 1, 0}));
}

}  // namespace
}  // namespace vistarail::sim::testing
