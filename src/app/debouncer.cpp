#include "app/debouncer.h"

#include <utility>

namespace vistarail {

Debouncer::Debouncer(QueueRef queue, double delaySeconds, Task action)
    : state_(std::make_shared<State>(
          State{std::move(queue), delaySeconds, std::move(action), 0, nullptr})) {}

Debouncer::~Debouncer() {
  cancel();
}

void Debouncer::trigger() {
  cancel();
  const uint64_t generation = state_->generation;
  std::weak_ptr<State> weak = state_;
  state_->pending = state_->queue->asyncAfterCancellable(state_->delaySeconds, [weak, generation] {
    const auto state = weak.lock();
    if (!state || state->generation != generation) return;
    state->pending.reset();
    if (state->action) state->action();
  });
}

void Debouncer::cancel() {
  ++state_->generation;
  if (auto pending = std::exchange(state_->pending, nullptr)) pending->cancel();
}

bool Debouncer::isPending() const {
  return state_->pending != nullptr;
}

Subscription subscribeDebounced(Signal<>& signal, QueueRef queue, double delaySeconds,
                                Task action) {
  auto debouncer = std::make_shared<Debouncer>(std::move(queue), delaySeconds, std::move(action));
  auto inner =
      std::make_shared<Subscription>(signal.subscribe([debouncer] { debouncer->trigger(); }));
  return Subscription([debouncer, inner] {
    inner->reset();
    debouncer->cancel();
  });
}

}  // namespace vistarail
