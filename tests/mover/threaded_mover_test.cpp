// The mover on real threads, one per application queue, so that
// ThreadSanitizer sees its lock at work. Every wait is bounded and short.

#include <atomic>

#include "mover_scene.h"
#include "platform/sim/dispatch/threaded_dispatch.h"

namespace vistarail::test {
namespace {

struct MoverThreaded : ::testing::Test, BasicMoverScene<sim::ThreadedDispatch> {
  bool waitFor(const std::function<bool()>& done, double seconds = 2.0) {
    return dispatch.runMainUntil(done, seconds);
  }
  size_t positionWrites(const ManagedWindowRef& w) { return positionWriteTimes(w).size(); }
};

TEST_F(MoverThreaded, AnAnimationAcrossTwoApplicationsEndsOnTheFinalFramesReportedOnMain) {
  bool reportedOffMain = false;
  mover->onVerified = [&](WindowId id, const Rect&, const Rect&) {
    reportedOffMain = reportedOffMain || !dispatch.onMainQueue();
    reports.push_back(std::to_string(id));
  };
  auto a = open(launch({.latencySeconds = 0.004}), {0, 100, 600, 600});
  auto b = open(launch(), {700, 100, 600, 600});
  for (int i = 1; i <= 40; ++i) {
    mover->apply(a, {i * 5.0, 100, 600, 600});
    mover->apply(b, {700 + i * 5.0, 100, 600, 600});
    dispatch.runMainFor(0.002);
  }
  auto verified = [&](const ManagedWindowRef& w) {
    return std::count(reports.begin(), reports.end(), std::to_string(w->id)) > 0;
  };
  ASSERT_TRUE(waitFor([&] { return verified(a) && verified(b); }));
  EXPECT_EQ(frameOf(a), Rect(200, 100, 600, 600));
  EXPECT_EQ(frameOf(b), Rect(900, 100, 600, 600));
  EXPECT_FALSE(reportedOffMain);
}

TEST_F(MoverThreaded, ACancelDuringAWriteLeavesNoWrittenFrameBehind) {
  auto w = open(launch({.latencySeconds = 0.08}), {100, 100, 800, 600});
  const Rect target(300, 100, 800, 600);
  mover->apply(w, target);
  // The position is set; the size call is still under way.
  ASSERT_TRUE(waitFor([&] { return positionWrites(w) == 1; }));
  mover->cancel(mover->lock(), w->id);
  dispatch.runMainFor(0.2);
  EXPECT_EQ(mover->appliedFrame(mover->lock(), w->id), std::nullopt);
  mover->apply(w, target);  // so the same frame is written again when asked for
  EXPECT_TRUE(waitFor([&] { return positionWrites(w) == 2; }));
}

TEST_F(MoverThreaded, RestoresOnApplicationQueuesReportOnTheMainThread) {
  const Pid pid = launch({.latencySeconds = 0.002}, /*enhancedUI=*/true);
  auto w = open(pid, {1439, 100, 800, 600});
  mover->apply(w, {1439, 120, 800, 600}, kScreen);
  dispatch.runMainFor(0.05);
  std::optional<RestoreResult> result;
  std::atomic<int> completions = 0;
  const MoveToken token = mover->beginRestore(mover->lock(), w->id);
  mover->perform(pid, [&, weak = std::weak_ptr(mover), w, token] {
    if (auto self = weak.lock()) {
      self->restore(w, {kScreen}, kVisibleArea, token, [&](RestoreResult r) {
        if (dispatch.onMainQueue()) result = r;
      });
    }
  });
  mover->restoreAllEnhancedUI([&] { ++completions; });
  ASSERT_TRUE(waitFor([&] { return result && completions == 1; }));
  EXPECT_EQ(result, RestoreResult::restored);
  EXPECT_EQ(frameOf(w), Rect(640, 120, 800, 600));
  EXPECT_TRUE(world.app(pid)->enhancedUserInterface.value());
}

}  // namespace
}  // namespace vistarail::test
