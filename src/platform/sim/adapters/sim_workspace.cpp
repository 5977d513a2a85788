#include "platform/sim/adapters/sim_workspace.h"

#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

SimWorkspace::SimWorkspace(World& world) : core_(world.core()) {}

std::vector<RunningApplication> SimWorkspace::runningApplications() {
  std::lock_guard lock(core_->mutex);
  std::vector<RunningApplication> result;
  for (Pid pid : core_->launchOrder) {
    const SimApp& app = core_->apps.at(pid);
    if (!app.terminated) result.push_back(core_->runningApplication(app));
  }
  return result;
}

std::optional<RunningApplication> SimWorkspace::frontmostApplication() {
  std::lock_guard lock(core_->mutex);
  if (!core_->frontmost) return std::nullopt;
  const SimApp* app = core_->runningApp(*core_->frontmost);
  if (!app) return std::nullopt;
  return core_->runningApplication(*app);
}

Subscription SimWorkspace::observe(WorkspaceHandler handler) {
  std::lock_guard lock(core_->mutex);
  const uint64_t id = core_->nextSubscriberId++;
  core_->workspaceSubscribers.emplace(id, std::move(handler));
  std::weak_ptr<WorldCore> weak = core_;
  return Subscription([weak, id] {
    auto core = weak.lock();
    if (!core) return;
    std::lock_guard lock(core->mutex);
    core->workspaceSubscribers.erase(id);
  });
}

std::vector<ScreenInfo> SimWorkspace::screens() {
  std::lock_guard lock(core_->mutex);
  std::vector<ScreenInfo> result;
  const SimDisplay* primary = core_->primaryDisplay();
  const double height = primary ? primary->frame.height() : 0;
  for (const SimDisplay* d : core_->connectedDisplays()) {
    ScreenInfo screen;
    if (d->screenNumberReadable) screen.screenNumber = d->number;
    screen.localizedName = d->name;
    screen.frame = flipVertically(d->frame, height);
    screen.visibleFrame = flipVertically(d->visibleFrame, height);
    result.push_back(std::move(screen));
  }
  return result;
}

Subscription SimWorkspace::observeScreenParameters(std::function<void()> handler) {
  std::lock_guard lock(core_->mutex);
  const uint64_t id = core_->nextSubscriberId++;
  core_->screenSubscribers.emplace(id, std::move(handler));
  std::weak_ptr<WorldCore> weak = core_;
  return Subscription([weak, id] {
    auto core = weak.lock();
    if (!core) return;
    std::lock_guard lock(core->mutex);
    core->screenSubscribers.erase(id);
  });
}

Point SimWorkspace::pointerLocation() {
  std::lock_guard lock(core_->mutex);
  const SimDisplay* primary = core_->primaryDisplay();
  return flipVertically(core_->pointer, primary ? primary->frame.height() : 0);
}

bool SimWorkspace::openURL(const std::string& url) {
  std::lock_guard lock(core_->mutex);
  core_->traceLine("open URL " + url);
  if (core_->openedURLs.size() < 10'000) core_->openedURLs.push_back(url);
  return core_->openURLAnswer;
}

OSVersion SimWorkspace::operatingSystemVersion() {
  std::lock_guard lock(core_->mutex);
  return core_->osVersion;
}

}  // namespace vistarail::sim
