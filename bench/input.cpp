// Input on the hot paths: the scroll tap's decision, which every scroll event
// of the session passes through on its own thread, and the main-thread cost
// of one swipe update (the recogniser, the scroll and the layout of the
// strip that frame).

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "allocation_counter.h"

#include "app/app_settings.h"
#include "input/event_tap_monitor.h"
#include "platform/sim/adapters/desktop.h"
#include "windows/window_manager.h"

namespace vistarail {
namespace {

// A monitor whose scroll tap sees three managed displays side by side.
std::shared_ptr<EventTapMonitor> threeDisplayMonitor(EventTaps& taps, Dispatch& dispatch) {
  auto monitor = std::make_shared<EventTapMonitor>(taps, dispatch, [](std::string_view) {});
  monitor->setInterceptScroll(true);
  monitor->setScrollFrames({{0, 0, 1440, 900}, {1440, 0, 1920, 1080}, {3360, 0, 2560, 1440}});
  return monitor;
}

// The scroll tap's callback for events it lets pass: the lock, the
// point-in-rectangles test over three managed displays, the flags.
void BM_ScrollTapDecision(benchmark::State& state) {
  sim::VirtualDispatch dispatch;
  sim::World world(dispatch);
  sim::SimEventTaps taps(world);
  auto monitor = threeDisplayMonitor(taps, dispatch);
  TapEvent event;
  event.type = EventType::scrollWheel;
  event.location = {4000, 700};  // over the last display
  // Command held as well: not ours, so it passes after the full test.
  event.flags = kEventFlagMaskControl | kEventFlagMaskAlternate | kEventFlagMaskCommand;
  const bool plainScroll = state.range(0) == 0;
  if (plainScroll) event.flags = 0;
  bench::AllocationCounter allocations{state};
  for (auto _ : state) {
    benchmark::DoNotOptimize(monitor->scrollCallback(event));
  }
}
BENCHMARK(BM_ScrollTapDecision)->Arg(0)->Arg(1)->ArgNames({"modifiers"});

// Just the decision for an event that is swallowed (without the sample's hop
// to the main queue, which is the one allocation a swallowed event makes).
void BM_ScrollTapSwallowDecision(benchmark::State& state) {
  sim::VirtualDispatch dispatch;
  sim::World world(dispatch);
  sim::SimEventTaps taps(world);
  auto monitor = threeDisplayMonitor(taps, dispatch);
  const uint64_t flags = kEventFlagMaskControl | kEventFlagMaskAlternate;
  bench::AllocationCounter allocations{state};
  for (auto _ : state) {
    benchmark::DoNotOptimize(monitor->shouldSwallow({4000, 700}, flags));
  }
}
BENCHMARK(BM_ScrollTapSwallowDecision);

// One gesture event of a locked four-finger swipe on the main thread: the
// touches counted, the recogniser, the scroll of the strip, then the frame
// that lays the strip of N windows out and hands each frame to the mover.
void BM_SwipeUpdate(benchmark::State& state) {
  sim::Desktop desktop(3);
  auto& dispatch = desktop.dispatch;
  auto& world = desktop.world;
  auto& defaults = desktop.defaults;
  world.plugDisplay(
      {.name = "Display", .frame = {0, 0, 1440, 900}, .visibleFrame = {0, 25, 1440, 875}});
  const int windows = static_cast<int>(state.range(0));
  for (int a = 0; a < 10; ++a) {
    const Pid pid =
        world.launchApp({.bundleIdentifier = "com.example.app" + std::to_string(a), .name = "App"});
    for (int w = 0; w < windows / 10; ++w) {
      world.openWindow(pid, {.frame = {10.0 * w, 60, 600, 500}}, sim::WindowFocus::staysBehind);
    }
  }
  auto infos = DisplayInfo::all(desktop.workspace, desktop.windowServer);
  AppSettings settings(defaults, infos.front().id);
  auto manager = WindowManager::create(
      settings, defaults,
      {desktop.ax, desktop.windowServer, desktop.workspace, dispatch, desktop.links,
       desktop.hotKeys, desktop.taps, 0, [](std::string_view) {}});
  manager->start();
  dispatch.runFor(5.0);
  world.movePointer({700, 400});
  auto fingers = [](double x) {
    GestureTouches touches;
    for (int i = 0; i < 4; ++i) touches.add({.normalizedPosition = {x + 0.02 * i, 0.5}});
    return touches;
  };
  // Lock a swipe first.
  for (double x : {0.5, 0.5, 0.47, 0.46}) {
    world.touchPad(fingers(x));
    dispatch.runFor(1.0 / 60);
  }
  int frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    world.touchPad(fingers(0.45 + 0.03 * std::sin(++frame * 0.2)));
    state.ResumeTiming();
    dispatch.runFor(0);  // the gesture event on the main queue
    benchmark::DoNotOptimize(manager->tick(1.0 / 120));
    state.PauseTiming();
    dispatch.runFor(1.0 / 60);  // the mover's writes, the applications' replies
    state.ResumeTiming();
  }
  state.counters["scrolling"] = manager->isScrollingInteractively() ? 1 : 0;
}
BENCHMARK(BM_SwipeUpdate)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vistarail
