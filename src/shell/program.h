#pragma once
// The program as a process entry assembles it: the settings store, the
// settings window shown through a form host, the update manager over the
// updater, the window manager made at launch, and the application delegate
// that runs them. The simulator's scenarios and the macOS application build
// the same program; only the ports differ.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/defaults.h"
#include "platform/display_link.h"
#include "platform/event_taps.h"
#include "platform/form_host.h"
#include "platform/hot_keys.h"
#include "platform/key_monitor.h"
#include "platform/login_item.h"
#include "platform/overlay_panels.h"
#include "platform/updater.h"
#include "platform/window_server.h"
#include "settings_ui/settings_window.h"
#include "settings_ui/update_manager.h"
#include "shell/app_delegate.h"
#include "windows/window_manager.h"

namespace vistarail {

// Everything the program runs on; all must outlive it.
struct ProgramPorts {
  // The process and what it shows of itself.
  Application& application;
  StatusBar& statusBar;
  Process& process;
  Bundle& bundle;
  Alerts& alerts;
  // The desktop it manages.
  Accessibility& ax;
  WindowServer& windowServer;
  Workspace& workspace;
  Dispatch& dispatch;
  DisplayLinkFactory& displayLinks;
  HotKeyService& hotKeys;
  EventTaps& eventTaps;
  OverlayPanels& overlayPanels;
  KeyboardLayout& keyboardLayout;
  const TextServices& text;
  Defaults& defaults;
  // What the settings window reaches.
  LoginItem& loginItem;
  KeyMonitor& keyMonitor;
  UpdaterFactory& updaters;
  FormHost& settingsHost;
};

// How often a shown settings window is described again to catch changes
// made elsewhere (the status menu's pause, the checklist's own refresh, the
// updater's state); a description that did not change is not sent.
inline constexpr double kSettingsRefreshSeconds = 0.5;

// What an embedder may watch of the window manager the program makes: the
// event taps' retry lines and, once made (before it starts), the manager
// itself. The simulator's timeline hangs off these; the Mac needs neither.
struct ProgramHooks {
  EventTapMonitor::Log log = nullptr;
  std::function<void(const std::shared_ptr<WindowManager>&)> managerMade = nullptr;
};

class Program {
 public:
  // With a socket path, scripts reach the program there (see ShellParts).
  explicit Program(const ProgramPorts& ports, ProgramHooks hooks = {},
                   std::optional<std::string> controlSocket = std::nullopt);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // The process entry: delegate, accessory policy, main menu, run.
  void run();

  AppSettings& settings() { return *settings_; }
  AppDelegate& delegate() { return *delegate_; }
  SettingsWindowController& settingsWindow() { return *settingsWindow_; }
  UpdateManager& updates() { return *updates_; }

 private:
  class SettingsBinding;
  class UpdatesBinding;

  ShellServices services();
  std::shared_ptr<WindowManager> makeManager();

  ProgramPorts ports_;
  ProgramHooks hooks_;
  std::unique_ptr<AppSettings> settings_;
  std::unique_ptr<UpdateManager> updates_;
  std::unique_ptr<UpdatesBinding> updatesBinding_;
  std::unique_ptr<SettingsWindowController> settingsWindow_;
  std::unique_ptr<SettingsBinding> settingsBinding_;
  std::shared_ptr<AppDelegate> delegate_;
};

}  // namespace vistarail
