// Until the application shell lands: wait for accessibility access, then run
// the window manager with the macOS adapters. The shell replaces this file
// (its status menu, pause and quit, termination reply and SIGTERM handling
// are not here).

#include "shell_entry.h"

#include <memory>
#include <optional>
#include <string>

#include <unistd.h>

#include "app/app_settings.h"
#include "control/control_server.h"
#include "control/socket_path.h"
#include "windows/display_info.h"
#include "windows/window_manager.h"

namespace vistarail::macos {

namespace {

struct Running {
  std::unique_ptr<AppSettings> settings;
  std::shared_ptr<WindowManager> manager;
  std::shared_ptr<control::ControlServer> control;
  RepeatingTimerRef trustPoll;
};

void startManager(MacPlatform& platform, Running& running) {
  const auto displays = DisplayInfo::all(platform.workspace, platform.windowServer);
  running.settings = std::make_unique<AppSettings>(
      platform.defaults,
      displays.empty() ? std::nullopt : std::optional<std::string>(displays[0].id));
  running.manager = WindowManager::create(
      *running.settings, platform.defaults,
      {platform.accessibility, platform.windowServer, platform.workspace, platform.dispatch,
       platform.displayLinks, platform.hotKeys, platform.eventTaps, platform.ownPid, nullptr,
       &platform.overlayPanels});
  running.manager->start();
  // Scripts reach the program through its control socket in the per-user
  // temporary directory; a second copy finds it taken and goes without.
  std::string error;
  running.control = control::ControlServer::start(
      control::defaultSocketPath(control::processEnvironment(), ::geteuid()), platform.dispatch,
      running.manager, *running.settings, error);
}

}  // namespace

void startApplicationShell(MacPlatform& platform) {
  static Running running;
  if (platform.accessibility.isProcessTrusted(TrustPrompt::promptIfNeeded)) {
    startManager(platform, running);
    return;
  }
  // Asked once; then polled every second until the user grants access.
  running.trustPoll = platform.dispatch.scheduleRepeating(platform.dispatch.main(), 1.0, [&] {
    if (!platform.accessibility.isProcessTrusted(TrustPrompt::none)) return;
    running.trustPoll->invalidate();
    startManager(platform, running);
  });
}

}  // namespace vistarail::macos
