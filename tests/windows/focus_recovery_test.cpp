// Focus reports the strips must follow or ignore, and restores that fail.

#include "manager_scene.h"

namespace vistarail::test {
namespace {

TEST(ManagerFocus, AFloatingWindowTakingFocusLeavesTheStripAlone) {
  ManagerScene scene;
  const Pid editor = scene.launch("Editor");
  const auto a = scene.open(editor);
  scene.open(editor, {300, 100, 600, 500});
  sim::WindowSetup dialog;
  dialog.subrole = std::string(ax::kDialogSubrole);
  const auto palette = scene.open(editor, {200, 200, 300, 300}, dialog);
  scene.startManager();
  scene.world.focusWindow(a);
  scene.run(1.0);
  const std::string focusedOnA = scene.describe();
  ASSERT_EQ(focusedOnA.front(), '*');

  // A floating window taking focus leaves the strip as it is.
  scene.world.focusWindow(palette);
  scene.run(1.0);
  EXPECT_EQ(scene.describe(), focusedOnA);
  EXPECT_EQ(scene.manager->focusedWindow(), scene.number(palette));
}

TEST(ManagerFocus, NoFocusedWindowIsBelievedOnlyAfterTheGracePeriod) {
  ManagerScene scene;
  const Pid p = scene.launch("P");
  const auto a = scene.open(p);
  scene.startManager();
  const WindowId id = scene.number(a);

  scene.manager->focusWindow(id);
  scene.run(0.1);
  scene.world.minimizeWindow(a);  // P reports no focused window at once
  scene.run(0.4);
  EXPECT_EQ(scene.manager->focusedWindow(), id);
  // Past the grace period the program looks again, and believes it.
  scene.run(0.5);
  EXPECT_EQ(scene.manager->focusedWindow(), std::nullopt);

  scene.world.unminimizeWindow(a);
  scene.run(1.0);
  scene.world.minimizeWindow(a);
  scene.run(1.0);
  EXPECT_EQ(scene.manager->focusedWindow(), std::nullopt);
}

TEST(ManagerRecovery, AFailedRestoreIsRetriedUntilTheWindowComesBack) {
  ManagerScene scene;
  const Pid pid = scene.launch("Editor");
  scene.startManager();
  const auto keys = scene.openColumns(pid, 3);
  const auto parked = keys.front();
  ASSERT_TRUE(scene.manager->isParked(scene.number(parked)));

  scene.world.setBehaviour(pid, {.faults = {{.name = ax::kPosition,
                                             .on = sim::FaultOn::write,
                                             .error = AXError::illegalArgument}}});
  scene.settings->enabled.set(false);
  scene.run(1.0);
  EXPECT_FALSE(inView(scene.frame(parked), scene.world.displays()));
  EXPECT_EQ(stateOf(scene, parked), MovedState::needsRecovery);

  scene.world.setBehaviour(pid, {});
  scene.run(3.0);  // the next retry
  EXPECT_TRUE(kMainVisible.contains(scene.frame(parked)));
  EXPECT_TRUE(windowsIn(*scene.manager, MovedState::needsRecovery).empty());
}

TEST(ManagerRecovery, WithNoDisplayLeftRestoresWaitForOne) {
  ManagerScene scene;
  const Pid pid = scene.launch("Editor");
  scene.startManager();
  const auto keys = scene.openColumns(pid, 3);
  scene.world.unplugDisplay(scene.mainDisplay);
  scene.settings->enabled.set(false);
  scene.run(1.0);
  EXPECT_EQ(windowsIn(*scene.manager, MovedState::needsRecovery).size(), keys.size());

  scene.world.plugDisplay({.name = "Built-in", .frame = kMainFrame, .visibleFrame = kMainVisible});
  scene.run(4.0);
  for (auto key : keys) EXPECT_TRUE(kMainFrame.contains(scene.frame(key))) << scene.number(key);
  EXPECT_TRUE(windowsIn(*scene.manager, MovedState::needsRecovery).empty());
}

// A window remembered from an earlier run that no scan can find (its
// application is a menu-bar extra, no regular one) keeps the recovery timer
// going while the manager runs. A stop takes it over: the window is
// remembered again, and the stopped manager leaves nothing scheduled that
// would wake it.
TEST(ManagerRecovery, AStoppedManagerLeavesNoRecoveryTimerBehind) {
  ManagerScene scene;
  const Pid menuClock = scene.world.launchApp({.bundleIdentifier = "com.example.MenuClock",
                                               .name = "MenuClock",
                                               .activationPolicy = ActivationPolicy::accessory},
                                              sim::LaunchActivation::activates);
  const auto key = scene.open(menuClock, {1439, 200, 300, 300});
  const WindowId id = scene.number(key);
  scene.defaults.set(kUnrecoveredKey, PropertyList(std::vector<WindowId>{id}));
  scene.startManager();
  scene.run(7.0);  // two periods of the recovery timer: the window stays owed
  ASSERT_NE(scene.manager->movedWindow(id), nullptr);

  bool stopped = false;
  scene.manager->stop([&] { stopped = true; });
  scene.run(6.0);
  ASSERT_TRUE(stopped);
  EXPECT_TRUE(scene.defaults.storedObject(kUnrecoveredKey).has_value());
  scene.run(4.0);  // longer than a period of the recovery timer
  EXPECT_EQ(scene.dispatch.pendingCount(), 0u);
}

}  // namespace
}  // namespace vistarail::test

namespace vistarail::test {
namespace {

// A dialog the last run left parked (it does not tile, so only the record
// can bring it back), and what the stored record says about it. It comes back
// soon after launch, without waiting for the user to pause.
TEST(ManagerRecovery, WindowsRememberedFromTheLastRunComeBackSoonAfterLaunch) {
  struct Case {
    const char* stored;  // JSON; N stands for the dialog's number
    bool comesBack;
  };
  const Case cases[] = {
      {"[N]", true},
      {"[N, 4294967296, -1, 2.5]", true},  // numbers that are no window number are skipped
      {"\"N\"", false},                    // not an array
      {"[N, \"x\"]", false},               // not an array of numbers
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    ManagerScene scene;
    const Pid pid = scene.launch("Tools");
    sim::WindowSetup dialog;
    dialog.subrole = std::string(ax::kDialogSubrole);
    const auto key = scene.open(pid, {1439, 200, 300, 300}, dialog);
    std::string text = c.stored;
    text.replace(text.find('N'), 1, std::to_string(scene.number(key)));
    scene.defaults.set(kUnrecoveredKey, PropertyList::parse(text));

    scene.startManager();
    scene.run(4.0);  // one period of the recovery timer after the first scan
    EXPECT_EQ(kMainVisible.contains(scene.frame(key)), c.comesBack);
    EXPECT_EQ(scene.defaults.storedObject(kUnrecoveredKey).has_value(), !c.comesBack);
  }
}

}  // namespace
}  // namespace vistarail::test
