// Bringing windows back into view, and switching an application's enhanced
// user interface off around writes and back on afterwards, in virtual time.

#include "mover/move_rules.h"
#include "mover_scene.h"

namespace vistarail::test {
namespace {

struct MoverRestore : ::testing::Test, MoverScene {
  MoveToken begin(const ManagedWindowRef& w) { return mover->beginRestore(mover->lock(), w->id); }
  // Submitted to the window's queue the way the window manager does it.
  std::optional<RestoreResult> restore(const ManagedWindowRef& w, MoveToken token,
                                       Rect area = kVisibleArea, double runSeconds = 1.0) {
    std::optional<RestoreResult> result;
    mover->perform(w->pid, [&, w, token, area] {
      mover->restore(w, {kScreen}, area, token, [&](RestoreResult r) {
        EXPECT_TRUE(dispatch.onMainQueue());
        result = r;
      });
    });
    runFor(runSeconds);
    return result;
  }
  std::vector<std::string> writes(const ManagedWindowRef& w) { return described(w, nullptr, true); }
};

TEST_F(MoverRestore, AVisibleWindowStaysAndAParkedOneTakesTheShortestWayIn) {
  const Pid pid = launch();
  auto visible = open(pid, {-1, 100, 800, 600});  // within the 2-point slack
  auto parked = open(pid, {1439, 100, 800, 600});
  auto tall = open(pid, {-900, 0, 800, 900});
  EXPECT_EQ(restore(visible, begin(visible)), RestoreResult::restored);
  EXPECT_EQ(restore(parked, begin(parked)), RestoreResult::restored);
  EXPECT_EQ(restore(tall, begin(tall)), RestoreResult::restored);
  EXPECT_TRUE(writes(visible).empty());
  EXPECT_THAT(writes(parked), ElementsAre("set AXPosition 640,100"));
  // One round trip to read it (frame and full screen), one to write, one to
  // read it back: a slow application charges its latency per call, and a
  // pause brings back every window of it one after another.
  EXPECT_THAT(described(parked), ElementsAre("read (multiple attributes)", "set AXPosition 640,100",
                                             "read (multiple attributes)"));
  EXPECT_THAT(writes(tall),
              ElementsAre("set AXSize 800x800", "set AXPosition 0,25", "set AXSize 800x800"));
  EXPECT_EQ(frameOf(tall), Rect(0, 25, 800, 800));
}

// A window closed before its restore (its closing unheard, say while its
// application's notifications were lost) is reported gone after one read,
// not failed: a failure would be tried again and again for a window that
// no longer exists.
TEST_F(MoverRestore, AClosedWindowIsGoneAfterOneRead) {
  const Pid pid = launch();
  auto closed = open(pid, {1439, 100, 800, 600});
  const MoveToken token = begin(closed);
  world.closeWindow(keyOf(closed));
  EXPECT_EQ(restore(closed, token), RestoreResult::gone);
  EXPECT_THAT(described(closed), ElementsAre("read (multiple attributes)"));
}

TEST_F(MoverRestore, ANewerRequestACancelOrAForgetSupersedesIt) {
  auto w = open(launch(), {1439, 100, 800, 600});
  MoveToken token = begin(w);
  mover->apply(w, {1439, 120, 800, 600}, kScreen);
  EXPECT_EQ(restore(w, token), RestoreResult::superseded);
  token = begin(w);
  mover->cancel(mover->lock(), w->id);
  EXPECT_EQ(restore(w, token), RestoreResult::superseded);
  token = begin(w);
  mover->forget(mover->lock(), w->id);
  EXPECT_EQ(restore(w, token), RestoreResult::superseded);
  EXPECT_EQ(frameOf(w).origin, (Point{1439, 120}));
}

TEST_F(MoverRestore, AWindowTooLargeForTheAreaCountsOnlyWhenAtTheClampedOrigin) {
  auto placed = open(launch(), {1439, 100, 1600, 900}, /*minSize=*/{1600, 900});
  EXPECT_EQ(restore(placed, begin(placed)), RestoreResult::restored);
  EXPECT_EQ(frameOf(placed), Rect(0, 25, 1600, 900));

  const Pid stubborn = launch({.ignoresMoves = true});
  auto oversized = open(stubborn, {1439, 100, 1600, 900}, /*minSize=*/{1600, 900});
  auto fits = open(stubborn, {1439, 100, 800, 600});
  EXPECT_EQ(restore(oversized, begin(oversized)), RestoreResult::failed);
  EXPECT_EQ(restore(fits, begin(fits)), RestoreResult::failed);
}

TEST_F(MoverRestore, AnUnreadableWindowOrAnEmptyAreaFailsWithoutWriting) {
  const Pid pid = launch();
  auto w = open(pid, {1439, 100, 800, 600});
  EXPECT_EQ(restore(w, begin(w), Rect(0, 25, 0, 800)), RestoreResult::failed);
  world.setBehaviour(pid, {.faults = {{.name = ax::kPosition, .on = sim::FaultOn::read}}});
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::failed);
  EXPECT_TRUE(writes(w).empty());
}

TEST_F(MoverRestore, TheApplicationGetsItsEnhancedInterfaceBackAtOnce) {
  const Pid pid = launch({}, /*enhancedUI=*/true);
  auto w = open(pid, {1439, 100, 800, 600});
  mover->apply(w, {1439, 120, 800, 600}, kScreen);
  runFor(0.1);
  ASSERT_FALSE(world.app(pid)->enhancedUserInterface.value());
  EXPECT_EQ(restore(w, begin(w), kVisibleArea, 0.01), RestoreResult::restored);
  EXPECT_TRUE(world.app(pid)->enhancedUserInterface.value()) << "before the half-second timer";
}

TEST_F(MoverRestore, AnApplicationRefusingItsEnhancedInterfaceBackIsNotAskedOnEveryRestore) {
  const Pid pid = launch(
      {.faults = {{.name = ax::kEnhancedUserInterface, .on = sim::FaultOn::write}}}, true);
  auto w = open(pid, {100, 100, 800, 600});
  auto askedBack = [&] {
    int n = 0;
    for (const auto& call : calls(w, ax::kEnhancedUserInterface)) {
      if (call.kind == sim::AXCallKind::setAttribute && call.value &&
          asBool(*call.value).value_or(false))
        ++n;
    }
    return n;
  };
  mover->apply(w, {1439, 100, 800, 600}, kScreen);
  runFor(1.0);  // the half-second timer asks three times, and is turned down
  EXPECT_EQ(askedBack(), 3);
  // Restores and writes meanwhile do not ask again: each would queue three
  // more refusals behind the windows' own work.
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::restored);
  mover->apply(w, {200, 100, 800, 600}, kScreen);
  runFor(1.0);
  EXPECT_EQ(askedBack(), 3);
  // The mover's last act asks whatever the application said lately.
  mover->restoreAllEnhancedUI({});
  runFor(1.0);
  EXPECT_EQ(askedBack(), 6);
}

