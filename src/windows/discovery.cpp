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
  pipeline_.scans.erase(pid);
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
  if (!running_) return;  // a stopping manager only brings windows back
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
  // One scan at a time per application: a slow application's scans would
  // otherwise queue up behind each other on its queue, each reading every
  // window again. A request while one runs asks for one more after it.
  AppScan& scan = pipeline_.scans[pid];
  if (scan.running) {
    scan.again = true;
    return;
  }
  scan.running = true;
  AppObserverRef observer = found->second;
  // Which elements are already known, so the scan need not look up their
  // numbers again, and whose settability is known.
  struct Known {
    AXElement element;
    WindowId id;
    bool settableKnown;
  };
  std::vector<Known> known;
  if (auto it = table_.windowsByPID.find(pid); it != table_.windowsByPID.end()) {
    for (WindowId id : it->second) {
      if (auto w = table_.windows.find(id); w != table_.windows.end()) {
        known.push_back({w->second.handle->element, id, w->second.settable.has_value()});
      }
    }
  }
  emit(ManagerEvent::Kind::scan, pid);
  onAppQueue(pid, [observer, known = std::move(known)](Accessibility& ax) -> AppReply {
    std::vector<WindowSnapshot> snapshots;
    std::vector<std::pair<AXElement, WindowId>> unwatched;
    for (const AXElement& element : readElements(ax, observer->element(), ax::kWindows)) {
      auto match = std::find_if(known.begin(), known.end(),
                                [&](const Known& k) { return k.element == element; });
      std::optional<WindowId> number;
      if (match != known.end()) {
        number = match->id;
      } else {
        number = windowNumberOf(ax, element);
        if (!number) continue;
        unwatched.emplace_back(element, *number);
      }
      const bool askSettable = match == known.end() || !match->settableKnown;
      snapshots.push_back({*number, element, readWindowFacts(ax, element, askSettable)});
    }
    return [observer, unwatched = std::move(unwatched),
            snapshots = std::move(snapshots)](WindowManager& self) mutable {
      self.applySnapshots(std::move(snapshots), observer->pid(), observer);
      // Registering a new window's notifications takes several calls; after
      // the report, so they do not delay its first frame.
      if (!unwatched.empty()) {
        self.onAppQueue(observer->pid(), [observer, unwatched](Accessibility&) -> AppReply {
          for (const auto& [element, id] : unwatched) observer->watch(element, id);
          return nullptr;
        });
      }
    };
  });
}

bool WindowManager::windowServerKnows(WindowId id) {
  return !ports_.windowServer.copyWindowInfo(window_list::kSingleWindow, id).empty();
}

void WindowManager::applySnapshots(std::vector<WindowSnapshot> snapshots, Pid pid,
                                   const AppObserverRef& observer) {
  bool again = false;
  if (auto scan = pipeline_.scans.find(pid); scan != pipeline_.scans.end()) {
    again = scan->second.again;
    pipeline_.scans.erase(scan);
  }
  // The scan asked for while this one ran, once this one's report is in.
  auto next = [&] {
    if (again && running_) refreshApp(pid);
  };
  if (!running_) return;  // a stopping manager only brings windows back
  auto current = table_.observers.find(pid);
  if (current == table_.observers.end() || current->second != observer) {
    // The application's observer was replaced or released: the scan it began
    // says nothing about the windows now.
    appFinished(pid);
    next();
    return;
  }
  emit(ManagerEvent::Kind::scanApplied, pid);
  std::vector<WindowId> seen;
  seen.reserve(snapshots.size());
  for (WindowSnapshot& snapshot : snapshots) {
    // An application listing one window twice must not list it twice here.
    if (std::find(seen.begin(), seen.end(), snapshot.id) != seen.end()) continue;
    seen.push_back(snapshot.id);
    WindowFacts& facts = snapshot.facts;
    auto it = table_.windows.find(snapshot.id);
    if (it == table_.windows.end()) {
      TrackedWindow window;
      window.handle = std::make_shared<ManagedWindow>(
          ManagedWindow{snapshot.id, pid, snapshot.element, observer->element()});
      window.bundleID = observer->bundleID();
      window.appName = observer->appName();
      it = table_.windows.emplace(snapshot.id, std::move(window)).first;
    }
    TrackedWindow& window = it->second;
    // Judged now, against what is known now: a verdict taken when the scan
    // was scheduled would be seconds old for a slow application.
    const bool wasTileable = window.isTileable;
    window.isTileable = isTileable(facts, wasTileable, window.settable);
    if (facts.settable) window.settable = facts.settable;
    window.isFullScreen = facts.isFullScreen;
    if (facts.frame) window.lastKnownFrame = facts.frame;
    if (facts.title) window.title = std::move(facts.title);
    // A window that stops tiling leaves every strip, not only the ones the
    // reconcile looks at (the current strip of each active display).
    if (wasTileable && !window.isTileable) leaveHiddenStrips(snapshot.id);
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
    onAppQueue(pid, [observer, id](Accessibility&) -> AppReply {
      observer->unwatch(id);
      return nullptr;
    });
    forget(id);
  }
  table_.windowsByPID[pid] = std::move(seen);
  appFinished(pid);
  next();
}

void WindowManager::onAppQueue(Pid pid, AppRead read) {
  std::weak_ptr<WindowManager> weak = weak_from_this();
  Accessibility& ax = ports_.ax;
  QueueRef main = ports_.dispatch.main();
  mover_->perform(pid, [weak, &ax, main, read = std::move(read)]() mutable {
    auto then = read(ax);
    // The read and its reply are dropped on the main queue whatever happens,
    // so an observer they hold is never released (and so detached from the
    // main run loop) on the application's queue.
    main->async([weak, then = std::move(then), read = std::move(read)]() mutable {
      auto self = weak.lock();
      if (self && then) then(*self);
    });
  });
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
  const WindowId id = window.id();
  onAppQueue(window.pid(), [id, element = window.handle->element](Accessibility& ax) -> AppReply {
    auto title = readString(ax, element, ax::kTitle);
    if (!title) return nullptr;
    return [id, title = std::move(*title)](WindowManager& self) {
      auto it = self.table_.windows.find(id);
      if (it == self.table_.windows.end() || it->second.title == title) return;
      it->second.title = title;
      if (auto d = self.displays_.windowDisplays.find(id); d != self.displays_.windowDisplays.end()) {
        if (DisplayState* display = self.displayState(d->second)) self.overlays_->update(*display);
      }
    };
  });
}

}  // namespace vistarail

namespace vistarail {

const TrackedWindow* WindowManager::window(WindowId id) const {
  auto it = table_.windows.find(id);
  return it == table_.windows.end() ? nullptr : &it->second;
}

}  // namespace vistarail
