// Bringing windows back into view, in virtual time.

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
  EXPECT_THAT(writes(tall),
              ElementsAre("set AXSize 800x800", "set AXPosition 0,25", "set AXSize 800x800"));
  EXPECT_EQ(frameOf(tall), Rect(0, 25, 800, 800));
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

}  // namespace
}  // namespace vistarail::test