TEST_F(MoverRestore, AWindowThatGlidesToEveryWriteIsJudgedLaterNotByWhereTheGlideStarted) {
  world.setRealism({.enhancedUIAnimationSeconds = 2.0});
  // The interface that makes it glide refuses to be switched off.
  const Pid pid = launch(
      {.faults = {{.name = ax::kEnhancedUserInterface, .on = sim::FaultOn::write}}}, true);
  auto w = open(pid, {100, 100, 800, 600});
  mover->apply(w, {1439, 100, 800, 600}, kScreen);  // parked: it sets off to the edge
  runFor(0.02);
  // Read at the start of its glide it still seems in view; it is written
  // there, and judged once the glide has had its time.
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::waiting);
  runFor(3.0);
  EXPECT_TRUE(kVisibleArea.contains(frameOf(w))) << frameOf(w);
  // A window read where it was sent is brought in and judged at once.
  auto plain = open(launch({}, true), {1439, 100, 800, 600});
  EXPECT_EQ(restore(plain, begin(plain)), RestoreResult::restored);
}

TEST_F(MoverRestore, ARestoreTheWindowDroppedLeavesItKnownAsSentOut) {
  world.setRealism({.enhancedUIAnimationSeconds = 10.0});
  const Pid pid = launch(
      {.faults = {{.name = ax::kEnhancedUserInterface, .on = sim::FaultOn::write}}}, true);
  auto w = open(pid, {1439, 100, 800, 600});
  mover->apply(w, {-799, 100, 800, 600}, kScreen);  // parked on the other side: a long glide
  runFor(0.02);
  // From now on it drops every write, and glides on to the parking frame.
  world.setBehaviour(pid, {.ignoresMoves = true,
                           .faults = {{.name = ax::kEnhancedUserInterface,
                                       .on = sim::FaultOn::write}}});
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::failed);
  for (int i = 0; i < 100 && !kVisibleArea.contains(frameOf(w)); ++i) runFor(0.05);
  ASSERT_TRUE(kVisibleArea.contains(frameOf(w))) << "mid-glide " << frameOf(w);
  // Read in view on its way out: not restored, whatever the dropped write was.
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::waiting);
  runFor(12.0);
  EXPECT_FALSE(kVisibleArea.contains(frameOf(w))) << "the glide ended out of view";
}

