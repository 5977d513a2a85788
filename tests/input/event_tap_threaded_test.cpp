// The scroll tap on real threads: the user's scrolls reach the active tap on
// the thread that makes them while the main queue changes what is taken, so
// the data-race build (`make test-tsan`) watches the flag lock. Waits are
// real but brief and bounded.

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "input/event_tap_monitor.h"
#include "platform/sim/adapters/sim_input.h"
#include "platform/sim/dispatch/threaded_dispatch.h"
#include "platform/sim/world/world.h"

namespace vistarail::test {
namespace {

TEST(EventTapMonitorThreaded, ScrollsTakenOnTheirThreadWhileMainChangesTheRules) {
  sim::ThreadedDispatch dispatch;
  sim::World world(dispatch);
  sim::SimEventTaps taps(world);
  world.plugDisplay({.name = "Built-in", .frame = {0, 0, 1440, 900}});
  const Pid pid = world.launchApp({.name = "Editor"});
  world.openWindow(pid, {.frame = {0, 30, 1440, 860}});
  auto monitor = std::make_shared<EventTapMonitor>(taps, dispatch, [](std::string_view) {});
  std::atomic<int> taken{0};
  monitor->onModifierScroll = [&](const ScrollSample&) { ++taken; };
  monitor->start();
  ASSERT_TRUE(dispatch.runMainUntil([&] { return monitor->hasScrollTap(); }, 2.0));
  monitor->setScrollFrames({{0, 0, 1440, 900}});
  monitor->setInterceptScroll(true);

  std::atomic<int> swallowed{0};
  std::thread hands([&] {
    sim::ScrollInput input;
    input.deltaX = 12;
    input.phase = 2;
    input.flags = kEventFlagMaskControl | kEventFlagMaskAlternate;
    for (int i = 0; i < 400; ++i) {
      world.movePointer({100.0 + i, 300});
      if (!world.scroll(input)) ++swallowed;
    }
  });
  for (int i = 0; i < 200; ++i) {
    monitor->setInterceptScroll(i % 4 != 3);
    monitor->setScrollFrames({{0, 0, 1440.0 - i, 900}});
    dispatch.runMainFor(0.0005);
  }
  hands.join();
  monitor->setInterceptScroll(true);
  ASSERT_TRUE(dispatch.runMainUntil([&] { return taken.load() >= swallowed.load(); }, 2.0));
  // Each scroll went either to the application under the pointer or to the
  // program, and every one the program took reached its main queue once.
  EXPECT_GT(swallowed.load(), 0);
  EXPECT_EQ(world.app(pid)->scrollsReceived + swallowed.load(), 400);
  EXPECT_EQ(taken.load(), swallowed.load());
  monitor->stop();
  dispatch.runMainFor(0.01);
}

}  // namespace
}  // namespace vistarail::test
