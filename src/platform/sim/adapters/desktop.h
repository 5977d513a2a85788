#pragma once
// A whole simulated Mac in one object: the virtual clock, the world and every
// port answered from it, and a defaults domain in memory. Tests, benchmarks,
// the scenario runner and the simulator program build their desktops from it,
// so a new port is added in one place.

#include <cstdint>

#include "platform/sim/adapters/sim_accessibility.h"
#include "platform/sim/adapters/sim_alerts.h"
#include "platform/sim/adapters/sim_application.h"
#include "platform/sim/adapters/sim_bundle.h"
#include "platform/sim/adapters/sim_display_link.h"
#include "platform/sim/adapters/sim_input.h"
#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/adapters/sim_overlay_panels.h"
#include "platform/sim/adapters/sim_process.h"
#include "platform/sim/adapters/sim_status_bar.h"
#include "platform/sim/adapters/sim_text_services.h"
#include "platform/sim/adapters/sim_window_server.h"
#include "platform/sim/adapters/sim_workspace.h"
#include "platform/sim/defaults/memory_defaults.h"
#include "platform/sim/dispatch/virtual_dispatch.h"
#include "platform/sim/world/world.h"

namespace vistarail::sim {

struct Desktop {
  // `stored` is what the defaults domain holds before the program first runs.
  explicit Desktop(uint64_t seed = 1, const PropertyList& stored = PropertyList::object())
      : world(dispatch, seed), defaults(stored) {}
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  VirtualDispatch dispatch;
  World world;
  SimAccessibility ax{world};
  SimWindowServer windowServer{world};
  SimWorkspace workspace{world};
  SimDisplayLinkFactory links{dispatch};
  SimHotKeys hotKeys{world};
  SimEventTaps taps{world};
  SimOverlayPanels overlayPanels{world, dispatch};
  MemoryDefaults defaults;
  // The program's own process and what it shows of itself.
  SimApplication application{dispatch};
  SimStatusBar statusBar{dispatch};
  SimProcess process{dispatch};
  SimBundle bundle;
  SimAlerts alerts{dispatch};
  SimKeyboardLayout keyboardLayout;
  SimTextServices text;
};

}  // namespace vistarail::sim
