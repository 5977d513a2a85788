// The control socket: request to reply for a state query on a 100-window
// desktop over the real socket, the main queue's share of it, and what 10
// subscribers cost each animation frame.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "control/client_connection.h"
#include "control/control_server.h"
#include "control/protocol.h"
#include "control/request_handler.h"
#include "platform/sim/adapters/desktop.h"
#include "windows/display_info.h"

namespace vistarail {
namespace {

// 10 applications with 10 windows each on one display, managed, with the
// control socket open in a fresh folder.
struct Served : sim::Desktop {
  std::string folder;
  std::unique_ptr<AppSettings> settings;
  std::shared_ptr<WindowManager> manager;
  std::shared_ptr<control::ControlServer> server;

  explicit Served(bool serve = true) : sim::Desktop(11) {
    char pattern[] = "/tmp/vistarail-bench-XXXXXX";
    folder = ::mkdtemp(pattern);
    world.plugDisplay(
        {.name = "Display", .frame = {0, 0, 1440, 900}, .visibleFrame = {0, 25, 1440, 875}});
    for (int a = 0; a < 10; ++a) {
      const Pid pid = world.launchApp({.bundleIdentifier = "com.example.app" + std::to_string(a),
                                       .name = "App " + std::to_string(a)});
      for (int w = 0; w < 10; ++w) {
        world.openWindow(
            pid, {.title = "Window " + std::to_string(w), .frame = {20.0 + 10 * w, 60, 600, 500}});
      }
    }
    dispatch.runFor(0.5);
    const auto displays = DisplayInfo::all(workspace, windowServer);
    settings = std::make_unique<AppSettings>(defaults, displays.front().id);
    manager = WindowManager::create(*settings, defaults,
                                    {ax, windowServer, workspace, dispatch, links, hotKeys, taps, 0,
                                     nullptr, &overlayPanels, &text});
    manager->start();
    dispatch.runFor(3.0);
    if (serve) {
      std::string error;
      server = control::ControlServer::start(folder + "/control.sock", dispatch, manager, *settings,
                                             error);
    }
  }
  ~Served() {
    server.reset();
    manager.reset();
    settings.reset();
    dispatch.runUntilIdle(100'000);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  control::ClientConnection connect() {
    control::ClientConnection c;
    std::string error;
    c.connect(folder + "/control.sock", error);
    dispatch.runFor(0.001);
    return c;
  }
};

// Wall time from writing the request to holding the reply, the server's work
// done by the simulated main queue in between (as the run loop would).
void BM_StateRequestRoundTrip(benchmark::State& state) {
  Served desk;
  auto c = desk.connect();
  const std::string request = "{\"id\": 1, \"request\": \"state\"}\n";
  size_t bytes = 0;
  for (auto _ : state) {
    c.send(request);
    std::optional<std::string> reply;
    while (!(reply = c.bufferedLine())) {
      desk.dispatch.runFor(0);
      c.pump();
    }
    bytes = reply->size();
  }
  state.counters["reply_bytes"] = static_cast<double>(bytes);
  state.counters["windows"] = static_cast<double>(desk.manager->windows().size());
}
BENCHMARK(BM_StateRequestRoundTrip)->Unit(benchmark::kMicrosecond);

// The main queue's part: decoding, building the state and encoding the reply.
void BM_StateReplyOnMainQueue(benchmark::State& state) {
  Served desk(false);
  const std::string line = "{\"id\": 1, \"request\": \"state\"}";
  for (auto _ : state) {
    const auto decoded = control::decodeRequest(line);
    const auto& request = std::get<control::Request>(decoded);
    const control::Outcome outcome = control::carryOut(request, *desk.manager, *desk.settings);
    benchmark::DoNotOptimize(control::encodeReply(request.id, outcome.body));
  }
}
BENCHMARK(BM_StateReplyOnMainQueue)->Unit(benchmark::kMicrosecond);

// One column's width changed and the strip animating to it, frame by frame,
// with 0 or 10 subscribers reading every event: the difference is what the
// event stream costs a frame.
void BM_AnimationFrameWithSubscribers(benchmark::State& state) {
  const int subscribers = static_cast<int>(state.range(0));
  Served desk(true);
  std::vector<control::ClientConnection> clients;
  for (int i = 0; i < subscribers; ++i) {
    clients.push_back(desk.connect());
    clients.back().send("{\"id\": 1, \"request\": \"subscribe\"}\n");
  }
  desk.dispatch.runFor(0.01);
  constexpr int kFrames = 45;  // 0.75 s at 60 frames a second: the whole slide
  size_t events = 0;
  bool back = false;
  for (auto _ : state) {
    desk.manager->perform(back ? Action::cycleWidthBack : Action::cycleWidth);
    back = !back;
    for (int f = 0; f < kFrames; ++f) desk.dispatch.runFor(1.0 / 60);
    for (auto& c : clients) {
      c.pump();
      while (c.bufferedLine()) ++events;
    }
  }
  state.counters["frame_us"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kFrames,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["events_per_slide"] =
      static_cast<double>(events) /
      std::max<double>(1, static_cast<double>(state.iterations() * std::max(1, subscribers)));
}
BENCHMARK(BM_AnimationFrameWithSubscribers)->Arg(0)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vistarail
