#include "platform/sim/world/world.h"

#include <algorithm>

#include "platform/sim/world/world_core.h"

namespace vistarail::sim {

World::World(Dispatch& dispatch, uint64_t seed)
    : core_(std::make_shared<WorldCore>(dispatch, seed)) {}

World::~World() = default;

// --- Configuration -----------------------------------------------------------

bool World::setBehaviour(Pid pid, Behaviour behaviour) {
  return editApp(pid, [&](SimApp& app) { app.behaviour = std::move(behaviour); });
}

bool World::setWindowBehaviour(WindowKey window, std::optional<Behaviour> behaviour) {
  return editWindow(window, [&](SimWindow& w) { w.behaviour = std::move(behaviour); });
}

bool World::editWindow(WindowKey window, const std::function<void(SimWindow&)>& edit) {
  std::lock_guard lock(core_->mutex);
  SimWindow* w = core_->findWindow(window);
  if (!w) return false;
  const WindowKey key = w->key;
  const Pid pid = w->pid;
  edit(*w);
  // Identity is not editable.
  w->key = key;
  w->pid = pid;
  if (!w->number) w->number = 0;
  if (!w->space) w->space = 0;
  return true;
}

bool World::editApp(Pid pid, const std::function<void(SimApp&)>& edit) {
  std::lock_guard lock(core_->mutex);
  auto it = core_->apps.find(pid);
  if (it == core_->apps.end()) return false;
  edit(it->second);
  it->second.pid = pid;
  return true;
}

void World::setTrusted(bool trusted) {
  std::lock_guard lock(core_->mutex);
  core_->trusted = trusted;
}

void World::setWindowNumberLookup(bool available) {
  std::lock_guard lock(core_->mutex);
  core_->windowNumberLookup = available;
}

void World::setWindowServerConfig(WindowServerConfig config) {
  std::lock_guard lock(core_->mutex);
  core_->windowServer = config;
}

void World::setOpenURLAnswer(bool accepted) {
  std::lock_guard lock(core_->mutex);
  core_->openURLAnswer = accepted;
}

void World::setRealism(Realism realism) {
  std::lock_guard lock(core_->mutex);
  core_->realism = realism;
}

Realism World::realism() const {
  std::lock_guard lock(core_->mutex);
  return core_->realism;
}

void World::setOSVersion(OSVersion version) {
  std::lock_guard lock(core_->mutex);
  core_->osVersion = version;
}

// --- Queries ---------------------------------------------------------------------

std::vector<SimDisplay> World::displays() const {
  std::lock_guard lock(core_->mutex);
  std::vector<SimDisplay> result;
  for (const SimDisplay* d : core_->connectedDisplays()) result.push_back(*d);
  return result;
}

std::optional<SimDisplay> World::display(DisplayNumber number) const {
  std::lock_guard lock(core_->mutex);
  const SimDisplay* d = core_->findDisplay(number);
  return d ? std::optional(*d) : std::nullopt;
}

std::vector<SimApp> World::apps() const {
  std::lock_guard lock(core_->mutex);
  std::vector<SimApp> result;
  for (Pid pid : core_->launchOrder) result.push_back(core_->apps.at(pid));
  return result;
}

std::optional<SimApp> World::app(Pid pid) const {
  std::lock_guard lock(core_->mutex);
  auto it = core_->apps.find(pid);
  return it == core_->apps.end() ? std::nullopt : std::optional(it->second);
}

std::optional<SimWindow> World::window(WindowKey window) const {
  std::lock_guard lock(core_->mutex);
  const SimWindow* w = core_->findWindow(window);
  return w ? std::optional(*w) : std::nullopt;
}

std::vector<SimWindow> World::windows(Pid pid) const {
  std::lock_guard lock(core_->mutex);
  std::vector<SimWindow> result;
  for (WindowKey key : core_->appWindowsFrontToBack(pid)) result.push_back(core_->windows.at(key));
  return result;
}

std::optional<WindowKey> World::windowWithNumber(WindowId number) const {
  std::lock_guard lock(core_->mutex);
  if (number == 0) return std::nullopt;
  for (const auto& [key, w] : core_->windows) {
    if (w.number == number) return key;
  }
  return std::nullopt;
}

std::optional<Pid> World::frontmostApp() const {
  std::lock_guard lock(core_->mutex);
  return core_->frontmost;
}

std::optional<WindowKey> World::focusedWindow() const {
  std::lock_guard lock(core_->mutex);
  if (!core_->frontmost) return std::nullopt;
  const SimApp* app = core_->runningApp(*core_->frontmost);
  return app ? app->focusedWindow : std::nullopt;
}

Point World::pointer() const {
  std::lock_guard lock(core_->mutex);
  return core_->pointer;
}

int World::trustPromptsShown() const {
  std::lock_guard lock(core_->mutex);
  return core_->trustPrompts;
}

std::vector<std::string> World::openedURLs() const {
  std::lock_guard lock(core_->mutex);
  return core_->openedURLs;
}

namespace {

// What is ordered in, front to back as the window server composites it:
// higher levels first, the order within a level as ordered.
std::vector<WindowKey> stackFrontToBack(const WorldCore& c) {
  std::vector<WindowKey> stack;
  for (WindowKey key : c.zOrder) {
    if (auto panel = c.panels.find(key); panel != c.panels.end()) {
      if (panel->second.orderedIn) stack.push_back(key);
    } else if (c.isOnScreen(c.windows.at(key))) {
      stack.push_back(key);
    }
  }
  auto level = [&](WindowKey key) {
    auto panel = c.panels.find(key);
    return panel == c.panels.end() ? kNormalWindowLevel : panel->second.style.level;
  };
  std::stable_sort(stack.begin(), stack.end(),
                   [&](WindowKey a, WindowKey b) { return level(a) > level(b); });
  return stack;
}

}  // namespace

Scene World::scene() const {
  const double now = core_->dispatch.mediaTime();
  std::lock_guard lock(core_->mutex);
  const WorldCore& c = *core_;
  Scene scene;
  for (const SimDisplay* d : c.connectedDisplays()) {
    scene.displays.push_back({d->name, d->frame, d->visibleFrame, d->isPrimary});
  }
  std::optional<WindowKey> focused;
  if (c.frontmost) {
    if (const SimApp* app = c.runningApp(*c.frontmost)) focused = app->focusedWindow;
  }
  const SimDisplay* primary = c.primaryDisplay();
  const double primaryHeight = primary ? primary->frame.height() : 0;
  const std::vector<WindowKey> stack = stackFrontToBack(c);
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    if (auto panel = c.panels.find(*it); panel != c.panels.end()) {
      const SimPanel& p = panel->second;
      scene.panels.push_back({flipVertically(p.frame, primaryHeight), p.style.level, p.alphaAt(now),
                              p.style.background, p.style.cornerRadius, p.style.hasShadow,
                              p.drawing, scene.windows.size()});
      continue;
    }
    const SimWindow& w = c.windows.at(*it);
    const bool standard = w.role == ax::kWindowRole && w.subrole == ax::kStandardWindowSubrole &&
                          !w.modal && !w.owner && !w.parent;
    scene.windows.push_back({w.title, c.apps.at(w.pid).name, w.frame, focused == w.key, !standard});
  }
  return scene;
}

