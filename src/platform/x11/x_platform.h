#pragma once
// Every X11 adapter, made once for the process: what the X11 entry point
// hands to the program. Construct after XProcess::blockSignals().

#include <memory>

#include "platform/sim/adapters/sim_keyboard_layout.h"
#include "platform/sim/adapters/sim_text_services.h"
#include "platform/sim/defaults/file_defaults.h"
#include "platform/sim/dispatch/threaded_dispatch.h"
#include "platform/x11/x_accessibility.h"
#include "platform/x11/x_connection.h"
#include "platform/x11/x_desktop.h"
#include "platform/x11/x_display_link.h"
#include "platform/x11/x_event_pump.h"
#include "platform/x11/x_event_taps.h"
#include "platform/x11/x_hot_keys.h"
#include "platform/x11/x_overlay_panels.h"
#include "platform/x11/x_shell.h"
#include "platform/x11/x_window_server.h"
#include "platform/x11/x_workspace.h"

namespace vistarail::x11 {

struct XPlatform {
  explicit XPlatform(XServer& server) : server(server) {}
  XServer& server;
  sim::ThreadedDispatch dispatch;
  XDesktop desktop{server};
  XApplication application{dispatch};
  XStatusBar statusBar;
  XProcess process{dispatch};
  XBundle bundle;
  XAlerts alerts;
  XLoginItem loginItem;
  XKeyMonitor keyMonitor;
  XUpdaterFactory updaters;
  XFormHost settingsHost;
  sim::SimTextServices text;
  XAccessibility accessibility{server, desktop};
  XWindowServer windowServer{server, desktop};
  XWorkspace workspace{server, desktop};
  XDisplayLinkFactory displayLinks{dispatch, desktop};
  XHotKeys hotKeys{server};
  XEventTaps eventTaps{server, desktop, dispatch};
  sim::SimKeyboardLayout keyboardLayout;
  XOverlayPanels overlayPanels{server, desktop, dispatch};
  sim::FileDefaults defaults{{}, dispatch.makeSerialQueue("app.vistarail.defaults")};
  XEventPump pump{server, desktop, accessibility, workspace, dispatch};
};

}  // namespace vistarail::x11
