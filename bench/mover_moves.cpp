// What the window mover costs: the accessibility calls one window receives
// during a scroll animation (in virtual time on the simulated desktop), and the
// main-thread cost of handing it the frames of 100 windows per display frame.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "mover/window_mover.h"
#include "platform/ax_names.h"
#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"

namespace vistarail {
namespace {

constexpr Rect kScreen{0, 0, 1440, 900};
constexpr double kFrameSeconds = 1.0 / 120;
constexpr int kAnimationFrames = 60;  // 0.5 s at 120 frames per second

struct Desk {
  sim::VirtualDispatch dispatch;
  sim::World world{dispatch, 1};
  sim::SimAccessibility ax{world};
  std::shared_ptr<WindowMover> mover = std::make_shared<WindowMover>(ax, dispatch);

  Desk() { world.plugDisplay({.name = "Built-in", .frame = kScreen}); }
  ~Desk() { mover.reset(); }

  ManagedWindowRef open(Pid pid, Rect frame) {
    const sim::WindowKey key = world.openWindow(pid, {.title = "W", .frame = frame});
    auto w = std::make_shared<ManagedWindow>();
    w->id = world.window(key)->number.value_or(0);
    w->pid = pid;
    w->element = ax.windowElement(key);
    w->appElement = ax.applicationElement(pid);
    return w;
  }
};

// The frame of a 0.5 s ease-out scroll at animation time t (0..1).
Rect scrollFrame(double t, bool resizing) {
  const double eased = 1 - std::pow(1 - t, 3);
  const double width = resizing ? 600 + 400 * eased : 800;
  return {40 + 900 * eased, 60, width, 700};
}

// Args: per-call latency in microseconds, 1 when the animation also resizes.
void BM_ScrollAnimationCalls(benchmark::State& state) {
  const double latency = static_cast<double>(state.range(0)) / 1e6;
  const bool resizing = state.range(1) != 0;
  double writes = 0, calls = 0, busy = 0, lastIsFinal = 0, finalLag = 0;
  for (auto _ : state) {
    Desk desk;
    const Pid pid = desk.world.launchApp({.name = "Editor",
                                          .enhancedUserInterface = true,
                                          .behaviour = {.latencySeconds = latency}});
    auto window = desk.open(pid, scrollFrame(0, resizing));
    int frame = 0;
    auto timer = desk.dispatch.scheduleRepeating(desk.dispatch.main(), kFrameSeconds, [&] {
      if (frame >= kAnimationFrames) return;
      ++frame;
      desk.mover->apply(window, scrollFrame(double(frame) / kAnimationFrames, resizing));
    });
    desk.dispatch.runFor(kAnimationFrames * kFrameSeconds + 1e-6);
    timer->invalidate();
    desk.dispatch.runFor(3.0);  // read-backs, retries and the enhanced-UI timer

    const sim::WindowKey key = *sim::SimAccessibility::windowKey(window->element);
    writes = calls = busy = 0;
    Point lastWritten;
    double lastWriteEnd = 0;
    for (const auto& call : desk.world.calls(pid)) {
      calls += 1;
      busy += call.endSeconds - call.startSeconds;
      if (call.window == key && call.kind == sim::AXCallKind::setAttribute) {
        lastWriteEnd = call.endSeconds;
        if (call.name != ax::kPosition) continue;
        writes += 1;
        lastWritten = *asPoint(*call.value);
      }
    }
    const Rect final = scrollFrame(1, resizing);
    lastIsFinal = lastWritten == final.origin && desk.world.window(key)->frame == final ? 1 : 0;
    // How long after the last frame was applied the window had it.
    finalLag = lastWriteEnd - kAnimationFrames * kFrameSeconds;
  }
  state.counters["frames_applied"] = kAnimationFrames;
  state.counters["writes_sent"] = writes;
  state.counters["ax_calls"] = calls;
  state.counters["app_busy_s"] = busy;
  state.counters["last_write_final"] = lastIsFinal;
  state.counters["final_lag_ms"] = finalLag * 1000;
}
BENCHMARK(BM_ScrollAnimationCalls)
    ->ArgNames({"latency_us", "resize"})
    ->Args({1000, 0})
    ->Args({20000, 0})
    ->Args({1000, 1})
    ->Args({20000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Main-thread cost of one display frame's worth of `apply` for 100 windows of
// 10 applications. Arg: 0 every frame new with queues drained between frames;
// 1 every frame new while the previous request still waits (slow
// applications); 2 the frames just written again (a settled layout).
void BM_ApplyHundredWindowsPerFrame(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  Desk desk;
  std::vector<ManagedWindowRef> windows;
  for (int app = 0; app < 10; ++app) {
    const Pid pid = desk.world.launchApp(
        {.name = "App", .behaviour = {.latencySeconds = mode == 1 ? 0.05 : 0.0}});
    for (int i = 0; i < 10; ++i) {
      windows.push_back(desk.open(pid, {double(i) * 100, double(app) * 50, 400, 300}));
    }
  }
  auto frameOf = [](size_t index, int tick) {
    return Rect(double(index) * 10 + tick % 500, 40, 400, 300);
  };
  int tick = 0;
  for (auto _ : state) {
    if (mode != 2) ++tick;
    for (size_t i = 0; i < windows.size(); ++i) desk.mover->apply(windows[i], frameOf(i, tick));
    state.PauseTiming();
    desk.dispatch.runFor(mode == 2 ? 0.2 : kFrameSeconds);
    state.ResumeTiming();
  }
  state.counters["windows"] = double(windows.size());
  state.SetItemsProcessed(state.iterations() * int64_t(windows.size()));
}
BENCHMARK(BM_ApplyHundredWindowsPerFrame)
    ->ArgName("mode")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vistarail
