// Observers, scans of one application, and the window table they feed.

#include <algorithm>

#include "platform/ax_names.h"
#include "windows/ax_read.h"
#include "windows/classification.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

void WindowManager::trackApp(const RunningApplication& app, int attempt) {
  if (!running_ || app.activationPolicy != ActivationPolicy::regular || app.pid == ports_.ownPid) {
    return;
  }
  if (table_.observers.contains(app.pid) || app.isTerminated) return;
  if (attempt == 0 && table_.trackingPIDs.contains(app.pid)) return;
  table_.trackingPIDs.insert(app.pid);

  std::weak_ptr<WindowManager> weak = weak_from_this();
  Accessibility& ax = ports_.ax;
  QueueRef main = ports_.dispatch.main();
  mover_->perform(app.pid, [weak, &ax, main, app, attempt] {
    auto handler = [weak](Pid pid, const std::string& name, const AXElement& element) {
      if (auto self = weak.lock()) self->handleAXNotification(pid, name, element);
    };
    AppObserverRef observer = AppObserver::create(ax, app, std::move(handler));
    main->async([weak, app, observer, attempt] {
      if (auto self = weak.lock()) self->installObserver(app, observer, attempt);
    });
  });
}

void WindowManager::installObserver(const RunningApplication& app, AppObserverRef observer,
                                    int attempt) {
  // The workspace knows best whether the application is still there.
  bool terminated = true;
  for (const RunningApplication& running : ports_.workspace.runningApplications()) {
    if (running.pid == app.pid) terminated = running.isTerminated;
  }
  if (running_ && !terminated) {
    if (observer) {
      table_.trackingPIDs.erase(app.pid);
      table_.observers[app.pid] = std::move(observer);
      if (!pipeline_.startupDone) {
        if (pipeline_.startupPending.erase(app.pid) && pipeline_.startupPending.empty()) {
          finishStartup();
        }
      } else {
        scheduleRefresh(app.pid);
      }
      return;
    }
    if (attempt + 1 < timing::kObserverAttempts) {
      ports_.dispatch.main()->asyncAfter((attempt + 1) * timing::kObserverRetryStepSeconds,
                                         [weak = weak_from_this(), app, attempt] {
                                           if (auto self = weak.lock())
                                             self->trackApp(app, attempt + 1);
                                         });
      return;
    }
  }
  table_.trackingPIDs.erase(app.pid);
  if (!pipeline_.startupDone && pipeline_.startupPending.erase(app.pid) &&
      pipeline_.startupPending.empty()) {
    finishStartup();
  }
}

void WindowManager::finishStartup() {
  if (!running_ || pipeline_.startupDone) return;
  pipeline_.startupDone = true;
  pipeline_.startupPending.clear();
  scheduleRefresh(std::nullopt);
}

void WindowManager::appTerminated(Pid pid) {
  table_.observers.erase(pid);
  table_.trackingPIDs.erase(pid);
  if (auto it = table_.windowsByPID.find(pid); it != table_.windowsByPID.end()) {
    const std::vector<WindowId> ids = it->second;
    for (WindowId id : ids) forget(id);
    table_.windowsByPID.erase(pid);
  }
  scheduleRefresh(std::nullopt);
}

void WindowManager::handleAXNotification(Pid pid, const std::string& name,
                                         const AXElement& element) {
  if (name == ax::kFocusedWindowChanged || name == ax::kMainWindowChanged) {
    scheduleRefresh(pid);
    auto front = ports_.workspace.frontmostApplication();
    if (front && front->pid == pid) syncFocus(true);
    return;
  }
  if (name == ax::kTitleChanged) {
    if (const TrackedWindow* window = windowWithElement(pid, element)) readTitle(*window);
    return;
  }
  if (name == ax::kWindowMoved || name == ax::kWindowResized) {
    const TrackedWindow* window = windowWithElement(pid, element);
    if (!window) return;
    const WindowId id = window->id();
    if (pointer_.mouseDragging && pointer_.pressWindow == id) {
      pointer_.draggedWindows.insert(id);
      return;
    }
    if (activeDisplayHolding(id)) {
      scheduleExternalCheck(id);
    } else {
      scheduleRefresh(pid);
    }
    return;
  }
  scheduleRefresh(pid);
}

