// A window that does not take the frame written to it, most often because its
// application is hung or busy, is written again on a growing back-off; after
// the last retry the mover gives up on it: the frame is not asked for again
// for a while (asking again would only fight the application or queue more
// work behind a hung one), and the manager is told (`onGaveUp`). A frame
// whose every try failed to go through (a busy application) is tried once
// more when that while is over.

#include "mover/move_rules.h"
#include "mover/window_mover.h"

namespace vistarail {

void WindowMover::retryOrGiveUp(const Request& request, MoveToken token, bool callFailed) {
  const WindowId id = request.window->id;
  if (request.attempt >= move_rules::kMaxRetries) {
    const double until = dispatch_.wallTime() + move_rules::kGiveUpSeconds;
    {
      std::lock_guard guard(mutex_);
      auto it = windows_.find(id);
      if (it == windows_.end() || it->second.token != token) return;
      it->second.applied.reset();
      it->second.gaveUp = GaveUp{request.frame, until};
    }
    dispatch_.main()->async([weak = weak_from_this(), id] {
      auto self = weak.lock();
      if (self && self->onGaveUp) self->onGaveUp(id);
    });
    // An application that let every try time out or fail was busy, and
    // nothing else asks for this frame again (a layout asks only when
    // something changes): it is tried once more when its time is over, so
    // the window gets where it belongs once the application answers. Not a
    // window read back elsewhere: that is its application's choice, and
    // asking again would only fight it.
    if (callFailed && request.attempt == move_rules::kMaxRetries) {
      const Pid pid = request.window->pid;
      queueFor(pid)->asyncAfter(move_rules::kGiveUpSeconds,
                                afterUrgent(pid, [weak = weak_from_this(), request, token] {
                                  if (auto self = weak.lock()) self->resumeRetry(request, token);
                                }));
    }
    return;
  }
  {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(id);
    // Without the written frame the retry's drain really writes, in full.
    if (it != windows_.end() && it->second.token == token) it->second.applied.reset();
  }
  const Pid pid = request.window->pid;
  queueFor(pid)->asyncAfter(move_rules::retryDelaySeconds(request.attempt),
                            afterUrgent(pid, [weak = weak_from_this(), request, token] {
                              if (auto self = weak.lock()) self->resumeRetry(request, token);
                            }));
}

void WindowMover::resumeRetry(Request request, MoveToken token) {
  const WindowId id = request.window->id;
  {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(id);
    if (it == windows_.end()) return;
    WindowRecord& record = it->second;
    if (record.token != token || record.pending || record.applied) return;
    record.gaveUp.reset();
    request.attempt += 1;
    record.pending = std::move(request);
  }
  drain(id);
}

}  // namespace vistarail
