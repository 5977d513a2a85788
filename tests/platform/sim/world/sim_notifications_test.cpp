// Observers and the notifications applications and the user cause, in the
// order the system sends them.

#include <gtest/gtest.h>

#include "platform/sim/world_fixture.h"

namespace vistarail::sim::test {
namespace {

const Strings kAppNotes = {ax::kWindowCreated,     ax::kFocusedWindowChanged,
                           ax::kMainWindowChanged, ax::kApplicationHidden,
                           ax::kApplicationShown,  ax::kSheetCreated};
const Strings kWindowNotes = {ax::kUIElementDestroyed,   ax::kWindowMiniaturized,
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
      EXPECT_EQ(add(win(key), name), AXError::success) << name;
    }
  }
  AXError add(const AXElement& element, std::string_view name) {
    return ax.addNotification(observer, element, name);
  }

  Pid pid = 0;
  WindowKey a = 0;
  AXObserver observer;
};

TEST_F(NotificationTest, RegistrationErrorsMatchThePlatform) {
  EXPECT_EQ(add(app(pid), ax::kWindowCreated), AXError::notificationAlreadyRegistered);
  EXPECT_EQ(ax.removeNotification(observer, app(pid), ax::kWindowCreated), AXError::success);
  EXPECT_EQ(ax.removeNotification(observer, app(pid), ax::kWindowCreated),
            AXError::notificationNotRegistered);
  EXPECT_EQ(add(app(pid), "AXNoSuchNotification"), AXError::notificationUnsupported);
  EXPECT_EQ(add(app(launch("Other")), ax::kWindowCreated), AXError::illegalArgument);
  EXPECT_EQ(ax.addNotification(AXObserver(), app(pid), ax::kWindowCreated),
            AXError::invalidUIElementObserver);
  EXPECT_EQ(ax.createObserver(pid, nullptr).error, AXError::illegalArgument);
  // A closed window takes its registrations with it.
  watch(a);
  AXElement stale = win(a);
  world.closeWindow(a);
  EXPECT_EQ(add(stale, ax::kWindowMoved), AXError::invalidUIElement);
}

TEST_F(NotificationTest, ObserverCreationAndRegistrationCanBeMadeToFail) {
  const auto ignore = [](auto&, auto&, auto&) {};
  world.setBehaviour(
      pid, {.faults = {{.on = FaultOn::observer, .error = AXError::failure, .remaining = 1}}});
  EXPECT_EQ(ax.createObserver(pid, ignore).error, AXError::failure);
  EXPECT_TRUE(ax.createObserver(pid, ignore).isOk());
  world.setBehaviour(pid, {.faults = {{.name = ax::kWindowCreated,
                                       .on = FaultOn::notification,
                                       .error = AXError::cannotComplete}}});
  auto second = ax.createObserver(pid, ignore);
  EXPECT_EQ(ax.addNotification(*second.value, app(pid), ax::kWindowCreated),
            AXError::cannotComplete);
  EXPECT_EQ(ax.addNotification(*second.value, app(pid), ax::kSheetCreated), AXError::success);
}

TEST_F(NotificationTest, OpeningAWindowAnnouncesItThenItsFocusAndSheetsAsSheets) {
  takeLog();
  WindowKey b = open(pid, "B");
  EXPECT_EQ(takeLog(),
            (Strings{"AXWindowCreated B", "AXFocusedWindowChanged B", "AXMainWindowChanged B"}));
  openWith(pid, {.title = "C"}, WindowFocus::staysBehind);
  openWith(pid, {.title = "Save", .role = ax::kSheetRole, .parent = b}, WindowFocus::staysBehind);
  EXPECT_EQ(takeLog(), (Strings{"AXWindowCreated C", "AXSheetCreated Save"}));
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
  EXPECT_EQ(takeLog(), Strings{});
}

TEST_F(NotificationTest, UserMovesAndWritesReportWhatChangedOnTheirWindowOnly) {
  WindowKey b = open(pid, "B");
  watch(a);
  takeLog();
  world.setWindowTitle(b, "B2");
  world.setWindowTitle(a, "A2");
  world.setWindowTitle(a, "A2");  // unchanged: no notification
  world.dragWindow(a, {150, 100, 600, 400});
  EXPECT_EQ(takeLog(), (Strings{"AXTitleChanged A", "AXWindowMoved A"}));
  world.dragWindow(a, {0, 0, 700, 500});
  EXPECT_EQ(takeLog(), (Strings{"AXWindowMoved A", "AXWindowResized A"}));

  ax.setAttributeValue(win(a), ax::kSize, Size{700, 500});  // unchanged
  EXPECT_EQ(takeLog(), Strings{});
  world.editWindow(a, [](SimWindow& w) { w.minSize = {650, 450}; });
  ax.setAttributeValue(win(a), ax::kSize, Size{300, 300});
  EXPECT_EQ(takeLog(), Strings{"AXWindowResized A"});
  world.setBehaviour(pid, {.ignoresMoves = true});
  ax.setAttributeValue(win(a), ax::kPosition, Point{300, 300});
  EXPECT_EQ(takeLog(), Strings{});
}

