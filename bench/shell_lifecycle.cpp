// The program as launched by the system, on the simulated desktop: how long
// (in virtual time) it takes from the user granting Accessibility to the
// first window frame written, and from a SIGTERM to the process being allowed
// to exit with 100 parked windows to give back.

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>

#include "app/app_settings.h"
#include "platform/sim/adapters/desktop.h"
#include "shell/app_delegate.h"
#include "shell/entry.h"
#include "windows/display_info.h"

namespace vistarail {
namespace {

struct NoSettingsWindow : SettingsPresenter {
  void show(std::optional<SettingsPage>) override {}
};
struct NoUpdates : UpdateControl {
  void start() override {}
  bool canCheckForUpdates() const override { return false; }
  void checkForUpdates() override {}
};

// 10 applications with 10 windows each on one display; the program launched.
struct Launched : sim::Desktop {
  std::unique_ptr<AppSettings> settings;
  NoSettingsWindow settingsWindow;
  NoUpdates updates;
  std::shared_ptr<AppDelegate> delegate;

  Launched(bool trusted, double latencySeconds) : sim::Desktop(9) {
    world.plugDisplay(
        {.name = "Display", .frame = {0, 0, 1440, 900}, .visibleFrame = {0, 25, 1440, 875}});
    for (int a = 0; a < 10; ++a) {
      const Pid pid = world.launchApp({.bundleIdentifier = "com.example.app" + std::to_string(a),
                                       .name = "App",
                                       .behaviour = {.latencySeconds = latencySeconds}});
      for (int w = 0; w < 10; ++w) {
        world.openWindow(pid, {.frame = {20.0 + 10 * w, 60, 600, 500}});
      }
    }
    world.setTrusted(trusted);
    const auto displays = DisplayInfo::all(workspace, windowServer);
    settings = std::make_unique<AppSettings>(defaults, displays.front().id);
    delegate = AppDelegate::create(
        {application, statusBar, process, bundle, alerts, workspace, ax, dispatch, keyboardLayout, text},
        {*settings, settingsWindow, updates, [this] {
           return WindowManager::create(
               *settings, defaults,
               {ax, windowServer, workspace, dispatch, links, hotKeys, taps,
                process.processIdentifier(), nullptr, &overlayPanels, &text});
         }});
    runApplication(application, delegate, updates);
  }

  std::optional<double> firstFrameSince(double since) const {
    for (const auto& call : world.calls()) {
      if (call.kind == sim::AXCallKind::setAttribute && call.startSeconds >= since &&
          (call.name == "AXPosition" || call.name == "AXSize")) {
        return call.startSeconds;
      }
    }
    return std::nullopt;
  }
};

// The grant lands `phase` seconds after a poll of the permission.
void BM_GrantToFirstFrame(benchmark::State& state) {
  const double phase = static_cast<double>(state.range(0)) / 100;
  double waited = 0;
  for (auto _ : state) {
    Launched desk(/*trusted=*/false, 0);
    desk.dispatch.runFor(3.0 + phase);
    desk.world.setTrusted(true);
    const double grantedAt = desk.dispatch.now();
    desk.dispatch.runFor(5.0);
    waited = desk.firstFrameSince(grantedAt).value_or(-1) - grantedAt;
  }
  state.counters["virtual_ms"] = waited * 1000;
}
BENCHMARK(BM_GrantToFirstFrame)
    ->Arg(1)
    ->Arg(50)
    ->Arg(99)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Latency per call to the applications in milliseconds.
void BM_SigtermToExit(benchmark::State& state) {
  const double latency = static_cast<double>(state.range(0)) / 1000;
  double took = 0;
  int parked = 0;
  for (auto _ : state) {
    Launched desk(/*trusted=*/true, latency);
    desk.dispatch.runFor(8.0);
    parked = 0;
    for (const auto& [id, window] : desk.delegate->manager()->windows()) {
      parked += desk.delegate->manager()->isParked(id) ? 1 : 0;
    }
    const double sentAt = desk.dispatch.now();
    desk.process.sendSignal(kSignalTerminate);
    for (int i = 0; i < 1000 && !desk.application.terminatedAt(); ++i) desk.dispatch.runFor(0.01);
    took = desk.application.terminatedAt().value_or(-1) - sentAt;
  }
  state.counters["virtual_ms"] = took * 1000;
  state.counters["parked"] = parked;
}
BENCHMARK(BM_SigtermToExit)->Arg(0)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vistarail
