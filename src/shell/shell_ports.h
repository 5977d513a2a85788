#pragma once
// The services the shell drives, and the parts of the program it is given.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/app_settings.h"
#include "platform/accessibility.h"
#include "platform/alerts.h"
#include "platform/application.h"
#include "platform/bundle.h"
#include "platform/dispatch.h"
#include "platform/keyboard_layout.h"
#include "platform/process.h"
#include "platform/status_item.h"
#include "platform/text_services.h"
#include "platform/workspace.h"
#include "shell/shell_links.h"
#include "windows/window_manager.h"

namespace vistarail {

// All must outlive the shell.
struct ShellPorts {
  Application& application;
  StatusBar& statusBar;
  Process& process;
  Bundle& bundle;
  Alerts& alerts;
  Workspace& workspace;
  Accessibility& ax;
  Dispatch& dispatch;
  KeyboardLayout& keyboardLayout;
  const TextServices& text;  // key names are upper-cased the user's way
};

struct ShellParts {
  AppSettings& settings;
  SettingsPresenter& settingsWindow;
  UpdateControl& updates;
  // Makes the window manager, not started; called once, at launch.
  std::function<std::shared_ptr<WindowManager>()> makeManager;
  // Where the control socket listens for scripts; none without a path.
  std::optional<std::string> controlSocket = std::nullopt;
};

}  // namespace vistarail
