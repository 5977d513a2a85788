// Switching an application's enhanced user interface off around writes and
// back on afterwards, in virtual time.

#include "mover_scene.h"

namespace vistarail::test {
namespace {

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
  // again; its timer tries once more, and now the application agrees.
  mover->apply(w, {200, 100, 800, 600});
  runFor(1.0);
  EXPECT_TRUE(isOn(pid));
  expectTimes(callTimes(w), {0, 0, 0.5, 0.6, 0.7, 1.5});
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
