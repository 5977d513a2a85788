// The overlays' cost per display and animation frame on a 100-window strip:
// building the snapshot, comparing its signature and, when nothing changed,
// drawing nothing; and the minimap's drawing when something did.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "overlays/overlay_controller.h"
#include "platform/sim/adapters/recording_canvas.h"
#include "platform/sim/adapters/sim_overlay_panels.h"
#include "platform/sim/adapters/sim_text_services.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"
#include "windows/overlay_update.h"

namespace vistarail {
namespace {

constexpr Rect kFrame{0, 0, 1728, 1117};
constexpr Rect kArea{0, 37, 1728, 1000};

Strip hundredWindows() {
  Strip strip;
  for (WindowId id = 1; id <= 100; ++id) strip.columns.emplace_back(std::vector<WindowId>{id}, 0.5);
  strip.focusedIndex = 50;
  return strip;
}

void label(WindowId id, StripSnapshot::WindowLabel& out) {
  out = {static_cast<Pid>(500 + id % 7), "Document " + std::to_string(id), "Editor", id};
}

struct Desk {
  sim::VirtualDispatch dispatch;
  sim::World world{dispatch};
  sim::SimWorkspace workspace{world};
  sim::SimOverlayPanels panels{world, dispatch};
  sim::SimTextServices text;
  std::shared_ptr<OverlayController> controller =
      std::make_shared<OverlayController>(OverlayPorts{panels, workspace, dispatch, text});
  Desk() {
    world.plugDisplay({.name = "Built-in", .frame = kFrame, .visibleFrame = kArea});
    controller->setSettings({.dimInactive = true, .primaryHeight = kFrame.height()});
  }
};

// One frame of an animation that moved nothing the overlays show.
void BM_OverlayUpdateUnchanged(benchmark::State& state) {
  Desk desk;
  const Strip strip = hundredWindows();
  const LayoutGeometry geometry{kArea, 8, 8};
  StripSnapshot snapshot;
  const FocusTarget target{51, {100, 45, 800, 900}};
  buildStripSnapshot(strip, geometry, 20000.2, label, snapshot);
  desk.controller->update(snapshot, kArea, kFrame, target, WindowId{51});
  desk.controller->pulse();
  desk.controller->refresh();
  desk.dispatch.runFor(0.05);
  const int drawsBefore = desk.panels.drawCount();
  for (auto _ : state) {
    buildStripSnapshot(strip, geometry, 20000.2, label, snapshot);
    desk.controller->update(snapshot, kArea, kFrame, target, WindowId{51});
  }
  desk.dispatch.runFor(0.01);
  state.counters["draws"] = desk.panels.drawCount() - drawsBefore;
}
BENCHMARK(BM_OverlayUpdateUnchanged);

void BM_MinimapDraw(benchmark::State& state) {
  Desk desk;
  MinimapView view(desk.panels);
  StripSnapshot snapshot;
  buildStripSnapshot(hundredWindows(), {kArea, 8, 8}, 20000, label, snapshot);
  view.snapshot = snapshot;
  view.maxWidth = 1382;
  view.hostResized(view.preferredSize());
  sim::DisplayList list;
  for (auto _ : state) {
    list.clear();
    sim::RecordingCanvas canvas(list);
    view.draw(canvas);
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["commands"] = static_cast<double>(list.size());
}
BENCHMARK(BM_MinimapDraw);

}  // namespace
}  // namespace vistarail
