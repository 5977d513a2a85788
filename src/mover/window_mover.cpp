#include "mover/window_mover.h"

#include <cassert>
#include <string>
#include <utility>

#include "mover/move_rules.h"

namespace vistarail {

const char* toString(RestoreResult result) {
  switch (result) {
    case RestoreResult::restored:
      return "restored";
    case RestoreResult::failed:
      return "failed";
    case RestoreResult::superseded:
      return "superseded";
    case RestoreResult::waiting:
      return "waiting";
    case RestoreResult::gone:
      return "gone";
  }
  return "unknown";
}

WindowMover::WindowMover(Accessibility& ax, Dispatch& dispatch) : ax_(ax), dispatch_(dispatch) {}

void WindowMover::apply(const ManagedWindowRef& window, const Rect& frame,
                        std::optional<Rect> parkedOff) {
  if (!window || !move_rules::isFinite(frame)) return;
  if (parkedOff && !move_rules::isFinite(*parkedOff)) return;
  QueueRef queue;
  {
    std::lock_guard guard(mutex_);
    WindowRecord& record = windows_[window->id];
    if (record.pending) {
      // A drain is already on its way and will take the newest request.
      record.pending = Request{window, frame, parkedOff, 0};
      return;
    }
    if (record.applied && *record.applied == frame) return;
    // The clock is read only here: most frames of an animation are unchanged
    // for most windows, and return above.
    if (record.gaveUp && record.gaveUp->frame == frame &&
        dispatch_.wallTime() < record.gaveUp->untilWallSeconds) {
      return;  // the window keeps refusing this frame; asking again only fights it
    }
    record.token = nextToken();
    record.pending = Request{window, frame, parkedOff, 0};
    if (auto it = queues_.find(window->pid); it != queues_.end()) queue = it->second;
  }
  if (!queue) queue = queueFor(window->pid);
  enqueue(window->pid, queue, afterUrgent(window->pid, [weak = weak_from_this(), id = window->id] {
            if (auto self = weak.lock()) self->drain(id);
          }));
}

void WindowMover::perform(Pid pid, Task block) {
  enqueue(pid, queueFor(pid), afterUrgent(pid, std::move(block)));
}

void WindowMover::enqueue(Pid pid, const QueueRef& queue, Task task) {
  {
    std::lock_guard guard(mutex_);
    ++waiting_[pid];
  }
  queue->async([weak = weak_from_this(), pid, task = std::move(task)] {
    if (auto self = weak.lock()) {
      std::lock_guard guard(self->mutex_);
      if (auto it = self->waiting_.find(pid); it != self->waiting_.end() && --it->second <= 0) {
        self->waiting_.erase(it);
      }
    }
    task();
  });
}

void WindowMover::performWhenIdle(Pid pid, Task block) {
  queueFor(pid)->async([weak = weak_from_this(), pid, block = std::move(block)]() mutable {
    if (auto self = weak.lock()) {
      self->runWhenIdle(pid, std::move(block));
      return;
    }
    block();
  });
}

void WindowMover::runWhenIdle(Pid pid, Task block) {
  bool busy = false;
  {
    std::lock_guard guard(mutex_);
    busy = waiting_.contains(pid);
  }
  // Queued again behind what is waiting now, which has all started before
  // this comes round again: a queue holding only this never spins.
  if (busy) {
    performWhenIdle(pid, std::move(block));
    return;
  }
  runUrgent(pid);
  block();
}

void WindowMover::performUrgent(Pid pid, Task block) {
  {
    std::lock_guard guard(mutex_);
    urgent_[pid].push_back(std::move(block));
  }
  // Also queued for itself, for an application with nothing else to do.
  queueFor(pid)->async([weak = weak_from_this(), pid] {
    if (auto self = weak.lock()) self->runUrgent(pid);
  });
}

void WindowMover::runUrgent(Pid pid) {
  for (;;) {
    Task next;
    {
      std::lock_guard guard(mutex_);
      auto it = urgent_.find(pid);
      if (it == urgent_.end()) return;
      if (it->second.empty()) {
        urgent_.erase(it);
        return;
      }
      next = std::move(it->second.front());
      it->second.pop_front();
    }
    next();
  }
}

Task WindowMover::afterUrgent(Pid pid, Task task) {
  return [weak = weak_from_this(), pid, task = std::move(task)] {
    if (auto self = weak.lock()) self->runUrgent(pid);
    task();
  };
}

QueueRef WindowMover::existingQueue(Pid pid) const {
  std::lock_guard guard(mutex_);
  auto it = queues_.find(pid);
  return it == queues_.end() ? nullptr : it->second;
}

QueueRef WindowMover::queueFor(Pid pid) {
  if (QueueRef queue = existingQueue(pid)) return queue;
  // Created outside the lock (making a queue is a dispatch call); if another
  // thread got there first, its queue wins and this one is dropped unused.
  QueueRef created = dispatch_.makeSerialQueue("app.vistarail.ax." + std::to_string(pid));
  std::lock_guard guard(mutex_);
  return queues_.try_emplace(pid, std::move(created)).first->second;
}

void WindowMover::checkHeld([[maybe_unused]] const Lock& held) const {
  assert(held.owner_ == this && held.guard_.owns_lock());
}

void WindowMover::cancel(const Lock& held, WindowId id) {
  checkHeld(held);
  WindowRecord& record = windows_[id];
  record.pending.reset();
  record.applied.reset();
  record.gaveUp.reset();
  record.token = nextToken();
}

MoveToken WindowMover::beginRestore(const Lock& held, WindowId id) {
  cancel(held, id);
  return windows_[id].token;
}

void WindowMover::cancelAll(const Lock& held) {
  checkHeld(held);
  for (auto& [id, record] : windows_) {
    record.pending.reset();
    record.gaveUp.reset();
    record.token = nextToken();
  }
}

void WindowMover::forget(const Lock& held, WindowId id) {
  checkHeld(held);
  windows_.erase(id);
}

bool WindowMover::hasPending(const Lock& held, WindowId id) const {
  checkHeld(held);
  auto it = windows_.find(id);
  return it != windows_.end() && it->second.pending.has_value();
}

std::optional<Rect> WindowMover::appliedFrame(const Lock& held, WindowId id) const {
  checkHeld(held);
  auto it = windows_.find(id);
  return it == windows_.end() ? std::nullopt : it->second.applied;
}

MoveToken WindowMover::token(const Lock& held, WindowId id) const {
  checkHeld(held);
  auto it = windows_.find(id);
  return it == windows_.end() ? 0 : it->second.token;
}

void WindowMover::noteUnconfirmed(WindowRecord& record, const Rect& frame) {
  constexpr size_t kKept = 8;
  if (record.unconfirmed.size() == kKept) record.unconfirmed.erase(record.unconfirmed.begin());
  record.unconfirmed.push_back(frame);
}

void WindowMover::recheck(WindowId id) {
  std::optional<Request> request;
  MoveToken token = 0;
  {
    std::lock_guard guard(mutex_);
    auto it = windows_.find(id);
    if (it == windows_.end()) return;
    WindowRecord& record = it->second;
    record.gaveUp.reset();
    if (record.pending || !record.applied || !record.written ||
        record.written->frame != *record.applied) {
      record.applied.reset();
      return;
    }
    request = record.written;
    request->attempt = 0;
    token = record.token;
  }
  // A read-back that fails starts the retries, which write the frame again.
  scheduleVerification(*request, token);
}

void WindowMover::dropAppliedAndGaveUp(const Lock& held, WindowId id) {
  checkHeld(held);
  auto it = windows_.find(id);
  if (it == windows_.end()) return;
  it->second.applied.reset();
  it->second.gaveUp.reset();
}

void WindowMover::deliver(Report report, WindowId id, const Rect& requested, const Rect& read) {
  dispatch_.main()->async([weak = weak_from_this(), report, id, requested, read] {
    auto self = weak.lock();
    if (!self) return;
    const ReadBackCallback& callback =
        report == Report::verified ? self->onVerified : self->onSizeMismatch;
    if (callback) callback(id, requested, read);
  });
}

void WindowMover::noteAnswer(Pid pid, AXError error) {
  if (error != AXError::cannotComplete) return;
  dispatch_.main()->async([weak = weak_from_this(), pid] {
    auto self = weak.lock();
    if (self && self->onUnanswered) self->onUnanswered(pid);
  });
}

}  // namespace vistarail
