#include "platform/sim/adapters/sim_workspace.h"

#include "platform/sim/adapters/recording_canvas.h"
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

ImageRef SimWorkspace::runningApplicationIcon(Pid pid) {
  std::lock_guard lock(core_->mutex);
  const SimApp* app = core_->runningApp(pid);
  if (!app) return nullptr;
  return std::make_shared<SimImage>(app->name, pid);
}

std::optional<std::string> SimWorkspace::urlForApplication(const std::string& bundleIdentifier) {
  std::lock_guard lock(core_->mutex);
  for (auto it = core_->launchOrder.rbegin(); it != core_->launchOrder.rend(); ++it) {
    const SimApp& app = core_->apps.at(*it);
    if (!bundleIdentifier.empty() && app.bundleIdentifier == bundleIdentifier &&
        !app.bundlePath.empty()) {
      return app.bundlePath;
    }
  }
  return std::nullopt;
}

ImageRef SimWorkspace::iconForFile(const std::string& path) {
  // The tile shows the initial of the file's name without its folder and
  // ".app", as the Finder names an application bundle.
  std::string name = path.substr(path.find_last_of('/') + 1);
  if (name.size() > 4 && name.ends_with(".app")) name.resize(name.size() - 4);
  return std::make_shared<SimImage>(name, 0);
}

}  // namespace vistarail::sim