TEST_F(MoverRestore, AParkingGlideUnderWaySendsItOutThoughALaterWriteWasInView) {
  world.setRealism({.enhancedUIAnimationSeconds = 4.0});
  const sim::Behaviour keepsInterface{
      .faults = {{.name = ax::kEnhancedUserInterface, .on = sim::FaultOn::write}}};
  const Pid pid = launch(keepsInterface, true);
  auto w = open(pid, {100, 100, 800, 600});
  mover->apply(w, {1439, 100, 800, 600}, kScreen);  // parked: a four-second glide
  runFor(0.05);
  // From now on its application drops every write, and glides on.
  sim::Behaviour dropsWrites = keepsInterface;
  dropsWrites.ignoresMoves = true;
  world.setBehaviour(pid, dropsWrites);
  mover->apply(w, {300, 100, 800, 600});  // the last frame written is in view
  runFor(0.05);
  ASSERT_TRUE(kVisibleArea.contains(frameOf(w))) << "mid-glide " << frameOf(w);
  const auto result = restore(w, begin(w), kVisibleArea, 0.5);
  ASSERT_TRUE(result.has_value());
  EXPECT_NE(*result, RestoreResult::restored) << toString(*result) << " at " << frameOf(w);
  runFor(5.0);
  EXPECT_FALSE(kVisibleArea.contains(frameOf(w))) << "the glide ended out of view";
}

TEST_F(MoverRestore, AWriteStillGlidingSendsTheWindowOutWhenItsDisplayGoes) {
  world.setRealism({.enhancedUIAnimationSeconds = 10.0});
  const Pid pid = launch(
      {.faults = {{.name = ax::kEnhancedUserInterface, .on = sim::FaultOn::write}}}, true);
  const Rect right{1440, 0, 1920, 1080};
  auto w = open(pid, {-799, 100, 800, 600});
  // Brought back onto the right-hand display: it glides there across this
  // one, so the read-back finds it still on its way.
  std::optional<RestoreResult> first;
  const MoveToken token = begin(w);
  mover->perform(pid, [&, token] {
    mover->restore(w, {kScreen, right}, {1440, 25, 1920, 1055}, token,
                   [&](RestoreResult r) { first = r; });
  });
  runFor(1.0);
  ASSERT_EQ(first, RestoreResult::failed);
  for (int i = 0; i < 100 && !kVisibleArea.contains(frameOf(w)); ++i) runFor(0.05);
  ASSERT_TRUE(kVisibleArea.contains(frameOf(w))) << "mid-glide " << frameOf(w);
  // That display is gone now: read in view here, but on its way out of it.
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::waiting);
  runFor(12.0);
  EXPECT_TRUE(kVisibleArea.contains(frameOf(w))) << frameOf(w);
}

