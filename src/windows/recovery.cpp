// The program moves other applications' windows, so it owes them a way back:
// whenever management of a window ends, every window it moved is brought back
// into a visible area; failures are retried, and what could not be brought
// back before the program quit is remembered for the next launch.

#include <algorithm>
#include <cmath>
#include <limits>

#include "mover/move_rules.h"
#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

namespace {

// "unrecovered.v1": an array of window numbers. Anything else reads as empty;
// numbers that cannot be window numbers are skipped.
std::vector<WindowId> decodeUnrecovered(const std::optional<PropertyList>& stored) {
  std::vector<WindowId> ids;
  if (!stored || !stored->is_array()) return ids;
  for (const PropertyList& entry : *stored) {
    if (!entry.is_number()) return {};
  }
  for (const PropertyList& entry : *stored) {
    const double value = entry.get<double>();
    if (!std::isfinite(value) || value != std::floor(value) || value < 1 ||
        value > std::numeric_limits<WindowId>::max()) {
      continue;
    }
    ids.push_back(static_cast<WindowId>(value));
  }
  return ids;
}

}  // namespace

void WindowManager::restoreWindows(const std::vector<WindowId>& ids,
                                   std::function<void()> completion) {
  auto outstanding = std::make_shared<int>(0);
  auto done = std::make_shared<std::function<void()>>(std::move(completion));
  // The displays as they are now: a quit or pause right after the user
  // rearranged them comes before the screens notification, and restoring to
  // where a display used to be would move a visible window out of view.
  const std::vector<DisplayInfo> connected =
      ids.empty() ? std::vector<DisplayInfo>{}
                  : DisplayInfo::all(ports_.workspace, ports_.windowServer);
  const double now = ports_.dispatch.mediaTime();
  for (WindowId id : ids) {
    auto window = table_.windows.find(id);
    if (window == table_.windows.end()) {
      // Remembered from an earlier run and not scanned yet: it is restored
      // once a scan finds it, unless the window server says it is gone.
      if (!windowServerKnows(id)) {
        moved_.release(id);
        clearUnrecovered({id});
      }
      continue;
    }
    const auto target = restoreTarget(window->second, connected);
    if (!target) {
      moved_.needRecovery(id, now);
      startRecoveryTimer();
      continue;
    }
    // A restore under way reports for this window; another would only
    // supersede it.
    if (moved_.is(id, MovedState::restoring)) continue;
    MoveToken token = 0;
    {
      auto held = mover_->lock();
      token = mover_->beginRestore(held, id);
    }
    moved_.beginRestore(id, token, now);
    ++*outstanding;
    emit(ManagerEvent::Kind::restore, window->second.pid(), id);

    const Pid pid = window->second.pid();
    auto report = [weak = weak_from_this(), id, pid, token, outstanding,
                   done](RestoreResult result) {
      if (auto self = weak.lock()) self->restoreReported(id, pid, token, result);
      if (--*outstanding == 0 && *done) (*done)();
    };
    std::weak_ptr<WindowMover> mover = mover_;
    ManagedWindowRef handle = window->second.handle;
    mover_->performUrgent(pid, [mover, handle, screens = target->screens, area = target->area, token,
                          report = std::move(report)] {
      if (auto m = mover.lock()) m->restore(handle, screens, area, token, report);
    });
  }
  if (*outstanding == 0 && *done) (*done)();
}

std::optional<WindowManager::RestoreTarget> WindowManager::restoreTarget(
    const TrackedWindow& window, const std::vector<DisplayInfo>& connected) const {
  const DisplayInfo* target = displayOf(window, connected);
  if (target) return RestoreTarget{{target->frame}, target->visibleFrame};
  if (connected.empty()) return std::nullopt;
  RestoreTarget any{{}, connected.front().visibleFrame};
  for (const DisplayInfo& info : connected) any.screens.push_back(info.frame);
  return any;
}

