#pragma once
// The workspace port over AppKit: running applications, workspace and
// screen notifications (delivered on the main queue), screens in the screen
// API's space (bottom-left origin, as AppKit gives them), the pointer, URLs
// and the system version.

#include <memory>

#include "platform/workspace.h"

namespace vistarail::macos {

class MacWorkspace final : public Workspace {
 public:
  std::vector<RunningApplication> runningApplications() override;
  std::optional<RunningApplication> frontmostApplication() override;
  Subscription observe(WorkspaceHandler handler) override;
  std::vector<ScreenInfo> screens() override;
  Subscription observeScreenParameters(std::function<void()> handler) override;
  Point pointerLocation() override;
  bool openURL(const std::string& url) override;
  OSVersion operatingSystemVersion() override;
  ImageRef runningApplicationIcon(Pid pid) override;
  std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) override;
  ImageRef iconForFile(const std::string& path) override;
};

}  // namespace vistarail::macos
