// Writing, reading back and retrying frames, in virtual time.

#include <limits>

#include "mover_scene.h"

namespace vistarail::test {
namespace {

struct MoverWrites : ::testing::Test, MoverScene {
  std::string report(const char* kind, const ManagedWindowRef& w, const char* size) {
    return std::string(kind) + " " + std::to_string(w->id) + " " + size;
  }
};

TEST_F(MoverWrites, WritesOnlyTheNewestFrameAndNeverRewritesOne) {
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
  runFor(1.0);
  EXPECT_TRUE(calls(w).empty());
  EXPECT_EQ(reports.size(), 1u);

  mover->apply(w, {350, 120, 800, 600});  // same size: the position alone
  runFor(1.0);
  EXPECT_THAT(described(w),
              ElementsAre("set AXPosition 350,120", "read AXPosition", "read AXSize"));
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

TEST_F(MoverWrites, AWindowWiderThanAskedIsVerifiedThenReported) {
  auto w = open(launch(), {100, 100, 1000, 600}, /*minSize=*/{900, 0});
  mover->apply(w, {300, 100, 600, 600});
  runFor(1.0);
  EXPECT_THAT(reports,
              ElementsAre(report("verified", w, "900x600"), report("mismatch", w, "900x600")));
  EXPECT_EQ(positionWriteTimes(w).size(), 1u) << "a placed window is not retried";
}

TEST_F(MoverWrites, AWindowIgnoringMovesIsRetriedThenItsFrameGivenUpForTwoSeconds) {
  const Pid pid = launch({.ignoresMoves = true});
  auto w = open(pid, {100, 100, 800, 600});
  const Rect target(300, 100, 800, 600);
  mover->apply(w, target);
  runFor(2.0);
  // Read back 0.08 s after each write, retried 0.1, 0.3 and 0.9 s after each failure.
  expectTimes(positionWriteTimes(w), {0, 0.18, 0.56, 1.54});
  EXPECT_TRUE(reports.empty());

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

TEST_F(MoverWrites, AParkedWindowPassesWithinEightPointsAndIsNotReported) {
  auto parked = open(launch(), {100, 100, 800, 600});
  auto stuck = open(launch({.ignoresMoves = true}), {100, 100, 800, 600});
  mover->apply(parked, {1434, 100, 800, 600}, kScreen);  // 6 points stay in view
  mover->apply(stuck, {1439, 100, 800, 600}, kScreen);
  runFor(2.0);
  EXPECT_EQ(positionWriteTimes(parked).size(), 1u);
  EXPECT_EQ(positionWriteTimes(stuck).size(), 4u);
  EXPECT_TRUE(reports.empty());
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

TEST_F(MoverWrites, FramesThatAreNotFiniteAreIgnored) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  auto w = open(launch(), {100, 100, 800, 600});
  mover->apply(w, {nan, 100, 800, 600});
  mover->apply(w, {300, 100, 800, 600}, Rect(0, 0, nan, 10));
  mover->apply(nullptr, {300, 100, 800, 600});
  runFor(1.0);
  EXPECT_TRUE(calls(w).empty());
}

}  // namespace
}  // namespace vistarail::test
