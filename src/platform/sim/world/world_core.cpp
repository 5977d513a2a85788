#include "platform/sim/world/world_core.h"

#include <algorithm>
#include <cstdio>

#include "platform/sim/dispatch/virtual_dispatch.h"

namespace vistarail::sim {

namespace {

// In virtual time the world's events must not wait for a slow call to end
// (see VirtualDispatch); real threads interleave of themselves.
QueueRef makeWorldQueue(Dispatch& dispatch) {
  if (auto* virtualTime = dynamic_cast<VirtualDispatch*>(&dispatch)) {
    return virtualTime->makeWorldQueue("sim.world.apps");
  }
  return dispatch.makeSerialQueue("sim.world.apps");
}

}  // namespace

WorldCore::WorldCore(Dispatch& d, uint64_t seed)
    : dispatch(d), appQueue(makeWorldQueue(d)), rng(seed) {}

bool WorldCore::step(const std::function<bool(Outbox&)>& body) {
  const double now = dispatch.mediaTime();
  Outbox out;
  bool result = false;
  {
    std::lock_guard lock(mutex);
    nowSeconds = now;
    result = body(out);
  }
  deliver(out);
  return result;
}

FaultOn faultKind(AXCallKind kind) {
  switch (kind) {
    case AXCallKind::copyAttribute:
      return FaultOn::read;
    case AXCallKind::setAttribute:
      return FaultOn::write;
    case AXCallKind::isSettable:
      return FaultOn::settable;
    case AXCallKind::performAction:
      return FaultOn::action;
    case AXCallKind::addNotification:
    case AXCallKind::removeNotification:
      return FaultOn::notification;
  }
  return FaultOn::any;
}

std::optional<AXError> takeFault(Behaviour& behaviour, FaultOn on, std::string_view name) {
  for (auto& fault : behaviour.faults) {
    if (fault.on != on && fault.on != FaultOn::any) continue;
    // Observer creation names nothing, so an observer fault matches whatever
    // name it carries.
    if (!fault.name.empty() && fault.name != name && fault.on != FaultOn::observer) continue;
    if (fault.remaining == 0) continue;
    if (fault.remaining > 0) --fault.remaining;
    return fault.error;
  }
  return std::nullopt;
}

CallOutcome WorldCore::message(const ElementRef& target, AXCallKind kind, std::string_view name,
                               const AXValue* written,
                               const std::function<CallOutcome(Outbox&)>& op) {
  const double start = dispatch.mediaTime();
  double delay = 0;
  bool hung = false;
  {
    std::lock_guard lock(mutex);
    nowSeconds = start;
    const SimApp* app = runningApp(target.pid);
    if (!app) {
      const bool onApp = target.kind == ElementKind::application;
      recordCall({start, start, target.pid, onApp ? std::nullopt : std::optional(target.window),
                  kind, std::string(name),
                  written ? std::optional<AXValue>(*written) : std::nullopt,
                  AXError::cannotComplete});
      return {AXError::cannotComplete, std::nullopt};
    }
    const Behaviour* behaviour = behaviourFor(target);
    hung = behaviour->hung;
    delay = hung ? messagingTimeout(*app)
                 : behaviour->latencySeconds + behaviour->latencyJitterSeconds * rng.unit();
  }
  dispatch.sleep(delay);
  const double end = dispatch.mediaTime();
  Outbox out;
  CallOutcome outcome;
  {
    std::lock_guard lock(mutex);
    nowSeconds = end;
    if (hung || !runningApp(target.pid)) {
      outcome.error = AXError::cannotComplete;
      if (SimApp* app = runningApp(target.pid)) app->lastRefusalAt = end;
    } else if (!elementExists(target)) {
      outcome.error = AXError::invalidUIElement;
    } else if (auto fault = takeFault(*behaviourFor(target), faultKind(kind), name)) {
      outcome.error = *fault;
      if (kind == AXCallKind::setAttribute || kind == AXCallKind::isSettable)
        runningApp(target.pid)->lastRefusalAt = end;
    } else {
      outcome = op(out);
    }
    std::optional<AXValue> recorded;
    if (written) {
      recorded = *written;
    } else if (outcome.error == AXError::success) {
      recorded = outcome.value;
    }
    const bool onApp = target.kind == ElementKind::application;
    recordCall({start, end, target.pid, onApp ? std::nullopt : std::optional(target.window), kind,
                std::string(name), std::move(recorded), outcome.error});
  }
  deliver(out);
  return outcome;
}

// --- Lookups ---------------------------------------------------------------

SimApp* WorldCore::runningApp(Pid pid) {
  auto it = apps.find(pid);
  return it == apps.end() || it->second.terminated ? nullptr : &it->second;
}
const SimApp* WorldCore::runningApp(Pid pid) const {
  return const_cast<WorldCore*>(this)->runningApp(pid);
}

SimWindow* WorldCore::findWindow(WindowKey key) {
  auto it = windows.find(key);
  return it == windows.end() ? nullptr : &it->second;
}
SimPanel* WorldCore::findPanel(WindowKey key) {
  auto it = panels.find(key);
  return it == panels.end() ? nullptr : &it->second;
}

double SimPanel::alphaAt(double nowSeconds) const {
  if (fadeSeconds <= 0 || nowSeconds >= fadeStartSeconds + fadeSeconds) return alphaTo;
  const double t = std::max(0.0, (nowSeconds - fadeStartSeconds) / fadeSeconds);
  return alphaFrom + (alphaTo - alphaFrom) * t;
}

const SimWindow* WorldCore::findWindow(WindowKey key) const {
  return const_cast<WorldCore*>(this)->findWindow(key);
}

SimDisplay* WorldCore::findDisplay(DisplayNumber number) {
  for (auto& d : displays) {
    if (d.number == number) return &d;
  }
  return nullptr;
}

std::vector<const SimDisplay*> WorldCore::connectedDisplays() const {
  std::vector<const SimDisplay*> result;
  for (const auto& d : displays) {
    if (d.isConnected) result.push_back(&d);
  }
  return result;
}

const SimDisplay* WorldCore::primaryDisplay() const {
  for (const auto& d : displays) {
    if (d.isConnected) return &d;
  }
  return nullptr;
}

SimDisplay* WorldCore::displayOfSpace(SpaceId space) {
  for (auto& d : displays) {
    for (const auto& s : d.spaces) {
      if (s.id == space) return &d;
    }
  }
  return nullptr;
}
const SimDisplay* WorldCore::displayOfSpace(SpaceId space) const {
  return const_cast<WorldCore*>(this)->displayOfSpace(space);
}

SimDisplay* WorldCore::displayForRect(const Rect& rect) {
  SimDisplay* best = nullptr;
  double bestArea = -1;
  double bestDistance = 0;
  const Point c = rect.center();
  for (auto& d : displays) {
    if (!d.isConnected) continue;
    const double area = rect.intersectionArea(d.frame);
    const double dx = std::max({d.frame.minX() - c.x, c.x - d.frame.maxX(), 0.0});
    const double dy = std::max({d.frame.minY() - c.y, c.y - d.frame.maxY(), 0.0});
    const double distance = dx * dx + dy * dy;
    if (!best || area > bestArea || (area == bestArea && distance < bestDistance)) {
      best = &d;
      bestArea = area;
      bestDistance = distance;
    }
  }
  return best;
}

bool WorldCore::isSpaceCurrent(SpaceId space) const {
  const SimDisplay* d = displayOfSpace(space);
  return d && d->isConnected && d->currentSpace == space;
}

bool WorldCore::isShownOnCurrentSpace(const SimWindow& window) const {
  const SpaceId space = window.space.value_or(0);
  if (!window.onAllSpaces || window.fullScreen) return isSpaceCurrent(space);
  // Windows on all Spaces stay out of full-screen Spaces.
  const SimDisplay* d = displayOfSpace(space);
  if (!d || !d->isConnected) return false;
  for (const SimSpace& s : d->spaces) {
    if (s.id == d->currentSpace) return !s.isFullScreen;
  }
  return false;
}

SpaceId WorldCore::spaceForNewWindow(const SimDisplay& display) {
  const auto shown = std::find_if(display.spaces.begin(), display.spaces.end(),
                                  [&](const SimSpace& s) { return s.id == display.currentSpace; });
  if (shown == display.spaces.end() || !shown->isFullScreen) return display.currentSpace;
  const auto regular = std::find_if(display.spaces.begin(), display.spaces.end(),
                                    [](const SimSpace& s) { return !s.isFullScreen; });
  return regular == display.spaces.end() ? display.currentSpace : regular->id;
}

SimDisplay* WorldCore::spaceHolder(SimDisplay* display) {
  if (!display || !realism.displaysShareOneSpace) return display;
  for (auto& d : displays) {
    if (d.isConnected) return &d;
  }
  return display;
}

bool WorldCore::isOnScreen(const SimWindow& window) const {
  const SimApp* app = runningApp(window.pid);
  if (!app || app->hidden || window.minimized) return false;
  return isShownOnCurrentSpace(window);
}

bool WorldCore::elementExists(const ElementRef& ref) const {
  switch (ref.kind) {
    case ElementKind::systemWide:
      return true;
    case ElementKind::application:
      return runningApp(ref.pid) != nullptr;
    case ElementKind::window:
      break;
    case ElementKind::minimizeButton:
    case ElementKind::fullScreenButton: {
      const SimWindow* w = findWindow(ref.window);
      if (!w || w->pid != ref.pid) return false;
      const Presence p =
          ref.kind == ElementKind::minimizeButton ? w->minimizeButton : w->fullScreenButton;
      return p == Presence::present;
    }
  }
  const SimWindow* w = findWindow(ref.window);
  return w && w->pid == ref.pid;
}

Behaviour* WorldCore::behaviourFor(const ElementRef& ref) {
  if (ref.kind != ElementKind::application && ref.kind != ElementKind::systemWide) {
    SimWindow* w = findWindow(ref.window);
    if (w && w->behaviour) return &*w->behaviour;
  }
  auto it = apps.find(ref.pid);
  static Behaviour none;
  return it == apps.end() ? &none : &it->second.behaviour;
}

double WorldCore::messagingTimeout(const SimApp& app) const {
  if (app.messagingTimeoutSeconds > 0) return app.messagingTimeoutSeconds;
  if (systemTimeoutSeconds > 0) return systemTimeoutSeconds;
  return kDefaultMessagingTimeoutSeconds;
}

RunningApplication WorldCore::runningApplication(const SimApp& app) const {
  RunningApplication r;
  r.pid = app.pid;
  r.bundleIdentifier = app.bundleIdentifier;
  r.localizedName = app.name;
  r.activationPolicy = app.activationPolicy;
  r.isTerminated = app.terminated;
  r.isHidden = app.hidden;
  r.bundlePath = app.bundlePath;
  return r;
}

std::vector<WindowKey> WorldCore::appWindowsFrontToBack(Pid pid) const {
  std::vector<WindowKey> result;
  for (WindowKey key : zOrder) {
    const SimWindow* w = findWindow(key);
    if (w && w->pid == pid) result.push_back(key);
  }
  return result;
}

// --- Records -------------------------------------------------------------------

void WorldCore::traceLine(const std::string& text) {
  if (!tracing) return;
  if (traceLines.size() >= kMaxTraceLines) {
    ++droppedTraceLines;
    return;
  }
  char time[32];
  std::snprintf(time, sizeof time, "%.6f ", nowSeconds);
  traceLines.push_back(time + text);
}

void WorldCore::recordCall(AXCall call) {
  if (tracing) {
    const ElementRef ref =
        call.window ? windowRef(call.pid, *call.window) : applicationRef(call.pid);
    std::string line =
        std::string("ax ") + toString(call.kind) + " " + call.name + " on " + describe(ref);
    if (call.value) line += " value " + formatValue(*call.value);
    char times[64];
    std::snprintf(times, sizeof times, " [%.6f..%.6f] -> ", call.startSeconds, call.endSeconds);
    traceLine(line + times + toString(call.result));
  }
  calls.push_back(std::move(call));
  if (calls.size() > kMaxRecordedCalls) calls.pop_front();
}

// --- Emitting --------------------------------------------------------------------

void WorldCore::emit(Outbox& out, const ElementRef& element, const std::string& name) {
  const ElementRef app = applicationRef(element.pid);
  for (auto& [id, record] : observers) {
    if (record.pid != element.pid || !record.attached) continue;
    const bool registered = record.registrations.contains({element, name}) ||
                            record.registrations.contains({app, name});
    if (!registered) continue;
    auto handle = record.handle.lock();
    if (!handle) continue;
    Note note;
    note.kind = Note::Kind::accessibility;
    note.observerId = id;
    note.observer = std::move(handle);
    note.callback = record.callback;
    note.element = element;
    note.name = name;
    out.notes.push_back(std::move(note));
  }
}

void WorldCore::emitWorkspace(Outbox& out, WorkspaceEvent event,
                              std::optional<RunningApplication> app) {
  Note note;
  note.kind = Note::Kind::workspace;
  note.event = event;
  note.app = std::move(app);
  for (const auto& [id, handler] : workspaceSubscribers) note.subscribers.push_back(id);
  out.notes.push_back(std::move(note));
}

void WorldCore::emitScreens(Outbox& out) {
  Note note;
  note.kind = Note::Kind::screens;
  for (const auto& [id, handler] : screenSubscribers) note.subscribers.push_back(id);
  out.notes.push_back(std::move(note));
}

}  // namespace vistarail::sim
