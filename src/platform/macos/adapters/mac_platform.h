#pragma once
// Every macOS adapter, made once for the process: what an entry point hands
// to the program in place of the simulated desktop.

#include <unistd.h>

#include "platform/macos/adapters/mac_accessibility.h"
#include "platform/macos/adapters/mac_alerts.h"
#include "platform/macos/adapters/mac_application.h"
#include "platform/macos/adapters/mac_bundle.h"
#include "platform/macos/adapters/mac_defaults.h"
#include "platform/macos/adapters/mac_dispatch.h"
#include "platform/macos/adapters/mac_display_link.h"
#include "platform/macos/adapters/mac_event_taps.h"
#include "platform/macos/adapters/mac_form_host.h"
#include "platform/macos/adapters/mac_hot_keys.h"
#include "platform/macos/adapters/mac_key_monitor.h"
#include "platform/macos/adapters/mac_keyboard_layout.h"
#include "platform/macos/adapters/mac_login_item.h"
#include "platform/macos/adapters/mac_overlay_panels.h"
#include "platform/macos/adapters/mac_process.h"
#include "platform/macos/adapters/mac_status_bar.h"
#include "platform/macos/adapters/mac_text_services.h"
#include "platform/macos/adapters/mac_updater.h"
#include "platform/macos/adapters/mac_window_server.h"
#include "platform/macos/adapters/mac_workspace.h"

namespace vistarail::macos {

struct MacPlatform {
  // The process and what it shows of itself (the application object first:
  // it makes the shared NSApplication the others use).
  MacApplication application;
  MacStatusBar statusBar;
  MacProcess process;
  MacBundle bundle;
  MacAlerts alerts;
  MacLoginItem loginItem;
  MacKeyMonitor keyMonitor;
  MacUpdaterFactory updaters;
  MacFormHost settingsHost;
  MacTextServices text;
  // The desktop.
  MacAccessibility accessibility;
  MacWindowServer windowServer;
  MacWorkspace workspace;
  MacDispatch dispatch;
  MacDisplayLinkFactory displayLinks{dispatch};
  MacHotKeys hotKeys;
  MacEventTaps eventTaps;
  MacKeyboardLayout keyboardLayout;
  MacOverlayPanels overlayPanels;
  MacDefaults defaults;  // the application's standard domain
  Pid ownPid = static_cast<Pid>(getpid());
};

}  // namespace vistarail::macos
