#pragma once
// The workspace over the simulated world: running applications, workspace and
// screen notifications (on the main queue), screens in the screen API's
// bottom-left space, the pointer, opening URLs, the system version and
// application icons. The applications the system knows of are the ones ever
// launched with a bundle path, the most recent first.

#include <memory>

#include "platform/sim/world/world.h"
#include "platform/workspace.h"

namespace vistarail::sim {

class SimWorkspace final : public Workspace {
 public:
  explicit SimWorkspace(World& world);

  std::vector<RunningApplication> runningApplications() override;
  std::optional<RunningApplication> frontmostApplication() override;
  [[nodiscard]] Subscription observe(WorkspaceHandler handler) override;
  std::vector<ScreenInfo> screens() override;
  [[nodiscard]] Subscription observeScreenParameters(std::function<void()> handler) override;
  Point pointerLocation() override;
  bool openURL(const std::string& url) override;
  OSVersion operatingSystemVersion() override;
  ImageRef runningApplicationIcon(Pid pid) override;
  std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) override;
  ImageRef iconForFile(const std::string& path) override;

 private:
  std::shared_ptr<WorldCore> core_;
};

}  // namespace vistarail::sim
