// Focus both ways: asking another application to focus one of its windows,
// and following the focus wherever it goes. A request and its echoes are told
// apart by a short grace period and by a generation number that a newer
// request bumps, so a stale request never overrides a newer one.

#include <algorithm>

#include "platform/ax_names.h"
#include "platform/ax_types.h"
#include "windows/ax_read.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

void WindowManager::focusWindow(WindowId id) {
  auto it = table_.windows.find(id);
  if (it == table_.windows.end()) return;
  const double now = ports_.dispatch.mediaTime();
  if (focus_.lastFocusRequest && focus_.lastFocusRequest->id != id) {
    focus_.supersededFocus[focus_.lastFocusRequest->id] = now;
  }
  focus_.supersededFocus.erase(id);
  focus_.lastFocusRequest = FocusState::Request{id, now};
  focus_.pendingFocus = FocusState::Pending{id, now + timing::kFocusGraceSeconds};
  focus_.actualFocusedWindow = id;
  uint64_t generation = 0;
  {
    std::lock_guard<std::mutex> guard(focusGeneration_->lock);
    generation = ++focusGeneration_->value;
  }
  // Each step runs only while no newer request exists, so a request stuck
  // behind a slow application cannot steal focus back later.
  Accessibility& ax = ports_.ax;
  std::weak_ptr<FocusGeneration> current = focusGeneration_;
  ManagedWindowRef window = it->second.handle;
  QueueRef main = ports_.dispatch.main();
  std::weak_ptr<WindowManager> weak = weak_from_this();
  mover_->perform(window->pid, [&ax, current, generation, window, main, weak] {
    auto stillCurrent = [&] {
      auto shared = current.lock();
      if (!shared) return false;
      std::lock_guard<std::mutex> guard(shared->lock);
      return shared->value == generation;
    };
    if (!stillCurrent()) return;
    (void)ax.setAttributeValue(window->element, ax::kMain, AXValue(true));
    if (!stillCurrent()) return;
    (void)ax.performAction(window->element, ax::kRaise);
    if (!stillCurrent()) return;
    (void)ax.setAttributeValue(window->appElement, ax::kFrontmost, AXValue(true));
    // A request the system turns down says nothing at all: look at where
    // the focus really went once it has had time to get there.
    main->async([weak, id = window->id] {
      auto self = weak.lock();
      if (self && self->focus_.pendingFocus && self->focus_.pendingFocus->id == id) {
        self->recheckFocusAfterGrace(timing::kFocusSettleSeconds);
      }
    });
  });
}

void WindowManager::readFrontmostFocus(FocusReader then) {
  if (!running_ || !settings_.enabled.value()) return;
  auto front = ports_.workspace.frontmostApplication();
  if (!front) return;
  auto observer = table_.observers.find(front->pid);
  if (observer == table_.observers.end()) return;
  // Only the application knows its focused window; ask on its queue.
  const Pid pid = front->pid;
  onAppQueue(pid, [app = observer->second->element(), pid,
                   then = std::move(then)](Accessibility& ax) -> AppReply {
    std::optional<WindowId> number;
    const auto focused = ax.copyAttributeValue(app, ax::kFocusedWindow);
    // A busy application that does not answer still has a focused window;
    // nothing will say so once it answers again (its focus did not change).
    const bool answered = focused.error != AXError::cannotComplete;
    if (auto element = focused ? asElement(*focused.value) : std::nullopt) {
      number = windowNumberOf(ax, *element);
    }
    return [number, pid, then, answered](WindowManager& self) {
      if (answered) self.focus_.lastAnsweredRead = self.ports_.dispatch.mediaTime();
      then(self, number, pid);
      if (!answered) self.focusReadUnanswered(pid);
    };
  });
}

void WindowManager::focusReadUnanswered(Pid pid) {
  const double failedAt = ports_.dispatch.mediaTime();
  // One look for whichever application is in front then.
  askAgainLater(AskAgain::focusRead, 0, [pid, failedAt](WindowManager& self) {
    // Answered since (another application came forward, or this one spoke
    // again): the focus is known, and a late look would only move the strip
    // the user may have scrolled meanwhile.
    const auto front = self.ports_.workspace.frontmostApplication();
    if (!front || front->pid != pid || self.focus_.lastAnsweredRead > failedAt) return;
    self.syncFocus(true);
  });
}

