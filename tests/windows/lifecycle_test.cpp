// Start, the refresh pipeline and the status text, on the simulated desktop.

#include "manager_scene.h"
#include "platform/ax_names.h"

namespace vistarail::test {
namespace {

using ::testing::ElementsAre;
using ::testing::SizeIs;
using Kind = ManagerEvent::Kind;

std::string column(const ManagerScene& scene, sim::WindowKey key) {
  return "[" + std::to_string(scene.number(key)) + "]";
}

TEST(ManagerLifecycle, WindowsOpenBesideTheFocusedOneAndColumnsOutOfViewPark) {
  ManagerScene scene;
  const Pid editor = scene.launch("Editor");
  const auto a = scene.open(editor, {50, 80, 700, 500});
  scene.startManager();
  EXPECT_EQ(scene.describe(), "*" + column(scene, a));
  EXPECT_EQ(scene.frame(a), Rect(8, 33, 708, 500));
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 1 window on 1 display");

  const auto b = scene.open(editor, {600, 80, 500, 400});
  scene.run(1.0);
  EXPECT_EQ(scene.describe(), column(scene, a) + " *" + column(scene, b));
  EXPECT_EQ(scene.frame(b), Rect(724, 33, 708, 400));

  // A third column scrolls the strip so that it shows; the first column is
  // then wholly out of view and parked with a one-point sliver inside the
  // display's left edge.
  const auto c = scene.open(editor, {300, 80, 500, 400});
  scene.run(2.0);
  EXPECT_EQ(scene.describe(), column(scene, a) + " " + column(scene, b) + " *" + column(scene, c));
  EXPECT_EQ(scene.frame(a), Rect(-707, 33, 708, 500));
  EXPECT_TRUE(scene.manager->isParked(scene.number(a)));
  EXPECT_EQ(scene.frame(c), Rect(724, 33, 708, 400));
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 3 windows on 1 display");

  // Focusing the first column again brings it back from its parking place.
  scene.world.focusWindow(a);
  scene.run(2.0);
  EXPECT_EQ(scene.describe(),
            "*" + column(scene, a) + " " + column(scene, b) + " " + column(scene, c));
  EXPECT_EQ(scene.frame(a), Rect(8, 33, 708, 500));
  EXPECT_FALSE(scene.manager->isParked(scene.number(a)));
}

TEST(ManagerLifecycle, ABurstOfNotificationsCostsOneScanAndOneReconcile) {
  ManagerScene scene;
  const Pid tools = scene.launch("Tools");
  sim::WindowSetup dialog;
  dialog.subrole = std::string(ax::kDialogSubrole);
  const auto palette = scene.open(tools, {200, 200, 300, 300}, dialog);
  scene.startManager();
  scene.world.clearCalls();
  scene.events.clear();
  scene.eventTimes.clear();

  for (int i = 0; i < 50; ++i) scene.world.appMovesWindow(palette, {200.0 + i, 200, 300, 300});
  scene.run(1.0);
  EXPECT_EQ(scene.scans(tools), 1);
  EXPECT_THAT(scene.eventsAt(Kind::reconcile), SizeIs(1));
  EXPECT_EQ(scene.describe(), "");  // a dialog floats
}

TEST(ManagerLifecycle, ASlowApplicationDoesNotHoldUpTheOthers) {
  ManagerScene scene;
  const Pid fast = scene.launch("Fast");
  const Pid slow = scene.launch("Slow");
  scene.startManager();
  scene.world.setBehaviour(slow, {.latencySeconds = 2.0});
  scene.events.clear();
  scene.eventTimes.clear();
  const double t0 = scene.dispatch.now();

  const auto a = scene.open(fast);
  scene.world.hideApp(slow);  // both applications are now waiting for a scan
  scene.run(3.0);
  // The batch deadline reconciles what has arrived; the late answer gets a
  // reconcile of its own.
  const auto reconciles = scene.eventsAt(Kind::reconcile);
  ASSERT_THAT(reconciles, SizeIs(2));
  EXPECT_NEAR(reconciles[0] - t0, 0.58, 0.01);
  EXPECT_NEAR(reconciles[1] - t0, 2.08, 0.05);
  ASSERT_FALSE(scene.writes(a).empty());
  EXPECT_LT(scene.writes(a).front().startSeconds - t0, 0.7);
  EXPECT_EQ(scene.describe(), "*" + column(scene, a));
}

// A scan's bookkeeping (the new window's notifications, the known windows
// read again) goes one call at a time behind whatever reached the
// application's queue meanwhile: the next window's scan and first frames come
// before the rest of it, however slow the application.
TEST(ManagerLifecycle, AScanFollowUpYieldsToTheNextWindowOfASlowApplication) {
  ManagerScene scene;
  const Pid app = scene.launch("Slow");
  scene.startManager();
  scene.world.setBehaviour(app, {.latencySeconds = 0.1});
  scene.world.clearCalls();
  const auto first = scene.open(app);
  scene.run(1.0);
  const double secondOpened = scene.dispatch.now();
  const auto second = scene.open(app, {160, 100, 700, 500});
  scene.run(6.0);

  double lastRegistration = -1;
  double nextScan = -1;
  for (const sim::AXCall& call : scene.world.calls(app)) {
    if (call.kind == sim::AXCallKind::addNotification && call.window == first) {
      lastRegistration = std::max(lastRegistration, call.startSeconds);
    }
    if (nextScan < 0 && call.startSeconds > secondOpened && !call.window &&
        call.kind == sim::AXCallKind::copyAttribute && call.name == ax::kWindows) {
      nextScan = call.startSeconds;
    }
  }
  ASSERT_GT(lastRegistration, 0) << "the first window's notifications were never registered";
  ASSERT_GT(nextScan, 0);
  EXPECT_LT(nextScan, lastRegistration);
  // Every notification of both windows is registered in the end.
  for (const auto key : {first, second}) {
    int registered = 0;
    for (const sim::AXCall& call : scene.world.calls(app)) {
      if (call.kind == sim::AXCallKind::addNotification && call.window == key) ++registered;
    }
    EXPECT_EQ(registered, 6);
  }
  EXPECT_FALSE(scene.writes(second).empty());
}

TEST(ManagerLifecycle, StartingWithNoApplicationsIsReadyAtOnce) {
  ManagerScene scene;
  scene.startManager(0);
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 0 windows on 1 display");
  scene.run(0.2);
  EXPECT_THAT(scene.eventsAt(Kind::reconcile), ElementsAre(::testing::DoubleNear(0.08, 1e-9)));
}

TEST(ManagerLifecycle, AnObserverThatFailsFiveTimesIsRetriedUntilItWorks) {
  ManagerScene scene;
  const Pid pid = scene.launch("Flaky", {.faults = {{.on = sim::FaultOn::observer,
                                                     .error = AXError::cannotComplete,
                                                     .remaining = 5}}});
  const auto a = scene.open(pid);
  scene.startManager(0);
  // Retries after 0.4, 0.8, 1.2, 1.6 and 2.0 s: the sixth attempt at 6.0 s.
  scene.run(5.9);
  EXPECT_EQ(scene.describe(), "");
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 0 windows on 1 display");
  scene.run(1.0);
  EXPECT_EQ(scene.describe(), "*" + column(scene, a));
}

TEST(ManagerLifecycle, StatusTextFollowsTrustPauseDisplaysAndFullScreen) {
  ManagerScene scene;
  const Pid pid = scene.launch("Editor");
  const auto a = scene.open(pid);
  scene.startManager();
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 1 window on 1 display");

  scene.world.enterFullScreen(a);
  scene.run(1.0);
  EXPECT_EQ(scene.manager->statusText(), "Idle in full-screen Spaces");
  scene.world.exitFullScreen(a);
  scene.run(1.0);
  EXPECT_EQ(scene.manager->statusText(), "Running \u2014 1 window on 1 display");

  scene.settings->enabled.set(false);
  scene.run(0.5);
  EXPECT_EQ(scene.manager->statusText(), "Paused");
  scene.settings->enabled.set(true);
  scene.settings->managedDisplayIDs.set({});
  scene.run(0.5);
  EXPECT_EQ(scene.manager->statusText(), "Idle \u2014 no connected displays selected");

  scene.world.setTrusted(false);
  EXPECT_EQ(scene.manager->statusText(), "Waiting for Accessibility permission");
  scene.world.setTrusted(true);
  scene.stopManager();
}

}  // namespace
}  // namespace vistarail::test