TEST_F(MoverRestore, AFullScreenWindowIsWaitedForEvenIfThisRunNeverMovedIt) {
  // Parked by an earlier run, then made full screen: it fills the display,
  // which looks in view, but leaving full screen takes it back out.
  auto w = open(launch(), {-707, 33, 708, 500});
  world.enterFullScreen(keyOf(w));
  ASSERT_EQ(frameOf(w), kScreen);
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::waiting);
  world.exitFullScreen(keyOf(w));
  EXPECT_EQ(restore(w, begin(w)), RestoreResult::restored);
  EXPECT_TRUE(kVisibleArea.contains(frameOf(w))) << frameOf(w);
}

TEST_F(MoverRestore, AnApplicationThatStopsAnsweringFailsAfterOneTimeOutNotFour) {
  const Pid pid = launch({}, /*enhancedUI=*/true);
  auto w = open(pid, {1439, 100, 800, 600});
  mover->apply(w, {1439, 120, 800, 600}, kScreen);  // switches the interface off
  runFor(0.1);
  world.setBehaviour(pid, {.hung = true});
  world.clearCalls();
  const double start = dispatch.mediaTime();
  std::optional<double> reportedAfter;
  const MoveToken token = begin(w);
  mover->perform(pid, [&, token] {
    mover->restore(w, {kScreen}, kVisibleArea, token, [&](RestoreResult r) {
      EXPECT_EQ(r, RestoreResult::failed);
      reportedAfter = dispatch.mediaTime() - start;
    });
  });
  runFor(sim::kDefaultMessagingTimeoutSeconds + 0.5);
  // Switching the interface back on timed out, and every further call would
  // too: neither asked again nor the window read.
  ASSERT_TRUE(reportedAfter.has_value());
  EXPECT_NEAR(*reportedAfter, sim::kDefaultMessagingTimeoutSeconds, 0.05);
  int askedDuringRestore = 0;
  for (const auto& call : calls(w, ax::kEnhancedUserInterface)) {
    if (call.startSeconds < start + *reportedAfter) ++askedDuringRestore;
  }
  EXPECT_EQ(askedDuringRestore, 1);
  EXPECT_TRUE(calls(w).empty());
}

struct MoverEnhancedUI : ::testing::Test, MoverScene {
  bool isOn(Pid pid) const { return world.app(pid)->enhancedUserInterface.value(); }
  std::vector<double> callTimes(const ManagedWindowRef& w) {
    std::vector<double> times;
    for (const auto& call : calls(w, ax::kEnhancedUserInterface))
      times.push_back(call.startSeconds);
    return times;
  }
};

TEST_F(MoverEnhancedUI, TenWritesSwitchItOffOnceAndOnOnceHalfASecondAfterTheLast) {
  const Pid pid = launch({}, /*enhancedUI=*/true);
  auto w = open(pid, {0, 100, 800, 600});
  for (int i = 1; i <= 10; ++i) {
    mover->apply(w, {i * 20.0, 100, 800, 600});
    runFor(0.05);
  }
  // One timer waits for the burst to end, not one per write: an animation's
  // every frame must not pile up behind a slow application.
  EXPECT_LE(dispatch.pendingCount(), 2u);
  runUntil(0.94);  // the tenth write went out at 0.45 s
  EXPECT_FALSE(isOn(pid));
  runFor(1.0);
  EXPECT_TRUE(isOn(pid));
  EXPECT_THAT(described(w, ax::kEnhancedUserInterface),
              ElementsAre("read AXEnhancedUserInterface", "set AXEnhancedUserInterface false",
                          "set AXEnhancedUserInterface true"));
  expectTimes(callTimes(w), {0, 0, 0.95});
}

