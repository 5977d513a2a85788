// Observers, scans of one application, and the window table they feed.

#include <algorithm>
#include <unordered_set>

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
    if (const TrackedWindow* window = windowWithElement(pid, element)) windowMoved(window->id(), pid);
    return;
  }
  scheduleRefresh(pid);
}

bool WindowManager::windowServerKnows(WindowId id) {
  return !ports_.windowServer.copyWindowInfo(window_list::kSingleWindow, id).empty();
}

void WindowManager::windowMoved(WindowId id, Pid pid) {
  if (pointer_.mouseDragging && pointer_.pressWindow == id) {
    pointer_.draggedWindows.insert(id);
    return;
  }
  if (activeDisplayHolding(id)) {
    scheduleExternalCheck(id);
  } else {
    scheduleRefresh(pid);
  }
}

void WindowManager::catchUpUnheard(WindowId id) {
  const auto infos = ports_.windowServer.copyWindowInfo(window_list::kSingleWindow, id);
  const auto info = std::find_if(infos.begin(), infos.end(),
                                 [id](const WindowInfo& i) { return i.number == id; });
  // Minimised or closed: a reconcile takes it out of its strip.
  if (info == infos.end() || !info->isOnScreen) {
    scheduleReconcile();
    return;
  }
  auto window = table_.windows.find(id);
  if (window == table_.windows.end()) return;
  // Judged against where the program put it, if it did; a write still on
  // its way will put it there anyway.
  std::optional<Rect> known = window->second.lastKnownFrame;
  {
    auto held = mover_->lock();
    if (mover_->hasPending(held, id)) return;
    if (auto applied = mover_->appliedFrame(held, id)) known = applied;
  }
  if (known && known->isNear(info->bounds, timing::kExternalTolerancePoints)) return;
  windowMoved(id, window->second.pid());
}

void WindowManager::applicationUnanswered(Pid pid) {
  if (!running_) return;
  auto windows = table_.windowsByPID.find(pid);
  if (windows == table_.windowsByPID.end()) return;
  // Only a window gone from the screen is acted on: one it moved can be put
  // nowhere while it hangs, and is judged once it answers again.
  std::unordered_set<WindowId> onScreen;
  for (const WindowInfo& info :
       ports_.windowServer.copyWindowInfo(window_list::kOnScreenWindows, 0)) {
    onScreen.insert(info.number);
  }
  for (WindowId id : windows->second) {
    if (!onScreen.contains(id) && activeDisplayHolding(id)) {
      scheduleReconcile();  // which takes it out of its strip
      return;
    }
  }
}

void WindowManager::onAppQueue(Pid pid, AppRead read, AppQueueTurn turn) {
  std::weak_ptr<WindowManager> weak = weak_from_this();
  Accessibility& ax = ports_.ax;
  QueueRef main = ports_.dispatch.main();
  auto task = [weak, &ax, main, read = std::move(read)]() mutable {
    auto then = read(ax);
    // The read and its reply are dropped on the main queue whatever happens,
    // so an observer they hold is never released (and so detached from the
    // main run loop) on the application's queue.
    main->async([weak, then = std::move(then), read = std::move(read)]() mutable {
      auto self = weak.lock();
      if (self && then) then(*self);
    });
  };
  if (turn == AppQueueTurn::whenIdle) {
    mover_->performWhenIdle(pid, std::move(task));
  } else {
    mover_->perform(pid, std::move(task));
  }
}

void WindowManager::askAgainLater(AskAgain kind, Pid pid,
                                  std::function<void(WindowManager&)> look) {
  const auto key = std::make_pair(static_cast<int>(kind), pid);
  if (!pipeline_.askAgain.insert(key).second) return;
  ports_.dispatch.main()->asyncAfter(timing::kRecoveryPeriodSeconds,
                                     [weak = weak_from_this(), key, look = std::move(look)] {
                                       auto self = weak.lock();
                                       if (!self) return;
                                       self->pipeline_.askAgain.erase(key);
                                       if (self->running_) look(*self);
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
      self.overlays_->labelsChanged();
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
