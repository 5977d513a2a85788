// Running applications, workspace and screen notifications, screens in the
// screen API's space, the pointer and the small desktop services.

#include <gtest/gtest.h>

#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/world_fixture.h"

namespace vistarail::sim::test {
namespace {

class WorkspaceTest : public WorldTest {
 protected:
  Subscription subscription = logWorkspace();
};

TEST_F(WorkspaceTest, ApplicationLifecycleIsAnnouncedInOrderUntilTheSubscriptionEnds) {
  Pid mail = launch("Mail", LaunchActivation::activates);
  Pid notes = launch("Notes", LaunchActivation::staysInBackground);
  open(mail, "Inbox");
  open(notes, "Note");
  world.hideApp(mail);
  world.unhideApp(mail);
  world.quitApp(notes);
  const SpaceId other = world.addSpace(display);
  world.switchSpace(display, other);
  world.switchSpace(display, other);  // already shown
  EXPECT_EQ(takeLog(),
            (Strings{"launch Mail", "activate Mail", "launch Notes", "hide Mail", "activate Notes",
                     "unhide Mail", "terminate Notes (gone)", "activate Mail", "space"}));
  // Notes was frontmost when it quit; Mail's window is the one left.
  EXPECT_EQ(world.frontmostApp(), mail);
  subscription.reset();
  launch("Calendar");
  EXPECT_EQ(takeLog(), Strings{});
}

TEST_F(WorkspaceTest, RunningApplicationsLeaveOutTerminatedOnes) {
  Pid a = world.launchApp({.bundleIdentifier = "com.example.a",
                           .name = "A",
                           .activationPolicy = ActivationPolicy::accessory,
                           .bundlePath = "/Applications/A.app"});
  Pid b = launch("B");
  EXPECT_EQ(workspace.runningApplications()[0],
            (RunningApplication{a, "com.example.a", "A", ActivationPolicy::accessory, false, false,
                                "/Applications/A.app"}));
  world.quitApp(a);
  auto running = workspace.runningApplications();
  ASSERT_EQ(running.size(), 1u);
  EXPECT_EQ(running[0].pid, b);
  EXPECT_EQ(running[0].bundleIdentifier, "com.example.B");
  EXPECT_EQ(workspace.frontmostApplication()->pid, b);
  EXPECT_TRUE(world.app(a)->terminated);
  EXPECT_EQ(world.launchApp({.pid = b}), 0) << "a pid in use cannot be launched twice";
}

TEST_F(WorkspaceTest, ScreensAreFlippedAgainstThePrimaryDisplayAndChangesAnnounced) {
  int changes = 0;
  auto screensSub = workspace.observeScreenParameters([&] { ++changes; });
  DisplayNumber external = world.plugDisplay({.name = "External",
                                              .frame = {1440, -200, 1920, 1080},
                                              .visibleFrame = {1440, -175, 1920, 1055},
                                              .screenNumberReadable = false});
  const auto screens = workspace.screens();
  EXPECT_EQ(screens,
            (std::vector<ScreenInfo>{
                {display, "Built-in", {0, 0, 1440, 900}, {0, 75, 1440, 800}},
                {std::nullopt, "External", {1440, 20, 1920, 1080}, {1440, 20, 1920, 1055}}}))
      << "the primary's menu bar is 25 high, its Dock 75";
  EXPECT_EQ(flipVertically(screens[1].visibleFrame, 900), (Rect{1440, -175, 1920, 1055}));
  world.movePointer({100, 50});
  EXPECT_EQ(workspace.pointerLocation(), (Point{100, 850}));

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
            (Strings{"x-apple.systempreferences:privacy", "https://example.com"}));
}

TEST(SimKeyboardLayout, AnswersAUsLayoutUntilToldOtherwise) {
  SimKeyboardLayout layout;
  // A key the layout has nothing for translates to no characters, successfully.
  for (const auto& [key, typed] : std::map<uint16_t, std::u16string>{
           {0, u"a"}, {6, u"z"}, {24, u"="}, {42, u"\\"}, {49, u" "}, {255, u""}}) {
    EXPECT_EQ(layout.displayCharacters(key), typed) << key;
  }
  layout.useLayout(SimKeyboardLayout::germanLayout());
  EXPECT_EQ(layout.displayCharacters(6), u"y");
  EXPECT_EQ(layout.displayCharacters(0), u"a");
  EXPECT_EQ(layout.translationCount(), 8);
  layout.useLayout({{0, u"abcd"}, {1, u"abcde"}});
  EXPECT_EQ(layout.displayCharacters(0), u"abcd");
  EXPECT_EQ(layout.displayCharacters(1), std::nullopt) << "longer than the buffer";
}

TEST(SimKeyboardLayout, FailsAsToldAndRecovers) {
  SimKeyboardLayout layout;
  for (const auto failure : {LayoutFailure::noInputSource, LayoutFailure::noUnicodeLayout,
                             LayoutFailure::translationError}) {
    layout.setFailure(failure);
    EXPECT_EQ(layout.displayCharacters(0), std::nullopt);
  }
  layout.setFailure(LayoutFailure::none);
  EXPECT_EQ(layout.displayCharacters(0), u"a");
}

}  // namespace
}  // namespace vistarail::sim::test