std::vector<WindowId> World::windowNumbersFrontToBack() const {
  std::lock_guard lock(core_->mutex);
  std::vector<WindowId> numbers;
  for (WindowKey key : stackFrontToBack(*core_)) {
    auto panel = core_->panels.find(key);
    numbers.push_back(panel != core_->panels.end() ? panel->second.number
                                                   : core_->windows.at(key).number.value_or(0));
  }
  return numbers;
}

std::optional<SimPanel> World::panel(WindowId number) const {
  std::lock_guard lock(core_->mutex);
  for (const auto& [key, panel] : core_->panels) {
    if (panel.number == number) return panel;
  }
  return std::nullopt;
}

// --- Records -----------------------------------------------------------------------

std::vector<AXCall> World::calls() const {
  std::lock_guard lock(core_->mutex);
  return {core_->calls.begin(), core_->calls.end()};
}

std::vector<AXCall> World::calls(Pid pid) const {
  std::lock_guard lock(core_->mutex);
  std::vector<AXCall> result;
  std::copy_if(core_->calls.begin(), core_->calls.end(), std::back_inserter(result),
               [&](const AXCall& call) { return call.pid == pid; });
  return result;
}

std::map<Pid, World::CallPace> World::callPaceSince(double since) const {
  // Records are kept in the order the calls were made; none lasts longer
  // than this, so the walk back stops there.
  constexpr double kLongestCallSeconds = 10;
  std::lock_guard lock(core_->mutex);
  std::map<Pid, CallPace> pace;
  for (auto it = core_->calls.rbegin(); it != core_->calls.rend(); ++it) {
    if (it->startSeconds < since - kLongestCallSeconds) break;
    if (it->endSeconds <= since) continue;
    CallPace& app = pace[it->pid];
    if (it->result == AXError::cannotComplete) {
      // A call that timed out measures a hang, not the application's pace;
      // one failed at once was to an application no longer running.
      if (it->endSeconds > it->startSeconds)
        app.lastTimedOutAt = std::max(app.lastTimedOutAt.value_or(it->endSeconds), it->endSeconds);
      continue;
    }
    app.longestAnswered = std::max(app.longestAnswered, it->endSeconds - it->startSeconds);
  }
  return pace;
}

void World::clearCalls() {
  std::lock_guard lock(core_->mutex);
  core_->calls.clear();
}

void World::setTracing(bool enabled) {
  std::lock_guard lock(core_->mutex);
  core_->tracing = enabled;
}

std::string World::trace() const {
  std::lock_guard lock(core_->mutex);
  std::string text;
  for (const auto& line : core_->traceLines) {
    text += line;
    text += '\n';
  }
  if (core_->droppedTraceLines > 0) {
    text += "... " + std::to_string(core_->droppedTraceLines) + " lines dropped\n";
  }
  return text;
}

std::vector<std::string> World::traceLines(size_t from) const {
  std::lock_guard lock(core_->mutex);
  if (from >= core_->traceLines.size()) return {};
  return {core_->traceLines.begin() + static_cast<std::ptrdiff_t>(from), core_->traceLines.end()};
}

}  // namespace vistarail::sim
