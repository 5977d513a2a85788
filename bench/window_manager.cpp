// The window manager on the simulated desktop: the main-thread cost of a
// reconcile and of one animation frame, and how long a new window waits in
// virtual time for its first frame.

#include <benchmark/benchmark.h>

#include <memory>

#include "app/app_settings.h"
#include "input/action.h"
#include "platform/ax_names.h"
#include "platform/sim/adapters/desktop.h"
#include "windows/window_manager.h"

namespace vistarail {
namespace {

// Without overlay panels unless asked: the figures are the manager's own
// work, and the frame is measured both ways.
enum class WithOverlays { no, yes };

struct Desktop : sim::Desktop {
  std::unique_ptr<AppSettings> settings;
  std::shared_ptr<WindowManager> manager;

  Desktop(int apps, int windowsPerApp, int displays, double latencySeconds = 0,
          WithOverlays overlays = WithOverlays::no)
      : sim::Desktop(3) {
    for (int d = 0; d < displays; ++d) {
      world.plugDisplay({.name = "Display",
                         .frame = {1440.0 * d, 0, 1440, 900},
                         .visibleFrame = {1440.0 * d, 25, 1440, 875}});
    }
    for (int a = 0; a < apps; ++a) {
      const Pid pid = world.launchApp({.bundleIdentifier = "com.example.app" + std::to_string(a),
                                       .name = "App",
                                       .behaviour = {.latencySeconds = latencySeconds}});
      for (int w = 0; w < windowsPerApp; ++w) {
        const double x = 1440.0 * ((a * windowsPerApp + w) % displays) + 10 * w;
        world.openWindow(pid, {.frame = {x, 60, 600, 500}}, sim::WindowFocus::staysBehind);
      }
    }
    auto infos = DisplayInfo::all(workspace, windowServer);
    settings = std::make_unique<AppSettings>(defaults, infos.front().id);
    std::vector<std::string> ids;
    for (const auto& info : infos) ids.push_back(info.id);
    settings->managedDisplayIDs.set(ids);
    const bool shown = overlays == WithOverlays::yes;
    manager =
        WindowManager::create(*settings, defaults,
                              {ax, windowServer, workspace, dispatch, links, hotKeys, taps, 0,
                               nullptr, shown ? &overlayPanels : nullptr, shown ? &text : nullptr});
    manager->start();
    dispatch.runFor(5.0);
  }
};

// A reconcile with every window already in place: the on-screen list, the
// membership test of every window, and the focus read it queues. Scans are
// not part of it.
void BM_Reconcile(benchmark::State& state) {
  Desktop desktop(50, static_cast<int>(state.range(0)) / 50, 1);
  for (auto _ : state) {
    desktop.manager->reconcile();
    state.PauseTiming();
    desktop.dispatch.runUntilIdle();
    state.ResumeTiming();
  }
  state.counters["windows"] = static_cast<double>(desktop.manager->windows().size());
}
BENCHMARK(BM_Reconcile)->Arg(500)->Unit(benchmark::kMicrosecond);

// One animation frame while the strips scroll: springs stepped and every
// active display laid out, each window's new frame handed to the mover; with
// the second argument 1, each display's overlays updated too.
void BM_Tick(benchmark::State& state) {
  const int windows = static_cast<int>(state.range(0));
  Desktop desktop(10, windows / 10, 2, 0, state.range(1) ? WithOverlays::yes : WithOverlays::no);
  double dt = 1.0 / 120;
  int frame = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // A gap one point wider or narrower moves every window, so every frame
    // hands the mover new positions.
    desktop.settings->innerGap.set(++frame % 2 ? 9.0 : 8.0);
    desktop.dispatch.runFor(0.1);
    state.ResumeTiming();
    benchmark::DoNotOptimize(desktop.manager->tick(dt));
  }
}
BENCHMARK(BM_Tick)->Args({10, 0})->Args({100, 0})->Args({500, 0})->Args({100, 1})->Unit(
    benchmark::kMicrosecond);

// When the first position write of a window started, or -1 if none did.
double firstPositionWrite(const sim::Desktop& desktop, Pid pid, sim::WindowKey key) {
  for (const auto& call : desktop.world.calls(pid)) {
    if (call.window == key && call.kind == sim::AXCallKind::setAttribute &&
        call.name == ax::kPosition) {
      return call.startSeconds;
    }
  }
  return -1;
}

// Virtual time from a new window appearing to the first frame written for
// it: the 0.08 s coalescing delay plus one scan is the floor.
void BM_NewWindowFirstFrame(benchmark::State& state) {
  const double latency = static_cast<double>(state.range(0)) / 1000;
  double waited = 0;
  for (auto _ : state) {
    Desktop desktop(1, 3, 1, latency);
    const Pid pid = desktop.world.apps().front().pid;
    desktop.world.clearCalls();
    const double opened = desktop.dispatch.now();
    const auto key = desktop.world.openWindow(pid, {.frame = {300, 60, 600, 500}});
    desktop.dispatch.runFor(3.0);
    waited = firstPositionWrite(desktop, pid, key) - opened;
  }
  state.counters["virtual_ms"] = waited * 1000;
}
BENCHMARK(BM_NewWindowFirstFrame)
    ->Arg(0)
    ->Arg(20)
    ->Arg(100)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);


