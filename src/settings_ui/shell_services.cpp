#include "settings_ui/shell_services.h"

#include "platform/window_server.h"

namespace vistarail {

ShellServices servicesFromWorkspace(Workspace& workspace, WindowServer& windowServer) {
  ShellServices services;
  services.runningApplications = [&workspace] { return workspace.runningApplications(); };
  services.applicationName =
      [&workspace](const std::string& bundleID) -> std::optional<std::string> {
    for (const RunningApplication& app : workspace.runningApplications()) {
      if (app.bundleIdentifier == bundleID && !app.localizedName.empty()) return app.localizedName;
    }
    return std::nullopt;
  };
  services.displays = [&workspace, &windowServer] {
    return DisplayInfo::all(workspace, windowServer);
  };
  services.observeScreenParameters = [&workspace](std::function<void()> handler) {
    return workspace.observeScreenParameters(std::move(handler));
  };
  services.osVersion = [&workspace] { return workspace.operatingSystemVersion(); };
  services.openURL = [&workspace](const std::string& url) { return workspace.openURL(url); };
  return services;
}

}  // namespace vistarail
