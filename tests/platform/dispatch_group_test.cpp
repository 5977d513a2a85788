#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dispatch.h"
#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail {
namespace {

struct DispatchGroupTest : ::testing::Test {
  sim::VirtualDispatch dispatch;
  std::shared_ptr<DispatchGroup> group = DispatchGroup::make();
};

TEST_F(DispatchGroupTest, NotifiesOnItsQueueOnceAllWorkHasLeft) {
  auto worker = dispatch.makeSerialQueue("app.vistarail.ax.7");
  std::vector<std::string> log;
  for (int i = 0; i < 3; ++i) {
    group->enter();
    worker->asyncAfter(0.1 * (i + 1), [&, i] {
      log.push_back("work" + std::to_string(i));
      group->leave();
    });
  }
  group->notify(dispatch.main(),
                [&] { log.push_back("notified on " + dispatch.currentQueueLabel()); });
  dispatch.runFor(0.25);
  EXPECT_EQ(log, (std::vector<std::string>{"work0", "work1"}));
  dispatch.runUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"work0", "work1", "work2", "notified on main"}));
}

TEST_F(DispatchGroupTest, EmptyGroupNotifiesAsynchronously) {
  bool notified = false;
  group->notify(dispatch.main(), [&] { notified = true; });
  EXPECT_FALSE(notified) << "never inside notify() itself";
  dispatch.runUntilIdle();
  EXPECT_TRUE(notified);
}

TEST_F(DispatchGroupTest, EveryWaiterRunsInOrderAndOnlyOnce) {
  std::vector<int> order;
  group->enter();
  group->notify(dispatch.main(), [&] { order.push_back(1); });
  group->notify(dispatch.main(), [&] { order.push_back(2); });
  group->leave();
  dispatch.runUntilIdle();
  // A new round of work must not wake the waiters of the finished one.
  group->enter();
  group->leave();
  dispatch.runUntilIdle();
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST_F(DispatchGroupTest, ExtraLeaveIsIgnoredRatherThanCountingBelowZero) {
  group->enter();
  group->leave();
  group->leave();  // unbalanced
  group->enter();
  bool notified = false;
  group->notify(dispatch.main(), [&] { notified = true; });
  dispatch.runUntilIdle();
  EXPECT_FALSE(notified) << "the second enter is still outstanding";
  group->leave();
  dispatch.runUntilIdle();
  EXPECT_TRUE(notified);
}

}  // namespace
}  // namespace vistarail
