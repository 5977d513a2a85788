// Observers and the notifications applications and the user cause, in the
// order the system sends them.

#include <gtest/gtest.h>

#include "platform/ax_names.h"
#include "world_fixture.h"

namespace vistarail::sim::testing {
namespace {

using Log = std::vector<std::string>;

const std::vector<std::string> kAppNotes = {ax::kWindowCreated,     ax::kFocusedWindowChanged,
                                            ax::kMainWindowChanged, ax::kApplicationHidden,
                                            ax::kApplicationShown,  ax::kSheetCreated};
const std::vector<std::string> kWindowNotes = {ax::kUIElementDestroyed,   ax::kWindowMiniaturized,
                                               ax::kWindowDeminiaturized, ax::kWindowMoved,
                                               ax::kWindowResized,        ax::kTitleChanged};

class NotificationTest : public WorldTest {
 protected:
  NotificationTest() {
    pid = launch("Editor");
    a = open(pid, "A", {100, 100, 600, 400});
    observer = observe(pid, app(pid), kAppNotes);
  }
  void watch(WindowKey key) {
    for (const auto& name : kWindowNotes) {
      EXPECT_EQ(ax.addNotification(observer, win(key), name), AXError::success);
    }
  }
  std::string on(WindowKey key) {
    return " window " + std::to_string(key) + " of " + std::to_string(pid);
  }
  std::string onApp() { return " app " + std::to_string(pid); }