// Three windows opened 1 s apart in a slow application: the longest any of
// them waits for its first frame. Scans of one application never pile up
// behind each other, so this stays near one scan's length.
void BM_SlowApplicationBurst(benchmark::State& state) {
  const double latency = static_cast<double>(state.range(0)) / 1000;
  double longest = 0;
  for (auto _ : state) {
    Desktop desktop(1, 1, 1, latency);
    const Pid pid = desktop.world.apps().front().pid;
    desktop.world.clearCalls();
    std::vector<std::pair<sim::WindowKey, double>> opened;
    for (int i = 0; i < 3; ++i) {
      opened.emplace_back(
          desktop.world.openWindow(pid, {.frame = {100.0 + 40 * i, 60, 600, 500}}),
          desktop.dispatch.now());
      desktop.dispatch.runFor(1.0);
    }
    desktop.dispatch.runFor(20.0);
    longest = 0;
    for (const auto& [key, when] : opened) {
      const double written = firstPositionWrite(desktop, pid, key);
      longest = std::max(longest, written < 0 ? 1e9 : written - when);
    }
  }
  state.counters["longest_wait_ms"] = longest * 1000;
}
BENCHMARK(BM_SlowApplicationBurst)
    ->Arg(50)
    ->Arg(100)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A stop 1 s after three windows opened in an application answering at
// 50 ms per call: how many windows are out of view once the stop completed.
void BM_StopSoonAfterOpening(benchmark::State& state) {
  int outOfView = 0;
  double took = 0;
  for (auto _ : state) {
    Desktop desktop(1, 2, 1, 0.05);
    const Pid pid = desktop.world.apps().front().pid;
    for (int i = 0; i < 3; ++i) {
      desktop.world.openWindow(pid, {.frame = {100.0 + 40 * i, 60, 600, 500}});
    }
    desktop.dispatch.runFor(1.0);
    const double stopped = desktop.dispatch.now();
    double finished = -1;
    desktop.manager->stop([&] { finished = desktop.dispatch.now(); });
    desktop.dispatch.runFor(10.0);
    took = finished - stopped;
    outOfView = 0;
    for (const auto& window : desktop.world.windows(pid)) {
      const Rect part = window.frame.intersection({0, 0, 1440, 900});
      if (part.isNull() || part.width() < 40 || part.height() < 40) ++outOfView;
    }
  }
  state.counters["out_of_view"] = outOfView;
  state.counters["virtual_ms"] = took * 1000;
}
BENCHMARK(BM_StopSoonAfterOpening)->Iterations(1)->Unit(benchmark::kMillisecond);

// The main-thread cost of one command on a 100-window strip: the strip
// change, the scroll it asks for and the save it schedules (the frames follow
// on the next animation frame, measured above).
void BM_Command(benchmark::State& state) {
  Desktop desktop(10, 10, 1);
  desktop.world.movePointer({700, 400});
  int i = 0;
  for (auto _ : state) {
    desktop.manager->perform(++i % 2 ? Action::cycleWidth : Action::cycleWidthBack);
    state.PauseTiming();
    desktop.dispatch.runFor(0.05);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Command)->Unit(benchmark::kMicrosecond);

// Virtual time from a command to the first frame written for the window it
// moves: one animation frame plus the application's answer.
void BM_CommandFirstFrame(benchmark::State& state) {
  const double latency = static_cast<double>(state.range(0)) / 1000;
  double waited = 0;
  for (auto _ : state) {
    Desktop desktop(1, 4, 1, latency);
    desktop.world.movePointer({700, 400});
    desktop.dispatch.runFor(5.0);
    const Pid pid = desktop.world.apps().front().pid;
    desktop.world.clearCalls();
    const double issued = desktop.dispatch.now();
    desktop.manager->perform(Action::moveRight);
    desktop.dispatch.runFor(2.0);
    for (const auto& call : desktop.world.calls(pid)) {
      if (call.kind == sim::AXCallKind::setAttribute && call.name == ax::kPosition) {
        waited = call.endSeconds - issued;
        break;
      }
    }
  }
  state.counters["virtual_ms"] = waited * 1000;
}
BENCHMARK(BM_CommandFirstFrame)->Arg(0)->Arg(20)->Iterations(3)->Unit(benchmark::kMillisecond);

// Virtual time from quitting to the stop's completion with every moved window
// brought back: 100 windows across 10 applications.
void BM_StopRestoresEverything(benchmark::State& state) {
  const double latency = static_cast<double>(state.range(0)) / 1000;
  double took = 0;
  for (auto _ : state) {
    Desktop desktop(10, 10, 1, latency);
    const double stopped = desktop.dispatch.now();
    double finished = -1;
    desktop.manager->stop([&] { finished = desktop.dispatch.now(); });
    desktop.dispatch.runFor(6.0);
    took = finished - stopped;
  }
  state.counters["virtual_ms"] = took * 1000;
}
BENCHMARK(BM_StopRestoresEverything)->Arg(0)->Arg(20)->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vistarail
