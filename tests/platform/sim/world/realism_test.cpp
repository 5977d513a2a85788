// How hard the simulated system is: each Realism switch, off and on, as the
// program's queues would meet it.

#include <gtest/gtest.h>

#include "platform/sim/world_fixture.h"

namespace vistarail::sim::test {
namespace {

class RealismTest : public WorldTest {
 protected:
  // Runs the writes on a queue of the program, as the mover does, and notes
  // the window's frame as the main queue sees it at each of `times`.
  std::vector<Rect> framesSeenDuring(WindowKey key, const std::function<void()>& writes,
                                     const std::vector<double>& times) {
    auto queue = dispatch.makeSerialQueue("app.vistarail.ax.test");
    std::vector<Rect> seen(times.size());
    queue->async(writes);
    for (size_t i = 0; i < times.size(); ++i) {
      dispatch.main()->asyncAfter(times[i], [&, i, key] { seen[i] = frame(key); });
    }
    dispatch.runFor(times.back() + 1);
    return seen;
  }
};

TEST_F(RealismTest, AWriteLandsWhenItsCallEndsSoThePositionShowsBeforeTheSize) {
  for (const bool atEnd : {false, true}) {
    SCOPED_TRACE(atEnd ? "at the end of the call" : "when the task runs");
    world.setRealism({.writesLandAtEndOfCall = atEnd});
    const Pid pid = launch(atEnd ? "Slow" : "Quick");
    world.setBehaviour(pid, {.latencySeconds = 0.1});
    const WindowKey w = open(pid, "Doc", {100, 100, 600, 400});
    const auto seen = framesSeenDuring(
        w,
        [&] {
          EXPECT_EQ(ax.setAttributeValue(win(w), ax::kPosition, AXValue(Point{300, 200})),
                    AXError::success);
          EXPECT_EQ(ax.setAttributeValue(win(w), ax::kSize, AXValue(Size{500, 300})),
                    AXError::success);
        },
        {0.15, 0.25});
    // Between the two calls' ends the main queue sees the position written
    // and the size not yet; without the switch it sees both at once.
    EXPECT_EQ(seen[0], atEnd ? Rect(300, 200, 600, 400) : Rect(300, 200, 500, 300));
    EXPECT_EQ(seen[1], Rect(300, 200, 500, 300));
    world.quitApp(pid);
  }
}

TEST_F(RealismTest, AWriteToAWindowClosedBeforeItLandedChangesNothing) {
  world.setRealism({.writesLandAtEndOfCall = true});
  const Pid pid = launch("Slow");
  const WindowKey w = open(pid, "Doc");
  auto queue = dispatch.makeSerialQueue("app.vistarail.ax.test");
  AXError error = AXError::failure;
  queue->async([&] { error = ax.setAttributeValue(win(w), ax::kPosition, AXValue(Point{5, 30})); });
  world.schedule(0, [&] { world.closeWindow(w); });
  dispatch.runUntilIdle();
  EXPECT_EQ(error, AXError::success);  // answered before it landed
  EXPECT_FALSE(world.window(w));
}

TEST_F(RealismTest, NotificationsComeLateMergedOrNotAtAllButCreationIsNeverLost) {
  struct Row {
    NotificationModel model;
    Strings delivered;
    double firstAt;
  };
  const Row rows[] = {
      {{},
       {"AXWindowCreated Doc", "AXWindowMoved Doc", "AXWindowMoved Doc", "AXWindowMoved Doc"},
       0},
      {{.delaySeconds = 0.2},
       {"AXWindowCreated Doc", "AXWindowMoved Doc", "AXWindowMoved Doc", "AXWindowMoved Doc"},
       0.2},
      {{.coalesce = true}, {"AXWindowCreated Doc", "AXWindowMoved Doc"}, 0},
      {{.dropProbability = 1}, {"AXWindowCreated Doc"}, 0},
  };
  for (const Row& row : rows) {
    world.setRealism({.notifications = row.model});
    const Pid pid = launch("App");
    appNames[pid] = "App";
    auto observer = observe(pid, app(pid), {ax::kWindowCreated, ax::kWindowMoved});
    const double start = dispatch.now();
    double firstAt = -1;
    const WindowKey w = open(pid, "Doc");
    for (int i = 1; i <= 3; ++i) world.appMovesWindow(w, {100.0 + 10 * i, 100, 600, 400});
    while (log.empty() && dispatch.runFor(0.01) && dispatch.now() < start + 1) {
    }
    firstAt = dispatch.now() - start;
    EXPECT_NEAR(firstAt, row.firstAt, 0.011);
    EXPECT_EQ(takeLog(), row.delivered);
    world.quitApp(pid);
  }
}

TEST_F(RealismTest, JitteredNotificationsKeepTheirOrderPerObserver) {
  world.setRealism({.notifications = {.delaySeconds = 0.01, .jitterSeconds = 0.3}});
  const Pid pid = launch("App");
  auto observer =
      observe(pid, app(pid), {ax::kWindowCreated, ax::kWindowMoved, ax::kWindowResized});
  const WindowKey w = open(pid, "Doc");
  world.appMovesWindow(w, {200, 100, 600, 400});
  world.appMovesWindow(w, {200, 100, 300, 400});
  world.closeWindow(w);
  EXPECT_EQ(takeLog(),
            (Strings{"AXWindowCreated Doc", "AXWindowMoved Doc", "AXWindowResized Doc"}));
}

TEST_F(RealismTest, UnderTheEnhancedInterfaceAWindowGlidesAndAReadSeesItPartWay) {
  world.setRealism({.enhancedUIAnimationSeconds = 0.25});
  const Pid gliding = launch("Gliding");
  world.editApp(gliding, [](SimApp& a) { a.enhancedUserInterface = true; });
  const Pid jumping = launch("Jumping");
  for (const Pid pid : {gliding, jumping}) {
    const WindowKey w = open(pid, "Doc", {100, 100, 600, 400});
    const auto seen =
        framesSeenDuring(w,
                         [&] {
                           ax.setAttributeValue(win(w), ax::kPosition, AXValue(Point{500, 100}));
                         },
                         {0.1, 0.3});
    if (pid == gliding) {
      EXPECT_GT(seen[0].minX(), 100);
      EXPECT_LT(seen[0].minX(), 500);
    } else {
      EXPECT_EQ(seen[0].minX(), 500);
    }
    EXPECT_EQ(seen[1], Rect(500, 100, 600, 400));
  }
  // A size written mid-glide keeps the position the glide heads for; a drag
  // by the user stops the glide where the user put the window.
  const WindowKey w = open(gliding, "Two", {100, 100, 600, 400});
  auto queue = dispatch.makeSerialQueue("app.vistarail.ax.test");
  queue->async([&] { ax.setAttributeValue(win(w), ax::kPosition, AXValue(Point{700, 100})); });
  dispatch.runFor(0.1);
  queue->async([&] { ax.setAttributeValue(win(w), ax::kSize, AXValue(Size{300, 300})); });
  dispatch.runFor(0.5);
  EXPECT_EQ(frame(w), Rect(700, 100, 300, 300));
  queue->async([&] { ax.setAttributeValue(win(w), ax::kPosition, AXValue(Point{100, 100})); });
  dispatch.runFor(0.05);
  world.dragWindow(w, {400, 300, 300, 300});
  dispatch.runFor(0.5);
  EXPECT_EQ(frame(w), Rect(400, 300, 300, 300));
}

TEST_F(RealismTest, TheWindowServerKeepsAResizableWindowWithinTheVisibleFrame) {
  for (const bool clamp : {false, true}) {
    world.setRealism({.clampSizesToScreen = clamp});
    const Pid pid = launch(clamp ? "Clamped" : "Free");
    const WindowKey big = open(pid, "Big", {0, 25, 2000, 1200});
    const WindowKey fixed =
        openWith(pid, {.title = "Fixed", .frame = {0, 25, 2000, 1200}, .sizeSettable = false});
    const WindowKey written = open(pid, "Written");
    ax.setAttributeValue(win(written), ax::kSize, AXValue(Size{1500, 900}));
    dispatch.runUntilIdle();
    EXPECT_EQ(frame(big).size, clamp ? Size(1440, 800) : Size(2000, 1200));
    EXPECT_EQ(frame(fixed).size, Size(2000, 1200));  // not resizable: left as it is
    EXPECT_EQ(frame(written).size, clamp ? Size(1440, 800) : Size(1500, 900));
    world.quitApp(pid);
  }
}

TEST_F(RealismTest, FocusRequestsFailLandLateOrLoseTheFrontToAnotherApplication) {
  const Pid mail = launch("Mail");
  const WindowKey inbox = open(mail, "Inbox");
  const Pid notes = launch("Notes");
  const WindowKey list = open(notes, "List");
  auto raiseInbox = [&](bool alsoRaise = true) {
    world.focusWindow(list);
    dispatch.runUntilIdle();
    auto queue = dispatch.makeSerialQueue("app.vistarail.ax.test");
    queue->async([&, alsoRaise] {
      EXPECT_EQ(ax.setAttributeValue(app(mail), ax::kFrontmost, AXValue(true)), AXError::success);
      if (alsoRaise) {
        EXPECT_EQ(ax.performAction(win(inbox), ax::kRaise), AXError::success);
      }
    });
    dispatch.runFor(0.01);
  };
  world.setRealism({.focus = {.failProbability = 1}});
  raiseInbox();
  dispatch.runFor(1);
  EXPECT_EQ(world.frontmostApp(), notes);

  world.setRealism({.focus = {.lateSeconds = 0.3}});
  raiseInbox();
  EXPECT_EQ(world.frontmostApp(), notes);
  dispatch.runFor(0.3);
  EXPECT_EQ(world.frontmostApp(), mail);
  EXPECT_EQ(world.focusedWindow(), inbox);

  world.setRealism({.focus = {.stealProbability = 1, .stealAfterSeconds = 0.1}});
  raiseInbox(/*alsoRaise=*/false);
  EXPECT_EQ(world.frontmostApp(), mail);
  dispatch.runFor(0.2);
  EXPECT_EQ(world.frontmostApp(), notes);  // the only other application with a window
  EXPECT_EQ(world.focusedWindow(), list);
}

TEST_F(RealismTest, AWindowOnAllSpacesShowsOnEveryRegularSpaceOfItsDisplay) {
  const SpaceId second = world.addSpace(display);
  const Pid pid = launch("Stickies");
  const WindowKey sticky =
      openWith(pid, {.title = "Sticky", .frame = {100, 100, 300, 300}, .onAllSpaces = true});
  const WindowKey plain = open(pid, "Plain");
  const SpaceId first = world.display(display)->currentSpace;
  world.switchSpace(display, second);
  EXPECT_TRUE(listed(sticky));
  EXPECT_FALSE(listed(plain));
  EXPECT_EQ(read(app(pid), {ax::kWindows}), "[Sticky]");
  world.switchSpace(display, first);
  EXPECT_TRUE(listed(sticky));
  EXPECT_TRUE(listed(plain));
  // A full-screen Space belongs to its window alone: a window opened while
  // it shows goes to the regular Space beneath, and is there once the
  // full-screen window has gone.
  world.enterFullScreen(plain);
  EXPECT_FALSE(listed(sticky));
  const WindowKey late =
      openWith(pid, {.title = "Late", .frame = {200, 200, 300, 300}, .onAllSpaces = true});
  EXPECT_EQ(world.window(late)->space, first);
  world.closeWindow(plain);
  EXPECT_TRUE(listed(sticky));
  EXPECT_TRUE(listed(late));
}

TEST_F(RealismTest, DisplaysSharingOneSpaceAnswerOneDictionaryAndSwitchTogether) {
  world.setRealism({.displaysShareOneSpace = true});
  const DisplayNumber right = world.plugDisplay(
      {.name = "External", .frame = {1440, 0, 1920, 1080}, .visibleFrame = {1440, 25, 1920, 1055}});
  const SpaceId second = world.addSpace(right);  // added to the one set
  EXPECT_EQ(world.display(display)->spaces.size(), 2u);
  const Pid pid = launch("App");
  const WindowKey left = open(pid, "Left", {100, 100, 600, 400});
  const WindowKey there = open(pid, "Right", {1600, 100, 600, 400});
  EXPECT_EQ(world.window(there)->space, world.window(left)->space);
  const auto spaces = windowServer.copyManagedDisplaySpaces(*windowServer.mainConnectionID());
  ASSERT_TRUE(spaces && spaces->is_array());
  ASSERT_EQ(spaces->size(), 1u);
  EXPECT_EQ((*spaces)[0]["Display Identifier"], "Main");
  EXPECT_TRUE(world.switchSpace(right, second));
  EXPECT_FALSE(listed(left));
  EXPECT_FALSE(listed(there));
  // Dragged to the other display, a window keeps its Space.
  world.switchSpace(display, world.display(display)->spaces[0].id);
  world.dragWindow(left, {1500, 100, 600, 400});
  EXPECT_EQ(world.window(left)->space, world.window(there)->space);
  // Rearranged, the display takes the windows that lie on it along.
  world.setDisplayFrames(right, {-1920, 0, 1920, 1080}, {-1920, 25, 1920, 1055});
  EXPECT_EQ(frame(there), Rect(-1760, 100, 600, 400));
  EXPECT_EQ(frame(left), Rect(-1860, 100, 600, 400));
  // The primary display goes: the one set of Spaces and its windows move on.
  world.unplugDisplay(display);
  EXPECT_TRUE(listed(left));
  EXPECT_TRUE(listed(there));
  EXPECT_EQ(world.display(right)->spaces.size(), 3u);
}

TEST_F(RealismTest, AFullScreenWindowOnADisplayThatGoesIsGatheredWithTheOthers) {
  world.setRealism({.displaysShareOneSpace = true});
  const DisplayNumber right = world.plugDisplay(
      {.name = "External", .frame = {1440, 0, 1920, 1080}, .visibleFrame = {1440, 25, 1920, 1055}});
  const Pid pid = launch("App");
  const WindowKey full = open(pid, "Full", {1448, 33, 500, 340});
  world.enterFullScreen(full);
  world.unplugDisplay(right);
  // Out of full screen and back at its frame from before, moved onto the
  // display that stays rather than left where no display is.
  EXPECT_FALSE(world.window(full)->fullScreen);
  EXPECT_TRUE(world.display(display)->frame.contains(frame(full)));
}

TEST_F(RealismTest, AWindowLyingMostlyOnADisplayThatGoesIsGatheredWhateverItsSpace) {
  const DisplayNumber side = world.plugDisplay(
      {.name = "External", .frame = {-1920, 0, 1920, 1080}, .visibleFrame = {-1920, 25, 1920, 1055}});
  const Pid pid = launch("App");
  // Parked at the right edge of the built-in display, in its Space; then the
  // other display is moved to that side, under most of the window.
  const WindowKey edge = open(pid, "Edge", {1439, 33, 700, 400});
  world.setDisplayFrames(side, {1440, 0, 1920, 1080}, {1440, 25, 1920, 1055});
  EXPECT_EQ(frame(edge), Rect(1439, 33, 700, 400));
  world.unplugDisplay(side);
  EXPECT_TRUE(world.display(display)->visibleFrame.contains(frame(edge)));
  EXPECT_TRUE(listed(edge));
}

}  // namespace
}  // namespace vistarail::sim::test
