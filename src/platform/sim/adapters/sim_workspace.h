#pragma once
// The workspace over the simulated world: running applications, workspace and
// screen notifications (on the main queue), screens in the screen API's
// bottom-left space, the pointer, opening URLs and the system version.

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

 private:
  std::shared_ptr<WorldCore> core_;
};

}  // namespace vistarail::sim