void WindowManager::restoreReported(WindowId id, Pid pid, MoveToken token, RestoreResult result) {
  const auto state = moved_.finishRestore(id, token, result, ports_.dispatch.mediaTime());
  if (!state) return;  // a restore something newer replaced
  if (result == RestoreResult::gone) {
    // The window was closed: owed nothing any more. A scan of its
    // application forgets it, as its closing would have.
    clearUnrecovered({id});
    if (running_) scheduleRefresh(pid);
    return;
  }
  if (*state == MovedState::released) {
    emit(ManagerEvent::Kind::restored, pid, id);
    clearUnrecovered({id});
    if (running_) scheduleRefresh(pid);
    return;
  }
  if (!table_.windows.contains(id)) {
    moved_.release(id);
    return;
  }
  if (result == RestoreResult::waiting) {
    startRecoveryTimer();
    return;
  }
  emit(ManagerEvent::Kind::restoreFailed, pid, id);
  // A write refused now often goes through a moment later: try again on the
  // mover's short back-off before leaving the window to the recovery timer,
  // so a window does not stay out of view for several periods of it.
  const MovedWindow* record = moved_.find(id);
  const int failures = record ? record->failedRestores : 0;
  if (failures >= 1 && failures <= move_rules::kMaxRetries) {
    ports_.dispatch.main()->asyncAfter(move_rules::retryDelaySeconds(failures - 1),
                                       [weak = weak_from_this(), id] {
                                         auto self = weak.lock();
                                         if (self && self->moved_.is(id, MovedState::needsRecovery))
                                           self->restoreWindows({id}, nullptr);
                                       });
  }
  startRecoveryTimer();
}

void WindowManager::restoreParkedWindows(std::function<void()> completion) {
  {
    auto held = mover_->lock();
    mover_->cancelAll(held);
  }
  // Cancelling superseded every restore still under way (a pause, resume and
  // pause in quick succession), so none of them will bring its window back:
  // restore those windows again rather than wait for a restore that gave up.
  moved_.supersedeRestores(ports_.dispatch.mediaTime());

  // Two pieces of work finish the job: the windows and the applications'
  // enhanced interfaces.
  auto remaining = std::make_shared<int>(2);
  QueueRef main = ports_.dispatch.main();
  auto oneDone = [remaining, main, completion = std::move(completion)] {
    if (--*remaining == 0 && completion) main->async(completion);
  };
  restoreWindows(moved_.owed(), oneDone);
  mover_->restoreAllEnhancedUI(oneDone);
  dropAllMoverRecords();
}

void WindowManager::startRecoveryTimer() {
  if (parking_.recoveryTimer && parking_.recoveryTimer->isValid()) return;
  parking_.recoveryTimer = ports_.dispatch.scheduleRepeating(
      ports_.dispatch.main(), timing::kRecoveryPeriodSeconds, [weak = weak_from_this()] {
        if (auto self = weak.lock()) self->recoveryTick();
      });
}

void WindowManager::stopRecoveryTimer() {
  if (parking_.recoveryTimer) parking_.recoveryTimer->invalidate();
  parking_.recoveryTimer.reset();
}

void WindowManager::recoveryTick() {
  const double now = ports_.dispatch.mediaTime();
  std::vector<WindowId> pending;
  for (WindowId id : moved_.inState(MovedState::needsRecovery)) {
    if (running_ && settings_.enabled.value() && activeDisplayHolding(id)) {
      // Back in a strip that is laid out: the layout owns it again.
      moved_.laidOut(id, false, now);
      startAnimator();
      continue;
    }
    if (!table_.windows.contains(id) && !windowServerKnows(id)) {
      moved_.release(id);
      clearUnrecovered({id});
      continue;
    }
    pending.push_back(id);
  }
  if (pending.empty()) {
    stopRecoveryTimer();
    return;
  }
  restoreWindows(pending, nullptr);
}

void WindowManager::readUnrecovered() {
  const double now = ports_.dispatch.mediaTime();
  const std::vector<WindowId> ids = decodeUnrecovered(defaults_.object(kUnrecoveredKey));
  for (WindowId id : ids) {
    if (!moved_.isOwed(id)) moved_.needRecovery(id, now);
  }
  // They are brought back as soon as scans find them (or forgotten when the
  // window server no longer knows them), not left out of view until a pause.
  if (!ids.empty()) startRecoveryTimer();
}

void WindowManager::clearUnrecovered(const std::vector<WindowId>& ids) {
  if (ids.empty()) return;
  const auto stored = defaults_.object(kUnrecoveredKey);
  if (!stored) return;
  std::vector<WindowId> kept = decodeUnrecovered(stored);
  const size_t before = kept.size();
  std::erase_if(kept,
                [&](WindowId id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); });
  // Nothing of ours to take out: leave the stored value exactly as it is.
  if (kept.size() == before && stored->is_array() && stored->size() == before) return;
  if (kept.empty()) {
    defaults_.remove(kUnrecoveredKey);
  } else {
    defaults_.set(kUnrecoveredKey, PropertyList(kept));
  }
}

void WindowManager::recordUnrecovered() {
  std::vector<WindowId> kept;
  for (WindowId id : moved_.owed()) {
    if (table_.windows.contains(id) || windowServerKnows(id)) kept.push_back(id);
  }
  if (kept.empty()) {
    defaults_.remove(kUnrecoveredKey);
  } else {
    defaults_.set(kUnrecoveredKey, PropertyList(kept));
  }
}

}  // namespace vistarail
