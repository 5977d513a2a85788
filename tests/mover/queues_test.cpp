// Per-application queues, cancelling and the mover's lifetime, in virtual time.

#include "mover_scene.h"

namespace vistarail::test {
namespace {

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
  EXPECT_EQ(describe(calls(w).back()), "read AXSize") << "the read-back happened";
  EXPECT_TRUE(reports.empty());
}

}  // namespace
}  // namespace vistarail::test
