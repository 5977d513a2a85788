#pragma once
// One application on a simulated desktop, for the tests that read windows,
// displays and Spaces through the platform ports.

#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/adapters/sim_window_server.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"

namespace vistarail::test {

inline constexpr Rect kBuiltIn{0, 0, 1440, 900};

inline sim::DisplaySetup builtInDisplay() {
  return {.name = "Built-in",
          .frame = kBuiltIn,
          .visibleFrame = {0, 25, 1440, 800},
          .uuid = "0b1d2c3e-0000-4000-8000-00000000b111"};
}

struct Desk {
  sim::VirtualDispatch dispatch;
  sim::World world{dispatch, 7};
  sim::SimAccessibility ax{world};
  sim::SimWindowServer windowServer{world};
  sim::SimWorkspace workspace{world};
  DisplayNumber builtIn;
  Pid pid = world.launchApp({.name = "Editor"});

  explicit Desk(sim::DisplaySetup first = builtInDisplay())
      : builtIn(world.plugDisplay(std::move(first))) {}

  sim::WindowKey openKey(sim::WindowSetup setup) {
    if (setup.frame.isEmpty()) setup.frame = {40, 60, 800, 600};
    return world.openWindow(pid, std::move(setup));
  }
  AXElement open(sim::WindowSetup setup = {}) {
    return ax.windowElement(openKey(std::move(setup)));
  }
};

}  // namespace vistarail::test
