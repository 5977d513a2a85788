#pragma once
// Everything the settings window works with, given once by the composition
// root. All references must outlive the window.

#include <functional>

#include "app/app_settings.h"
#include "input/hot_key_manager.h"
#include "platform/dispatch.h"
#include "platform/key_monitor.h"
#include "platform/login_item.h"
#include "settings_ui/shell_services.h"
#include "settings_ui/update_manager.h"

namespace vistarail {

struct SettingsContext {
  AppSettings& settings;
  Dispatch& dispatch;
  LoginItem& loginItem;
  KeyMonitor& keyMonitor;
  UpdateManager& updates;
  ShellServices services;
  // The global shortcuts of the running window manager; null (or empty)
  // while management has not started, when there is nothing to suspend.
  std::function<HotKeyManager*()> hotKeys;
};

}  // namespace vistarail
