#pragma once
// Deterministic virtual-time dispatch: the main queue, serial queues, delayed
// work and timers of the simulated macOS, driven explicitly by the caller.
//
// Time model. Nothing happens until the owner advances time (runFor, runUntil,
// runUntilIdle). Each task starts at a virtual instant and runs to completion
// in real execution, but may spend virtual time while it runs: sleep() and
// every simulated call that has latency move the running queue's local clock
// forward. Whatever the task submits is stamped with that local clock, and the
// queue stays busy until it, so a slow application delays its own later work
// and the replies it sends, and nothing else. Ties are broken by submission
// order, so the same inputs always give the same run.
//
// Descriptor watches. Watched descriptors are polled, without waiting, before
// each task; a ready one's handler is scheduled at the scheduler's instant.
// Data a test writes to a socket between two runs is therefore served in the
// next run, at its first instant, the same way every time.
//
// World queues. What happens outside the program (a user closing a window, an
// application quitting or moving its own window) must not wait for the
// program's slow call to end, or a call to a window closed half-way through
// would still succeed. Tasks of a world queue (makeWorldQueue) therefore run
// at their own virtual time even while another queue's task is spending
// virtual time: before a sleep moves a program queue's clock to t, every
// world task due at or before t runs, at its own time. World tasks do not
// spend time, so a world queue is never busy: a world task submitted later
// but due earlier than those a sleep ran ahead still runs at its own time.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/dispatch.h"

namespace vistarail::sim {

class VirtualDispatch final : public Dispatch {
 public:
  // wallEpochSeconds is what wallTime() reads at virtual time 0.
  explicit VirtualDispatch(double wallEpochSeconds = 1.8e9);
  ~VirtualDispatch() override;
  VirtualDispatch(const VirtualDispatch&) = delete;
  VirtualDispatch& operator=(const VirtualDispatch&) = delete;

  QueueRef main() override;
  QueueRef makeSerialQueue(const std::string& label) override;
  // A serial queue for the world's own events (see above).
  QueueRef makeWorldQueue(const std::string& label);
  RepeatingTimerRef scheduleRepeating(const QueueRef& queue, double intervalSeconds,
                                      Task task) override;
  DescriptorWatchRef watchDescriptor(const QueueRef& queue, int fd, DescriptorEvent event,
                                     Task handler) override;
  double mediaTime() const override;
  double wallTime() const override;
  void sleep(double seconds) override;
  bool onMainQueue() const override;

  // Virtual time of the scheduler (the start of the running task while one runs).
  double now() const;
  // Runs every task due up to now + seconds, then sets the clock there.
  // Returns false if the step limit stopped it first (a runaway loop).
  bool runFor(double seconds);
  bool runUntil(double time);
  // Runs until nothing is scheduled. A live repeating timer never lets the
  // world go idle, so this stops after maxSteps tasks and returns false.
  bool runUntilIdle(uint64_t maxSteps = 1'000'000);
  // Waits up to realSeconds of real time for a watched descriptor to be
  // ready and schedules its handler; true when one was. Virtual time does not
  // move: a program served to real clients paces itself with this.
  bool waitForDescriptors(double realSeconds);
  // Tasks scheduled and not yet run (cancelled ones included until their turn).
  size_t pendingCount() const;
  // Label of the queue running now, empty outside tasks.
  std::string currentQueueLabel() const;

  // Observes every task as it starts: queue label and virtual start time.
  using TaskObserver = std::function<void(const std::string& label, double time)>;
  void setTaskObserver(TaskObserver observer);

  // Per-call step limit of runFor/runUntil.
  static constexpr uint64_t kStepLimit = 50'000'000;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace vistarail::sim
