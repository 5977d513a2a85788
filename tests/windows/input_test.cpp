// Input on the simulated desktop, made as the user makes it: swipes on the
// trackpad, Control-Option scrolls, shortcuts and windows dragged by hand,
// checked by what the strip and the applications see.

#include <cmath>

#include "manager_scene.h"
#include "strip/layout.h"
#include "windows/timing.h"

namespace vistarail::test {
namespace {

constexpr uint64_t kCtrlOpt = kEventFlagMaskControl | kEventFlagMaskAlternate;
constexpr uint32_t kKeyH = 4;
constexpr uint32_t kKeyP = 35;

struct InputDesk {
  ManagerScene scene;
  Pid editor = 0;
  std::vector<sim::WindowKey> keys;

  explicit InputDesk(int windows, double width = 0.5) {
    scene.defaults.set("newWindowWidth", PropertyList(width));
    editor = scene.launch("Editor");
    scene.startManager();
    for (int i = 0; i < windows; ++i) {
      keys.push_back(scene.open(editor, {100.0 + 40 * i, 100, 600, 400}));
      scene.run(1.0);
    }
    scene.world.movePointer({700, 400});
    scene.run(1.0);
  }
  const Strip& strip() const { return *scene.strip(); }
  double scroll() const { return strip().scroll.value; }
  LayoutGeometry geometry() const { return {kMainVisible, 16, 16}; }
  double maxScroll() const {
    const auto& display = scene.manager->displays().at(scene.displayID());
    return vistarail::maxScroll(strip(),
                                {display.info.visibleFrame, scene.settings->innerGap.value(),
                                 scene.settings->outerGap.value()});
  }
  int focusedIndex() const { return strip().focusedIndex; }
  int columnOf(sim::WindowKey key) const {
    return strip().columnIndexOf(scene.number(key)).value_or(-1);
  }