  Pid pid = 0;
  WindowKey a = 0;
  AXObserver observer;
};

TEST_F(NotificationTest, RegistrationErrorsMatchThePlatform) {
  EXPECT_EQ(ax.addNotification(observer, app(pid), ax::kWindowCreated),
            AXError::notificationAlreadyRegistered);
  EXPECT_EQ(ax.removeNotification(observer, app(pid), ax::kWindowCreated), AXError::success);
  EXPECT_EQ(ax.removeNotification(observer, app(pid), ax::kWindowCreated),
            AXError::notificationNotRegistered);
  EXPECT_EQ(ax.addNotification(observer, app(pid), "AXNoSuchNotification"),
            AXError::notificationUnsupported);
  Pid other = launch("Other");
  EXPECT_EQ(ax.addNotification(observer, app(other), ax::kWindowCreated), AXError::illegalArgument);
  EXPECT_EQ(ax.addNotification(AXObserver(), app(pid), ax::kWindowCreated),
            AXError::invalidUIElementObserver);
  EXPECT_EQ(ax.createObserver(pid, nullptr).error, AXError::illegalArgument);

  // A closed window takes its registrations with it.
  watch(a);
  AXElement stale = win(a);
  world.closeWindow(a);
  EXPECT_EQ(ax.addNotification(observer, stale, ax::kWindowMoved), AXError::invalidUIElement);
}

TEST_F(NotificationTest, ObserverCreationCanBeMadeToFail) {
  world.setBehaviour(
      pid, {.faults = {{.on = FaultOn::observer, .error = AXError::failure, .remaining = 1}}});
  EXPECT_EQ(ax.createObserver(pid, [](auto&, auto&, auto&) {}).error, AXError::failure);
  EXPECT_TRUE(ax.createObserver(pid, [](auto&, auto&, auto&) {}).isOk());
  world.setBehaviour(pid, {.faults = {{.name = ax::kWindowCreated,
                                       .on = FaultOn::notification,
                                       .error = AXError::cannotComplete}}});
  auto second = ax.createObserver(pid, [](auto&, auto&, auto&) {});
  EXPECT_EQ(ax.addNotification(*second.value, app(pid), ax::kWindowCreated),
            AXError::cannotComplete);
  EXPECT_EQ(ax.addNotification(*second.value, app(pid), ax::kSheetCreated), AXError::success);
}

TEST_F(NotificationTest, OpeningAWindowAnnouncesItThenItsFocus) {
  takeLog();
  WindowKey b = open(pid, "B");
  EXPECT_EQ(takeLog(), (Log{"AXWindowCreated" + on(b), "AXFocusedWindowChanged" + on(b),
                            "AXMainWindowChanged" + on(b)}));
  world.openWindow(pid, {.title = "C"}, WindowFocus::staysBehind);
  EXPECT_EQ(takeLog(), (Log{"AXWindowCreated" + on(b + 1)}));
}

TEST_F(NotificationTest, DeliveredOnTheMainQueueOnlyWhileAttached) {
  bool onMain = false;
  auto plain =
      ax.createObserver(pid, [&](auto&, auto&, auto&) { onMain = dispatch.onMainQueue(); });
  ax.addNotification(*plain.value, app(pid), ax::kWindowCreated);
  auto queue = dispatch.makeSerialQueue("app.vistarail.ax.501");
  queue->async([&] { open(pid, "B"); });
  dispatch.runUntilIdle();
  EXPECT_FALSE(onMain);  // not attached: nothing arrives

  ax.attachToMainRunLoop(*plain.value);
  queue->async([&] { open(pid, "C"); });
  dispatch.runUntilIdle();
  EXPECT_TRUE(onMain);

  // Detaching drops what was emitted but not yet delivered.
  takeLog();
  open(pid, "D");
  ax.detachFromMainRunLoop(observer);
  EXPECT_EQ(takeLog(), Log{});
}

TEST_F(NotificationTest, WindowRegistrationsHearOnlyTheirWindow) {
  WindowKey b = open(pid, "B");
  watch(a);
  takeLog();
  world.setWindowTitle(b, "B2");
  world.setWindowTitle(a, "A2");
  world.setWindowTitle(a, "A2");  // unchanged: no notification
  EXPECT_EQ(takeLog(), (Log{"AXTitleChanged" + on(a)}));
}

TEST_F(NotificationTest, UserMovesAndWritesReportWhatChanged) {
  watch(a);
  takeLog();
  world.dragWindow(a, {150, 100, 600, 400});
  EXPECT_EQ(takeLog(), (Log{"AXWindowMoved" + on(a)}));
  world.dragWindow(a, {0, 0, 700, 500});
  EXPECT_EQ(takeLog(), (Log{"AXWindowMoved" + on(a), "AXWindowResized" + on(a)}));

  ax.setAttributeValue(win(a), ax::kSize, Size{700, 500});  // unchanged
  EXPECT_EQ(takeLog(), Log{});
  world.editWindow(a, [](SimWindow& w) { w.minSize = {650, 450}; });
  ax.setAttributeValue(win(a), ax::kSize, Size{300, 300});
  EXPECT_EQ(world.window(a)->frame.size, (Size{650, 450}));
  EXPECT_EQ(takeLog(), (Log{"AXWindowResized" + on(a)}));
  world.setBehaviour(pid, {.ignoresMoves = true});
  ax.setAttributeValue(win(a), ax::kPosition, Point{300, 300});
  EXPECT_EQ(takeLog(), Log{});
}

TEST_F(NotificationTest, ClosingAndMinimisingHandFocusToTheNextWindow) {
  WindowKey b = open(pid, "B");
  watch(a);
  watch(b);
  takeLog();
  world.minimizeWindow(b);
  EXPECT_EQ(takeLog(), (Log{"AXWindowMiniaturized" + on(b), "AXFocusedWindowChanged" + on(a),
                            "AXMainWindowChanged" + on(a)}));
  world.unminimizeWindow(b);
  EXPECT_EQ(takeLog(), (Log{"AXWindowDeminiaturized" + on(b), "AXFocusedWindowChanged" + on(b),
                            "AXMainWindowChanged" + on(b)}));
  world.closeWindow(b);
  EXPECT_EQ(takeLog(), (Log{"AXUIElementDestroyed" + on(b), "AXFocusedWindowChanged" + on(a),
                            "AXMainWindowChanged" + on(a)}));
  world.closeWindow(a);
  EXPECT_EQ(takeLog(), (Log{"AXUIElementDestroyed" + on(a), "AXFocusedWindowChanged" + onApp()}));
}

TEST_F(NotificationTest, HidingAndShowingTheApplication) {
  Log workspaceLog;
  auto sub = workspace.observe([&](WorkspaceEvent e, const std::optional<RunningApplication>& r) {
    workspaceLog.push_back(std::to_string(static_cast<int>(e)) + ":" +
                           (r ? std::to_string(r->pid) : "-"));
  });
  Pid other = launch("Other", LaunchActivation::staysInBackground);
  open(other, "O");
  takeLog();
  workspaceLog.clear();
  world.hideApp(pid);
  EXPECT_EQ(takeLog(), (Log{"AXApplicationHidden" + onApp()}));
  EXPECT_EQ(world.frontmostApp(), other);
  const auto id = [](WorkspaceEvent e) { return std::to_string(static_cast<int>(e)); };
  EXPECT_EQ(workspaceLog,
            (Log{id(WorkspaceEvent::didHideApplication) + ":" + std::to_string(pid),
                 id(WorkspaceEvent::didActivateApplication) + ":" + std::to_string(other)}));
  world.focusWindow(a);  // hidden windows cannot be clicked
  EXPECT_EQ(world.frontmostApp(), other);
  world.activateApp(pid);
  EXPECT_EQ(takeLog(), (Log{"AXApplicationShown" + onApp()}));
  EXPECT_FALSE(world.app(pid)->hidden);
}

TEST_F(NotificationTest, ClickingAWindowOfAnotherApplicationActivatesItFirst) {
  Pid other = launch("Other", LaunchActivation::staysInBackground);
  WindowKey o = open(other, "O");
  auto otherObserver = observe(other, app(other), kAppNotes);
  Log order;
  auto sub = workspace.observe([&](WorkspaceEvent e, const auto&) {
    if (e == WorkspaceEvent::didActivateApplication) log.push_back("activated");
  });
  takeLog();
  world.focusWindow(a);  // already focused in the frontmost application: nothing
  EXPECT_EQ(takeLog(), Log{});
  world.editApp(other, [](SimApp& app) { app.focusedWindow.reset(); });
  world.focusWindow(o);
  const std::string onO = " window " + std::to_string(o) + " of " + std::to_string(other);
  EXPECT_EQ(takeLog(),
            (Log{"activated", "AXFocusedWindowChanged" + onO, "AXMainWindowChanged" + onO}));
}

TEST_F(NotificationTest, AnApplicationMovesItsNewWindowAgainAfterADelay) {
  world.setBehaviour(pid, {.movesNewWindows = SelfMove{.delaySeconds = 0.3}});
  WindowKey b = open(pid, "B", {50, 60, 500, 400});
  watch(b);
  dispatch.runFor(0.1);
  // The window manager places it; the application puts it back later.
  ax.setAttributeValue(win(b), ax::kPosition, Point{700, 25});
  dispatch.runFor(0);
  log.clear();
  dispatch.runFor(0.15);
  EXPECT_EQ(world.window(b)->frame.origin, (Point{700, 25}));
  EXPECT_EQ(log, Log{});
  dispatch.runFor(0.1);
  EXPECT_EQ(world.window(b)->frame.origin, (Point{50, 60}));
  EXPECT_EQ(takeLog(), (Log{"AXWindowMoved" + on(b)}));
}

TEST_F(NotificationTest, AnObserverWhoseHandlesAreGoneHearsNothing) {
  takeLog();
  observer = AXObserver();
  open(pid, "B");
  EXPECT_EQ(takeLog(), Log{});
}

TEST_F(NotificationTest, QuittingDestroysTheWindowsThenTerminates) {
  watch(a);
  std::vector<std::string> events;
  auto sub = workspace.observe([&](WorkspaceEvent e, const std::optional<RunningApplication>& r) {
    if (e == WorkspaceEvent::didTerminateApplication) {
      log.push_back("terminated " + std::to_string(r->pid) + (r->isTerminated ? " (gone)" : ""));
    }
  });
  takeLog();
  world.quitApp(pid);
  EXPECT_EQ(takeLog(),
            (Log{"AXUIElementDestroyed" + on(a), "terminated " + std::to_string(pid) + " (gone)"}));
  EXPECT_EQ(world.frontmostApp(), std::nullopt);
  EXPECT_FALSE(world.quitApp(pid));

  // A new process that reuses the pid is not what the old observer watched.
  EXPECT_EQ(world.launchApp({.pid = pid, .name = "Reborn"}), pid);
  open(pid, "New");
  EXPECT_EQ(takeLog(), Log{});
  EXPECT_EQ(ax.addNotification(observer, app(pid), ax::kTitleChanged),
            AXError::invalidUIElementObserver);
}

}  // namespace
}  // namespace vistarail::sim::testing