void WindowManager::syncFocus(bool animated) {
  readFrontmostFocus([animated](WindowManager& self, std::optional<WindowId> id, Pid pid) {
    self.focusChanged(id, pid, animated);
  });
}

void WindowManager::recheckFocusAfterGrace(double atLeastSeconds) {
  // The request may have failed, or another application may have come to
  // the front after it; nothing else would tell the program so.
  const FocusState::Pending pending = *focus_.pendingFocus;
  const double delay =
      std::max(atLeastSeconds, pending.deadline - ports_.dispatch.mediaTime());
  std::weak_ptr<WindowManager> weak = weak_from_this();
  ports_.dispatch.main()->asyncAfter(delay, [weak, pending] {
    auto self = weak.lock();
    if (!self) return;
    const auto& now = self->focus_.pendingFocus;
    if (!now || now->id != pending.id || now->deadline != pending.deadline) return;
    self->syncFocus(true);
  });
}

void WindowManager::focusChanged(std::optional<WindowId> id, Pid pid, bool animated) {
  if (!running_ || !settings_.enabled.value()) return;
  auto front = ports_.workspace.frontmostApplication();
  if (!front || front->pid != pid) return;
  const double now = ports_.dispatch.mediaTime();

  if (!id) {
    if (focus_.pendingFocus && now < focus_.pendingFocus->deadline) return;
    focus_.actualFocusedWindow.reset();
    focus_.reportedFocusedWindow.reset();
    syncHotKeys();
    for (auto& [displayId, display] : displays_.states) overlays_->update(display);
    changes.emit(Change::state);
    return;
  }
  std::erase_if(focus_.supersededFocus, [&](const auto& entry) {
    return now - entry.second >= timing::kSupersededFocusSeconds;
  });
  if (focus_.supersededFocus.contains(*id) && focus_.lastFocusRequest &&
      focus_.lastFocusRequest->id != *id && table_.windows.contains(focus_.lastFocusRequest->id)) {
    // The late echo of a request a newer one replaced: insist on the newer.
    focus_.supersededFocus.erase(*id);
    focusWindow(focus_.lastFocusRequest->id);
    return;
  }
  if (focus_.pendingFocus) {
    if (focus_.pendingFocus->id != *id && now < focus_.pendingFocus->deadline) {
      recheckFocusAfterGrace();
      return;
    }
    focus_.pendingFocus.reset();
  }
  focus_.actualFocusedWindow = *id;
  focus_.reportedFocusedWindow = *id;
  syncHotKeys();
  changes.emit(Change::state);
  for (auto& [displayId, display] : displays_.states) overlays_->reorder(display);

  if (!table_.windows.contains(*id)) {
    for (auto& [displayId, display] : displays_.states) overlays_->update(display);
    if (focus_.unknownFocusedWindow == *id) return;
    focus_.unknownFocusedWindow = *id;
    scheduleRefresh(pid);
    return;
  }
  DisplayState* display = activeDisplayHolding(*id);
  if (!display) {
    for (auto& [displayId, state] : displays_.states) overlays_->update(state);
    return;
  }
  Strip& strip = currentStrip(*display);
  const int index = *strip.columnIndexOf(*id);
  if (index != strip.focusedIndex) dropMoverRecords(*id);
  strip.setFocusedIndex(index);
  Column& column = strip.columns[index];
  auto position = std::find(column.windows.begin(), column.windows.end(), *id);
  column.activeIndex =
      position == column.windows.end() ? 0 : static_cast<int>(position - column.windows.begin());
  const bool scrolling =
      pointer_.interactiveScroll && pointer_.scrollingDisplayID == display->info.id;
  if (animated && !scrolling) ensureFocusedVisible(*display, true);
  overlays_->update(*display);
}

}  // namespace vistarail