TEST_F(NotificationTest, ClosingAndMinimisingHandFocusToTheNextWindow) {
  WindowKey b = open(pid, "B");
  watch(a);
  watch(b);
  takeLog();
  world.minimizeWindow(b);
  EXPECT_EQ(takeLog(), (Strings{"AXWindowMiniaturized B", "AXFocusedWindowChanged A",
                                "AXMainWindowChanged A"}));
  world.unminimizeWindow(b);
  EXPECT_EQ(takeLog(), (Strings{"AXWindowDeminiaturized B", "AXFocusedWindowChanged B",
                                "AXMainWindowChanged B"}));
  world.closeWindow(b);
  EXPECT_EQ(takeLog(), (Strings{"AXUIElementDestroyed B", "AXFocusedWindowChanged A",
                                "AXMainWindowChanged A"}));
  world.closeWindow(a);
  EXPECT_EQ(takeLog(), (Strings{"AXUIElementDestroyed A", "AXFocusedWindowChanged Editor"}));
}

TEST_F(NotificationTest, HidingAndShowingTheApplication) {
  auto subscription = logWorkspace();
  Pid other = launch("Other", LaunchActivation::staysInBackground);
  open(other, "O");
  takeLog();
  world.hideApp(pid);
  EXPECT_EQ(takeLog(), (Strings{"AXApplicationHidden Editor", "hide Editor", "activate Other"}));
  EXPECT_EQ(world.frontmostApp(), other);
  world.focusWindow(a);  // hidden windows cannot be clicked
  EXPECT_EQ(world.frontmostApp(), other);
  world.activateApp(pid);
  EXPECT_EQ(takeLog(), (Strings{"AXApplicationShown Editor", "unhide Editor", "activate Editor"}));
  EXPECT_FALSE(world.app(pid)->hidden);
}

TEST_F(NotificationTest, ClickingAWindowOfAnotherApplicationActivatesItFirst) {
  Pid other = launch("Other", LaunchActivation::staysInBackground);
  WindowKey o = open(other, "O");
  auto otherObserver = observe(other, app(other), kAppNotes);
  auto subscription = logWorkspace();
  takeLog();
  world.focusWindow(a);  // already focused in the frontmost application: nothing
  EXPECT_EQ(takeLog(), Strings{});
  world.editApp(other, [](SimApp& app) { app.focusedWindow.reset(); });
  world.focusWindow(o);
  EXPECT_EQ(takeLog(),
            (Strings{"activate Other", "AXFocusedWindowChanged O", "AXMainWindowChanged O"}));
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
  EXPECT_EQ(frame(b).origin, (Point{700, 25}));
  EXPECT_EQ(log, Strings{});
  dispatch.runFor(0.1);
  EXPECT_EQ(frame(b).origin, (Point{50, 60}));
  EXPECT_EQ(takeLog(), Strings{"AXWindowMoved B"});
}

TEST_F(NotificationTest, QuittingDestroysTheWindowsThenTerminatesAndForgetsTheObserver) {
  watch(a);
  auto subscription = logWorkspace();
  takeLog();
  world.quitApp(pid);
  EXPECT_EQ(takeLog(), (Strings{"AXUIElementDestroyed A", "terminate Editor (gone)"}));
  EXPECT_EQ(world.frontmostApp(), std::nullopt);
  EXPECT_FALSE(world.quitApp(pid));

  // A new process that reuses the pid is not what the old observer watched.
  subscription.reset();
  EXPECT_EQ(world.launchApp({.pid = pid, .name = "Reborn"}), pid);
  open(pid, "New");
  EXPECT_EQ(takeLog(), Strings{});
  EXPECT_EQ(add(app(pid), ax::kTitleChanged), AXError::invalidUIElementObserver);
}

TEST_F(NotificationTest, AnObserverWhoseHandlesAreGoneHearsNothing) {
  takeLog();
  observer = AXObserver();
  open(pid, "B");
  EXPECT_EQ(takeLog(), Strings{});
}

}  // namespace
}  // namespace vistarail::sim::test
