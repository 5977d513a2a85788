// The changes that user actions and accessibility writes share, with the
// notifications the system sends for each, in the order it sends them.

#include <algorithm>
#include <cmath>

#include "platform/ax_names.h"
#include "platform/sim/world/world_core.h"

namespace vistarail::sim::step {

namespace {

double snap(double value, double grid) {
  if (!(grid > 0)) return value;
  return std::max(grid, std::round(value / grid) * grid);
}

void emitWindow(WorldCore& core, Outbox& out, const SimWindow& w, const char* name) {
  core.emit(out, windowRef(w.pid, w.key), name);
}

bool overlapsADisplay(const WorldCore& core, const Rect& frame) {
  for (const SimDisplay* d : core.connectedDisplays()) {
    if (frame.intersectionArea(d->frame) > 0) return true;
  }
  return false;
}

// Where the window server lets a window be (full-screen windows aside):
// - a window with no part on any display is pulled back onto its own display
//   (else the nearest) until kPulledBackPoints of it show on that side;
// - its top edge stays below the menu bar: a top above the visible frame of
//   the display it is on is moved down to it.
Rect constrained(WorldCore& core, const SimWindow& window, Rect frame) {
  if (core.connectedDisplays().empty()) return frame;
  if (!overlapsADisplay(core, frame)) {
    SimDisplay* home = core.displayOfSpace(window.space.value_or(0));
    if (!home || !home->isConnected) home = core.displayForRect(frame);
    const Rect& d = home->frame;
    if (frame.maxX() <= d.minX()) frame.origin.x = d.minX() - frame.width() + kPulledBackPoints;
    if (frame.minX() >= d.maxX()) frame.origin.x = d.maxX() - kPulledBackPoints;
    if (frame.maxY() <= d.minY()) frame.origin.y = d.minY() - frame.height() + kPulledBackPoints;
    if (frame.minY() >= d.maxY()) frame.origin.y = d.maxY() - kPulledBackPoints;
  }
  const SimDisplay* on = core.displayForRect(frame);
  if (frame.minY() < on->visibleFrame.minY()) frame.origin.y = on->visibleFrame.minY();
  if (core.realism.clampSizesToScreen && window.sizeSettable) {
    frame.size.width = std::min(frame.width(), on->visibleFrame.width());
    frame.size.height = std::min(frame.height(), on->visibleFrame.height());
  }
  return frame;
}

}  // namespace

Size applySizeLimits(const SimWindow& window, const Behaviour& behaviour, Size size) {
  size.width = snap(size.width, behaviour.sizeGrid.width);
  size.height = snap(size.height, behaviour.sizeGrid.height);
  size.width = std::clamp(size.width, window.minSize.width,
                          std::max(window.minSize.width, window.maxSize.width));
  size.height = std::clamp(size.height, window.minSize.height,
                           std::max(window.minSize.height, window.maxSize.height));
  return size;
}

void setFrame(WorldCore& core, SimWindow& window, const Rect& asked, Outbox& out) {
  const Rect old = window.frame;
  const Rect frame = window.fullScreen ? asked : constrained(core, window, asked);
  window.frame = frame;
  if (old.origin != frame.origin) {
    window.lastMoveIgnored = false;
    emitWindow(core, out, window, ax::kWindowMoved);
  }
  if (old.size != frame.size) emitWindow(core, out, window, ax::kWindowResized);
  if (window.fullScreen) return;
  // A window dragged (or written) mostly onto another display joins the Space
  // that display shows.
  if (!overlapsADisplay(core, frame)) return;
  // With one set of Spaces for every display, a window keeps its Space
  // wherever it goes.
  if (core.realism.displaysShareOneSpace) return;
  SimDisplay* target = core.displayForRect(frame);
  if (target && core.displayOfSpace(window.space.value_or(0)) != target) {
    window.space = WorldCore::spaceForNewWindow(*target);
  }
}

bool moveByApp(WorldCore& core, WindowKey key, const Rect& frame, Outbox& out) {
  SimWindow* w = core.findWindow(key);
  if (!w) return false;
  core.traceLine("app moves window " + std::to_string(key) + " to " + formatRect(frame));
  stopAnimation(core, key);
  const Behaviour& behaviour = *core.behaviourFor(windowRef(w->pid, key));
  setFrame(core, *w, Rect(frame.origin, applySizeLimits(*w, behaviour, frame.size)), out);
  w->placedByApp = w->frame;
  return true;
}

void raise(WorldCore& core, WindowKey window) {
  auto it = std::find(core.zOrder.begin(), core.zOrder.end(), window);
  if (it == core.zOrder.end()) return;
  std::rotate(core.zOrder.begin(), it, it + 1);
}

void focusInApp(WorldCore& core, SimWindow& window, Outbox& out) {
  SimApp* app = core.runningApp(window.pid);
  if (!app) return;
  raise(core, window.key);
  if (app->focusedWindow == window.key) return;
  app->focusedWindow = window.key;
  emitWindow(core, out, window, ax::kFocusedWindowChanged);
  emitWindow(core, out, window, ax::kMainWindowChanged);
}

void hide(WorldCore& core, SimApp& app, Outbox& out) {
  if (app.hidden) return;
  app.hidden = true;
  core.emit(out, applicationRef(app.pid), ax::kApplicationHidden);
  core.emitWorkspace(out, WorkspaceEvent::didHideApplication, core.runningApplication(app));
  if (core.frontmost == app.pid) chooseFrontmost(core, out);
}

void unhide(WorldCore& core, SimApp& app, Outbox& out) {
  if (!app.hidden) return;
  app.hidden = false;
  core.emit(out, applicationRef(app.pid), ax::kApplicationShown);
  core.emitWorkspace(out, WorkspaceEvent::didUnhideApplication, core.runningApplication(app));
}

void activate(WorldCore& core, Pid pid, Outbox& out) {
  SimApp* app = core.runningApp(pid);
  if (!app) return;
  unhide(core, *app, out);
  if (core.frontmost == pid) return;
  core.frontmost = pid;
  // An activated application's windows come to the front together, keeping
  // their order.
  std::stable_partition(core.zOrder.begin(), core.zOrder.end(), [&](WindowKey key) {
    const SimWindow* w = core.findWindow(key);
    return w && w->pid == pid;
  });
  core.emitWorkspace(out, WorkspaceEvent::didActivateApplication, core.runningApplication(*app));
}

void refocusApp(WorldCore& core, SimApp& app, Outbox& out) {
  for (WindowKey key : core.appWindowsFrontToBack(app.pid)) {
    SimWindow* w = core.findWindow(key);
    if (key == app.focusedWindow || w->minimized || !core.isShownOnCurrentSpace(*w)) {
      continue;
    }
    focusInApp(core, *w, out);
    return;
  }
  if (!app.focusedWindow) return;
  app.focusedWindow.reset();
  core.emit(out, applicationRef(app.pid), ax::kFocusedWindowChanged);
}

void chooseFrontmost(WorldCore& core, Outbox& out) {
  const std::optional<Pid> leaving = core.frontmost;
  core.frontmost.reset();
  for (WindowKey key : core.zOrder) {
    const SimWindow* w = core.findWindow(key);
    if (!w) continue;
    const SimApp* app = core.runningApp(w->pid);
    if (w->pid == leaving || !app || app->activationPolicy != ActivationPolicy::regular ||
        !core.isOnScreen(*w)) {
      continue;
    }
    activate(core, w->pid, out);
    return;
  }
}

void minimize(WorldCore& core, SimWindow& window, Outbox& out) {
  if (window.minimized || window.fullScreen) return;
  window.minimized = true;
  emitWindow(core, out, window, ax::kWindowMiniaturized);
  SimApp* app = core.runningApp(window.pid);
  if (app && app->focusedWindow == window.key) refocusApp(core, *app, out);
}

void unminimize(WorldCore& core, SimWindow& window, Outbox& out) {
  if (!window.minimized) return;
  window.minimized = false;
  // It comes back on the Space its display shows now.
  if (!core.isShownOnCurrentSpace(window)) {
    if (SimDisplay* d = core.spaceHolder(core.displayForRect(window.frame))) {
      window.space = WorldCore::spaceForNewWindow(*d);
    }
  }
  emitWindow(core, out, window, ax::kWindowDeminiaturized);
  activate(core, window.pid, out);
  focusInApp(core, window, out);
}

void close(WorldCore& core, WindowKey key, Outbox& out) {
  SimWindow* w = core.findWindow(key);
  if (!w) return;
  if (w->fullScreen) exitFullScreen(core, *w, out);
  const Pid pid = w->pid;
  emitWindow(core, out, *w, ax::kUIElementDestroyed);
  // Registrations die with the element.
  for (auto& [id, record] : core.observers) {
    std::erase_if(record.registrations,
                  [&](const auto& r) { return r.first.window == key && r.first.pid == pid; });
  }
  core.windows.erase(key);
  std::erase(core.zOrder, key);
  SimApp* app = core.runningApp(pid);
  if (app && app->focusedWindow == key) refocusApp(core, *app, out);
}

bool enterFullScreen(WorldCore& core, SimWindow& window, Outbox& out) {
  if (window.fullScreen || window.minimized) return false;
  SimDisplay* d = core.displayOfSpace(window.space.value_or(0));
  if (!d || !d->isConnected) return false;
  // It fills the display it is on; with shared Spaces its Space is the one
  // set's, shown on every display.
  const SimDisplay* shownOn =
      core.realism.displaysShareOneSpace ? core.displayForRect(window.frame) : d;
  const SimSpace space{core.nextSpaceId++, true};
  d->spaces.push_back(space);
  window.frameBeforeFullScreen = window.frame;
  window.spaceBeforeFullScreen = window.space;
  window.fullScreen = true;
  window.space = space.id;
  d->currentSpace = space.id;
  stopAnimation(core, window.key);
  setFrame(core, window, shownOn ? shownOn->frame : d->frame, out);
  core.emitWorkspace(out, WorkspaceEvent::activeSpaceDidChange, std::nullopt);
  activate(core, window.pid, out);
  focusInApp(core, window, out);
  return true;
}

bool exitFullScreen(WorldCore& core, SimWindow& window, Outbox& out) {
  if (!window.fullScreen) return false;
  const SpaceId fullScreenSpace = window.space.value_or(0);
  SimDisplay* d = core.displayOfSpace(fullScreenSpace);
  window.fullScreen = false;
  SpaceId back = window.spaceBeforeFullScreen.value_or(0);
  if (d) {
    std::erase_if(d->spaces, [&](const SimSpace& s) { return s.id == fullScreenSpace; });
    if (core.displayOfSpace(back) != d && !d->spaces.empty()) back = d->spaces.front().id;
  }
  window.space = back;
  const bool wasShown = d && d->currentSpace == fullScreenSpace;
  if (wasShown) d->currentSpace = back;
  setFrame(core, window, window.frameBeforeFullScreen.value_or(window.frame), out);
  window.frameBeforeFullScreen.reset();
  window.spaceBeforeFullScreen.reset();
  if (wasShown) core.emitWorkspace(out, WorkspaceEvent::activeSpaceDidChange, std::nullopt);
  return true;
}

}  // namespace vistarail::sim::step
