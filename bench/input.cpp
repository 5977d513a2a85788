// Input on the hot paths: the scroll tap's decision, which every scroll event
// of the session passes through on its own thread, and the main-thread cost
// of one swipe update (the recogniser, the scroll and the layout of the
// strip that frame).

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include "app/app_settings.h"
#include "input/event_tap_monitor.h"
#include "platform/sim/adapters/desktop.h"
#include "windows/window_manager.h"

namespace {
std::atomic<uint64_t> gAllocations{0};
}  // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace vistarail {
namespace {

void reportAllocations(benchmark::State& state, uint64_t before) {
  state.counters["allocs/iter"] = benchmark::Counter(
      static_cast<double>(gAllocations.load() - before) / static_cast<double>(state.iterations()));
}

// The scroll tap's callback for events it lets pass: the lock, the
// point-in-rectangles test over three managed displays, the flags.
void BM_ScrollTapDecision(benchmark::State& state) {
  sim::VirtualDispatch dispatch;
  sim::World world(dispatch);
  sim::SimEventTaps taps(world);
  auto monitor = std::make_shared<EventTapMonitor>(taps, dispatch, [](std::string_view) {});
  monitor->setInterceptScroll(true);
  monitor->setScrollFrames({{0, 0, 1440, 900}, {1440, 0, 1920, 1080}, {3360, 0, 2560, 1440}});
  TapEvent event;
  event.type = EventType::scrollWheel;
  event.location = {4000, 700};  // over the last display
  // Command held as well: not ours, so it passes after the full test.
  event.flags = kEventFlagMaskControl | kEventFlagMaskAlternate | kEventFlagMaskCommand;
  const bool plainScroll = state.range(0) == 0;
  if (plainScroll) event.flags = 0;
  const uint64_t before = gAllocations.load();
  for (auto _ : state) {
    benchmark::DoNotOptimize(monitor->scrollCallback(event));
  }
  reportAllocations(state, before);
}
BENCHMARK(BM_ScrollTapDecision)->Arg(0)->Arg(1)->ArgNames({"modifiers"});

// Just the decision for an event that is swallowed (without the sample's hop
// to the main queue, which is the one allocation a swallowed event makes).
void BM_ScrollTapSwallowDecision(benchmark::State& state) {
  sim::VirtualDispatch dispatch;
  sim::World world(dispatch);
  sim::SimEventTaps taps(world);
  auto monitor = std::make_shared<EventTapMonitor>(taps, dispatch, [](std::string_view) {});
  monitor->setInterceptScroll(true);
  monitor->setScrollFrames({{0, 0, 1440, 900}, {1440, 0, 1920, 1080}, {3360, 0, 2560, 1440}});
  const uint64_t flags = kEventFlagMaskControl | kEventFlagMaskAlternate;
  const uint64_t before = gAllocations.load();
  for (auto _ : state) {
    benchmark::DoNotOptimize(monitor->shouldSwallow({4000, 700}, flags));
  }
  reportAllocations(state, before);
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
