#pragma once
// Collapses a burst of triggers into one call: the action runs on the queue
// once no trigger has come for the delay. Each trigger replaces the pending
// call (cancelled, and also outdated by a generation number should it start
// anyway), so at most one call is ever waiting.
//
// Trigger from the queue the action runs on. Once the debouncer is gone its
// pending call does nothing.

#include <cstdint>
#include <memory>

#include "base/signal.h"
#include "platform/dispatch.h"

namespace vistarail {

class Debouncer {
 public:
  Debouncer(QueueRef queue, double delaySeconds, Task action);
  ~Debouncer();
  Debouncer(const Debouncer&) = delete;
  Debouncer& operator=(const Debouncer&) = delete;

  void trigger();
  // Drops the pending call, if any.
  void cancel();
  bool isPending() const;

 private:
  struct State {
    QueueRef queue;
    double delaySeconds;
    Task action;
    uint64_t generation = 0;
    WorkItemRef pending;
  };
  std::shared_ptr<State> state_;
};

// Subscribes a debounced action to a signal: the action runs on the queue
// once the signal has been quiet for the delay. Dropping the subscription
// also drops a pending call.
[[nodiscard]] Subscription subscribeDebounced(Signal<>& signal, QueueRef queue, double delaySeconds,
                                              Task action);

}  // namespace vistarail
