// The display link's hop to the main queue, as a scenario of posts and
// deliveries (the link's thread and the main queue played in turn), and once
// on real threads.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/macos/frame_gate.h"

namespace vistarail::macos {
namespace {

TEST(MacFrameGate, OneFrameIsOnItsWayAtATime) {
  FrameGate gate;
  EXPECT_FALSE(gate.beginPost()) << "a stopped link posts nothing";
  gate.start();
  const auto first = gate.beginPost();
  ASSERT_TRUE(first);
  // The main queue is busy: the next refreshes do not pile up behind it.
  EXPECT_FALSE(gate.beginPost());
  EXPECT_FALSE(gate.beginPost());
  EXPECT_TRUE(gate.finishPost(*first));
  EXPECT_TRUE(gate.beginPost());
}

TEST(MacFrameGate, NoFrameIsDeliveredAfterStopEvenOneAlreadyPosted) {
  FrameGate gate;
  gate.start();
  const auto posted = gate.beginPost();
  ASSERT_TRUE(posted);
  gate.stop();
  EXPECT_FALSE(gate.finishPost(*posted));
  EXPECT_FALSE(gate.beginPost());
}

TEST(MacFrameGate, AFramePostedBeforeARestartBelongsToTheOldRun) {
  FrameGate gate;
  gate.start();
  const auto old = gate.beginPost();
  gate.stop();
  gate.start();
  EXPECT_FALSE(gate.finishPost(*old)) << "stopped and started while on its way";
  const auto fresh = gate.beginPost();
  ASSERT_TRUE(fresh);
  EXPECT_NE(*fresh, *old);
  EXPECT_TRUE(gate.finishPost(*fresh));
  // Starting a running link does not begin a new run.
  const auto again = gate.beginPost();
  gate.start();
  EXPECT_TRUE(gate.finishPost(*again));
}

TEST(MacFrameGateThreaded, ALinkThreadAndTheMainQueueNeverDeliverAfterStop) {
  FrameGate gate;
  gate.start();
  std::atomic<bool> done{false};
  std::atomic<int> deliveredAfterStop{0};
  std::atomic<bool> stopped{false};
  std::vector<uint64_t> mailbox;
  std::mutex mailboxLock;
  std::thread link([&] {
    while (!done) {
      if (auto run = gate.beginPost()) {
        std::lock_guard lock(mailboxLock);
        mailbox.push_back(*run);
      }
    }
  });
  int delivered = 0;
  const auto drain = [&] {
    std::vector<uint64_t> posts;
    {
      std::lock_guard lock(mailboxLock);
      posts.swap(mailbox);
    }
    EXPECT_LE(posts.size(), 1u);
    for (uint64_t run : posts) {
      if (gate.finishPost(run)) {
        ++delivered;
        if (stopped) ++deliveredAfterStop;
      }
    }
  };
  // However slowly the link thread gets going, frames flow before the stop...
  while (delivered < 200) drain();
  gate.stop();
  stopped = true;
  // ...and none after it, including the one that may be on its way.
  for (int i = 0; i < 10000; ++i) drain();
  done = true;
  link.join();
  EXPECT_EQ(deliveredAfterStop, 0);
}

}  // namespace
}  // namespace vistarail::macos
