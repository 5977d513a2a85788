#pragma once
// What the settings window needs from the application around it, as plain
// functions the composition root fills: the answers of services that belong
// to the application shell (the bundle, trust, the system beep, activating
// the application) and of the workspace. Keeping them narrow lets the window
// be built and tested without the shell, on any adapter.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/signal.h"
#include "input/key_combo.h"
#include "platform/workspace.h"
#include "windows/display_info.h"

namespace vistarail {

struct ShellServices {
  // Accessibility trust, asked without showing the system prompt.
  std::function<bool()> isTrusted;
  std::function<std::string()> bundlePath;
  std::function<std::string()> bundleIdentifier;
  std::function<std::string()> homeDirectory;
  std::function<std::vector<RunningApplication>()> runningApplications;
  // The display name of the application with that identifier, when the
  // system knows one.
  std::function<std::optional<std::string>(const std::string& bundleID)> applicationName;
  std::function<std::vector<DisplayInfo>()> displays;
  std::function<Subscription(std::function<void()>)> observeScreenParameters;
  std::function<OSVersion()> osVersion;
  std::function<bool(const std::string& url)> openURL;
  std::function<std::string(const KeyCombo&)> shortcutText;
  std::function<std::string()> versionText;
  std::function<void()> showPrivacyPolicy;
  std::function<void()> beep;
  std::function<void()> activate;
};

// Fills what the workspace and window-server ports answer (running
// applications and their names, displays, screen changes, the OS version,
// opening URLs); the rest is left to the caller.
class WindowServer;
ShellServices servicesFromWorkspace(Workspace& workspace, WindowServer& windowServer);

}  // namespace vistarail
