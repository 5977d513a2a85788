// Bringing windows back into view, and giving applications their enhanced user
// interface back when the mover stops.

#include <algorithm>

#include "mover/move_rules.h"
#include "mover/window_mover.h"
#include "platform/ax_names.h"

namespace vistarail {

void WindowMover::restore(const ManagedWindowRef& window, const std::vector<Rect>& screens,
                          const Rect& area, MoveToken token, RestoreCompletion completion) {
  auto finish = [&](RestoreResult result) {
    dispatch_.main()->async([completion = std::move(completion), result] {
      if (completion) completion(result);
    });
  };
  if (!window) return finish(RestoreResult::failed);
  {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(window->id);
    const MoveToken current = it == windows_.end() ? 0 : it->second.token;
    if (current != token) return finish(RestoreResult::superseded);
  }
  finish(restoreWindow(*window, screens, area));
}

RestoreResult WindowMover::restoreWindow(const ManagedWindow& window,
                                         const std::vector<Rect>& screens, const Rect& area) {
  // An application that is not answering would hold this queue for the
  // messaging time-out on every call: the restore fails at once and is
  // tried again on the back-off.
  if (!restoreEnhancedUI(window.pid)) return RestoreResult::failed;
  const auto [before, fullScreen, gone] = readFrameAndFullScreen(window);
  // A window closed meanwhile (its closing may not have been heard) is not
  // tried again and again: there is nothing left to bring back.
  if (gone) return RestoreResult::gone;
  if (!before) return RestoreResult::failed;
  std::optional<Rect> lastWritten;
  std::vector<Rect> unconfirmed;
  {
    std::lock_guard guard(mutex_);
    if (auto it = windows_.find(window.id); it != windows_.end()) {
      WindowRecord& record = it->second;
      // Found where it was last written, and so no longer on its way to an
      // earlier frame (a glide moves it): that write was taken, and every
      // write before it is settled.
      if (!record.unconfirmed.empty() &&
          move_rules::verificationPasses(*before, record.unconfirmed.back(), std::nullopt)) {
        record.lastWritten = record.unconfirmed.back();
        record.unconfirmed.clear();
      }
      lastWritten = record.lastWritten;
      unconfirmed = record.unconfirmed;
    }
  }
  // A window read in view after being sent out of it may not have taken
  // that frame yet (an application that applies writes late, or glides to
  // them): it is written where it was read, so the late one cannot win.
  auto outOfView = [&](const Rect& frame) { return !move_rules::insideAnyScreen(frame, screens); };
  // A write the window has not been seen to take may still land: one out of
  // view (a parking frame, or a frame on a display that has gone since)
  // sends it out.
  const bool sentOut = (lastWritten && outOfView(*lastWritten)) ||
                       std::any_of(unconfirmed.begin(), unconfirmed.end(), outOfView);
  const bool inView = move_rules::insideAnyScreen(*before, screens);
  // A full-screen window refuses every move, and leaving full screen puts it
  // back where it was before, perhaps out of view: nothing is written until
  // then. One that fills a whole display may be full screen even when the
  // program never moved it (a window remembered from an earlier run).
  const bool fillsAScreen =
      std::find(screens.begin(), screens.end(), *before) != screens.end();
  if (inView && !sentOut && !fillsAScreen) return RestoreResult::restored;
  if (fullScreen) return RestoreResult::waiting;
  if (inView && !sentOut) return RestoreResult::restored;
  // An area nothing fits into would shrink the window to nothing.
  if (!inView && (!move_rules::isFinite(area) || area.isEmpty())) return RestoreResult::failed;

  const Rect clamped = inView ? *before : move_rules::clampIntoArea(*before, area);
  const SizeChange change =
      clamped.size != before->size ? SizeChange::changed : SizeChange::unchanged;
  const bool written = write(window, clamped, change);
  restoreEnhancedUI(window.pid);  // the write switched it off again
  if (!written) return RestoreResult::failed;
  // Only a write the window took replaces the frame that sent it out: one it
  // dropped leaves that frame on its way (a glide to it may still be under
  // way), and the next try must still know the window was sent out. Until
  // then this write is unconfirmed, and may land late.
  auto record = [&](bool taken) {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(window.id);
    if (it == windows_.end()) return;
    if (taken) {
      it->second.lastWritten = clamped;
      it->second.unconfirmed.clear();
    } else {
      noteUnconfirmed(it->second, clamped);
    }
  };
  record(false);
  // Where it was read is where it is written, so a read-back would say yes
  // whatever happens: the frame that sends it out may still land (an
  // application that drops this write and glides on). It is judged by the
  // next try, which finds it here only if it went nowhere meanwhile.
  if (inView) return RestoreResult::waiting;

  const std::optional<Rect> after = readFrame(window);
  if (!after) return RestoreResult::failed;
  if (!move_rules::insideAnyScreen(*after, screens) &&
      !move_rules::oversizedButPlaced(*after, clamped, area)) {
    return RestoreResult::failed;
  }
  record(true);
  return RestoreResult::restored;
}

void WindowMover::restoreAllEnhancedUI(Task completion) {
  std::vector<std::pair<Pid, QueueRef>> queues;
  {
    std::lock_guard guard(mutex_);
    queues.assign(queues_.begin(), queues_.end());
  }
  auto group = DispatchGroup::make();
  for (const auto& entry : queues) {
    group->enter();
    entry.second->async([weak = weak_from_this(), pid = entry.first, group] {
      if (auto self = weak.lock()) self->restoreEnhancedUI(pid, true);
      group->leave();
    });
  }
  group->notify(dispatch_.main(), [completion = std::move(completion)] {
    if (completion) completion();
  });
}

}  // namespace vistarail
