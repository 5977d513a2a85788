// The program moves other applications' windows, so it owes them a way back:
// whenever management of a window ends, every window it moved is brought back
// into a visible area; failures are retried, and what could not be brought
// back before the program quit is remembered for the next launch.

#include <algorithm>
#include <cmath>
#include <limits>

#include "windows/timing.h"
#include "windows/window_manager.h"

namespace vistarail {

namespace {

std::vector<WindowId> sorted(const std::unordered_set<WindowId>& ids) {
  std::vector<WindowId> result(ids.begin(), ids.end());
  std::sort(result.begin(), result.end());
  return result;
}

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
  for (WindowId id : ids) {
    auto window = table_.windows.find(id);
    if (window == table_.windows.end()) {
      parking_.touched.erase(id);
      parking_.needsRecovery.erase(id);
      if (!windowServerKnows(id)) clearUnrecovered({id});
      continue;
    }
    const DisplayInfo* target = nullptr;
    std::vector<Rect> screens;
    if (auto recorded = displays_.windowDisplays.find(id);
        recorded != displays_.windowDisplays.end()) {
      for (const DisplayInfo& info : connected) {
        if (info.id == recorded->second) target = &info;
      }
    }
    if (!target && window->second.lastKnownFrame) {
      if (auto holder = displayContainingFrame(*window->second.lastKnownFrame)) {
        for (const DisplayInfo& info : connected) {
          if (info.id == holder->id) target = &info;
        }
      }
    }
    if (target) {
      screens.push_back(target->frame);
    } else if (!connected.empty()) {
      target = &connected.front();
      for (const DisplayInfo& info : connected) screens.push_back(info.frame);
    } else {
      parking_.needsRecovery.insert(id);
      startRecoveryTimer();
      continue;
    }
    if (!parking_.restoreInFlight.insert(id).second) continue;
    ++*outstanding;
    emit(ManagerEvent::Kind::restore, window->second.pid(), id);

    MoveToken token = 0;
    {
      auto held = mover_->lock();
      token = mover_->beginRestore(held, id);
    }
    const Pid pid = window->second.pid();
    auto report = [weak = weak_from_this(), id, pid, token, outstanding,
                   done](RestoreResult result) {
      auto self = weak.lock();
      if (!self) return;
      self->parking_.restoreInFlight.erase(id);
      MoveToken current = 0;
      {
        auto held = self->mover_->lock();
        current = self->mover_->token(held, id);
      }
      if (current == token) {
        if (result == RestoreResult::restored) {
          self->parking_.touched.erase(id);
          self->parking_.needsRecovery.erase(id);
          self->emit(ManagerEvent::Kind::restored, pid, id);
          self->clearUnrecovered({id});
          if (self->running_) self->scheduleRefresh(pid);
        } else if (result == RestoreResult::failed && self->table_.windows.contains(id)) {
          self->emit(ManagerEvent::Kind::restoreFailed, pid, id);
          self->parking_.needsRecovery.insert(id);
          self->startRecoveryTimer();
        }
      }
      if (--*outstanding == 0 && *done) (*done)();
    };
    std::weak_ptr<WindowMover> mover = mover_;
    ManagedWindowRef handle = window->second.handle;
    const Rect area = target->visibleFrame;
    mover_->perform(pid, [mover, handle, screens, area, token, report = std::move(report)] {
      if (auto m = mover.lock()) m->restore(handle, screens, area, token, report);
    });
  }
  if (*outstanding == 0 && *done) (*done)();
}

void WindowManager::restoreParkedWindows(std::function<void()> completion) {
  {
    auto held = mover_->lock();
    mover_->cancelAll(held);
  }
  // Cancelling superseded every restore still under way (a pause, resume and
  // pause in quick succession), so none of them will bring its window back:
  // restore those windows again rather than wait for a restore that gave up.
  parking_.restoreInFlight.clear();
  parking_.parkedTargets.clear();
  std::unordered_set<WindowId> ids = parking_.touched;
  ids.insert(parking_.needsRecovery.begin(), parking_.needsRecovery.end());
  ids.insert(parking_.unrecoveredAtLaunch.begin(), parking_.unrecoveredAtLaunch.end());

  // Two pieces of work finish the job: the windows and the applications'
  // enhanced interfaces.
  auto remaining = std::make_shared<int>(2);
  QueueRef main = ports_.dispatch.main();
  auto oneDone = [remaining, main, completion = std::move(completion)] {
    if (--*remaining == 0 && completion) main->async(completion);
  };
  restoreWindows(sorted(ids), oneDone);
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

void WindowManager::recoveryTick() {
  if (running_ && settings_.enabled.value()) {
    std::erase_if(parking_.needsRecovery,
                  [this](WindowId id) { return activeDisplayHolding(id) != nullptr; });
  }
  std::erase_if(parking_.needsRecovery,
                [this](WindowId id) { return !table_.windows.contains(id); });
  if (parking_.needsRecovery.empty()) {
    if (parking_.recoveryTimer) parking_.recoveryTimer->invalidate();
    parking_.recoveryTimer.reset();
    return;
  }
  restoreWindows(sorted(parking_.needsRecovery), nullptr);
}

void WindowManager::readUnrecovered() {
  for (WindowId id : decodeUnrecovered(defaults_.object(kUnrecoveredKey))) {
    parking_.unrecoveredAtLaunch.insert(id);
  }
}

void WindowManager::clearUnrecovered(const std::vector<WindowId>& ids) {
  if (ids.empty()) return;
  for (WindowId id : ids) parking_.unrecoveredAtLaunch.erase(id);
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
  std::unordered_set<WindowId> ids = parking_.touched;
  ids.insert(parking_.needsRecovery.begin(), parking_.needsRecovery.end());
  ids.insert(parking_.unrecoveredAtLaunch.begin(), parking_.unrecoveredAtLaunch.end());
  std::vector<WindowId> kept;
  for (WindowId id : sorted(ids)) {
    if (table_.windows.contains(id) || windowServerKnows(id)) kept.push_back(id);
  }
  if (kept.empty()) {
    defaults_.remove(kUnrecoveredKey);
  } else {
    defaults_.set(kUnrecoveredKey, PropertyList(kept));
  }
}

}  // namespace vistarail
