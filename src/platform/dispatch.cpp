#include "platform/dispatch.h"

#include <mutex>
#include <utility>
#include <vector>

namespace vistarail {

struct DispatchGroup::State {
  std::mutex mutex;
  int outstanding = 0;
  std::vector<std::pair<QueueRef, Task>> waiters;
};

std::shared_ptr<DispatchGroup> DispatchGroup::make() {
  std::shared_ptr<DispatchGroup> group(new DispatchGroup());
  group->state_ = std::make_shared<State>();
  return group;
}

void DispatchGroup::enter() {
  std::lock_guard lock(state_->mutex);
  ++state_->outstanding;
}

void DispatchGroup::leave() {
  std::vector<std::pair<QueueRef, Task>> ready;
  {
    std::lock_guard lock(state_->mutex);
    if (state_->outstanding == 0) return;  // unbalanced leave: ignore rather than underflow
    if (--state_->outstanding == 0) ready.swap(state_->waiters);
  }
  for (auto& [queue, task] : ready) queue->async(std::move(task));
}

void DispatchGroup::notify(const QueueRef& queue, Task task) {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->outstanding > 0) {
      state_->waiters.emplace_back(queue, std::move(task));
      return;
    }
  }
  queue->async(std::move(task));
}

}  // namespace vistarail
