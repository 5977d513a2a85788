// Descriptor watches: a handler runs at the instant data is there, on its
// queue, again while data is left, and never after a cancel.

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/dispatch/threaded_dispatch.h"
#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail::sim {
namespace {

struct SocketPair {
  int fds[2] = {-1, -1};
  SocketPair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0); }
  ~SocketPair() {
    for (int fd : fds) ::close(fd);
  }
};

TEST(DescriptorWatch, RunsTheHandlerOnItsQueueWhenDataComesAndOnlyThen) {
  VirtualDispatch dispatch;
  SocketPair pair;
  std::vector<std::pair<double, std::string>> seen;
  auto watch =
      dispatch.watchDescriptor(dispatch.main(), pair.fds[0], DescriptorEvent::readable, [&] {
        EXPECT_TRUE(dispatch.onMainQueue());
        char buffer[64];
        const ssize_t n = ::read(pair.fds[0], buffer, sizeof buffer);
        seen.emplace_back(dispatch.now(), std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0));
      });
  dispatch.runFor(1.0);
  EXPECT_TRUE(seen.empty());
  ASSERT_EQ(::write(pair.fds[1], "hi", 2), 2);
  dispatch.runFor(1.0);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_pair(1.0, std::string("hi"))) << "at the first instant of the run";
  EXPECT_TRUE(dispatch.runUntilIdle()) << "a quiet descriptor leaves the scheduler idle";
}

TEST(DescriptorWatch, CallsAgainWhileDataIsLeftAndStopsWhenCancelled) {
  VirtualDispatch dispatch;
  SocketPair pair;
  int calls = 0;
  auto watch =
      dispatch.watchDescriptor(dispatch.main(), pair.fds[0], DescriptorEvent::readable, [&] {
        ++calls;
        char byte;
        (void)::read(pair.fds[0], &byte, 1);  // one byte a call
      });
  ASSERT_EQ(::write(pair.fds[1], "abc", 3), 3);
  dispatch.runFor(0.1);
  EXPECT_EQ(calls, 3);
  watch->cancel();
  ASSERT_EQ(::write(pair.fds[1], "d", 1), 1);
  dispatch.runFor(0.1);
  EXPECT_EQ(calls, 3);
}

TEST(DescriptorWatch, DroppingTheHandleCancelsAndAHangUpCountsAsReadable) {
  VirtualDispatch dispatch;
  SocketPair pair;
  int calls = 0;
  {
    auto dropped = dispatch.watchDescriptor(dispatch.main(), pair.fds[0], DescriptorEvent::readable,
                                            [&] { ++calls; });
  }
  ASSERT_EQ(::write(pair.fds[1], "x", 1), 1);
  dispatch.runFor(0.1);
  EXPECT_EQ(calls, 0);

  bool ended = false;
  char drain[8];
  (void)::read(pair.fds[0], drain, sizeof drain);
  DescriptorWatchRef watch;
  watch = dispatch.watchDescriptor(dispatch.main(), pair.fds[0], DescriptorEvent::readable, [&] {
    // The end of the stream stays readable: its reader stops watching.
    ended = ::read(pair.fds[0], drain, sizeof drain) == 0;
    if (ended) watch->cancel();
  });
  ::shutdown(pair.fds[1], SHUT_WR);
  dispatch.runFor(0.1);
  EXPECT_TRUE(ended);
}

TEST(DescriptorWatch, WritableFiresUntilTheBufferIsFullAndAgainOnceDrained) {
  VirtualDispatch dispatch;
  SocketPair pair;
  size_t written = 0;
  int calls = 0;
  auto watch =
      dispatch.watchDescriptor(dispatch.main(), pair.fds[1], DescriptorEvent::writable, [&] {
        ++calls;
        const std::string chunk(4096, 'w');
        const ssize_t n = ::send(pair.fds[1], chunk.data(), chunk.size(), MSG_DONTWAIT);
        if (n > 0) written += static_cast<size_t>(n);
      });
  dispatch.runFor(0.01);
  const int callsWhenFull = calls;
  EXPECT_GT(written, 0u);
  dispatch.runFor(0.01);
  EXPECT_EQ(calls, callsWhenFull) << "a full buffer does not wake the handler";
  char sink[65536];
  while (::recv(pair.fds[0], sink, sizeof sink, MSG_DONTWAIT) > 0) {
  }
  dispatch.runFor(0.001);
  EXPECT_GT(calls, callsWhenFull);
  watch->cancel();
}

TEST(DescriptorWatch, WaitingForDescriptorsWakesForDataWithoutMovingVirtualTime) {
  VirtualDispatch dispatch;
  SocketPair pair;
  bool read = false;
  auto watch =
      dispatch.watchDescriptor(dispatch.main(), pair.fds[0], DescriptorEvent::readable, [&] {
        char byte;
        read = ::read(pair.fds[0], &byte, 1) == 1;
      });
  EXPECT_FALSE(dispatch.waitForDescriptors(0.001));
  ASSERT_EQ(::write(pair.fds[1], "z", 1), 1);
  EXPECT_TRUE(dispatch.waitForDescriptors(1.0));
  EXPECT_EQ(dispatch.now(), 0.0);
  dispatch.runFor(0);
  EXPECT_TRUE(read);
}

TEST(DescriptorWatchThreaded, HandsReadinessToTheQueueAndStopsWhenCancelled) {
  ThreadedDispatch dispatch;
  SocketPair pair;
  std::atomic<int> bytes{0};
  std::atomic<bool> onMain{true};
  auto watch =
      dispatch.watchDescriptor(dispatch.main(), pair.fds[0], DescriptorEvent::readable, [&] {
        onMain = onMain && dispatch.onMainQueue();
        char buffer[16];
        const ssize_t n = ::read(pair.fds[0], buffer, sizeof buffer);
        if (n > 0) bytes += static_cast<int>(n);
      });
  ASSERT_EQ(::write(pair.fds[1], "hello", 5), 5);
  EXPECT_TRUE(dispatch.runMainUntil([&] { return bytes == 5; }, 5.0));
  EXPECT_TRUE(onMain);
  watch.reset();  // joins its thread
  ASSERT_EQ(::write(pair.fds[1], "more", 4), 4);
  dispatch.runMainFor(0.1);
  EXPECT_EQ(bytes, 5);
}

}  // namespace
}  // namespace vistarail::sim
