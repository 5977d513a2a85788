// Windows the manager did not move itself, displays coming and going,
// pausing, quitting and launching again.

#include "manager_scene.h"

namespace vistarail::test {
namespace {

std::string one(const ManagerScene& scene, sim::WindowKey key) {
  return "*[" + std::to_string(scene.number(key)) + "]";
}

void manageBothDisplays(ManagerScene& scene) {
  scene.settings->managedDisplayIDs.set({scene.displayID(0), scene.displayID(1)});
  scene.run(1.0);
}

TEST(ManagerReconcile, AnApplicationMovingATiledWindowIsPutBackThreeTimesThenLeft) {
  ManagerScene scene;
  const Pid pid = scene.launch("Fighter");
  const auto a = scene.open(pid);
  scene.startManager();
  const Rect placed = scene.frame(a);
  ASSERT_EQ(placed, Rect(8, 33, 708, 500));

  auto shifted = [&](double dx) { return placed.offsetBy(dx, 0); };
  scene.world.appMovesWindow(a, shifted(2));  // within tolerance: left alone
  scene.run(1.0);
  EXPECT_EQ(scene.frame(a), shifted(2));
  for (int round = 1; round <= 4; ++round) {
    scene.world.appMovesWindow(a, shifted(6));
    scene.run(1.5);
    EXPECT_EQ(scene.frame(a), round <= 3 ? placed : shifted(6)) << "round " << round;
  }
  // A move somewhere else right after is no part of that fight (a user's
  // drag, say): it is put back, and starts a fight of its own.
  scene.world.appMovesWindow(a, shifted(40));
  scene.run(1.5);
  EXPECT_EQ(scene.frame(a), placed);
  // Left alone for a while, the fight is over: a later move is a new one.
  scene.run(11.0);
  scene.world.appMovesWindow(a, shifted(12));
  scene.run(1.5);
  EXPECT_EQ(scene.frame(a), placed);
}

// An application that insists on a size of its own, wherever its column
// puts the window, is one fight: two stacked windows whose size limits
// leave no width for both would otherwise hand the column's width back and
// forth for ever.
TEST(ManagerReconcile, AnApplicationInsistingOnASizeIsOneFightWhereverTheWindowStands) {
  ManagerScene scene;
  const Pid pid = scene.launch("Fighter");
  const auto a = scene.open(pid);
  scene.startManager();
  const Rect placed = scene.frame(a);
  for (int round = 1; round <= 4; ++round) {
    const Rect theirs(placed.minX() + 10.0 * round, placed.minY(), 650, 420);
    scene.world.appMovesWindow(a, theirs);
    scene.run(1.5);
    EXPECT_EQ(scene.frame(a).origin, round <= 3 ? placed.origin : theirs.origin)
        << "round " << round;
  }
}

TEST(ManagerLifecycle, AStoppedManagerDoesNotStartAgainNorActOnLateNews) {
  ManagerScene scene;
  const Pid pid = scene.launch("Editor");
  scene.startManager();
  const auto keys = scene.openColumns(pid, 3);
  bool done = false;
  scene.manager->stop([&] { done = true; });
  // Started again before the stop finished, and a notification arriving
  // meanwhile: neither may touch the windows the stop is bringing back.
  scene.manager->start();
  EXPECT_FALSE(scene.manager->isRunning());
  scene.world.appMovesWindow(keys[1], {500, 200, 600, 400});
  scene.run(6.0);
  EXPECT_TRUE(done);
  EXPECT_TRUE(scene.manager->isStopped());
  EXPECT_EQ(scene.frame(keys[1]), Rect(500, 200, 600, 400));
  for (auto key : keys) EXPECT_TRUE(inView(scene.frame(key), scene.world.displays()));
  // It registers no shortcut and takes no scroll.
  EXPECT_TRUE(scene.world.hotKeys().empty());
}

TEST(ManagerReconcile, AWindowDraggedOntoAnotherDisplayJoinsItsStrip) {
  ManagerScene scene;
  scene.world.plugDisplay({.name = "Right", .frame = kRightFrame, .visibleFrame = kRightVisible});
  const Pid pid = scene.launch("Editor");
  const auto a = scene.open(pid);
  const auto b = scene.open(pid, {300, 100, 600, 500});
  scene.startManager();
  // A first run manages the first display only.
  EXPECT_EQ(scene.settings->managedDisplayIDs.value(),
            std::vector<std::string>{scene.displayID(0)});
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 2 windows on 1 display");
  manageBothDisplays(scene);

  scene.world.dragWindow(b, {1700, 200, 600, 500});
  scene.run(2.0);
  EXPECT_EQ(scene.describe(0), one(scene, a));
  EXPECT_EQ(scene.describe(1), one(scene, b));
  EXPECT_TRUE(kRightVisible.contains(scene.frame(b)));
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 2 windows on 2 displays");
}

TEST(ManagerReconcile, AColumnMostlyPastTheEdgeOntoAnotherDisplayIsParked) {
  ManagerScene scene;
  scene.world.plugDisplay({.name = "Right", .frame = kRightFrame, .visibleFrame = kRightVisible});
  scene.defaults.set("newWindowWidth", 0.7);  // columns 994 points wide
  const Pid pid = scene.launch("Editor");
  const auto a = scene.open(pid);
  const auto b = scene.open(pid, {300, 100, 600, 500});
  scene.startManager();
  scene.world.focusWindow(a);
  scene.run(2.0);
  // Scrolled back to the first column, the second lies at 1010 ... 2004:
  // 430 points on its own display, 564 on the next one.
  EXPECT_TRUE(scene.manager->isParked(scene.number(b)));
  EXPECT_EQ(scene.frame(b).intersectionArea(kRightFrame), 0) << scene.frame(b);
  EXPECT_FALSE(scene.manager->isParked(scene.number(a)));
}

TEST(ManagerReconcile, PausingBringsEveryMovedWindowBackAndResumingLaysOutAgain) {
  ManagerScene scene;
  const Pid pid = scene.launch("Editor");
  scene.startManager();
  const auto keys = scene.openColumns(pid, 4);
  int parked = 0;
  for (auto key : keys) parked += scene.manager->isParked(scene.number(key));
  EXPECT_EQ(parked, 2);

  scene.settings->enabled.set(false);
  scene.run(2.0);
  for (auto key : keys) {
    EXPECT_TRUE(kMainVisible.contains(scene.frame(key))) << scene.number(key);
    EXPECT_EQ(stateOf(scene, key), MovedState::released);
  }
  scene.settings->enabled.set(true);
  scene.run(2.0);
  parked = 0;
  for (auto key : keys) parked += scene.manager->isParked(scene.number(key));
  EXPECT_EQ(parked, 2);
}

TEST(ManagerReconcile, UnpluggingAManagedDisplayReleasesItsWindowsAndReplugReturnsIt) {
  ManagerScene scene;
  const auto right = scene.world.plugDisplay(
      {.name = "Right", .frame = kRightFrame, .visibleFrame = kRightVisible, .uuid = "r-1"});
  const Pid pid = scene.launch("Editor");
  const auto a = scene.open(pid);
  const auto r = scene.open(pid, {1600, 100, 700, 500});
  scene.startManager();
  manageBothDisplays(scene);
  ASSERT_EQ(scene.describe(1), one(scene, r));
  const std::string rightID = scene.displayID(1);

  scene.world.unplugDisplay(right);
  scene.run(3.0);
  EXPECT_TRUE(kMainFrame.contains(scene.frame(r)));
  EXPECT_TRUE(kMainFrame.contains(scene.frame(a)));
  EXPECT_FALSE(scene.manager->displays().at(rightID).isConnected);
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 2 windows on 1 display");

  scene.world.plugDisplay(
      {.name = "Right", .frame = kRightFrame, .visibleFrame = kRightVisible, .uuid = "r-1"});
  scene.run(2.0);
  EXPECT_TRUE(scene.manager->displays().at(rightID).isManaged);
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 2 windows on 2 displays");
}

TEST(ManagerReconcile, ALayoutComesBackAfterARestart) {
  ManagerScene scene;
  const Pid pid = scene.launch("Editor");
  const auto a = scene.open(pid);
  const auto b = scene.open(pid, {300, 100, 600, 500});
  scene.startManager();
  // The user drags b wider: the column keeps the width.
  Rect wider = scene.frame(b);
  wider.size.width = 900;
  scene.world.dragWindow(b, wider);
  scene.run(2.0);
  EXPECT_EQ(scene.frame(b).width(), 900);
  const std::string before = scene.describe();

  scene.stopManager();
  EXPECT_TRUE(scene.defaults.storedObject("layout.v2"));
  EXPECT_FALSE(scene.defaults.storedObject(kUnrecoveredKey));
  for (auto key : {a, b}) EXPECT_TRUE(kMainVisible.contains(scene.frame(key)));

  scene.startManager();
  EXPECT_EQ(scene.describe(), before);
  EXPECT_EQ(scene.frame(b).width(), 900);
}

TEST(ManagerReconcile, LayoutsAreSavedASecondAfterAChangeEvenWhileChangesKeepComing) {
  ManagerScene scene;
  const Pid pid = scene.launch("Editor");
  scene.startManager();
  scene.openColumns(pid, 3);
  scene.run(2.0);
  scene.defaults.remove("layout.v2");
  // A change every half second, as an application fighting its windows'
  // places makes them: the first is saved all the same.
  for (int i = 0; i < 6; ++i) {
    scene.manager->perform(i % 2 ? Action::moveRight : Action::moveLeft);
    scene.run(0.5);
    if (i == 0) {
      EXPECT_FALSE(scene.defaults.storedObject("layout.v2"));
    } else if (i == 2) {
      EXPECT_TRUE(scene.defaults.storedObject("layout.v2"));
    }
  }
}

TEST(ManagerReconcile, StoredLayoutsThatDoNotDecodeAreLeftAloneWhenThereIsNothingToWrite) {
  ManagerScene scene;
  const PropertyList unreadable = PropertyList::binary(std::vector<uint8_t>{'{', 'x'});
  scene.defaults.set("layout.v2", unreadable);
  scene.startManager();
  scene.stopManager();
  EXPECT_EQ(scene.defaults.storedObject("layout.v2"), unreadable);
}

TEST(ManagerReconcile, QuittingWithAHungApplicationRemembersItsWindowsUntilTheyComeBack) {
  ManagerScene scene;
  const Pid editor = scene.launch("Editor");
  const Pid stuck = scene.launch("Stuck");
  const auto e = scene.open(editor);
  const auto s1 = scene.open(stuck, {300, 100, 700, 500});
  const auto s2 = scene.open(stuck, {500, 100, 700, 500});
  scene.startManager();
  scene.world.setBehaviour(stuck, {.hung = true});

  bool done = false;
  scene.manager->stop([&] { done = true; });
  // The hung application's calls time out, so the restores fail well
  // within the five seconds the quit may wait.
  scene.run(5.0);
  EXPECT_TRUE(done);
  const auto stored = scene.defaults.storedObject(kUnrecoveredKey);
  ASSERT_TRUE(stored);
  std::vector<WindowId> expected{scene.number(s1), scene.number(s2)};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(stored->get<std::vector<WindowId>>(), expected);
  EXPECT_TRUE(kMainVisible.contains(scene.frame(e)));
  scene.manager.reset();
  scene.settings.reset();

  // The next run, with the application answering again, brings them back at
  // the first pause and forgets them.
  scene.world.setBehaviour(stuck, {});
  scene.startManager();
  scene.settings->enabled.set(false);
  scene.run(3.0);
  EXPECT_FALSE(scene.defaults.storedObject(kUnrecoveredKey));
  for (auto key : {e, s1, s2}) EXPECT_TRUE(kMainVisible.contains(scene.frame(key)));
}

}  // namespace
}  // namespace vistarail::test
