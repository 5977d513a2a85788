#pragma once
// The overlays on a simulated desktop in virtual time: one display, panels
// in the world's window order, and snapshots built from a compact list of
// column widths.

#include <memory>
#include <vector>

#include "overlays/overlay_controller.h"
#include "platform/sim/adapters/sim_overlay_panels.h"
#include "platform/sim/adapters/sim_text_services.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"

namespace vistarail::test {

inline constexpr Rect kFrame{0, 0, 1440, 900};
inline constexpr Rect kArea{0, 25, 1440, 800};

// Columns of the given widths, one window each (ids 1, 2, ...), laid side by
// side with 8-point gaps.
inline StripSnapshot snapshotOf(const std::vector<double>& widths, double scroll = 0,
                                int focused = 0) {
  StripSnapshot s;
  double x = 8;
  WindowId id = 1;
  for (double width : widths) {
    s.columns.push_back({x, width, 1, 0, {{0, "Window " + std::to_string(id), "App", id}}});
    x += width + 8;
    ++id;
  }
  s.focusedIndex = focused;
  s.scroll = scroll;
  s.viewportWidth = kArea.width();
  s.viewportHeight = kArea.height();
  s.contentWidth = x;
  s.maxScroll = std::max(0.0, x - kArea.width());
  return s;
}

struct OverlayDesk {
  sim::VirtualDispatch dispatch;
  sim::World world{dispatch, 3};
  sim::SimWorkspace workspace{world};
  sim::SimOverlayPanels panels{world, dispatch};
  sim::SimTextServices text;
  std::shared_ptr<OverlayController> controller =
      std::make_shared<OverlayController>(OverlayPorts{panels, workspace, dispatch, text});

  OverlayDesk() {
    world.plugDisplay({.name = "Built-in", .frame = kFrame, .visibleFrame = kArea});
    controller->setSettings({.primaryHeight = kFrame.height()});
  }
  void update(const StripSnapshot& s) { controller->update(s, kArea, kFrame, std::nullopt, {}); }
  bool minimapShown() const { return controller->visibleMinimap() != nullptr; }
  bool arrowShown(EdgeSide side) const {
    return controller->isShowing(controller->arrowPanel(side));
  }
};

}  // namespace vistarail::test