  // Four fingers at x, at a virtual instant from now.
  void fingersAt(double delay, double x, double y = 0.5, int count = 4) {
    GestureTouches touches;
    for (int i = 0; i < count; ++i) {
      touches.add({.normalizedPosition = {x + 0.02 * i, y}, .phase = kTouchPhaseMoved});
    }
    scene.world.schedule(delay, [this, touches] { scene.world.touchPad(touches); });
  }
  // Fingers travel from x0 to x1 at 60 events a second, then lift (unless
  // their last events are lost). Returns when the last event is due.
  double swipe(double x0, double x1, double seconds, bool lift = true) {
    const int steps = std::max(1, static_cast<int>(seconds * 60));
    for (int i = 0; i <= steps; ++i) {
      fingersAt(i / 60.0, x0 + (x1 - x0) * i / steps);
    }
    const double end = steps / 60.0;
    if (lift)
      scene.world.schedule(end + 1 / 60.0, [this] { scene.world.touchPad(GestureTouches()); });
    return end;
  }
  void focusFirst() {
    scene.manager->perform(Action::focusFirst);
    scene.run(1.0);
  }
};

TEST(Swipe, PastTheLastColumnRubberBandsAndSpringsBack) {
  InputDesk desk(4);
  const double end = desk.maxScroll();
  ASSERT_GT(end, 0);
  ASSERT_NEAR(desk.scroll(), end, 0.5);
  // Fingers to the left reveal columns further right: there are none.
  const double travel = 0.2 * kMainVisible.width() * 1.6;
  const double last = desk.swipe(0.6, 0.4, 0.2);
  desk.scene.run(last + 0.001);
  const double stretch = desk.scroll() - end;
  EXPECT_GT(stretch, 0.25 * travel);
  EXPECT_LT(stretch, 0.4 * travel);
  desk.scene.run(1.5);
  EXPECT_FALSE(desk.scene.manager->isScrollingInteractively());
  EXPECT_EQ(desk.scroll(), end);
  EXPECT_EQ(desk.focusedIndex(), 3);
  EXPECT_TRUE(inView(desk.scene.frame(desk.keys[3]), desk.scene.world.displays()));
}

TEST(Swipe, AFlickCoastsAndFocusesTheMostVisibleColumn) {
  InputDesk desk(5);
  desk.focusFirst();
  ASSERT_EQ(desk.scroll(), 0);
  const double travel = 0.12 * kMainVisible.width() * 1.6;
  desk.swipe(0.6, 0.48, 0.05);
  desk.scene.run(1.5);
  const Strip& strip = desk.strip();
  // Coasted beyond the fingers' travel and came to rest on a resting place.
  EXPECT_GT(desk.scroll(), travel + 100);
  const LayoutGeometry geometry{kMainVisible, desk.scene.settings->innerGap.value(),
                                desk.scene.settings->outerGap.value()};
  EXPECT_EQ(snapTarget(strip, geometry, desk.scroll()), desk.scroll());
  const int expected = *mostVisibleColumn(strip, geometry, desk.scroll());
  EXPECT_GT(expected, 0);
  EXPECT_EQ(desk.focusedIndex(), expected);
  EXPECT_EQ(desk.scene.world.focusedWindow(), desk.keys[expected]);
}

TEST(Swipe, VerticalTravelBlocksUntilEveryFingerLifts) {
  InputDesk desk(4);
  desk.focusFirst();
  // Up first, then across: the system's gesture, never a strip swipe.
  for (int i = 0; i <= 6; ++i) desk.fingersAt(i / 60.0, 0.5, 0.5 + 0.01 * i);
  for (int i = 1; i <= 12; ++i) desk.fingersAt(0.1 + i / 60.0, 0.5 - 0.02 * i, 0.56);
  desk.scene.run(1.0);
  EXPECT_EQ(desk.scroll(), 0);
  EXPECT_EQ(desk.scene.manager->swipe().phase(), SwipeTracker::Phase::blocked);
  // All fingers up: the next sequence is a swipe again.
  desk.scene.world.touchPad(GestureTouches());
  desk.swipe(0.6, 0.4, 0.2);
  desk.scene.run(1.5);
  EXPECT_GT(desk.scroll(), 0);
}

TEST(Swipe, ASwipeWhoseEndEventsAreLostEndsByItself) {
  InputDesk desk(4);
  desk.focusFirst();
  const double last = desk.swipe(0.6, 0.5, 0.1, /*lift=*/false);
  desk.scene.run(last + 0.2);
  EXPECT_TRUE(desk.scene.manager->isScrollingInteractively());
  desk.scene.run(0.16);
  EXPECT_FALSE(desk.scene.manager->isScrollingInteractively());
  desk.scene.run(1.5);
  const LayoutGeometry geometry{kMainVisible, desk.scene.settings->innerGap.value(),
                                desk.scene.settings->outerGap.value()};
  EXPECT_EQ(snapTarget(desk.strip(), geometry, desk.scroll()), desk.scroll());
}

TEST(Swipe, GarbledTouchesNeverFlingTheStrip) {
  InputDesk desk(4);
  desk.focusFirst();
  const double nan = std::nan("");
  for (double x : {0.5, 0.49, nan, 1e12, -1e12, 0.48}) {
    GestureTouches touches;
    for (int i = 0; i < 4; ++i) touches.add({.normalizedPosition = {x, 0.5}});
    desk.scene.world.touchPad(touches);
    desk.scene.run(1 / 60.0);
  }
  desk.scene.run(1.5);
  EXPECT_TRUE(std::isfinite(desk.scroll()));
  EXPECT_GE(desk.scroll(), 0);
  EXPECT_LE(desk.scroll(), desk.maxScroll());
}

TEST(ModifierScroll, OnlyControlOptionOverAManagedDisplayIsTaken) {
  struct Row {
    const char* name;
    uint64_t flags;
    Point pointer;
    bool taken;
  };
  const Row rows[] = {
      {"control-option", kCtrlOpt, {700, 400}, true},
      {"with shift", kCtrlOpt | kEventFlagMaskShift, {700, 400}, true},
      {"with command", kCtrlOpt | kEventFlagMaskCommand, {700, 400}, false},
      {"control alone", kEventFlagMaskControl, {700, 400}, false},
  };
  InputDesk desk(4);
  desk.focusFirst();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    desk.scene.world.movePointer(row.pointer);
    const int before = desk.scene.world.app(desk.editor)->scrollsReceived;
    const double scrollBefore = desk.scroll();
    desk.scene.world.scroll({.deltaX = -40, .phase = 1, .flags = row.flags});
    desk.scene.world.scroll({.deltaX = -40, .phase = 2, .flags = row.flags});
    desk.scene.run(0.02);
    EXPECT_EQ(desk.scroll() != scrollBefore, row.taken);
    desk.scene.world.scroll({.phase = 4, .flags = row.flags});
    desk.scene.run(1.5);
    EXPECT_EQ(desk.scene.world.app(desk.editor)->scrollsReceived - before, row.taken ? 0 : 3);
  }
  // Paused, nothing is taken.
  desk.scene.settings->enabled.set(false);
  desk.scene.run(1.0);
  EXPECT_TRUE(desk.scene.world.scroll({.deltaX = -40, .phase = 1, .flags = kCtrlOpt}));
}

TEST(ModifierScroll, ANotchedWheelTurnedFastStepsAtMostOncePerInterval) {
  InputDesk desk(6);
  desk.focusFirst();
  // Ten notches 0.04 s apart: steps at 0, 0.16 and 0.32 s.
  for (int i = 0; i < 10; ++i) {
    desk.scene.world.schedule(0.04 * i, [&desk] {
      desk.scene.world.scroll({.deltaY = -1, .continuous = false, .flags = kCtrlOpt});
    });
  }
  desk.scene.run(2.0);
  EXPECT_EQ(desk.focusedIndex(), 3);
  EXPECT_EQ(desk.scene.world.app(desk.editor)->scrollsReceived, 0);
}

TEST(ModifierScroll, MomentumChangesNothingAndTheEndedPhaseSettles) {
  InputDesk desk(5);
  desk.focusFirst();
  auto& world = desk.scene.world;
  world.scroll({.deltaX = -60, .phase = 1, .flags = kCtrlOpt});
  desk.scene.run(0.02);
  world.scroll({.deltaX = -60, .phase = 2, .flags = kCtrlOpt});
  desk.scene.run(0.02);
  const double moved = desk.scroll();
  EXPECT_EQ(moved, 120);
  world.scroll({.deltaX = -500, .momentumPhase = 1, .flags = kCtrlOpt});
  desk.scene.run(0.02);
  EXPECT_EQ(desk.scroll(), moved);
  EXPECT_TRUE(desk.scene.manager->isScrollingInteractively());
  world.scroll({.phase = 4, .flags = kCtrlOpt});
  desk.scene.run(0.02);
  EXPECT_FALSE(desk.scene.manager->isScrollingInteractively());
}

// A scroll too short to hand the focus on ends where the centre mode keeps
// the focused column, at once: resting at the nearest column edge instead
// would leave the strip to jump back at the next focus report, whenever an
// application happened to send one.
TEST(ModifierScroll, AShortScrollInCentreModeComesBackToTheCentredColumn) {
  InputDesk desk(5);
  desk.scene.settings->centerMode.set(CenterMode::always);
  desk.focusFirst();
  desk.scene.manager->perform(Action::focusRight);
  desk.scene.manager->perform(Action::focusRight);
  desk.scene.run(1.5);
  ASSERT_EQ(desk.focusedIndex(), 2);
  const LayoutGeometry geometry{kMainVisible, desk.scene.settings->innerGap.value(),
                                desk.scene.settings->outerGap.value()};
  const double centred = scrollTarget(desk.strip(), 2, geometry, CenterMode::always, 0);
  ASSERT_NEAR(desk.scroll(), centred, 0.5);
  ASSERT_NE(snapTarget(desk.strip(), geometry, centred + 60), centred);

  auto& world = desk.scene.world;
  world.scroll({.deltaX = -30, .phase = 1, .flags = kCtrlOpt});
  desk.scene.run(0.02);
  world.scroll({.deltaX = -30, .phase = 2, .flags = kCtrlOpt});
  desk.scene.run(0.3);
  world.scroll({.phase = 4, .flags = kCtrlOpt});
  desk.scene.run(1.5);
  EXPECT_EQ(desk.focusedIndex(), 2);
  EXPECT_NEAR(desk.scroll(), centred, 0.5);
  EXPECT_EQ(desk.scene.world.focusedWindow(), desk.keys[2]);
}

TEST(EventTaps, AFailingTapIsRetriedEveryTwoSecondsWithOneLineEachTime) {
  ManagerScene scene;
  scene.world.refuseTaps(TapOption::active, 3);
  scene.world.refuseTaps(TapOption::listenOnly, 1);
  scene.startManager(0.5);
  auto lines = [&](std::string_view text) {
    return std::count(scene.logLines.begin(), scene.logLines.end(), std::string(text));
  };
  const std::pair<double, int> checks[] = {{0.5, 1}, {2.5, 2}, {4.5, 3}, {8.5, 3}};
  double now = 0.5;
  for (auto [at, expected] : checks) {
    scene.run(at - now);
    now = at;
    EXPECT_EQ(lines(EventTapMonitor::kScrollRetryLog), expected) << at;
  }
  EXPECT_EQ(lines(EventTapMonitor::kListenRetryLog), 1);
  EXPECT_EQ(scene.world.liveTaps(TapOption::active), 1);
  EXPECT_EQ(scene.world.liveTaps(TapOption::listenOnly), 1);
  // Disabled by the system, both are on again at once.
  scene.world.disableTaps(EventType::tapDisabledByTimeout);
  scene.run(0.01);
  EXPECT_EQ(scene.world.liveTaps(TapOption::active), 1);
  EXPECT_EQ(scene.world.liveTaps(TapOption::listenOnly), 1);
  scene.stopManager();
  EXPECT_EQ(scene.world.liveTaps(TapOption::active), 0);
  EXPECT_EQ(scene.world.liveTaps(TapOption::listenOnly), 0);
}

TEST(HotKeys, AFullScreenSpaceKeepsOnlyPauseCarouselAndRetile) {
  InputDesk desk(2);
  auto& world = desk.scene.world;
  size_t all = 0;
  for (const auto& [action, combos] : defaultBindings()) all += combos.size();
  EXPECT_EQ(world.hotKeys().size(), all);
  world.pressKey(kKeyH, kCtrlOpt);
  desk.scene.run(1.0);
  EXPECT_EQ(desk.focusedIndex(), 0);
  EXPECT_TRUE(world.app(desk.editor)->keysReceived.empty());

  world.enterFullScreen(desk.keys[0]);
  desk.scene.run(1.0);
  std::vector<Action> live;
  for (const auto& record : world.hotKeys()) {
    EXPECT_EQ(record.id.signature, 0x5653524Cu);
    live.push_back(*actionForCombo(defaultBindings(), {record.keyCode, record.modifiers}));
  }
  EXPECT_THAT(live, ::testing::UnorderedElementsAre(Action::retile, Action::togglePause,
                                                    Action::toggleCarousel));
  world.pressKey(kKeyH, kCtrlOpt);
  EXPECT_EQ(world.app(desk.editor)->keysReceived.size(), 1u);
  world.pressKey(kKeyP, kCtrlOpt);
  desk.scene.run(0.5);
  EXPECT_FALSE(desk.scene.settings->enabled.value());
}

TEST(HotKeys, TheRecorderSuspendsRegistrationAndRefusedCombosStayOut) {
  ManagerScene scene;
  scene.world.holdHotKeyElsewhere(kKeyP, 0x1800);
  const Pid editor = scene.launch("Editor");
  scene.startManager();
  scene.open(editor);
  scene.run(1.0);
  auto& world = scene.world;
  const size_t live = world.hotKeys().size();
  EXPECT_EQ(scene.manager->hotKeys().liveCount(), live);
  for (const auto& record : world.hotKeys()) EXPECT_NE(record.keyCode, kKeyP);

  scene.manager->hotKeys().setSuspended(true);
  EXPECT_TRUE(world.hotKeys().empty());
  world.pressKey(kKeyH, kCtrlOpt);
  EXPECT_EQ(world.app(editor)->keysReceived.size(), 1u);
  scene.manager->hotKeys().setSuspended(false);
  EXPECT_EQ(world.hotKeys().size(), live);
  world.pressKey(kKeyH, kCtrlOpt);
  EXPECT_EQ(world.app(editor)->keysReceived.size(), 1u);
  // Stopped, the program holds no shortcut any more.
  scene.stopManager();
  EXPECT_TRUE(world.hotKeys().empty());
}

TEST(MouseDrag, AWindowDraggedWiderKeepsItsWidthAcrossLayoutsAndRestarts) {
  InputDesk desk(3, 0.4);
  const sim::WindowKey b = desk.keys[1];
  desk.scene.manager->perform(Action::focusLeft);
  desk.scene.run(1.0);
  Rect before = desk.scene.frame(b);
  Rect wider = before;
  wider.size.width += 200;
  desk.scene.world.handDrag(b, wider);
  desk.scene.run(0.05);
  EXPECT_TRUE(desk.scene.manager->isHeldForDrag(desk.scene.number(b)));
  desk.scene.run(1.5);
  EXPECT_FALSE(desk.scene.manager->isHeldForDrag(desk.scene.number(b)));
  EXPECT_NEAR(desk.scene.frame(b).width(), before.width() + 200, 1.0);
  EXPECT_EQ(desk.focusedIndex(), desk.columnOf(b));
  // The next layouts keep it: other commands, then a restart.
  desk.scene.manager->perform(Action::focusLeft);
  desk.scene.manager->perform(Action::focusRight);
  desk.scene.run(1.5);
  EXPECT_NEAR(desk.scene.frame(b).width(), before.width() + 200, 1.0);
  desk.scene.run(2.0);
  desk.scene.stopManager();
  desk.scene.startManager(3.0);
  EXPECT_NEAR(desk.scene.frame(b).width(), before.width() + 200, 1.0);
}

TEST(MouseDrag, AWindowDroppedHalfAScreenAwayMovesItsColumnAndGlidesIn) {
  InputDesk desk(3, 0.3);
  desk.focusFirst();
  const sim::WindowKey a = desk.keys[0];
  ASSERT_EQ(desk.columnOf(a), 0);
  Rect dropped = desk.scene.frame(a);
  dropped.origin.x += kMainVisible.width() / 2;
  desk.scene.world.handDrag(a, dropped);
  // Let go after 7 frames; the drop is read 0.12 s later.
  desk.scene.run(7 / 60.0 + timing::kDropReadDelaySeconds + 0.05);
  const int column = desk.columnOf(a);
  EXPECT_EQ(column, 2);
  EXPECT_EQ(desk.focusedIndex(), column);
  // It glides from where it was let go, not from its old slot.
  const LayoutGeometry geometry{kMainVisible, desk.scene.settings->innerGap.value(),
                                desk.scene.settings->outerGap.value()};
  const double slot =
      kMainVisible.minX() + columnXPositions(desk.strip(), geometry)[column] - desk.scroll();
  const double offset = desk.strip().columns[column].offset.value;
  EXPECT_LT(offset, 0);
  EXPECT_NEAR(slot + offset, dropped.minX(), 80);
  desk.scene.run(1.5);
  EXPECT_EQ(desk.strip().columns[column].offset.value, 0);
  const Rect settled = desk.scene.frame(a);
  EXPECT_GT(settled.minX(), desk.scene.frame(desk.keys[1]).minX());
  EXPECT_TRUE(inView(settled, desk.scene.world.displays()));
}

TEST(MouseDrag, APressOnTheMinimapNeverStartsAWindowDrag) {
  ManagerScene scene;
  const Pid editor = scene.launch("Editor");
  scene.startManager();
  std::vector<sim::WindowKey> keys;
  // Windows as tall as the area, so the minimap floats over one of them.
  for (int i = 0; i < 3; ++i) keys.push_back(scene.open(editor, {100.0 + 40 * i, 40, 600, 850}));
  scene.run(1.5);
  scene.manager->perform(Action::focusLeft);  // the minimap shows for a moment
  scene.run(0.2);
  const OverlayController* overlays = scene.manager->overlays(scene.displayID());
  ASSERT_TRUE(overlays && overlays->visibleMinimap());
  // Panels sit in the screen API's space; the pointer speaks top-left.
  const Rect panel = overlays->visibleMinimap()->frame();
  const Point onMinimap{panel.midX(), kMainFrame.height() - panel.midY()};
  const auto before = scene.describe();

  scene.world.pressButton(onMinimap);
  for (int i = 1; i <= 10; ++i) {
    scene.world.movePointer({onMinimap.x + 30.0 * i, onMinimap.y - 20.0 * i});
    scene.run(1 / 60.0);
    for (auto key : keys) EXPECT_FALSE(scene.manager->isHeldForDrag(scene.number(key)));
  }
  scene.world.releaseButton({onMinimap.x + 300, onMinimap.y - 200});
  scene.run(2.0);
  EXPECT_EQ(scene.describe(), before);
}

}  // namespace
}  // namespace vistarail::test
