// Launching, waiting for the Accessibility permission and quitting, as a
// person meets them: the icon, the menu and the windows on the desktop.

#include "shell_desk.h"

namespace vistarail::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

TEST(ShellLaunch, WaitsForThePermissionThenManagesWithinASecondOfTheGrant) {
  ShellDesk desk;
  desk.world.setTrusted(false);
  const Pid editor = desk.launchApp("Editor");
  const auto window =
      desk.world.openWindow(editor, {.title = "Notes", .frame = {300, 200, 500, 400}});
  desk.launch();

  // An accessory with its menus, the updater started, one prompt shown.
  EXPECT_EQ(desk.application.activationPolicy(), ActivationPolicy::accessory);
  EXPECT_EQ(desk.updates.starts, 1);
  EXPECT_EQ(desk.world.trustPromptsShown(), 1);
  EXPECT_FALSE(desk.manager().isRunning());
  EXPECT_TRUE(desk.delegate->isWaitingForPermission());

  // The slashed, dimmed icon, and the menu says why.
  EXPECT_EQ(desk.symbol(), shell::kSymbolInactive);
  EXPECT_TRUE(desk.icon().image->isTemplate);
  EXPECT_EQ(desk.icon().image->accessibilityDescription, "Vistarail");
  EXPECT_EQ(desk.icon().length, kSquareStatusItemLength);
  EXPECT_TRUE(desk.icon().appearsDisabled);
  EXPECT_EQ(desk.icon().toolTip, "Vistarail \u2014 Waiting for Accessibility permission");
  const Menu waiting = desk.openMenu();
  EXPECT_FALSE(waiting.autoenablesItems);
  EXPECT_THAT(
      ShellDesk::rows(waiting),
      ElementsAre("(Waiting for Accessibility permission)", "\u2014",
                  "Grant Accessibility Access\u2026", "\u2014", "Pause Vistarail\t\u2303\u2325P",
                  "Re-tile Windows\t\u2303\u2325\u21e7T", "Carousel Mode\t\u2303\u2325S", "\u2014",
                  "Mac Setup\u2026", "Settings\u2026", "About Vistarail\u2026",
                  "Check for Updates\u2026", "Privacy Policy\u2026", "\u2014", "Quit Vistarail"));

  // The grant item asks again and opens the privacy pane.
  desk.statusBar.choose(shell::kGrantAccessibility);
  desk.dispatch.runFor(0.05);
  EXPECT_EQ(desk.world.trustPromptsShown(), 2);
  EXPECT_THAT(desk.world.openedURLs(), ElementsAre(shell::kAccessibilitySettingsURL));

  // Polling goes on quietly: no more prompts, nothing moved.
  desk.dispatch.runUntil(4.3);
  EXPECT_EQ(desk.world.trustPromptsShown(), 2);
  EXPECT_EQ(desk.world.window(window)->frame, Rect(300, 200, 500, 400));

  // The user ticks the box at 4.3 s.
  desk.world.setTrusted(true);
  const double grantedAt = desk.dispatch.now();
  double startedAt = -1;
  while (desk.dispatch.now() < grantedAt + 2.0 && startedAt < 0) {
    desk.dispatch.runFor(0.05);
    if (desk.manager().isRunning()) startedAt = desk.dispatch.now();
  }
  ASSERT_GT(startedAt, grantedAt);
  EXPECT_LE(startedAt - grantedAt, 1.05);  // one poll
  EXPECT_FALSE(desk.delegate->isWaitingForPermission());
  EXPECT_EQ(desk.symbol(), shell::kSymbolActive);
  EXPECT_FALSE(desk.icon().appearsDisabled);

  // The window joins the strip, and the menu drops the grant row.
  desk.dispatch.runFor(2.0);
  EXPECT_NE(desk.world.window(window)->frame, Rect(300, 200, 500, 400));
  EXPECT_EQ(desk.icon().toolTip, "Vistarail \u2014 Running \u2014 1 window on 1 display");
  const Menu running = desk.openMenu();
  EXPECT_THAT(ShellDesk::rows(running), Not(Contains("Grant Accessibility Access\u2026")));
  EXPECT_EQ(ShellDesk::rows(running).front(), "(Running \u2014 1 window on 1 display)");
  EXPECT_EQ(desk.world.trustPromptsShown(), 2);
}