TEST_F(MoverEnhancedUI, AnApplicationThatWillNotSwitchItBackKeepsItsRecord) {
  const Pid pid = launch({}, /*enhancedUI=*/true);
  auto w = open(pid, {0, 100, 800, 600});
  mover->apply(w, {100, 100, 800, 600});
  runFor(0.1);
  // "Failure" to the next three writes of the attribute: tried at 0.5, 0.6, 0.7 s.
  world.setBehaviour(
      pid, {.faults = {
                {.name = ax::kEnhancedUserInterface, .on = sim::FaultOn::write, .remaining = 3}}});
  runUntil(1.0);
  EXPECT_FALSE(isOn(pid));
  // The next write knows it is still off and does not read or switch it
  // again, and its timer does not ask so soon after three refusals.
  mover->apply(w, {200, 100, 800, 600});
  runFor(1.0);
  EXPECT_FALSE(isOn(pid));
  // A write once that while is over: its timer asks, and now the
  // application agrees.
  runUntil(0.7 + move_rules::kEnhancedUIRefusedSeconds);
  mover->apply(w, {300, 100, 800, 600});
  runFor(1.0);
  EXPECT_TRUE(isOn(pid));
  expectTimes(callTimes(w), {0, 0, 0.5, 0.6, 0.7, 4.2});
}

TEST_F(MoverEnhancedUI, ItIsReadAtMostEveryTwoSecondsAndOnlyBusyAnswersAreRetried) {
  const Pid pid = launch({}, /*enhancedUI=*/true);
  auto w = open(pid, {0, 100, 800, 600});
  mover->apply(w, {100, 100, 800, 600});
  runFor(0.1);
  world.setBehaviour(pid, {.faults = {{.name = ax::kEnhancedUserInterface,
                                       .on = sim::FaultOn::write,
                                       .error = AXError::illegalArgument,
                                       .remaining = 1}}});
  runUntil(1.0);                          // refused once at 0.5 s, not retried, record dropped
  mover->apply(w, {200, 100, 800, 600});  // the cached reading says on: off again
  runUntil(2.5);
  mover->apply(w, {300, 100, 800, 600});  // the reading is stale: read again
  runFor(1.0);
  EXPECT_THAT(described(w, ax::kEnhancedUserInterface),
              ElementsAre("read AXEnhancedUserInterface", "set AXEnhancedUserInterface false",
                          "set AXEnhancedUserInterface true", "set AXEnhancedUserInterface false",
                          "set AXEnhancedUserInterface true", "read AXEnhancedUserInterface",
                          "set AXEnhancedUserInterface false", "set AXEnhancedUserInterface true"));
  EXPECT_TRUE(isOn(pid));
}

TEST_F(MoverEnhancedUI, RestoringAllGivesItBackToEveryApplicationAtOnce) {
  const Pid a = launch({}, /*enhancedUI=*/true);
  const Pid b = launch({.latencySeconds = 0.05}, /*enhancedUI=*/true);
  mover->apply(open(a, {0, 100, 600, 600}), {10, 100, 600, 600});
  mover->apply(open(b, {700, 100, 600, 600}), {710, 100, 600, 600});
  runFor(0.01);
  std::vector<double> completions;
  mover->restoreAllEnhancedUI([&] { completions.push_back(dispatch.mediaTime()); });
  runUntil(0.45);
  EXPECT_TRUE(isOn(a));
  EXPECT_TRUE(isOn(b));
  // b's queue first finishes its write (five calls of 50 ms), then the restore.
  expectTimes(completions, {0.30});
}

}  // namespace
}  // namespace vistarail::test
