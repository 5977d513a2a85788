// The swipe recogniser and the hot-key registry on their own.

#include <gtest/gtest.h>

#include <string>

#include "input/hot_key_manager.h"
#include "input/swipe_tracker.h"
#include "platform/sim/adapters/sim_input.h"
#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail {
namespace {

struct Frame {
  int count;
  double x;
  double y;
};

TEST(SwipeTracker, LocksOnlyOnDominantHorizontalTravel) {
  struct Row {
    const char* name;
    int fingers;
    std::vector<Frame> frames;
    std::string calls;  // b: began, m<dx>: moved, e: ended
    SwipeTracker::Phase phase;
  };
  using P = SwipeTracker::Phase;
  const Row rows[] = {
      {"three fingers lock and report the travel at once",
       3,
       {{3, 0.5, 0.5}, {3, 0.52, 0.505}},
       "b m0.020 ",
       P::tracking},
      {"too much drift stays pending", 3, {{3, 0.5, 0.5}, {3, 0.52, 0.516}}, "", P::pending},
      {"vertical travel blocks",
       3,
       {{3, 0.5, 0.5}, {3, 0.5, 0.54}, {3, 0.6, 0.54}},
       "",
       P::blocked},
      {"a lifted finger ends and blocks",
       4,
       {{4, 0.5, 0.5}, {4, 0.48, 0.5}, {3, 0.46, 0.5}, {4, 0.4, 0.5}},
       "b m-0.020 e ",
       P::blocked},
      {"all fingers up ends and resets",
       4,
       {{4, 0.5, 0.5}, {4, 0.52, 0.5}, {0, 0, 0}},
       "b m0.020 e ",
       P::idle},
      {"two-finger scrolling never disturbs it", 4, {{2, 0.5, 0.5}, {2, 0.9, 0.5}}, "", P::idle},
      {"a jump across more than the pad is dropped",
       4,
       {{4, 0.5, 0.5}, {4, 0.52, 0.5}, {4, 5.0, 0.5}},
       "b m0.020 ",
       P::tracking},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SwipeTracker tracker;
    tracker.fingers = row.fingers;
    std::string calls;
    tracker.onBegin = [&] { calls += "b "; };
    tracker.onMove = [&](double dx) {
      char text[32];
      std::snprintf(text, sizeof text, "m%.3f ", dx);
      calls += text;
    };
    tracker.onEnd = [&] { calls += "e "; };
    double t = 0;
    for (const Frame& frame : row.frames)
      tracker.update(frame.count, {frame.x, frame.y}, t += 0.01);
    EXPECT_EQ(calls, row.calls);
    EXPECT_EQ(tracker.phase(), row.phase);
  }
}

TEST(SwipeTracker, AStaleSwipeEndsOnlyAfterAQuarterSecond) {
  SwipeTracker tracker;
  int ends = 0;
  tracker.onEnd = [&] { ++ends; };
  tracker.update(4, {0.5, 0.5}, 1.0);
  tracker.update(4, {0.55, 0.5}, 1.01);
  EXPECT_FALSE(tracker.endIfStale(1.25));
  EXPECT_TRUE(tracker.endIfStale(1.27));
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(tracker.phase(), SwipeTracker::Phase::idle);
}

TEST(HotKeyManager, IdsAreConsecutiveAndForeignPressesAreDeclined) {
  sim::VirtualDispatch dispatch;
  sim::World world(dispatch);
  sim::SimHotKeys service(world);
  auto manager = std::make_shared<HotKeyManager>(service, dispatch);
  std::vector<Action> fired;
  manager->onAction = [&](Action action) { fired.push_back(action); };
  world.holdHotKeyElsewhere(2, 0x1000);
  manager->registerBindings({{Action::focusLeft, {{1, 0x1000}, {2, 0x1000}, {3, 0x1000}}},
                             {Action::center, {{4, 0x1000}}}});
  std::vector<uint32_t> ids;
  for (const auto& record : world.hotKeys()) ids.push_back(record.id.id);
  EXPECT_EQ(ids, (std::vector<uint32_t>{1, 3, 4}));  // the refused one used up id 2
  EXPECT_EQ(manager->handle({HotKeyID{fourCharCode("ABCD"), 1}}), kEventNotHandledErr);
  EXPECT_EQ(manager->handle({HotKeyID{HotKeyManager::kSignature, 2}}), kEventNotHandledErr);
  EXPECT_EQ(manager->handle({}), kEventParameterNotFoundErr);
  EXPECT_EQ(manager->handle({HotKeyID{HotKeyManager::kSignature, 4}}), kNoErr);
  EXPECT_TRUE(fired.empty());  // never inside the handler
  dispatch.runUntilIdle();
  EXPECT_EQ(fired, std::vector<Action>{Action::center});
  // Key codes outside the virtual key range are refused, not crashed on.
  manager->registerBindings({{Action::focusLeft, {{0xFFFF, 0x1000}}}});
  EXPECT_EQ(manager->liveCount(), 0u);
}

}  // namespace
}  // namespace vistarail