TEST(ShellLaunch, AsATestHostNothingIsCreated) {
  ShellDesk desk;
  desk.process.setEnvironmentValue(shell::kTestHostVariable, "/tmp/Tests.xctestconfiguration");
  desk.launchApp("Editor");
  desk.launch(3.0);

  EXPECT_TRUE(desk.application.launched());
  EXPECT_EQ(desk.statusBar.itemsMade(), 0);
  EXPECT_EQ(desk.managersMade, 0);
  EXPECT_EQ(desk.updates.starts, 0);
  EXPECT_EQ(desk.world.trustPromptsShown(), 0);
  EXPECT_EQ(desk.process.handlers(kSignalTerminate), 0);
  // Nothing took SIGTERM over, so it ends the process as it would any other.
  desk.process.sendSignal(kSignalTerminate);
  EXPECT_EQ(desk.process.killedBy(), kSignalTerminate);
}

TEST(ShellLaunch, QuittingWhileWaitingExitsAtOnceAndALaterGrantStartsNothing) {
  ShellDesk desk;
  desk.world.setTrusted(false);
  desk.launch();
  desk.choose(shell::kQuit);
  EXPECT_TRUE(desk.application.terminatedAt().has_value());
  EXPECT_TRUE(desk.delegate->isTerminating());

  desk.world.setTrusted(true);
  desk.dispatch.runFor(3.0);
  EXPECT_FALSE(desk.manager().isRunning());
  EXPECT_EQ(desk.world.trustPromptsShown(), 1);
}

TEST(ShellLaunch, QuittingWithNothingToBringBackExitsRightAway) {
  ShellDesk desk;
  desk.launch(2.0);
  ASSERT_TRUE(desk.manager().isRunning());
  desk.process.sendSignal(kSignalTerminate);
  desk.dispatch.runFor(0.05);
  ASSERT_TRUE(desk.application.terminatedAt().has_value());
  EXPECT_FALSE(desk.manager().isRunning());
  EXPECT_FALSE(desk.application.awaitingTerminateReply());
}

// Four windows of 700 points on a 1440-point display: the first ones are
// parked off screen once the last one has focus. Each call to the
// applications takes 20 ms, so the restores take a while.
struct ParkedDesk : ShellDesk {
  std::vector<sim::WindowKey> windows;
  ParkedDesk() {
    for (const char* name : {"Mail", "Notes"}) {
      const Pid pid = launchApp(name, {.latencySeconds = 0.02});
      for (int i = 0; i < 2; ++i) {
        windows.push_back(world.openWindow(pid, {.frame = {100.0 + 40 * i, 100, 700, 500}}));
      }
    }
    launch(4.0);
  }
  int parked() {
    int count = 0;
    for (auto key : windows) count += inView(key) ? 0 : 1;
    return count;
  }
  // Runs until the application may exit; returns whether it did within 6 s.
  bool runUntilExit() {
    for (int i = 0; i < 600 && !application.terminatedAt(); ++i) dispatch.runFor(0.01);
    return application.terminatedAt().has_value();
  }
};

enum class QuitBy { sigterm, statusMenu, mainMenu, twoSignals };

class ShellQuit : public ::testing::TestWithParam<QuitBy> {};

TEST_P(ShellQuit, ParkedWindowsComeBackBeforeTheProcessMayExit) {
  ParkedDesk desk;
  ASSERT_GE(desk.parked(), 2);
  ASSERT_FALSE(desk.process.killedBy());

  const double askedAt = desk.dispatch.now();
  switch (GetParam()) {
    case QuitBy::sigterm:
      desk.process.sendSignal(kSignalTerminate);
      break;
    case QuitBy::statusMenu:
      desk.openMenu();
      desk.statusBar.choose(shell::kQuit);
      break;
    case QuitBy::mainMenu:
      desk.application.chooseMainMenuItem("Vistarail", shell::kQuit);
      break;
    case QuitBy::twoSignals:
      desk.process.sendSignal(kSignalTerminate);
      desk.dispatch.runFor(0.01);
      desk.process.sendSignal(kSignalTerminate);
      break;
  }
  ASSERT_TRUE(desk.runUntilExit());
  // Checked at the instant the process may exit: every window is back.
  EXPECT_EQ(desk.parked(), 0);
  EXPECT_FALSE(desk.process.killedBy());
  EXPECT_TRUE(desk.delegate->isTerminating());
  EXPECT_FALSE(desk.manager().isRunning());
  // The restores took their time: the answer really waited for them.
  EXPECT_GT(*desk.application.terminatedAt() - askedAt, 0.02);
  EXPECT_LT(*desk.application.terminatedAt() - askedAt, 5.5);
  EXPECT_EQ(desk.application.log().back().substr(6), "the process may exit");
}

std::string quitName(const ::testing::TestParamInfo<QuitBy>& info) {
  static const char* const kNames[] = {"Sigterm", "StatusMenu", "MainMenu", "TwoSignals"};
  return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ShellQuit,
                         ::testing::Values(QuitBy::sigterm, QuitBy::statusMenu, QuitBy::mainMenu,
                                           QuitBy::twoSignals),
                         quitName);

}  // namespace
}  // namespace vistarail::test
