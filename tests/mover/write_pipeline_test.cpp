// Writing, reading back and retrying frames, per-application queues,
// cancelling and the mover's lifetime, in virtual time.

#include <limits>
#include <map>

#include "mover/move_rules.h"
#include "mover_scene.h"

namespace vistarail::test {
namespace {

struct MoverWrites : ::testing::Test, MoverScene {
  std::string report(const char* kind, const ManagedWindowRef& w, const char* size) {
    return std::string(kind) + " " + std::to_string(w->id) + " " + size;
  }
};

TEST_F(MoverWrites, WritesOnlyTheNewestFiniteFrameAndNeverRewritesOne) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto w = open(launch(), {100, 100, 800, 600});
  mover->apply(w, {200, 100, 800, 600});
  const MoveToken first = mover->token(mover->lock(), w->id);
  mover->apply(w, {300, 100, 800, 600});  // before the drain: replaces, no new token
  EXPECT_EQ(mover->token(mover->lock(), w->id), first);
  runFor(1.0);
  EXPECT_THAT(reports, ElementsAre(report("verified", w, "800x600")));
  expectTimes(reportTimes, {0.08});

  world.clearCalls();
  mover->apply(w, {300, 100, 800, 600});  // exactly what was written
  mover->apply(w, {nan, 100, 800, 600});
  mover->apply(w, {310, 100, 800, 600}, Rect(0, 0, nan, 10));
  mover->apply(nullptr, {300, 100, 800, 600});
  runFor(1.0);
  EXPECT_TRUE(calls(w).empty());
  EXPECT_EQ(reports.size(), 1u);