void WindowManager::refreshApp(Pid pid) {
  auto found = table_.observers.find(pid);
  if (found == table_.observers.end()) {
    appFinished(pid);
    return;
  }
  AppObserverRef observer = found->second;
  std::unordered_set<WindowId> wasTileable;
  if (auto it = table_.windowsByPID.find(pid); it != table_.windowsByPID.end()) {
    for (WindowId id : it->second) {
      if (auto w = table_.windows.find(id); w != table_.windows.end() && w->second.isTileable) {
        wasTileable.insert(id);
      }
    }
  }
  emit(ManagerEvent::Kind::scan, pid);
  std::weak_ptr<WindowManager> weak = weak_from_this();
  Accessibility& ax = ports_.ax;
  QueueRef main = ports_.dispatch.main();
  mover_->perform(pid, [weak, &ax, main, observer, wasTileable = std::move(wasTileable), pid] {
    std::vector<WindowSnapshot> snapshots;
    for (const AXElement& element : readElements(ax, observer->element(), ax::kWindows)) {
      const auto number = windowNumberOf(ax, element);
      if (!number) continue;
      observer->watch(element, *number);
      WindowSnapshot snapshot;
      snapshot.id = *number;
      snapshot.element = element;
      snapshot.isTileable = isTileable(ax, element, wasTileable.contains(*number));
      snapshot.isFullScreen = readBool(ax, element, ax::kFullScreen).value_or(false);
      snapshot.frame = readFrame(ax, element);
      snapshot.title = readString(ax, element, ax::kTitle);
      snapshots.push_back(std::move(snapshot));
    }
    main->async([weak, snapshots = std::move(snapshots), pid, observer]() mutable {
      if (auto self = weak.lock()) self->applySnapshots(std::move(snapshots), pid, observer);
    });
  });
}

bool WindowManager::windowServerKnows(WindowId id) {
  return !ports_.windowServer.copyWindowInfo(window_list::kSingleWindow, id).empty();
}

void WindowManager::applySnapshots(std::vector<WindowSnapshot> snapshots, Pid pid,
                                   const AppObserverRef& observer) {
  auto current = table_.observers.find(pid);
  if (current == table_.observers.end() || current->second != observer) {
    appFinished(pid);
    return;
  }
  emit(ManagerEvent::Kind::scanApplied, pid);
  std::vector<WindowId> seen;
  seen.reserve(snapshots.size());
  for (WindowSnapshot& snapshot : snapshots) {
    // An application listing one window twice must not list it twice here.
    if (std::find(seen.begin(), seen.end(), snapshot.id) != seen.end()) continue;
    seen.push_back(snapshot.id);
    auto it = table_.windows.find(snapshot.id);
    if (it != table_.windows.end()) {
      TrackedWindow& window = it->second;
      window.isTileable = snapshot.isTileable;
      window.isFullScreen = snapshot.isFullScreen;
      if (snapshot.frame) window.lastKnownFrame = snapshot.frame;
      if (snapshot.title) window.title = std::move(snapshot.title);
      continue;
    }
    TrackedWindow window;
    window.handle = std::make_shared<ManagedWindow>(
        ManagedWindow{snapshot.id, pid, snapshot.element, observer->element()});
    window.bundleID = observer->bundleID();
    window.appName = observer->appName();
    window.title = std::move(snapshot.title);
    window.isTileable = snapshot.isTileable;
    window.isFullScreen = snapshot.isFullScreen;
    window.lastKnownFrame = snapshot.frame;
    table_.windows.emplace(snapshot.id, std::move(window));
  }

  const std::vector<WindowId> previous = table_.windowsByPID[pid];
  for (WindowId id : previous) {
    if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
    if (windowServerKnows(id)) {
      // Listed by the window server although the application left it out:
      // a transient omission, not a closed window.
      seen.push_back(id);
      continue;
    }
    mover_->perform(pid, [observer, id] { observer->unwatch(id); });
    forget(id);
  }
  table_.windowsByPID[pid] = std::move(seen);
  appFinished(pid);
}

TrackedWindow* WindowManager::windowWithElement(Pid pid, const AXElement& element) {
  auto ids = table_.windowsByPID.find(pid);
  if (ids == table_.windowsByPID.end()) return nullptr;
  for (WindowId id : ids->second) {
    auto it = table_.windows.find(id);
    if (it != table_.windows.end() && it->second.handle->element == element) return &it->second;
  }
  return nullptr;
}

void WindowManager::readTitle(const TrackedWindow& window) {
  std::weak_ptr<WindowManager> weak = weak_from_this();
  Accessibility& ax = ports_.ax;
  QueueRef main = ports_.dispatch.main();
  const WindowId id = window.id();
  AXElement element = window.handle->element;
  mover_->perform(window.pid(), [weak, &ax, main, id, element] {
    auto title = readString(ax, element, ax::kTitle);
    if (!title) return;
    main->async([weak, id, title = std::move(*title)] {
      auto self = weak.lock();
      if (!self) return;
      auto it = self->table_.windows.find(id);
      if (it == self->table_.windows.end() || it->second.title == title) return;
      it->second.title = title;
      const std::string* displayId = nullptr;
      if (auto d = self->displays_.windowDisplays.find(id);
          d != self->displays_.windowDisplays.end()) {
        displayId = &d->second;
      }
      if (displayId) {
        if (DisplayState* display = self->displayState(*displayId)) {
          self->overlays_->update(*display);
        }
      }
    });
  });
}

}  // namespace vistarail

namespace vistarail {

const TrackedWindow* WindowManager::window(WindowId id) const {
  auto it = table_.windows.find(id);
  return it == table_.windows.end() ? nullptr : &it->second;
}

}  // namespace vistarail