  mover->apply(w, {350, 120, 800, 600});  // same size: the position alone
  runFor(1.0);
  // The read-back is one round trip: position and size together.
  EXPECT_THAT(described(w), ElementsAre("set AXPosition 350,120", "read (multiple attributes)"));
}

TEST_F(MoverWrites, ASecondLookReadsOnceAndWritesOnlyAWindowThatMoved) {
  auto w = open(launch(), {100, 100, 800, 600});
  mover->apply(w, {300, 100, 800, 600});
  runFor(1.0);
  world.clearCalls();
  mover->recheck(w->id);
  runFor(1.0);
  EXPECT_THAT(described(w), ElementsAre("read (multiple attributes)"));
  // Moved by its application with no word of it: found, and written back.
  world.appMovesWindow(keyOf(w), {500, 200, 800, 600});
  world.clearCalls();
  mover->recheck(w->id);
  runFor(2.0);
  EXPECT_EQ(frameOf(w), Rect(300, 100, 800, 600));
  EXPECT_THAT(described(w, nullptr, true), ::testing::Contains("set AXPosition 300,100"));
  // Nothing written yet to look at: the next frame is written in full.
  auto fresh = open(launch(), {100, 100, 800, 600});
  mover->recheck(fresh->id);
  mover->apply(fresh, {100, 100, 800, 600});
  runFor(1.0);
  EXPECT_THAT(described(fresh, nullptr, true), ::testing::Contains("set AXPosition 100,100"));
}

TEST_F(MoverWrites, ShrinksBeforeMovingAndGrowsOnlyAfterwards) {
  const Pid pid = launch();
  auto shrinking = open(pid, {0, 100, 800, 600});
  auto growing = open(pid, {0, 100, 800, 600});
  mover->apply(shrinking, {200, 100, 500, 700});  // narrower, taller
  mover->apply(growing, {100, 100, 1000, 700});
  runFor(0.01);
  EXPECT_THAT(described(shrinking), ElementsAre("read AXSize", "set AXSize 500x600",
                                                "set AXPosition 200,100", "set AXSize 500x700"));
  EXPECT_THAT(described(growing),
              ElementsAre("read AXSize", "set AXPosition 100,100", "set AXSize 1000x700"));
}

TEST_F(MoverWrites, AWiderWindowIsReportedAndParkedOnesReportTheirWidthOnEveryReadBack) {
  auto wide = open(launch(), {100, 100, 1000, 600}, /*minSize=*/{900, 0});
  auto parked = open(launch(), {100, 100, 800, 600});
  auto stuck = open(launch({.ignoresMoves = true}), {100, 100, 800, 600});
  mover->apply(wide, {300, 100, 600, 600});
  mover->apply(parked, {1434, 100, 800, 600}, kScreen);  // 6 points stay in view: passes
  mover->apply(stuck, {1439, 100, 800, 600}, kScreen);   // stays where it was: retried
  runFor(2.0);
  // The manager parks by a window's real width, so it hears it from each
  // read-back of a parked window, the failed ones included.
  EXPECT_THAT(reports,
              UnorderedElementsAre(
                  report("verified", wide, "900x600"), report("mismatch", wide, "900x600"),
                  report("verified", parked, "800x600"), report("verified", stuck, "800x600"),
                  report("verified", stuck, "800x600"), report("verified", stuck, "800x600"),
                  report("verified", stuck, "800x600")));
  EXPECT_EQ(positionWriteTimes(wide).size(), 1u) << "a placed window is not retried";
  EXPECT_EQ(positionWriteTimes(parked).size(), 1u);
  EXPECT_EQ(positionWriteTimes(stuck).size(), 4u);
}

TEST_F(MoverWrites, AWindowIgnoringMovesIsRetriedThenItsFrameGivenUpForTwoSeconds) {
  const Pid pid = launch({.ignoresMoves = true});
  auto w = open(pid, {100, 100, 800, 600});
  const Rect target(300, 100, 800, 600);
  std::vector<double> gaveUp;
  mover->onGaveUp = [&](WindowId id) {
    EXPECT_EQ(id, w->id);
    gaveUp.push_back(dispatch.mediaTime());
  };
  mover->apply(w, target);
  runFor(2.0);
  // Read back 0.08 s after each write, retried 0.1, 0.3 and 0.9 s after each failure.
  expectTimes(positionWriteTimes(w), {0, 0.18, 0.56, 1.54});
  expectTimes(gaveUp, {1.62});
  // Each failed read-back reports the size it found.
  EXPECT_THAT(reports, ElementsAre(report("verified", w, "800x600"), report("verified", w, "800x600"),
                                   report("verified", w, "800x600"), report("verified", w, "800x600")));

  world.clearCalls();
  mover->apply(w, target);  // given up at 1.62 s until 3.62 s
  runFor(1.0);
  EXPECT_TRUE(world.calls(pid).empty());
  mover->apply(w, {320, 100, 800, 600});  // another frame is taken at once
  runFor(0.01);
  expectTimes(positionWriteTimes(w), {3.0});

  runUntil(3.7);
  world.setBehaviour(pid, {});
  mover->apply(w, target);  // and the refused one again once its time is over
  runFor(1.0);
  EXPECT_EQ(frameOf(w), target);
}

// Nothing else asks for a frame given up on (a layout asks only when
// something changes). One whose every try timed out is tried once more when
// its two seconds are over: the application was busy, and gets its window
// where it belongs once it answers. One read back elsewhere is not: that is
// the application's choice, and asking again would only fight it.
TEST_F(MoverWrites, AFrameGivenUpOnABusyApplicationIsTriedOnceMoreWhenItsTimeIsOver) {
  const Pid busy = launch({.faults = {{.name = ax::kPosition,
                                       .on = sim::FaultOn::write,
                                       .error = AXError::cannotComplete,
                                       .remaining = 4}}});
  const Pid stubborn = launch({.ignoresMoves = true});
  auto answersLater = open(busy, {100, 100, 800, 600});
  auto elsewhere = open(stubborn, {100, 100, 800, 600});
  std::map<WindowId, int> gaveUp;
  mover->onGaveUp = [&](WindowId id) { ++gaveUp[id]; };
  const Rect target(300, 100, 800, 600);
  mover->apply(answersLater, target);
  mover->apply(elsewhere, target);
  runFor(15.0);
  EXPECT_EQ(frameOf(answersLater), target);
  EXPECT_EQ(positionWriteTimes(answersLater).size(), 5u);
  EXPECT_EQ(gaveUp[answersLater->id], 1);
  EXPECT_EQ(positionWriteTimes(elsewhere).size(), 4u);
  EXPECT_EQ(gaveUp[elsewhere->id], 1);
}

TEST_F(MoverWrites, AFailedWriteIsRetriedWithoutAReadBack) {
  auto w = open(launch({.faults = {{.name = ax::kPosition,
                                    .on = sim::FaultOn::write,
                                    .error = AXError::cannotComplete,
                                    .remaining = 2}}}),
                {100, 100, 800, 600});
  mover->apply(w, {300, 100, 800, 600});
  runFor(2.0);
  expectTimes(positionWriteTimes(w), {0, 0.1, 0.4});
  expectTimes(reportTimes, {0.48});
}

TEST_F(MoverWrites, AFrameAskedForAgainWhileSupersededIsStillReadBack) {
  // Calls take 20 ms, so the first frame comes back while a newer one waits.
  auto w = open(launch({.latencySeconds = 0.02, .ignoresMoves = true}), {100, 100, 800, 600});
  const Rect first(300, 100, 800, 600);
  mover->apply(w, first);
  runUntil(0.01);
  mover->apply(w, {310, 100, 800, 600});
  runUntil(0.02);
  mover->apply(w, first);
  runFor(3.0);
  EXPECT_EQ(positionWriteTimes(w).size(), 4u) << "written once, then retried, not dropped";
}

TEST_F(MoverWrites, ALateRetryNeverWritesTheFrameOfAForgottenWindow) {
  const Pid pid = launch({.ignoresMoves = true});
  auto w = open(pid, {100, 100, 800, 600});
  mover->apply(w, {300, 100, 800, 600});
  runUntil(0.1);  // a retry waits for 0.18 s
  world.clearCalls();
  mover->forget(mover->lock(), w->id);
  // The same window number comes back with a request whose write fails, so
  // nothing is written or waiting when the old retry wakes up.
  world.setBehaviour(
      pid, {.ignoresMoves = true, .faults = {{.name = ax::kPosition, .on = sim::FaultOn::write}}});
  mover->apply(w, {600, 100, 800, 600});
  runFor(0.5);
  EXPECT_THAT(described(w, nullptr, /*setsOnly=*/true),
              ::testing::Not(::testing::Contains("set AXPosition 300,100")));
}

TEST(MoveRules, ToleranceBoundariesAreInclusive) {
  using move_rules::exceedsRequestedSize, move_rules::verificationPasses;
  const Rect asked(100, 50, 800, 600);
  EXPECT_TRUE(verificationPasses({102, 48, 300, 300}, asked, std::nullopt));
  EXPECT_FALSE(verificationPasses({102.5, 50, 800, 600}, asked, std::nullopt));
  const Rect display(0, 0, 1440, 900);
  EXPECT_TRUE(verificationPasses({1432, 100, 800, 600}, asked, display));   // 8 points in
  EXPECT_FALSE(verificationPasses({1431, 100, 800, 600}, asked, display));  // 9 points in
  EXPECT_TRUE(verificationPasses({200, 896, 800, 600}, asked, display));    // 4 points tall
  EXPECT_FALSE(exceedsRequestedSize({804, 604}, {800, 600}));
  EXPECT_TRUE(exceedsRequestedSize({800, 604.5}, {800, 600}));
}

struct MoverQueues : ::testing::Test, MoverScene {};

TEST_F(MoverQueues, AHungApplicationStallsOnlyItsOwnLabelledQueue) {
  ax.setMessagingTimeout(ax.systemWideElement(), 1.0);
  const Pid hung = launch({.hung = true});
  const Pid healthy = launch();
  auto stuck = open(hung, {0, 100, 600, 600});
  auto moving = open(healthy, {700, 100, 600, 600});
  std::vector<std::string> ran;
  auto note = [&] {
    ran.push_back(dispatch.currentQueueLabel() + "@" + std::to_string(dispatch.mediaTime()));
  };
  mover->apply(stuck, {10, 100, 600, 600});
  mover->perform(hung, note);
  mover->apply(moving, {710, 100, 600, 600});
  mover->perform(healthy, note);
  runUntil(0.5);
  mover->apply(moving, {720, 100, 600, 600});
  runFor(1.0);
  expectTimes(positionWriteTimes(moving), {0, 0.5});
  expectTimes(reportTimes, {0.08, 0.58});
  // Two reads and one write, each waiting out the time-out; the mover stops
  // asking after the first unanswered write call.
  runUntil(3.05);
  const std::string prefix = "app.vistarail.ax.";
  EXPECT_THAT(ran, ElementsAre(prefix + std::to_string(healthy) + "@0.000000",
                               prefix + std::to_string(hung) + "@3.000000"));
  EXPECT_EQ(frameOf(stuck), Rect(0, 100, 600, 600));
}

TEST_F(MoverQueues, CancelEndsRetriesAndCancelAllKeepsOnlyWrittenFrames) {
  const Pid pid = launch({.ignoresMoves = true});
  auto w = open(pid, {100, 100, 800, 600});
  mover->apply(w, {300, 100, 800, 600});
  runUntil(0.1);  // the first read-back failed, a retry waits
  mover->cancel(mover->lock(), w->id);
  runFor(3.0);
  EXPECT_EQ(positionWriteTimes(w).size(), 1u);
  mover->apply(w, {300, 100, 800, 600});  // neither written nor given up any more
  runFor(0.01);
  EXPECT_EQ(positionWriteTimes(w).size(), 2u);

  world.setBehaviour(pid, {});
  mover->apply(w, {400, 100, 800, 600});
  runFor(1.0);
  mover->apply(w, {500, 100, 800, 600});
  mover->cancelAll(mover->lock());
  runFor(1.0);
  EXPECT_EQ(frameOf(w).origin.x, 400);
  EXPECT_EQ(mover->appliedFrame(mover->lock(), w->id), Rect(400, 100, 800, 600));
}

TEST_F(MoverQueues, WorkLeftBehindByAReleasedMoverDoesNothingButCompletionsRun) {
  const Pid pid = launch({}, /*enhancedUI=*/true);
  auto w = open(pid, {100, 100, 800, 600});
  mover->apply(w, {300, 100, 800, 600});
  int completions = 0;
  mover->restoreAllEnhancedUI([&] { ++completions; });
  mover.reset();
  dispatch.runUntilIdle();
  EXPECT_TRUE(world.calls(pid).empty());
  EXPECT_EQ(completions, 1);
}

TEST_F(MoverQueues, AReportOnItsWayIsDroppedWhenTheMoverIsReleased) {
  const Pid pid = launch();
  auto w = open(pid, {100, 100, 800, 600});
  mover->apply(w, {300, 100, 800, 600});
  // Released after the read-back has passed, before its report reaches main.
  mover->perform(pid, [&] { dispatch.main()->asyncAfter(0.08, [&] { mover.reset(); }); });
  dispatch.runUntilIdle();
  EXPECT_EQ(describe(calls(w).back()), "read (multiple attributes)") << "the read-back happened";
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace vistarail::test
